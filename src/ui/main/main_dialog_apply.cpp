// Applying a profile with the progress window, and following what Windows uses: the live
// rows and tray tooltip, the conflict question before an apply, the wait after it, the undo
// snapshot and the question whether to keep the new settings.
#include "store/address_conflict.h"
#include "store/undo_snapshot.h"
#include "texts.h"
#include "ui/dialogs/keep_settings_dialog.h"
#include "ui/dialogs/progress_dialog.h"
#include "ui/main/arp_questions.h"
#include "ui/main/main_dialog.h"
#include "ui/model/live_state.h"
#include "ui/model/main_window_model.h"

namespace lumatrove {

bool MainDialog::ApplyProfileAt(int row) {
  const RowProfile profile = ProfileOfRow(row);
  if (profile.row < 0 || static_cast<size_t>(row) >= store.profiles.size()) {
    Message(texts::kNoProfileSelected, MB_ICONEXCLAMATION);
    return false;
  }
  const std::u16string content = store.GetProfileContent(profile.id);
  return ApplyAndFollow(*store.profiles[static_cast<size_t>(row)], content, profile.name,
                        ApplyKind::kProfile);
}

void MainDialog::RefreshLiveState() {
  live_.Refresh(netAdapters);
  profileRows.SetLive(live_.LiveRows(store.profiles));
  InvalidateRect(profileList.Handle(), nullptr, FALSE);
  trayIcon.SetTip(live_.ToolTip());
}

bool MainDialog::UndoSnapshotExists() {
  // An empty or damaged snapshot is nothing to go back to: the command stays grey.
  return LoadUndoSnapshotToApply(store.UndoPath()).has_value();
}

bool MainDialog::UndoLastApply() {
  std::optional<UndoSnapshot> snapshot = LoadUndoSnapshotToApply(store.UndoPath());
  if (!snapshot) {
    Message(texts::kUndoSnapshotMissing, MB_ICONEXCLAMATION);
    UpdateCommandStates();
    return false;
  }
  return ApplyAndFollow(*snapshot->profile, snapshot->content, snapshot->profile->name,
                        ApplyKind::kUndo);
}

void MainDialog::WaitPumping(unsigned ms) {
  win::WaitWithoutInput(nullptr, 0, ms);
}

bool MainDialog::ConfirmAddressesAreFree(const Profile& profile, ProgressDialog& progress) {
  // Every address at once, and no longer than a device that holds one takes to answer.
  const std::vector<ArpQuestion> questions =
      ConflictQuestions(profile, netAdapters.ReadLiveAdapters());
  const auto conflict = FirstConflict(questions, AskAtOnce(net_, questions, kArpWaitMs));
  if (!conflict) return true;
  progress.Show(SW_HIDE);
  const std::u16string question =
      texts::AddressInUse(conflict->connectionName, conflict->address, conflict->hardwareAddress);
  if (Message(question, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES) {
    Append(question);
    return false;
  }
  progress.Show(SW_SHOW);
  progress.Update();
  return true;
}

ApplyWaitOutcome MainDialog::WaitForWindows(const Profile& profile, ProgressDialog& progress) {
  progress.SetRange(kApplyWaitMs);
  unsigned waited = 0;
  return WaitUntilApplied(
      profile, [this] { return netAdapters.ReadLiveAdapters(); },
      [&](unsigned ms) {
        WaitPumping(ms);
        waited += ms;
        progress.SetPosition(waited);
      });
}

bool MainDialog::RevertUnlessKept(const std::u16string& name) {
  if (AskToKeepSettings(Handle())) return false;
  std::optional<UndoSnapshot> before = LoadUndoSnapshotToApply(store.UndoPath());
  const bool reverted =
      before && ApplyAndFollow(*before->profile, before->content, name, ApplyKind::kRevert);
  const std::u16string_view text =
      reverted ? texts::kSettingsReverted : texts::kSettingsRevertFailed;
  Append(text);
  Message(text, reverted ? MB_ICONINFORMATION : MB_ICONERROR);
  return true;
}

bool MainDialog::ApplyAndFollow(const Profile& profile, std::u16string_view content,
                                const std::u16string& name, ApplyKind kind) {
  // Going back happens inside the apply it undoes; nothing else may start meanwhile.
  if (applying_ && kind != ApplyKind::kRevert) return false;
  struct Busy {
    bool& flag;
    bool before;
    explicit Busy(bool& f) : flag(f), before(f) { flag = true; }
    ~Busy() { flag = before; }
  } busy(applying_);
  const bool revert = kind == ApplyKind::kRevert;

  ProgressDialog progress;
  if (progress.CreateModeless(Handle())) {
    progress.CenterOn(Handle());
    progress.Show(SW_SHOW);
    progress.Update();
  }
  netAdapters.DiscoverAdapters();
  // A profile that cannot be applied is said so before the network is asked about its
  // addresses, and leaves the undo snapshot as it was.
  const bool usable = store.CheckProfileContent(content);
  if (usable && !revert && !ConfirmAddressesAreFree(profile, progress)) return false;

  // What the adapters have now, to go back to (the undo command keeps what it replaces, so
  // that a second undo goes forward again).
  bool snapshot = false;
  if (usable && !revert) {
    const std::u16string snapshotOf =
        kind == ApplyKind::kUndo ? std::u16string(texts::kMenuUndoApply) : name;
    snapshot =
        SaveUndoSnapshot(system_, store.UndoPath(), UndoConnections(profile, netAdapters.adapters),
                         texts::UndoSnapshotName(snapshotOf));
    if (!snapshot) Append(texts::kUndoSnapshotNotSaved);
  }

  const bool ok = usable && store.ApplyProfileContent(content);
  netAdapters.DiscoverAdapters();
  const ApplyWaitOutcome outcome = ok ? WaitForWindows(profile, progress) : ApplyWaitOutcome{};
  if (progress.Handle() != nullptr) progress.Send(WM_CLOSE);
  progress.Destroy();
  RefreshLiveState();
  UpdateCommandStates();
  if (revert) return ok;

  // Nobody there to keep it (a remote session that lost its connection): back it goes,
  // before any other message can wait for an answer.
  if (ok && snapshot && store.confirmApply && RevertUnlessKept(name)) return false;

  if (ok) {
    // The message cuts a long name so that it fits on the screen; the log keeps it whole.
    Message(texts::ProfileApplied(ShortProfileName(name)), MB_ICONINFORMATION);
    Append(texts::ProfileApplied(name));
    const std::u16string shown = ApplyWaitMessage(outcome);
    if (!shown.empty()) {
      Append(shown);
      Message(shown, MB_ICONEXCLAMATION);
    }
  } else {
    const std::u16string text(texts::kApplyFailed);
    Message(text, MB_ICONERROR);
    Append(text);
  }
  return ok;
}

}  // namespace lumatrove
