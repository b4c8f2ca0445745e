// Driving another process's windows from a test: finding its main window and message boxes,
// reading a list view's rows and rectangles through memory in that process, clicking.
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace lumatrove::test {

// Waits until `ready` holds, checking every 20 ms; false after `seconds`.
inline bool WaitFor(const std::function<bool()>& ready, double seconds = 20) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (std::chrono::steady_clock::now() < until) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ready();
}

struct WindowSearch {
  DWORD pid;
  std::vector<HWND>* out;
};

// An EnumWindows callback (the Windows calling convention, which the 32-bit build needs).
inline BOOL CALLBACK CollectWindowOf(HWND h, LPARAM l) {
  auto* s = reinterpret_cast<WindowSearch*>(l);
  DWORD owner = 0;
  GetWindowThreadProcessId(h, &owner);
  if (owner == s->pid) s->out->push_back(h);
  return TRUE;
}

inline std::vector<HWND> TopLevelWindows(DWORD pid) {
  std::vector<HWND> found;
  WindowSearch search{pid, &found};
  EnumWindows(&CollectWindowOf, reinterpret_cast<LPARAM>(&search));
  return found;
}

inline HWND MainWindowOf(DWORD pid) {
  for (HWND h : TopLevelWindows(pid)) {
    if (GetPropW(h, L"Lumatrove-Good") != nullptr) return h;
  }
  return nullptr;
}

// A visible message box of the process (a dialog with the static text 0xFFFF).
inline HWND MessageBoxOf(DWORD pid) {
  for (HWND h : TopLevelWindows(pid)) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) && GetDlgItem(h, 0xFFFF) != nullptr) {
      return h;
    }
  }
  return nullptr;
}

// A popup menu of the process on the screen.
inline HWND VisibleMenuOf(DWORD pid) {
  for (HWND h : TopLevelWindows(pid)) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32768") == 0 && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

inline std::u16string WindowText(HWND h) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(h, buffer, 1024);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

inline std::u16string MessageText(HWND box) {
  wchar_t buffer[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
  return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

// Waits for a message box of `pid`, returns its text and presses its OK (or first) button.
inline bool TakeMessageBox(DWORD pid, std::u16string& text, std::u16string* caption = nullptr,
                           double seconds = 20) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = MessageBoxOf(pid)) != nullptr; }, seconds)) return false;
  text = MessageText(box);
  if (caption != nullptr) *caption = WindowText(box);
  HWND ok = GetDlgItem(box, IDOK);
  if (ok == nullptr) ok = GetDlgItem(box, IDYES);
  if (ok != nullptr) {
    PostMessageW(ok, BM_CLICK, 0, 0);
  } else {
    PostMessageW(box, WM_CLOSE, 0, 0);
  }
  return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, seconds);
}

// Memory in another process, for the messages whose arguments point to memory (16 KiB).
class RemoteMemory {
 public:
  explicit RemoteMemory(DWORD pid) {
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) {
      memory_ = VirtualAllocEx(process_, nullptr, 16384, MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteMemory() {
    if (memory_ != nullptr) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  bool Ok() const { return memory_ != nullptr; }
  void* Memory() const { return memory_; }
  LPARAM At(size_t offset = 0) const {
    return reinterpret_cast<LPARAM>(static_cast<char*>(memory_) + offset);
  }
  // Reads `bytes` from the other process's address `address`.
  bool Read(const void* address, void* out, size_t bytes) {
    return ReadProcessMemory(process_, address, out, bytes, nullptr) != FALSE;
  }
  bool Write(const void* data, size_t bytes, size_t offset = 0) {
    return WriteProcessMemory(process_, static_cast<char*>(memory_) + offset, data, bytes,
                              nullptr) != FALSE;
  }
  template <typename T>
  T Get(size_t offset = 0) {
    T value{};
    Read(static_cast<char*>(memory_) + offset, &value, sizeof value);
    return value;
  }

 private:
  HANDLE process_ = nullptr;
  void* memory_ = nullptr;
};

// Waits for a message box of `pid`, returns its text and presses `button` (IDYES, IDNO,
// IDOK, IDCANCEL).
inline bool AnswerMessageBox(DWORD pid, int button, std::u16string& text, double seconds = 20) {
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = MessageBoxOf(pid)) != nullptr; }, seconds)) return false;
  text = MessageText(box);
  HWND pressed = GetDlgItem(box, button);
  if (pressed == nullptr) return false;
  PostMessageW(pressed, BM_CLICK, 0, 0);
  return WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, seconds);
}

// A list view of another process, read through memory allocated in that process.
class RemoteList : public RemoteMemory {
 public:
  RemoteList(HWND list, DWORD pid) : RemoteMemory(pid), list_(list) {}
  int Rows() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

  std::u16string Text(int row, int column) {
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 512;
    item.pszText = reinterpret_cast<wchar_t*>(At(1024));
    Write(&item, sizeof item);
    SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), At());
    wchar_t text[512] = {};
    Read(reinterpret_cast<void*>(At(1024)), text, sizeof text - sizeof(wchar_t));
    return std::u16string(reinterpret_cast<const char16_t*>(text));
  }

  // The row's image: 1 marks the profile Windows uses now.
  int Image(int row) {
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    Write(&item, sizeof item);
    SendMessageW(list_, LVM_GETITEMW, 0, At());
    return Get<LVITEMW>().iImage;
  }

  RECT Rect(int row, int part = LVIR_BOUNDS) {
    RECT r{};
    r.left = part;
    Write(&r, sizeof r);
    SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), At());
    return Get<RECT>();
  }

 private:
  HWND list_;
};

// Mouse messages at the centre of a rectangle of `window` (client coordinates).
inline void Click(HWND window, RECT r, bool twice) {
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
  if (twice) {
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
  }
}

}  // namespace lumatrove::test
