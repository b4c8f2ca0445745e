#include "ui/dialogs/progress_dialog.h"

#include "ui/dialogs/progress_dialog_res.h"

namespace lumatrove {

ProgressDialog::ProgressDialog() : Dialog(IDD_PROGRESS) {}

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
