// One apply with all that goes with it, the same for the main window and for a desktop
// shortcut's start: around the steps of ApplyRun, the progress window, the conflict question,
// the question whether to keep the settings, and the messages and log entries that tell how it
// went. A quiet apply (what the console program hands over) shows no window at all.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/net_adapter_layer.h"
#include "store/profile_store.h"
#include "ui/dialogs/progress_dialog.h"
#include "ui/model/apply_run.h"
#include "ui/model/live_state.h"

namespace lumatrove {

class ApplySequence {
 public:
  // A profile and the undo command keep a snapshot before and may ask whether to keep the
  // result; going back after an unanswered question does neither.
  using Kind = ApplyRun::Kind;
  // Who applies: the window says "套用網路組態[name]成功!", a shortcut's start
  // "套用組態成功！" or "套用組態失敗！該組態檔案已失效！"; a quiet apply says nothing,
  // answers the conflict question with `force` and does not ask to keep the settings.
  enum class Caller { kWindow, kCommandLine, kQuiet };

  struct Setup {
    Caller caller;
    HWND owner;  // the window the sequence's windows belong to; none for a shortcut's start
    ProfileStore& store;
    NetAdapterLayer& adapters;
    NetSystem& net;
    StoreSystem& system;
    std::function<void(std::u16string_view)> log;  // appends to the action log
    std::function<void()> written;  // after the settings were written and Windows was waited for
    bool force = false;             // quiet: apply although another device holds an address
    bool wait = true;               // quiet: wait for Windows to show the settings
  };
  explicit ApplySequence(Setup setup) : setup_(std::move(setup)) {}

  // Applies `content` (the NETSETING content of `profile`, named `name`); true when it was
  // applied and kept.
  bool Run(const Profile& profile, std::u16string_view content, const std::u16string& name,
           Kind kind);
  // How the last Run went.
  const ApplyRunResult& result() const { return result_; }

 private:
  int Say(std::u16string_view text, UINT flags);
  ApplyRun::Hooks Hooks(ProgressDialog& progress);
  // Asks whether to keep what was applied; true when it went back (or tried to) instead.
  bool RevertUnlessKept(const std::u16string& name);
  void Report(bool ok, const std::u16string& name, const ApplyWaitOutcome& outcome);

  Setup setup_;
  ApplyRunResult result_;
};

}  // namespace lumatrove
