// Menus: a menu handle that is owned (destroyed with this object) or borrowed (a submenu that
// its parent menu destroys), with the calls the program's menus need.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace lumatrove::win {

class Menu {
 public:
  Menu() = default;
  ~Menu() { Reset(); }
  Menu(Menu&& other) noexcept
      : h_(std::exchange(other.h_, nullptr)), owned_(std::exchange(other.owned_, false)) {}
  Menu& operator=(Menu&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, nullptr);
      owned_ = std::exchange(other.owned_, false);
    }
    return *this;
  }
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  // A menu resource of this module, owned; empty when there is none.
  static Menu Load(UINT id) {
    return Menu(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)), true);
  }
  static Menu CreatePopup() { return Menu(CreatePopupMenu(), true); }
  // A menu that something else owns, such as a window's menu bar or system menu.
  static Menu Borrow(HMENU h) { return Menu(h, false); }

  HMENU Handle() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset() {
    if (owned_ && h_ != nullptr) DestroyMenu(h_);
    h_ = nullptr;
    owned_ = false;
  }

  // The submenu at `position`, borrowed from this menu; empty when there is none.
  Menu SubMenu(int position) const { return Borrow(GetSubMenu(h_, position)); }
  int ItemCount() const { return GetMenuItemCount(h_); }
  bool AppendItem(UINT id, const std::u16string& text, UINT flags = MF_STRING) const {
    return AppendMenuW(h_, flags, id, reinterpret_cast<const wchar_t*>(text.c_str())) != FALSE;
  }
  bool AppendSeparator() const { return AppendMenuW(h_, MF_SEPARATOR, 0, nullptr) != FALSE; }
  // Appends `popup` as a submenu; from then on this menu owns it.
  bool AppendPopup(Menu&& popup, const std::u16string& text) const {
    const bool ok = AppendMenuW(h_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.h_),
                                reinterpret_cast<const wchar_t*>(text.c_str())) != FALSE;
    if (ok) popup.owned_ = false;
    return ok;
  }
  bool RemoveAt(int position) const { return RemoveMenu(h_, position, MF_BYPOSITION) != FALSE; }
  // Enables or greys the item of command `id`.
  bool EnableItem(UINT id, bool on) const {
    return EnableMenuItem(h_, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)) != -1;
  }
  bool CheckItem(UINT id, bool on) const {
    return CheckMenuItem(h_, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)) !=
           static_cast<DWORD>(-1);
  }
  // Shows the menu at `at` (screen coordinates) for `owner`; the chosen command, 0 for none.
  UINT Track(HWND owner, POINT at, UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON) const {
    return static_cast<UINT>(
        TrackPopupMenu(h_, flags | TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
  }

 private:
  Menu(HMENU h, bool owned) : h_(h), owned_(owned && h != nullptr) {}

  HMENU h_ = nullptr;
  bool owned_ = false;
};

}  // namespace lumatrove::win
