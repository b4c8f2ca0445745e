// Applying a profile from the window (the sequence itself is apply_sequence.h), the undo
// command, what another start hands over, and following what Windows uses: the live rows and
// the tray tooltip.
#include <algorithm>

#include "store/undo_snapshot.h"
#include "texts.h"
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
                        ApplySequence::Kind::kProfile);
}

void MainDialog::RefreshLiveState() {
  live_.Refresh(netAdapters);
  live_.SetProxy(system_.proxyOptions().Read());
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
                        ApplySequence::Kind::kUndo);
}

LRESULT MainDialog::TakeHandOff(const COPYDATASTRUCT* data) {
  if (data == nullptr) return 0;
  std::optional<HandOff> handOff = ReadHandOff(data->dwData, data->lpData, data->cbData);
  if (!handOff) return 0;
  // The console program waits for the outcome; a start waits only for the answer, and its
  // apply runs once it has it.
  if (handOff->quiet) {
    if (applying_) return kQuietAnswerBusy;
    return kQuietAnswer + static_cast<int>(ApplyQuietly(*handOff));
  }
  handOffs_.push_back(std::move(*handOff));
  PostMessageW(Handle(), kHandOffMessage, 0, 0);
  return 1;
}

ExitCode MainDialog::ApplyQuietly(const HandOff& handOff) {
  ApplyRunResult result;
  if (handOff.undo) {
    std::optional<UndoSnapshot> snapshot = LoadUndoSnapshotToApply(store.UndoPath());
    if (!snapshot) return ExitCode::kNoProfile;
    ApplyAndFollow(*snapshot->profile, snapshot->content, snapshot->profile->name,
                   ApplySequence::Kind::kUndo, &handOff, &result);
    return ExitCodeOf(result);
  }
  const auto found = std::find_if(store.profiles.begin(), store.profiles.end(),
                                  [&](const auto& p) { return p->id == handOff.profileId; });
  if (found == store.profiles.end()) return ExitCode::kNoProfile;
  ApplyAndFollow(**found, store.GetProfileContent(handOff.profileId), (*found)->name,
                 ApplySequence::Kind::kProfile, &handOff, &result);
  return ExitCodeOf(result);
}

void MainDialog::ActOnHandOffs() {
  // One apply at a time: what arrives during one waits for it to end.
  if (applying_) return;
  std::vector<HandOff> pending;
  pending.swap(handOffs_);
  for (const HandOff& handOff : pending) {
    if (handOff.profileId.empty()) {
      ShowMainWindow();
      continue;
    }
    const auto found = std::find_if(store.profiles.begin(), store.profiles.end(),
                                    [&](const auto& p) { return p->id == handOff.profileId; });
    if (found == store.profiles.end()) {
      Message(texts::kCommandLineApplyFailed, MB_ICONERROR);
      continue;
    }
    ApplyAndFollow(**found, store.GetProfileContent(handOff.profileId), (*found)->name,
                   ApplySequence::Kind::kProfile);
  }
}

bool MainDialog::ApplyAndFollow(const Profile& profile, std::u16string_view content,
                                const std::u16string& name, ApplySequence::Kind kind,
                                const HandOff* quiet, ApplyRunResult* quietResult) {
  // Nothing else may start while an apply waits for Windows or for an answer.
  if (applying_) return false;
  applying_ = true;
  ApplySequence sequence(
      {quiet != nullptr ? ApplySequence::Caller::kQuiet : ApplySequence::Caller::kWindow, Handle(),
       store, netAdapters, net_, system_, [this](std::u16string_view text) { Append(text); },
       [this] {
         RefreshLiveState();
         UpdateCommandStates();
       },
       quiet != nullptr && quiet->force, quiet == nullptr || !quiet->noWait});
  const bool ok = sequence.Run(profile, content, name, kind);
  if (quietResult != nullptr) *quietResult = sequence.result();
  applying_ = false;
  if (!handOffs_.empty()) PostMessageW(Handle(), kHandOffMessage, 0, 0);
  return ok;
}

}  // namespace lumatrove
