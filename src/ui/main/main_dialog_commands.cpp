// The routing of the main window's commands, the profile commands (new, modify, properties,
// backup, current settings, remove and copy) and switching adapters on and off.
#include "texts.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/backup_dialog.h"
#include "ui/dialogs/current_config_dialog.h"
#include "ui/dialogs/lan_computers_dialog.h"
#include "ui/dialogs/profile_dialog.h"
#include "ui/main/main_dialog.h"
#include "ui/model/main_window_model.h"
#include "ui/res/resource.h"

namespace lumatrove {

DialogContext MainDialog::Context() {
  return {store, netAdapters, net_, [this](std::u16string_view text) { Append(text); }};
}

void MainDialog::ShowChangedProfiles(SavedChange change) {
  SaveAndReload(change);
  profileList.SetCurrentRow(-1);
  FillProfileList();
}

void MainDialog::NewProfile() {
  DialogContext context = Context();
  if (ShowProfileDialog(Handle(), context, ProfileEditor::Kind::kNew)) {
    ShowChangedProfiles(SavedChange::kNew);
  }
}

void MainDialog::ModifyProfile() {
  const RowProfile profile = RowForCommand();
  if (profile.row < 0) return;
  DialogContext context = Context();
  if (ShowProfileDialog(Handle(), context, ProfileEditor::Kind::kModify, profile.id,
                        profile.name)) {
    ShowChangedProfiles(SavedChange::kModified);
  }
}

void MainDialog::ShowProfileProperties() {
  const RowProfile profile = RowForCommand();
  if (profile.row < 0) return;
  DialogContext context = Context();
  if (ShowProfileDialog(Handle(), context, ProfileEditor::Kind::kProperties, profile.id,
                        profile.name)) {
    ApplyProfileAt(profile.row);
  }
}

void MainDialog::RemoveProfile() {
  const RowProfile profile = RowForCommand();
  if (profile.row < 0) return;
  if (Message(texts::RemoveQuestion(ShortProfileName(profile.name)), MB_YESNO | MB_ICONQUESTION) !=
      IDYES) {
    return;
  }
  store.DeleteProfile(profile.id);
  SaveAndReload(SavedChange::kRemoved);
  Append(texts::ProfileRemoved(profile.name));
  FillProfileList();
  profileList.SetCurrentRow(CurrentRowAfterRemove(profile.row, profileRows.Count()));
  profileList.Invalidate();
}

void MainDialog::CopyProfile() {
  const RowProfile profile = RowForCommand();
  if (profile.row < 0) return;
  store.CopyProfile(profile.id, std::u16string(texts::kCopyPrefix) + profile.name);
  ShowChangedProfiles(SavedChange::kCopied);
}

void MainDialog::SetAdapterEnabled(size_t index, bool enable) {
  // The submenus may be older than the last discovery.
  if (index >= netAdapters.adapters.size()) return;
  const AdapterInfo& adapter = *netAdapters.adapters[index];
  const bool ok = netAdapters.SetDeviceEnabled(enable, adapter.description, adapter.busType);
  Message(enable ? (ok ? texts::kAdapterEnabled : texts::kAdapterEnableFailed)
                 : (ok ? texts::kAdapterDisabled : texts::kAdapterDisableFailed),
          MB_OK);
}

bool MainDialog::OnCommand(int id, int, HWND) {
  // While an apply waits for Windows, nothing else starts.
  if (applying_) return true;
  switch (id) {
    case IDOK:
    case IDCANCEL:
      return true;  // neither Return nor Escape ends the main window
    case ID_APP_EXIT:
      End(IDOK);
      return true;
    case ID_UNDO_APPLY:
      UndoLastApply();
      return true;
    case ID_AUTOSWITCH_PAUSE:
      ToggleAutoSwitchPause();
      return true;
    case ID_PROFILE_APPLY: {
      const RowProfile profile = RowForCommand();
      if (profile.row >= 0) ApplyProfileAt(profile.row);
      return true;
    }
    case ID_TRAY_OPEN:
      ShowMainWindow();
      return true;
    case ID_PROFILE_NEW:
      NewProfile();
      return true;
    case ID_PROFILE_MODIFY:
      ModifyProfile();
      return true;
    case ID_PROFILE_PROPERTIES:
      ShowProfileProperties();
      return true;
    case ID_PROFILE_BACKUP: {
      DialogContext context = Context();
      if (ShowBackupDialog(Handle(), context)) ShowChangedProfiles(SavedChange::kBackup);
      return true;
    }
    case ID_VIEW_CURRENT: {
      DialogContext context = Context();
      if (ShowCurrentConfigDialog(Handle(), context)) ShowChangedProfiles(SavedChange::kBackup);
      return true;
    }
    case ID_PROFILE_REMOVE:
      RemoveProfile();
      return true;
    case ID_PROFILE_COPY:
      CopyProfile();
      return true;
    case ID_APP_ABOUT:
      ShowAboutDialog(Handle());
      return true;
    case ID_HELP_CONTENTS:
      ShowHelp();
      return true;
    case ID_SETTINGS:
      EditSettings();
      return true;
    case ID_REPAIR:
      RepairProfiles();
      return true;
    case ID_IMPORT:
      ImportProfiles();
      return true;
    case ID_LAN_COMPUTERS:
      ShowLanComputersDialog(*MakeWin32NetEnum());
      return true;
    case ID_SHORTCUT:
      CreateShortcut();
      return true;
    case ID_DONATE:
      OpenProjectPage(Handle());
      return true;
    case ID_LOG_VIEW:
      ViewLog();
      return true;
    case ID_LOG_CLEAR:
      ClearLog();
      return true;
    default:
      break;
  }
  if (id >= ID_APPLY_FIRST && id <= ID_APPLY_LAST) {
    ApplyProfileAt(id - ID_APPLY_FIRST);
    return true;
  }
  if (id >= ID_ENABLE_FIRST && id <= ID_ENABLE_LAST) {
    SetAdapterEnabled(static_cast<size_t>(id - ID_ENABLE_FIRST), true);
    return true;
  }
  if (id >= ID_DISABLE_FIRST && id <= ID_DISABLE_LAST) {
    SetAdapterEnabled(static_cast<size_t>(id - ID_DISABLE_FIRST), false);
    return true;
  }
  return false;
}

}  // namespace lumatrove
