#include "ui/dialogs/backup_dialog.h"

#include "texts.h"
#include "ui/dialogs/backup_dialog_res.h"
#include "ui/model/backup_model.h"
#include "ui/model/current_config_model.h"
#include "ui/res/resource.h"
#include "ui/win/controls.h"
#include "ui/win/dialog.h"

namespace lumatrove {

namespace {

class BackupDialog : public win::Dialog {
 public:
  explicit BackupDialog(DialogContext& context) : Dialog(IDD_BACKUP), context_(context) {}

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnOk() override;

 private:
  int SelectedAdapter() const;
  void ShowDetails();

  DialogContext& context_;
};

bool BackupDialog::OnInit() {
  SetIcons(IDI_APP);
  const auto& adapters = context_.adapters.adapters;
  if (adapters.empty()) {
    ShowMessage(Handle(), texts::kDialogFailed, MB_OK);
    End(IDCANCEL);
    return true;
  }
  // One entry per adapter in list order; the last one ends up selected.
  const win::ComboBox list(Item(IDC_BACKUP_ADAPTERS));
  for (const auto& adapter : adapters)
    list.SetCurrentSelection(list.AddString(BackupEntryText(*adapter)));
  ShowDetails();
  SetItemText(IDC_BACKUP_NAME,
              std::u16string(texts::kNewProfileName) + context_.store.GetLastIdText());
  return true;
}

int BackupDialog::SelectedAdapter() const {
  return win::ComboBox(Item(IDC_BACKUP_ADAPTERS)).CurrentSelection();
}

void BackupDialog::ShowDetails() {
  const auto& adapters = context_.adapters.adapters;
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
      context_.adapters.adapters, SelectedAdapter(), IsButtonChecked(IDC_BACKUP_ALL),
      IsButtonChecked(IDC_BACKUP_OTHERS_AUTOMATIC));
  if (connections.empty()) return;
  EndStored(*this, context_.store.AddProfile(name, ConnectionList(connections)));
}

}  // namespace

bool ShowBackupDialog(HWND owner, DialogContext& context) {
  BackupDialog dialog(context);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
