// Window helpers, and the wrappers of controls whose calls need more than one message.
#include "ui/win/window.h"

#include <vector>

#include "ui/win/controls.h"

namespace lumatrove::win {

std::u16string LoadString(UINT id, int limit) {
  std::vector<wchar_t> buffer(static_cast<size_t>(limit) + 1, L'\0');
  const int n = LoadStringW(GetModuleHandleW(nullptr), id, buffer.data(), limit + 1);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()),
                        static_cast<size_t>(n > 0 ? n : 0));
}

std::u16string Window::Text() const {
  const int n = GetWindowTextLengthW(hwnd_);
  std::vector<wchar_t> buffer(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(hwnd_, buffer.data(), n + 1);
  return U(buffer.data());
}

void Window::CenterOn(HWND other) const {
  RECT self = WindowRect();
  RECT target{};
  GetWindowRect(other, &target);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  POINT p{target.left + (target.right - target.left - width) / 2,
          target.top + (target.bottom - target.top - height) / 2};
  if (HWND parent = GetParent(hwnd_); parent != nullptr && (Style() & WS_CHILD) != 0) {
    ScreenToClient(parent, &p);
  }
  SetWindowPos(hwnd_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::u16string ComboBox::ItemText(int index) const {
  const LRESULT length = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  return U(buffer.data());
}

}  // namespace lumatrove::win
