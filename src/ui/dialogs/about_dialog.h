// AboutDialog: the program's name and version, the project's page and the thanks.
#pragma once

#include <windows.h>

namespace lumatrove {

// Runs the dialog over `parent`.
void ShowAboutDialog(HWND parent);

// Opens the project's page in the browser (the About dialog's web and donate buttons, the
// Donate command).
void OpenProjectPage(HWND owner);

}  // namespace lumatrove
