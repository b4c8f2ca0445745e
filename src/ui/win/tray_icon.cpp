#include "ui/win/tray_icon.h"

#include <cstddef>

#include "ui/win/handles.h"

namespace lumatrove::win {

bool TrayIcon::Add(HWND owner, UINT id, UINT callback, UINT iconId, const std::u16string& tip) {
  Remove();
  data_ = NOTIFYICONDATAW{};
  // The size of the record with balloon fields (before guidItem): XP and later take it.
  data_.cbSize = offsetof(NOTIFYICONDATAW, guidItem);
  data_.hWnd = owner;
  data_.uID = id;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callback;
  lstrcpynW(data_.szTip, reinterpret_cast<const wchar_t*>(tip.c_str()), 128);
  iconId_ = iconId;
  return AddAgain();
}

bool TrayIcon::AddAgain() {
  if (data_.hWnd == nullptr) return false;
  // The shell copies the icon; the record does not keep it.
  const Icon icon =
      LoadIconResource(iconId_, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  data_.hIcon = icon.Get();
  added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
  data_.hIcon = nullptr;
  return added_;
}

bool TrayIcon::SetTip(const std::u16string& tip) {
  lstrcpynW(data_.szTip, reinterpret_cast<const wchar_t*>(tip.c_str()), 128);
  if (!added_) return false;
  NOTIFYICONDATAW change = data_;
  change.uFlags = NIF_TIP;
  return Shell_NotifyIconW(NIM_MODIFY, &change) != FALSE;
}

void TrayIcon::Remove() {
  if (!added_) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
}

}  // namespace lumatrove::win
