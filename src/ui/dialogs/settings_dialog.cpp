#include "ui/dialogs/settings_dialog.h"

#include "texts.h"
#include "ui/dialogs/dialog_context.h"
#include "ui/dialogs/settings_dialog_res.h"
#include "ui/model/settings_model.h"
#include "ui/res/resource.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

class SettingsDialog : public win::Dialog {
 public:
  explicit SettingsDialog(ProfileStore& store) : Dialog(IDD_SETTINGS), store_(store) {}

 protected:
  bool OnInit() override {
    SetIcons(IDI_APP);
    const SettingsChoice choice = SettingsOf(store_);
    CheckButton(IDC_SETTINGS_AUTORUN, choice.autoRun);
    CheckButton(IDC_SETTINGS_UPDATE, choice.autoUpdate);
    CheckButton(IDC_SETTINGS_LOG, choice.logEnabled);
    CheckButton(IDC_SETTINGS_CONFIRM, choice.confirmApply);
    CheckButton(IDC_SETTINGS_AUTOSWITCH_PAUSED, choice.autoSwitchPaused);
    return true;
  }

  void OnOk() override {
    SettingsChoice choice;
    choice.autoRun = IsButtonChecked(IDC_SETTINGS_AUTORUN);
    choice.autoUpdate = IsButtonChecked(IDC_SETTINGS_UPDATE);
    choice.logEnabled = IsButtonChecked(IDC_SETTINGS_LOG);
    choice.confirmApply = IsButtonChecked(IDC_SETTINGS_CONFIRM);
    choice.autoSwitchPaused = IsButtonChecked(IDC_SETTINGS_AUTOSWITCH_PAUSED);
    EndStored(*this, StoreSettings(store_, choice));
  }

 private:
  ProfileStore& store_;
};

}  // namespace

bool ShowSettingsDialog(HWND owner, ProfileStore& store) {
  SettingsDialog dialog(store);
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
