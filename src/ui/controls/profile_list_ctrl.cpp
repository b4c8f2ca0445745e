#include "ui/controls/profile_list_ctrl.h"

#include <windowsx.h>

#include "ui/win/handles.h"

#include <algorithm>

namespace lumatrove {
namespace {

constexpr size_t kTextChars = 520;
constexpr UINT_PTR kSubclassId = 0x4C50;  // "LP"

int Extent(HDC dc, std::u16string_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                        static_cast<int>(text.size()), &size);
  return size.cx;
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
  const win::Brush brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush.Get());
}

void Draw(HDC dc, const std::u16string& text, RECT r, UINT align) {
  DrawTextW(dc, win::W(text), static_cast<int>(text.size()), &r,
            align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
}

}  // namespace

ProfileListCtrl::ProfileListCtrl()
    : textColor_(GetSysColor(COLOR_WINDOWTEXT)),
      textBkColor_(GetSysColor(COLOR_WINDOW)),
      bkColor_(GetSysColor(COLOR_WINDOW)) {}

ProfileListCtrl::~ProfileListCtrl() {
  if (Handle() != nullptr) RemoveWindowSubclass(Handle(), &SubclassProcedure, kSubclassId);
  if (tip_ != nullptr && IsWindow(tip_)) DestroyWindow(tip_);
}

bool ProfileListCtrl::TakeOver(HWND list) {
  Attach(list);
  RECT r = ClientRect();
  clientWidth_ = r.right - r.left;
  fullRowSelect_ = (Style() & LVS_OWNERDRAWFIXED) != 0 ? 1 : 0;
  return SetWindowSubclass(list, &SubclassProcedure, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT CALLBACK ProfileListCtrl::SubclassProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l,
                                                    UINT_PTR /*id*/, DWORD_PTR data) {
  auto* self = reinterpret_cast<ProfileListCtrl*>(data);
  bool handled = false;
  LRESULT result = 0;
  try {
    result = self->Intercept(message, w, l, handled);
  } catch (...) {
    handled = false;
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &SubclassProcedure, kSubclassId);
    self->Attach(nullptr);
  }
  return handled ? result : DefSubclassProc(hwnd, message, w, l);
}

LRESULT ProfileListCtrl::Intercept(UINT message, WPARAM w, LPARAM l, bool& handled) {
  switch (message) {
    case LVM_SETTEXTCOLOR:
      textColor_ = static_cast<COLORREF>(l);
      break;
    case LVM_SETTEXTBKCOLOR:
      textBkColor_ = static_cast<COLORREF>(l);
      break;
    case LVM_SETBKCOLOR:
      bkColor_ = static_cast<COLORREF>(l);
      break;
    case WM_SIZE:
      clientWidth_ = LOWORD(l);
      if (tip_ != nullptr) {
        TOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = Handle();
        ti.uId = 1;
        ti.rect = ClientRect();
        SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
      }
      break;
    case LVM_SETIMAGELIST:
      if (w == LVSIL_SMALL) {
        int cx = 0, cy = 0;
        if (l != 0 && ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(l), &cx, &cy)) {
          iconWidth_ = cx;
          iconHeight_ = cy;
        }
      }
      break;
    case WM_PAINT:
      OnPaint();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT r = DefSubclassProc(Handle(), message, w, l);
      handled = true;
      HWND other = reinterpret_cast<HWND>(w);
      if (other == nullptr || GetParent(other) != Handle()) RepaintSelectedRows();
      return r;
    }
    case WM_MOUSEMOVE:
      TrackToolTip(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      if (tip_ != nullptr && header->hwndFrom == tip_ && header->code == TTN_GETDISPINFOW) {
        ProvideToolTipText(*reinterpret_cast<NMTTDISPINFOW*>(l));
        handled = true;
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

bool ProfileListCtrl::SetFullRowSelect(bool on) {
  SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
  fullRowSelect_ = on ? 1 : 0;
  const LONG_PTR before = Style();
  const LONG_PTR after =
      on ? (before | LVS_OWNERDRAWFIXED) : (before & ~LONG_PTR{LVS_OWNERDRAWFIXED});
  if (after != before) SetStyle(after);
  const bool changed = after != before;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  if (changed && IsReportView()) Invalidate();
  return changed;
}

int ProfileListCtrl::SelectCurrentRow(int row) {
  if (currentRow_ >= 0) {
    RECT r{};
    r.left = LVIR_BOUNDS;
    if (Send(LVM_GETITEMRECT, static_cast<WPARAM>(currentRow_), reinterpret_cast<LPARAM>(&r))) {
      Invalidate(&r, false);
    }
  }
  currentRow_ = row;
  return row;
}

bool ProfileListCtrl::DeleteAllItems() {
  return Send(LVM_DELETEALLITEMS) != FALSE;
}

void ProfileListCtrl::SetRowCount(int count) {
  Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
}

void ProfileListCtrl::FillDisplayInfo(NMLVDISPINFOW& info) const {
  LVITEMW& item = info.item;
  if ((item.mask & LVIF_IMAGE) != 0) item.iImage = rows_ != nullptr && rows_->IsLive(item.iItem);
  if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
    const std::u16string text =
        rows_ != nullptr ? rows_->CellText(item.iItem, item.iSubItem) : std::u16string();
    lstrcpynW(item.pszText, win::W(text), item.cchTextMax);
  }
}

WORD ProfileListCtrl::SetToolTipHitMask(WORD mask) {
  const WORD old = hitMask_;
  hitMask_ = mask;
  return old;
}

void ProfileListCtrl::EnableToolTips() {
  if (tip_ != nullptr) return;
  tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, GetModuleHandleW(nullptr),
                         nullptr);
  if (tip_ == nullptr) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = Handle();
  ti.uId = 1;
  ti.rect = ClientRect();
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 500);
  SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 10000);
}

