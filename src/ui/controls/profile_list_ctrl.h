// ProfileListCtrl: the main window's profile list. A report-view list view that paints whole
// rows, marks the current row in its own colour, shortens cell texts with "..." and shows a
// tooltip per row. It takes over a dialog's list-view control; the dialog forwards
// WM_DRAWITEM to DrawItem.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/model/main_window_model.h"
#include "ui/win/window.h"

namespace lumatrove {

inline constexpr COLORREF kCurrentRowColor = RGB(251, 188, 102);

class ProfileListCtrl : public win::Window {
 public:
  ProfileListCtrl();
  ~ProfileListCtrl();
  ProfileListCtrl(const ProfileListCtrl&) = delete;
  ProfileListCtrl& operator=(const ProfileListCtrl&) = delete;

  // Takes over the list-view control `list` (a child of a dialog).
  bool TakeOver(HWND list);

  // Adds or removes LVS_OWNERDRAWFIXED; returns whether the style changed.
  bool SetFullRowSelect(bool on);
  int GetCurrentRow() const { return currentRow_; }
  void SetCurrentRow(int row) { currentRow_ = row; }
  // Repaints the old current row and makes `row` current; returns it.
  int SelectCurrentRow(int row);

  // The list holds no rows of its own (an owner-data list view): it shows `rows`, which
  // must outlive it or be replaced, and asks for the texts of the rows it draws.
  void SetRows(const ProfileRows* rows) { rows_ = rows; }
  // Deletes every row (and with them the selection); SetRowCount then shows the new rows.
  bool DeleteAllItems();
  void SetRowCount(int count);
  // Answers LVN_GETDISPINFOW, which the parent receives for this control.
  void FillDisplayInfo(NMLVDISPINFOW& info) const;
  WORD SetToolTipHitMask(WORD mask);
  void SetMaxToolTipLength(int length) { maxTipLength_ = length; }
  // Creates the tooltip window that shows the rows' texts.
  void EnableToolTips();
  int FirstSelectedRow() const;

  // Paints one row; the parent calls it for WM_DRAWITEM of this control.
  void DrawItem(const DRAWITEMSTRUCT& item);

 private:
  static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM w, LPARAM l,
                                            UINT_PTR id, DWORD_PTR data);
  LRESULT Intercept(UINT message, WPARAM w, LPARAM l, bool& handled);
  bool IsReportView() const { return (Style() & LVS_TYPEMASK) == LVS_REPORT; }
  void RepaintSelectedRows();
  void OnPaint();
  void TrackToolTip(POINT client);
  void ProvideToolTipText(NMTTDISPINFOW& info);
  LVHITTESTINFO HitTest(POINT client) const;

  int fullRowSelect_ = 0;
  int clientWidth_ = 0;
  int iconWidth_ = 0;
  int iconHeight_ = 0;
  COLORREF textColor_;
  COLORREF textBkColor_;
  COLORREF bkColor_;
  int currentRow_ = -1;
  std::wstring tipTextW_;
  const ProfileRows* rows_ = nullptr;
  WORD hitMask_ = LVHT_ONITEMLABEL;
  int maxTipLength_ = 200;

  HWND tip_ = nullptr;
  int shownTool_ = -1;  // row x 100 + column under the cursor, -1 for none
};

}  // namespace lumatrove
