// A thin, non-owning wrapper of a window handle, and helpers between UTF-16 text and the
// Win32 wide-character calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace lumatrove::win {

inline const wchar_t* W(const std::u16string& s) {
  return reinterpret_cast<const wchar_t*>(s.c_str());
}
inline std::u16string U(const wchar_t* s) {
  return s == nullptr ? std::u16string() : std::u16string(reinterpret_cast<const char16_t*>(s));
}

// A string resource of this module ("" when there is none); at most `limit` characters.
std::u16string LoadString(UINT id, int limit = 256);

// Waits up to `ms` for one of `handles` (none: only for the time) while the thread's windows
// go on painting and taking their messages; keyboard and mouse input is dropped meanwhile.
// Returns the index of the signalled handle, or -1 when the time ran out or the program is
// ending (WM_QUIT, which is posted again).
int WaitWithoutInput(const HANDLE* handles, DWORD count, DWORD ms);

// The screen's logical pixels per inch (96 at 100 %, 144 at 150 %); 96 when it cannot be read.
int SystemDpi();
// Lets `message` reach `window` from processes of a lower integrity level (User Interface
// Privilege Isolation, Vista and later); does nothing where the system has no such filter.
void AllowMessageFromLowerIntegrity(HWND window, UINT message);

class Window {
 public:
  Window() = default;
  explicit Window(HWND hwnd) : hwnd_(hwnd) {}
  HWND Handle() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }
  void Attach(HWND hwnd) { hwnd_ = hwnd; }

  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) const {
    return SendMessageW(hwnd_, message, w, l);
  }
  bool Post(UINT message, WPARAM w = 0, LPARAM l = 0) const {
    return PostMessageW(hwnd_, message, w, l) != FALSE;
  }
  bool Show(int how) const { return ShowWindow(hwnd_, how) != FALSE; }
  bool IsVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
  bool Enable(bool on) const { return EnableWindow(hwnd_, on ? TRUE : FALSE) != FALSE; }
  bool Invalidate(const RECT* rect = nullptr, bool erase = true) const {
    return InvalidateRect(hwnd_, rect, erase ? TRUE : FALSE) != FALSE;
  }
  bool Update() const { return UpdateWindow(hwnd_) != FALSE; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  int Id() const { return GetDlgCtrlID(hwnd_); }
  bool SetText(const std::u16string& text) const { return SetWindowTextW(hwnd_, W(text)) != FALSE; }
  std::u16string Text() const;
  RECT ClientRect() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
  }
  RECT WindowRect() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return r;
  }
  LONG_PTR Style() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }
  void SetStyle(LONG_PTR style) const { SetWindowLongPtrW(hwnd_, GWL_STYLE, style); }
  bool Move(int x, int y, int width, int height, bool repaint = true) const {
    return MoveWindow(hwnd_, x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
  }
  // Centres this window on `other` (in the coordinates of this window's parent).
  void CenterOn(HWND other) const;

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace lumatrove::win
