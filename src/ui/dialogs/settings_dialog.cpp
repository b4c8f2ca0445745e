#include "ui/dialogs/settings_dialog.h"

#include "texts.h"
#include "ui/dialogs/settings_dialog_res.h"
#include "ui/main/main_dialog.h"
#include "ui/model/settings_model.h"
#include "ui/res/resource.h"

namespace lumatrove {

bool ShowSettingsDialog(MainDialog& main) {
  SettingsDialog dialog(&main);
  return dialog.RunModal(main.Handle()) == IDOK;
}

SettingsDialog::SettingsDialog(MainDialog* owner) : Dialog(IDD_SETTINGS), owner_(owner) {}

bool SettingsDialog::OnInit() {
  SetIcons(IDI_APP);
  const SettingsChoice choice = SettingsOf(owner_->store);
  CheckButton(IDC_SETTINGS_AUTORUN, choice.autoRun);
  CheckButton(IDC_SETTINGS_UPDATE, choice.autoUpdate);
  CheckButton(IDC_SETTINGS_LOG, choice.logEnabled);
  CheckButton(IDC_SETTINGS_CONFIRM, choice.confirmApply);
  return true;
}

void SettingsDialog::OnOk() {
  SettingsChoice choice;
  choice.autoRun = IsButtonChecked(IDC_SETTINGS_AUTORUN);
  choice.autoUpdate = IsButtonChecked(IDC_SETTINGS_UPDATE);
  choice.logEnabled = IsButtonChecked(IDC_SETTINGS_LOG);
  choice.confirmApply = IsButtonChecked(IDC_SETTINGS_CONFIRM);
  if (!StoreSettings(owner_->store, choice)) {
    owner_->Message(texts::kSaveFailed, MB_ICONERROR, Handle());
    End(IDCANCEL);
    return;
  }
  End(IDOK);
}

}  // namespace lumatrove
