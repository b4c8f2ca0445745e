#include "ui/main/apply_sequence.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/ascii_text.h"
#include "store/address_conflict.h"
#include "store/connection_check.h"
#include "store/undo_snapshot.h"
#include "texts.h"
#include "ui/dialogs/dialog_context.h"
#include "ui/dialogs/keep_settings_dialog.h"
#include "ui/main/arp_questions.h"
#include "ui/model/main_window_model.h"
#include "ui/win/window.h"

namespace lumatrove {

int ApplySequence::Say(std::u16string_view text, UINT flags) {
  if (setup_.caller == Caller::kWindow) return ShowMessage(setup_.owner, text, flags);
  // Start-up's own boxes carry the application's name.
  return MessageBoxW(nullptr, win::W(std::u16string(text)), win::W(setup_.net.ApplicationName()),
                     flags);
}

bool ApplySequence::ConfirmAddressesAreFree(const Profile& profile, ProgressDialog& progress) {
  // Every address at once, and no longer than a device that holds one takes to answer.
  const std::vector<ArpQuestion> questions =
      ConflictQuestions(profile, setup_.adapters.ReadLiveAdapters());
  const auto conflict = FirstConflict(questions, AskAtOnce(setup_.net, questions, kArpWaitMs));
  if (!conflict) return true;
  progress.Show(SW_HIDE);
  const std::u16string question =
      texts::AddressInUse(conflict->connectionName, conflict->address, conflict->hardwareAddress);
  if (Say(question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
    setup_.log(question);
    return false;
  }
  progress.Show(SW_SHOW);
  progress.Update();
  return true;
}

namespace {

// Instance IDs are GUIDs, written in either case.
std::u16string AdapterKey(std::u16string id) {
  for (char16_t& c : id)
    c = LowerAscii(c);
  return id;
}

DWORD WINAPI RunWork(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

// Runs `work` on a thread of its own while the window keeps painting; returns when it ended.
void RunWhilePainting(const std::function<void()>& work) {
  HANDLE thread =
      CreateThread(nullptr, 0, &RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr);
  if (thread == nullptr) {
    work();
    return;
  }
  while (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0)
    win::WaitWithoutInput(&thread, 1, 200);
  CloseHandle(thread);
}

}  // namespace

bool ApplySequence::ApplyWithNetsh(const ConnectionSetting& connection,
                                   const std::vector<LiveAdapter>& live) {
  const auto adapter = std::find_if(live.begin(), live.end(), [&](const LiveAdapter& a) {
    return EqualsIgnoringAsciiCase(a.instanceId, connection.instanceId);
  });
  const std::optional<Ipv4Settings> settings = SettingsOf(connection);
  bool ok = false;
  if (adapter != live.end() && settings) {
    const uint32_t index = adapter->interfaceIndex;
    RunWhilePainting([&] { ok = setup_.adapters.ApplyWithNetsh(index, *settings); });
  }
  if (!ok) setup_.log(texts::NetshFailed(connection.connectionName));
  return ok;
}

ApplyWaitOutcome ApplySequence::WaitForWindows(const Profile& profile, ProgressDialog& progress) {
  progress.SetRange(kApplyWaitMs);
  NetAdapterLayer& layer = setup_.adapters;
  // Since Vista, the DHCP client notification is not known to change a live address: the
  // documented way (netsh) follows where Windows does not show the settings soon, and at once
  // on an adapter where that happened before.
  const bool netshAvailable = layer.windowsVersion >= WindowsVersion::kVista;
  std::vector<const ConnectionSetting*> byNetsh;
  auto applyWithNetsh = [&](const ConnectionSetting& c, const std::vector<LiveAdapter>& live) {
    if (std::find(byNetsh.begin(), byNetsh.end(), &c) != byNetsh.end()) return;
    byNetsh.push_back(&c);
    std::vector<std::u16string>& known = layer.notificationNotTaken;
    if (std::find(known.begin(), known.end(), AdapterKey(c.instanceId)) == known.end())
      known.push_back(AdapterKey(c.instanceId));
    ApplyWithNetsh(c, live);
  };
  if (netshAvailable) {
    const std::vector<LiveAdapter> live = layer.ReadLiveAdapters();
    for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
      const std::vector<std::u16string>& known = layer.notificationNotTaken;
      if (Configures(*c) &&
          std::find(known.begin(), known.end(), AdapterKey(c->instanceId)) != known.end()) {
        applyWithNetsh(*c, live);
      }
    }
  }
  std::function<void(const ApplyWaitOutcome&)> late;
  if (netshAvailable) {
    late = [&](const ApplyWaitOutcome& outcome) {
      const std::vector<LiveAdapter> live = layer.ReadLiveAdapters();
      for (const AppliedConnection& notShown : outcome.notShown) {
        for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
          if (Configures(*c) && EqualsIgnoringAsciiCase(c->instanceId, notShown.instanceId))
            applyWithNetsh(*c, live);
        }
      }
    };
  }
  unsigned waited = 0;
  const ApplyWaitOutcome outcome = WaitUntilApplied(
      profile, [&] { return layer.ReadLiveAdapters(); },
      [&](unsigned ms) {
        win::WaitWithoutInput(nullptr, 0, ms);
        waited += ms;
        progress.SetPosition(waited);
      },
      kApplyWaitMs, kApplyPollMs, late);
  // An apply that netsh did not help with went by the notification alone.
  if (!byNetsh.empty()) {
    std::u16string names;
    for (const ConnectionSetting* c : byNetsh)
      names += (names.empty() ? u"" : u"、") + c->connectionName;
    setup_.log(texts::AppliedWithNetsh(names));
  }
  return outcome;
}

bool ApplySequence::RevertUnlessKept(const std::u16string& name) {
  if (AskToKeepSettings(setup_.owner)) return false;
  std::optional<UndoSnapshot> before = LoadUndoSnapshotToApply(setup_.store.UndoPath());
  const bool reverted = before && Run(*before->profile, before->content, name, Kind::kRevert);
  const std::u16string_view text =
      reverted ? texts::kSettingsReverted : texts::kSettingsRevertFailed;
  setup_.log(text);
  Say(text, reverted ? MB_ICONINFORMATION : MB_ICONERROR);
  return true;
}

void ApplySequence::Report(bool ok, const std::u16string& name, const ApplyWaitOutcome& outcome) {
  const bool window = setup_.caller == Caller::kWindow;
  if (!ok) {
    Say(window ? texts::kApplyFailed : texts::kCommandLineApplyFailed, MB_ICONERROR);
    setup_.log(texts::kApplyFailed);
    return;
  }
  // The message cuts a long name so that it fits on the screen; the log keeps it whole.
  Say(window ? texts::ProfileApplied(ShortProfileName(name))
             : std::u16string(texts::kCommandLineApplied),
      MB_ICONINFORMATION);
  setup_.log(texts::ProfileApplied(name));
  const std::u16string shown = ApplyWaitMessage(outcome);
  if (!shown.empty()) {
    setup_.log(shown);
    Say(shown, MB_ICONEXCLAMATION);
  }
}

bool ApplySequence::Run(const Profile& profile, std::u16string_view content,
                        const std::u16string& name, Kind kind) {
  const bool revert = kind == Kind::kRevert;
  ProgressDialog progress;
  if (progress.CreateModeless(setup_.owner)) {
    progress.CenterOn(setup_.owner != nullptr ? setup_.owner : GetDesktopWindow());
    progress.Show(SW_SHOW);
    progress.Update();
  }
  setup_.adapters.DiscoverAdapters();
  // A profile that cannot be applied is said so before the network is asked about its
  // addresses, and leaves the undo snapshot as it was.
  const bool usable = setup_.store.CheckProfileContent(content);
  if (usable && !revert && !ConfirmAddressesAreFree(profile, progress)) return false;

  // What the adapters have now, to go back to (the undo command keeps what it replaces, so
  // that a second undo goes forward again).
  bool snapshot = false;
  if (usable && !revert) {
    const std::u16string snapshotOf =
        kind == Kind::kUndo ? std::u16string(texts::kMenuUndoApply) : name;
    snapshot = SaveUndoSnapshot(setup_.system, setup_.store.UndoPath(),
                                UndoConnections(profile, setup_.adapters.adapters),
                                texts::UndoSnapshotName(snapshotOf));
    if (!snapshot) setup_.log(texts::kUndoSnapshotNotSaved);
  }

  const bool ok = usable && setup_.store.ApplyProfileContent(content);
  setup_.adapters.DiscoverAdapters();
  const ApplyWaitOutcome outcome = ok ? WaitForWindows(profile, progress) : ApplyWaitOutcome{};
  if (progress.Handle() != nullptr) progress.Send(WM_CLOSE);
  progress.Destroy();
  if (setup_.written) setup_.written();
  if (revert) return ok;

  // Nobody there to keep it (a remote session that lost its connection): back it goes,
  // before any other message can wait for an answer.
  if (ok && snapshot && setup_.store.confirmApply && RevertUnlessKept(name)) return false;
  Report(ok, name, outcome);
  return ok;
}

}  // namespace lumatrove
