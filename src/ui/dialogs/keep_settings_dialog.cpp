#include "ui/dialogs/keep_settings_dialog.h"

#include "ui/dialogs/keep_settings_dialog_res.h"
#include "ui/model/keep_settings_model.h"
#include "ui/res/resource.h"
#include "ui/win/dialog.h"

namespace lumatrove {
namespace {

constexpr UINT_PTR kSecondTimer = 1;

class KeepSettingsDialog : public win::Dialog {
 public:
  KeepSettingsDialog();

 protected:
  bool OnInit() override;
  bool OnMessage(UINT message, WPARAM w, LPARAM l, INT_PTR& result) override;
  void OnDestroy() override;

 private:
  KeepSettingsCountdown countdown_;
};

KeepSettingsDialog::KeepSettingsDialog() : Dialog(IDD_KEEP_SETTINGS) {}

bool KeepSettingsDialog::OnInit() {
  SetIcons(IDI_APP);
  SendDlgItemMessageW(Handle(), IDC_KEEP_ICON, STM_SETICON,
                      reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
  SetItemText(IDC_KEEP_COUNTDOWN, countdown_.CountdownText());
  SetTimer(Handle(), kSecondTimer, 1000, nullptr);
  // It may come up while the main window sits in the tray: it must be seen. A reflexive
  // Return goes back rather than keeping what may have cut the connection.
  SetForegroundWindow(Handle());
  SetFocus(Item(IDCANCEL));
  return false;
}

bool KeepSettingsDialog::OnMessage(UINT message, WPARAM w, LPARAM, INT_PTR& result) {
  if (message != WM_TIMER || w != kSecondTimer) return false;
  if (countdown_.Tick()) {
    KillTimer(Handle(), kSecondTimer);
    End(IDCANCEL);
  } else {
    SetItemText(IDC_KEEP_COUNTDOWN, countdown_.CountdownText());
  }
  result = 0;
  return true;
}

void KeepSettingsDialog::OnDestroy() {
  KillTimer(Handle(), kSecondTimer);
}

}  // namespace

bool AskToKeepSettings(HWND owner) {
  KeepSettingsDialog dialog;
  return dialog.RunModal(owner) == IDOK;
}

}  // namespace lumatrove
