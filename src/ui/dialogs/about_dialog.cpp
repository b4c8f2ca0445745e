#include "ui/dialogs/about_dialog.h"

// After windows.h.
#include <shellapi.h>

#include "texts.h"
#include "ui/dialogs/about_dialog_res.h"
#include "ui/res/resource.h"
#include "ui/win/dialog.h"
#include "version.h"

namespace lumatrove {
namespace {

class AboutDialog : public win::Dialog {
 public:
  AboutDialog();

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
};

AboutDialog::AboutDialog() : Dialog(IDD_ABOUT) {}

bool AboutDialog::OnInit() {
  SetIcons(IDI_APP);
  SetItemText(IDC_ABOUT_TEXT, texts::AboutText(u"" LUMATROVE_VERSION_TEXT));
  SetItemText(IDC_ABOUT_THANKS, std::u16string(texts::kAboutThanks));
  return true;
}

bool AboutDialog::OnCommand(int id, int code, HWND) {
  if (code == BN_CLICKED && (id == IDC_ABOUT_WEB || id == IDC_ABOUT_DONATE)) {
    OpenProjectPage(Handle());
    return true;
  }
  return false;
}

}  // namespace

void ShowAboutDialog(HWND parent) {
  AboutDialog dialog;
  dialog.RunModal(parent);
}

void OpenProjectPage(HWND owner) {
  ShellExecuteW(owner, L"open", L"" LUMATROVE_PROJECT_PAGE, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace lumatrove