LVHITTESTINFO ProfileListCtrl::HitTest(POINT client) const {
  LVHITTESTINFO hit{};
  hit.pt = client;
  Send(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit;
}

void ProfileListCtrl::TrackToolTip(POINT client) {
  if (tip_ == nullptr) return;
  const LVHITTESTINFO hit = HitTest(client);
  const int tool =
      (hit.flags & hitMask_) != 0 && hit.iItem >= 0 ? hit.iItem * 100 + hit.iSubItem : -1;
  if (tool == shownTool_) return;
  shownTool_ = tool;
  // Another row (or none) under the cursor: the tooltip asks for its text again.
  SendMessageW(tip_, TTM_POP, 0, 0);
  SendMessageW(tip_, TTM_UPDATE, 0, 0);
}

void ProfileListCtrl::ProvideToolTipText(NMTTDISPINFOW& info) {
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 500);
  SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 10000);
  info.szText[0] = L'\0';
  info.lpszText = info.szText;
  if ((info.uFlags & TTF_IDISHWND) != 0 &&
      info.hdr.idFrom == reinterpret_cast<UINT_PTR>(Handle())) {
    return;
  }
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(Handle(), &p);
  const LVHITTESTINFO hit = HitTest(p);
  if ((hit.flags & hitMask_) == 0 || hit.iItem < 0) return;
  // Every column of a row shows the row's tooltip.
  const std::u16string text = rows_ != nullptr ? rows_->ToolTip(hit.iItem, maxTipLength_) : u"";
  if (text.empty()) return;
  tipTextW_.assign(text.begin(), text.end());
  info.lpszText = tipTextW_.data();
}

int ProfileListCtrl::FirstSelectedRow() const {
  return static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ProfileListCtrl::RepaintSelectedRows() {
  if (fullRowSelect_ == 0 || !IsReportView()) return;
  auto repaint = [&](int row) {
    RECT bounds{}, label{};
    bounds.left = LVIR_BOUNDS;
    label.left = LVIR_LABEL;
    if (!Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) return;
    Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
    bounds.left = label.left;
    Invalidate(&bounds, false);
  };
  const int focused =
      static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (focused >= 0) repaint(focused);
  if ((Style() & LVS_SHOWSELALWAYS) == 0) {
    for (int row = FirstSelectedRow(); row >= 0;
         row = static_cast<int>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) {
      repaint(row);
    }
  }
  Update();
}

void ProfileListCtrl::OnPaint() {
  // With full-row highlighting, the strip right of the last column is repainted too, so that
  // highlights reach the edge of the client area.
  if (fullRowSelect_ == 0 || !IsReportView()) return;
  RECT row0{};
  row0.left = LVIR_BOUNDS;
  if (!Send(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row0))) return;
  if (row0.right >= clientWidth_) return;
  RECT clip{};
  if (GetUpdateRect(Handle(), &clip, FALSE) == FALSE) return;
  RECT strip{std::min(clip.left, row0.right - 1), clip.top, clientWidth_, clip.bottom};
  Invalidate(&strip, false);
}

