#include "ui/win/dialog.h"

namespace lumatrove::win {
namespace {
// The dialog being created on this thread: messages that arrive before WM_INITDIALOG
// (WM_SETFONT, WM_MEASUREITEM of owner-drawn controls) find their object through it.
thread_local Dialog* creating = nullptr;
}  // namespace

Dialog::~Dialog() {
  if (Handle() != nullptr) Destroy();
}

INT_PTR CALLBACK Dialog::Procedure(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(l);
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->Attach(hwnd);
  } else {
    self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr && creating != nullptr) {
      self = creating;
      self->Attach(hwnd);
    }
  }
  if (self == nullptr) return FALSE;
  try {
    return self->Dispatch(message, w, l);
  } catch (...) {
    return FALSE;
  }
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM w, LPARAM l) {
  INT_PTR result = 0;
  switch (message) {
    case WM_INITDIALOG:
      return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
      if (OnCommand(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l))) return TRUE;
      if (HIWORD(w) == BN_CLICKED && LOWORD(w) == IDOK) {
        OnOk();
        return TRUE;
      }
      if (HIWORD(w) == BN_CLICKED && LOWORD(w) == IDCANCEL) {
        OnCancel();
        return TRUE;
      }
      break;
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (OnNotify(reinterpret_cast<NMHDR*>(l), r)) {
        SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, r);
        return TRUE;
      }
      break;
    }
    case WM_DESTROY:
      OnDestroy();
      break;
    default:
      break;
  }
  if (OnMessage(message, w, l, result)) return result;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(Handle(), DWLP_USER, 0);
    Attach(nullptr);
  }
  return FALSE;
}

bool Dialog::CreateModeless(HWND parent) {
  ended_ = false;
  modeless_ = true;
  Dialog* outer = creating;
  creating = this;
  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent,
                                 &Dialog::Procedure, reinterpret_cast<LPARAM>(this));
  creating = outer;
  return hwnd != nullptr;
}

INT_PTR Dialog::RunModal(HWND parent) {
  if (!CreateModeless(parent)) return -1;
  modeless_ = false;
  const bool reenable = parent != nullptr && IsWindowEnabled(parent);
  if (reenable) EnableWindow(parent, FALSE);
  if (Handle() != nullptr && !ended_) ShowWindow(Handle(), SW_SHOW);
  MSG msg;
  while (!ended_ && Handle() != nullptr) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave the quit for the outer loop
      break;
    }
    if (got < 0) break;
    if (PreTranslateMessage(msg)) continue;
    if (Handle() != nullptr && IsDialogMessageW(Handle(), &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (reenable) EnableWindow(parent, TRUE);
  if (Handle() != nullptr) Destroy();
  return result_;
}

void Dialog::End(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (modeless_ && Handle() != nullptr) Destroy();
}

void Dialog::SetIcons(UINT id) {
  icon_ = LoadIconResource(id, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
  smallIcon_ = LoadIconResource(id, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Get()));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));
}

void Dialog::Destroy() {
  if (Handle() != nullptr) DestroyWindow(Handle());
}

}  // namespace lumatrove::win
