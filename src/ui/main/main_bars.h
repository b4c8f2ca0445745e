// The main window's toolbar and status bar.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <string>

#include "ui/win/handles.h"
#include "ui/win/window.h"

namespace lumatrove {

// The toolbar: the buttons in the slots of the toolbar resource, each with its image and text,
// laid out for 96 DPI and scaled to `dpi`.
class MainToolBar : public win::Window {
 public:
  // Creates the toolbar at the top of `parent`; false when it cannot be created.
  bool Create(HWND parent, int dpi);
  void EnableButton(int command, bool on) const;

 private:
  win::ImageList images_;
  win::ImageList hotImages_;
};

// The status bar: three parts, the first of which holds the prompt.
class MainStatusBar : public win::Window {
 public:
  bool Create(HWND parent);
  void SetPrompt(const std::u16string& text) const;
};

}  // namespace lumatrove
