// Window helpers, and the wrappers of controls whose calls need more than one message.
#include "ui/win/window.h"

#include <vector>

#include "ui/win/controls.h"
#include "ui/win/handles.h"

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

namespace lumatrove::win {

int WaitWithoutInput(const HANDLE* handles, DWORD count, DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    const auto left = static_cast<LONG>(end - GetTickCount());
    if (left <= 0) return -1;
    const DWORD woke =
        MsgWaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    if (woke < WAIT_OBJECT_0 + count) return static_cast<int>(woke - WAIT_OBJECT_0);
    if (woke == WAIT_FAILED) return -1;
    if (woke != WAIT_OBJECT_0 + count) continue;  // the time ran out: checked above
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return -1;
      }
      const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                         (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
      if (input) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void AllowMessageFromLowerIntegrity(HWND window, UINT message) {
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (user == nullptr) return;
  // Windows 7 and later filter per window; Vista only per process.
  using PerWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  using PerProcess = BOOL(WINAPI*)(UINT, DWORD);
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW and MSGFLT_ADD
  if (const auto perWindow = reinterpret_cast<PerWindow>(
          reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilterEx")))) {
    perWindow(window, message, kAllow, nullptr);
  } else if (const auto perProcess = reinterpret_cast<PerProcess>(
                 reinterpret_cast<void*>(GetProcAddress(user, "ChangeWindowMessageFilter")))) {
    perProcess(message, kAllow);
  }
}

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

Bitmap StretchedBitmap(HBITMAP source, int width, int height) {
  BITMAP info{};
  if (source == nullptr || GetObjectW(source, sizeof info, &info) == 0) return Bitmap();
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = width;
  header.bmiHeader.biHeight = height;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  Bitmap result(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
  HDC from = CreateCompatibleDC(nullptr);
  HDC to = CreateCompatibleDC(nullptr);
  if (result && from != nullptr && to != nullptr) {
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, result.Get());
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from != nullptr) DeleteDC(from);
  if (to != nullptr) DeleteDC(to);
  return result;
}

}  // namespace lumatrove::win
