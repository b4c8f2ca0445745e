#include "ui/main/apply_sequence.h"

#include <vector>

#include "store/address_conflict.h"
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

ApplyWaitOutcome ApplySequence::WaitForWindows(const Profile& profile, ProgressDialog& progress) {
  progress.SetRange(kApplyWaitMs);
  unsigned waited = 0;
  return WaitUntilApplied(
      profile, [this] { return setup_.adapters.ReadLiveAdapters(); },
      [&](unsigned ms) {
        win::WaitWithoutInput(nullptr, 0, ms);
        waited += ms;
        progress.SetPosition(waited);
      });
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
