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

bool TrayIcon::ShowBalloon(const std::u16string& title, const std::u16string& text, bool warning) {
  if (!added_) return false;
  NOTIFYICONDATAW balloon = data_;
  balloon.uFlags = NIF_INFO;
  lstrcpynW(balloon.szInfo, reinterpret_cast<const wchar_t*>(text.c_str()), 256);
  lstrcpynW(balloon.szInfoTitle, reinterpret_cast<const wchar_t*>(title.c_str()), 64);
  balloon.dwInfoFlags = warning ? NIIF_WARNING : NIIF_INFO;
  balloon.uTimeout = 10000;  // XP's; later systems take the user's accessibility setting
  return Shell_NotifyIconW(NIM_MODIFY, &balloon) != FALSE;
}

void TrayIcon::Remove() {
  if (!added_) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
}

}  // namespace lumatrove::win
