#include "ui/controls/colored_tab_ctrl.h"

namespace lumatrove {

bool ColoredTabCtrl::TakeOver(HWND tab) {
  Attach(tab);
  SetStyle(Style() | TCS_OWNERDRAWFIXED);
  return true;
}

void ColoredTabCtrl::DrawItem(const DRAWITEMSTRUCT& d) {
  const int index = static_cast<int>(d.itemID);
  if (index < 0) return;
  const bool selected = Send(TCM_GETCURSEL) == index;
  wchar_t text[63] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text;
  item.cchTextMax = 63;
  if (!Send(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return;

  HDC dc = d.hDC;
  const int saved = SaveDC(dc);
  RECT r = d.rcItem;
  r.top += GetSystemMetrics(SM_CYEDGE);
  r.left += GetSystemMetrics(SM_CXEDGE);
  r.right -= GetSystemMetrics(SM_CXEDGE);
  SetBkMode(dc, TRANSPARENT);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));

  auto images = reinterpret_cast<HIMAGELIST>(Send(TCM_GETIMAGELIST));
  if (images != nullptr && item.iImage >= 0) {
    SIZE blank{};
    GetTextExtentPoint32W(dc, L" ", 1, &blank);
    r.left += blank.cx;
    ImageList_Draw(images, item.iImage, dc, r.left, r.top, ILD_TRANSPARENT);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    r.left += cx;
  }
  if (selected) {
    SetTextColor(dc, selectedTextColor);
    if (selectedFont != nullptr) SelectObject(dc, selectedFont);
    r.top -= GetSystemMetrics(SM_CYEDGE);
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  } else {
    SetTextColor(dc, textColor);
    if (font != nullptr) SelectObject(dc, font);
    DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_CENTER | DT_BOTTOM);
  }

  RECT page = ClientRect();
  const int rows = static_cast<int>(Send(TCM_GETROWCOUNT));
  page.top = rows * 17 + 4;
  page.left += 2;
  page.right -= 4;
  page.bottom -= 4;
  FillRect(dc, &page, GetSysColorBrush(COLOR_BTNFACE));
  RestoreDC(dc, saved);
}

}  // namespace lumatrove
