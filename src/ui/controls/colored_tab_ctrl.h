// ColoredTabCtrl: the profile editor's tab control, painted flat on the button face, the
// selected tab's text blue and centred, the others dark grey at the bottom. It takes over a
// dialog's tab control; the dialog forwards WM_DRAWITEM to DrawItem.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include "ui/win/controls.h"

namespace lumatrove {

class ColoredTabCtrl : public win::TabCtrl {
 public:
  bool TakeOver(HWND tab);
  void DrawItem(const DRAWITEMSTRUCT& item);

  COLORREF selectedTextColor = RGB(0, 0, 255);
  COLORREF textColor = RGB(50, 50, 50);
  HFONT selectedFont = nullptr;
  HFONT font = nullptr;
};

}  // namespace lumatrove
