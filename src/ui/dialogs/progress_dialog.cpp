#include "ui/dialogs/progress_dialog.h"

// After windows.h.
#include <commctrl.h>

#include "ui/dialogs/progress_dialog_res.h"

namespace lumatrove {

ProgressDialog::ProgressDialog() : Dialog(IDD_PROGRESS) {}

void ProgressDialog::SetRange(unsigned maximum) const {
  if (*this) SendDlgItemMessageW(Handle(), IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, maximum);
}

void ProgressDialog::SetPosition(unsigned position) const {
  if (*this) SendDlgItemMessageW(Handle(), IDC_PROGRESS_BAR, PBM_SETPOS, position, 0);
}

bool ProgressDialog::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) {
  if (message == WM_CLOSE) {
    Show(SW_HIDE);
    result = TRUE;
    return true;
  }
  return false;
}

bool ProgressDialog::OnCommand(int id, int, HWND) {
  return id == IDOK || id == IDCANCEL;
}

}  // namespace lumatrove
