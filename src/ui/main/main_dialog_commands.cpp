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

int MainDialog::RowForCommand() {
  const int row = profileList.GetCurrentRow();
  if (row < 0 || row >= profileRows.Count()) {
    Message(texts::kNoProfileSelected, MB_ICONEXCLAMATION);
    return -1;
  }
  return row;
}

void MainDialog::ShowChangedProfiles(int kind) {
  SaveAndReload(kind);
  profileList.SetCurrentRow(-1);
  FillProfileList();
}

void MainDialog::NewProfile() {
  if (ShowProfileDialog(*this, ProfileEditor::Kind::kNew)) ShowChangedProfiles(kSavedNew);
}

void MainDialog::ModifyProfile() {
  const int row = RowForCommand();
  if (row < 0) return;
  if (ShowProfileDialog(*this, ProfileEditor::Kind::kModify, profileIds[static_cast<size_t>(row)],
                        profileRows.CellText(row, 2))) {
    ShowChangedProfiles(kSavedModified);
  }
}

void MainDialog::ShowProfileProperties() {
  const int row = RowForCommand();
  if (row < 0) return;
  if (ShowProfileDialog(*this, ProfileEditor::Kind::kProperties,
                        profileIds[static_cast<size_t>(row)], profileRows.CellText(row, 2))) {
    ApplyProfileAt(row);
  }
}

void MainDialog::RemoveProfile() {
  const int row = RowForCommand();
  if (row < 0) return;
  const std::u16string name = profileRows.CellText(row, 2);
  if (Message(texts::RemoveQuestion(ShortProfileName(name)), MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  store.DeleteProfile(profileIds[static_cast<size_t>(row)]);
  SaveAndReload(kSavedRemoved);
  Append(texts::ProfileRemoved(name));
  FillProfileList();
  profileList.SetCurrentRow(CurrentRowAfterRemove(row, profileRows.Count()));
  profileList.Invalidate();
}

void MainDialog::CopyProfile() {
  const int row = RowForCommand();
  if (row < 0) return;
  store.CopyProfile(profileIds[static_cast<size_t>(row)],
                    std::u16string(texts::kCopyPrefix) + profileRows.CellText(row, 2));
  ShowChangedProfiles(kSavedCopied);
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
    case ID_PROFILE_APPLY: {
      const int row = RowForCommand();
      if (row >= 0) ApplyProfileAt(row);
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
    case ID_PROFILE_BACKUP:
      if (ShowBackupDialog(*this)) ShowChangedProfiles(kSavedBackup);
      return true;
    case ID_VIEW_CURRENT:
      if (ShowCurrentConfigDialog(*this)) ShowChangedProfiles(kSavedBackup);
      return true;
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
