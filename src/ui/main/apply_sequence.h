// One apply with all that goes with it, the same for the main window and for a desktop
// shortcut's start: the progress window, the check of the profile, the conflict question, the
// undo snapshot, the write, the wait for Windows, the question whether to keep the settings,
// and the messages and log entries that tell how it went.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/net_adapter_layer.h"
#include "store/profile_store.h"
#include "ui/dialogs/progress_dialog.h"
#include "ui/model/live_state.h"

namespace lumatrove {

class ApplySequence {
 public:
  // A profile and the undo command keep a snapshot before and may ask whether to keep the
  // result; going back after an unanswered question does neither.
  enum class Kind { kProfile, kUndo, kRevert };
  // Who applies: the window says "套用網路組態[name]成功!", a shortcut's start
  // "套用組態成功！" or "套用組態失敗！該組態檔案已失效！".
  enum class Caller { kWindow, kCommandLine };

  struct Setup {
    Caller caller;
    HWND owner;  // the window the sequence's windows belong to; none for a shortcut's start
    ProfileStore& store;
    NetAdapterLayer& adapters;
    NetSystem& net;
    StoreSystem& system;
    std::function<void(std::u16string_view)> log;  // appends to the action log
    std::function<void()> written;  // after the settings were written and Windows was waited for
  };
  explicit ApplySequence(Setup setup) : setup_(std::move(setup)) {}

  // Applies `content` (the NETSETING content of `profile`, named `name`); true when it was
  // applied and kept.
  bool Run(const Profile& profile, std::u16string_view content, const std::u16string& name,
           Kind kind);

 private:
  int Say(std::u16string_view text, UINT flags);
  // False when another device answers for a fixed address of `profile` and the user does not
  // want it applied anyway.
  bool ConfirmAddressesAreFree(const Profile& profile, ProgressDialog& progress);
  // Sets `connection` with netsh on its adapter in `live`; logs when that failed.
  bool ApplyWithNetsh(const ConnectionSetting& connection, const std::vector<LiveAdapter>& live);
  // Waits until Windows shows `profile` (at most kApplyWaitMs), the bar showing the time; on
  // Vista and later, applies what Windows did not take from the notification with netsh.
  ApplyWaitOutcome WaitForWindows(const Profile& profile, ProgressDialog& progress);
  // Asks whether to keep what was applied; true when it went back (or tried to) instead.
  bool RevertUnlessKept(const std::u16string& name);
  void Report(bool ok, const std::u16string& name, const ApplyWaitOutcome& outcome);

  Setup setup_;
};

}  // namespace lumatrove
