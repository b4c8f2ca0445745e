#include "ui/dialogs/backup_dialog.h"

#include "texts.h"
#include "ui/dialogs/backup_dialog_res.h"
#include "ui/main/main_dialog.h"
#include "ui/model/backup_model.h"
#include "ui/model/current_config_model.h"
#include "ui/res/resource.h"
#include "ui/win/controls.h"

namespace lumatrove {

bool ShowBackupDialog(MainDialog& main) {
  BackupDialog dialog(&main);
  return dialog.RunModal(main.Handle()) == IDOK;
}

BackupDialog::BackupDialog(MainDialog* parent) : Dialog(IDD_BACKUP), parent_(parent) {}

bool BackupDialog::OnInit() {
  SetIcons(IDI_APP);
  const auto& adapters = parent_->netAdapters.adapters;
  if (adapters.empty()) {
    parent_->Message(texts::kDialogFailed, MB_OK, Handle());
    End(IDCANCEL);
    return true;
  }
  // One entry per adapter in list order; the last one ends up selected.
  const win::ComboBox list(Item(IDC_BACKUP_ADAPTERS));
  for (const auto& adapter : adapters)
    list.SetCurrentSelection(list.AddString(BackupEntryText(*adapter)));
  ShowDetails();
  SetItemText(IDC_BACKUP_NAME,
              std::u16string(texts::kNewProfileName) + parent_->store.GetLastIdText());
  return true;
}

int BackupDialog::SelectedAdapter() const {
  return win::ComboBox(Item(IDC_BACKUP_ADAPTERS)).CurrentSelection();
}

void BackupDialog::ShowDetails() {
  const auto& adapters = parent_->netAdapters.adapters;
  const int selected = SelectedAdapter();
  if (selected < 0 || static_cast<size_t>(selected) >= adapters.size()) return;
  SetItemText(IDC_BACKUP_DETAILS, BackupDetailsText(*adapters[static_cast<size_t>(selected)]));
}

bool BackupDialog::OnCommand(int id, int code, HWND) {
  switch (id) {
    case IDC_BACKUP_ADAPTERS:
      if (code == CBN_SELCHANGE) ShowDetails();
      return true;
    case IDC_BACKUP_NAME:
      if (code == EN_CHANGE) EnableItem(IDOK, IsUsableProfileName(ItemText(IDC_BACKUP_NAME)));
      return true;
    case IDC_BACKUP_ALL:
      // Every adapter as it is leaves no "other" adapter to set to automatic.
      if (code == BN_CLICKED) EnableItem(IDC_BACKUP_OTHERS_AUTOMATIC, !IsButtonChecked(id));
      return true;
    default:
      return false;
  }
}

void BackupDialog::OnOk() {
  const std::u16string name = ItemText(IDC_BACKUP_NAME);
  if (!IsUsableProfileName(name)) return;
  const std::vector<ConnectionSetting> connections = BackupConnections(
      parent_->netAdapters.adapters, SelectedAdapter(), IsButtonChecked(IDC_BACKUP_ALL),
      IsButtonChecked(IDC_BACKUP_OTHERS_AUTOMATIC));
  if (connections.empty()) return;
  std::vector<const ConnectionSetting*> records;
  for (const ConnectionSetting& c : connections)
    records.push_back(&c);
  if (!parent_->store.AddProfile(name, std::move(records))) {
    parent_->Message(texts::kSaveFailed, MB_ICONERROR, Handle());
    End(IDCANCEL);
    return;
  }
  End(IDOK);
}

}  // namespace lumatrove
