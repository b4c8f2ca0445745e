// AboutDialog: the program's name and version, the project's page and the thanks.
#pragma once

#include "ui/win/dialog.h"

namespace lumatrove {

// Runs the dialog over `parent`.
void ShowAboutDialog(HWND parent);

// Opens the project's page in the browser (the About dialog's web and donate buttons, the
// Donate command).
void OpenProjectPage(HWND owner);

class AboutDialog : public win::Dialog {
 public:
  AboutDialog();

 protected:
  bool OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
};

}  // namespace lumatrove