void ProfileListCtrl::DrawItem(const DRAWITEMSTRUCT& d) {
  HDC dc = d.hDC;
  const int row = static_cast<int>(d.itemID);
  // The list keeps only the rows' states; their texts come from the rows it shows.
  LVITEMW item{};
  item.mask = LVIF_STATE;
  item.iItem = row;
  item.stateMask = 0xFFFF;
  Send(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  // The second image marks the profile Windows uses now.
  item.iImage = rows_ != nullptr && rows_->IsLive(row);
  // A cell shows at most what a list view's text buffer of 520 characters holds.
  auto cellText = [&](int column) {
    std::u16string text = rows_ != nullptr ? rows_->CellText(row, column) : std::u16string();
    if (text.size() >= kTextChars) text.resize(kTextChars - 1);
    return text;
  };

  const bool focused = GetFocus() == Handle();
  bool highlight =
      (focused || (Style() & LVS_SHOWSELALWAYS) != 0) && (item.state & LVIS_SELECTED) != 0;
  if (!highlight) highlight = (item.state & LVIS_DROPHILITED) != 0;
  const bool current = row == currentRow_;

  RECT bounds{}, label{}, icon{};
  bounds.left = LVIR_BOUNDS;
  label.left = LVIR_LABEL;
  icon.left = LVIR_ICON;
  Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
  Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&label));
  Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&icon));
  RECT rowRect = bounds;
  rowRect.left = label.left;
  // The highlight reaches the right edge of the client area.
  if (rowRect.right < clientWidth_) rowRect.right = clientWidth_;

  const COLORREF oldText = GetTextColor(dc);
  const COLORREF oldBack = GetBkColor(dc);
  if (highlight) {
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    Fill(dc, rowRect, GetSysColor(COLOR_HIGHLIGHT));
  } else if (current) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, kCurrentRowColor);
    Fill(dc, rowRect, kCurrentRowColor);
  } else {
    Fill(dc, rowRect, textBkColor_);
  }

  UINT style = ILD_TRANSPARENT;
  COLORREF blend = bkColor_;
  if ((item.state & LVIS_CUT) != 0) {
    style = ILD_BLEND50;
  } else if (highlight) {
    style = ILD_BLEND50;
    blend = GetSysColor(COLOR_HIGHLIGHT);
  } else if (current) {
    style = ILD_BLEND50;
    blend = kCurrentRowColor;
  }
  const UINT stateImage = (item.state & LVIS_STATEIMAGEMASK) >> 12;
  if (stateImage != 0) {
    if (auto states = reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, LVSIL_STATE))) {
      ImageList_Draw(states, static_cast<int>(stateImage) - 1, dc, bounds.left, bounds.top,
                     ILD_TRANSPARENT);
    }
  }
  // The icon is drawn with its mask: what the row showed there before (the live mark) is
  // cleared first, or parts of it would stay.
  Fill(dc, RECT{bounds.left, bounds.top, label.left, bounds.bottom}, bkColor_);
  auto small = reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, LVSIL_SMALL));
  if (small != nullptr && bounds.right - bounds.left > 1) {
    ImageList_DrawEx(small, item.iImage, dc, icon.left, icon.top, iconWidth_, iconHeight_, bkColor_,
                     blend, style | (item.state & LVIS_OVERLAYMASK));
  }

  // First column: the label, shortened to fit.
  RECT first = label;
  auto extent = [dc](std::u16string_view t) { return Extent(dc, t); };
  const std::u16string text0 =
      ShortenText(cellText(0), static_cast<int>(first.right - first.left), 4, extent);
  RECT inner0{first.left + 2, first.top, first.right - 2, first.bottom};
  Draw(dc, text0, inner0, DT_LEFT);

  // The other columns, each from the previous cell's right edge for its width.
  int right = label.right;
  for (int column = 1;; ++column) {
    LVCOLUMNW col{};
    col.mask = LVCF_FMT | LVCF_WIDTH;
    if (!Send(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col))) break;
    RECT cell{right, bounds.top, right + col.cx, bounds.bottom};
    right = cell.right;
    const std::u16string full = cellText(column);
    if (full.empty()) continue;
    const std::u16string text =
        ShortenText(full, static_cast<int>(cell.right - cell.left), 12, extent);
    UINT align = DT_LEFT;
    if (text == full) {
      if ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
      if ((col.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
    }
    RECT inner{cell.left + 6, cell.top, cell.right - 6, cell.bottom};
    Draw(dc, text, inner, align);
  }

  if ((item.state & LVIS_FOCUSED) != 0 && focused) DrawFocusRect(dc, &rowRect);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

}  // namespace lumatrove
