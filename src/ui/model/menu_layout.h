// The menus that change with the adapters and profiles, as plain data: the tray menu and the
// main menu's options menu with their adapter submenus ("禁用網路", "啟用網路") and the tray's
// profile submenu ("套用組態"). The window writes a layout into a menu; nothing here knows a
// menu handle.
#pragma once

#include <string>
#include <vector>

namespace lumatrove {

struct MenuEntry {
  enum class Kind { kItem, kSeparator, kSubmenu };
  Kind kind = Kind::kItem;
  std::u16string text;
  int id = 0;
  bool greyed = false;
  bool checked = false;
  std::vector<MenuEntry> items;  // a submenu's entries

  bool operator==(const MenuEntry&) const = default;
};
using MenuLayout = std::vector<MenuEntry>;

// How many adapters and profiles the submenus list.
inline constexpr size_t kMenuAdapterLimit = 20;
inline constexpr size_t kMenuProfileLimit = 500;

// The three submenus for the current adapters and list rows: each a submenu with one item per
// adapter (command 2045 + i to disable, 2025 + i to enable) or per row (1524 + r to apply),
// or, with none, a greyed item of the same text. The rows Windows uses now (`liveRows`) are
// checked. The tray's undo item is greyed without a snapshot to go back to; its item
// "暫停自動切換" is checked while switching by the network is paused, greyed while no profile
// switches by itself.
enum class AutoSwitchState { kNone, kOn, kPaused };
struct DynamicMenus {
  MenuEntry disable;
  MenuEntry enable;
  MenuEntry apply;
  MenuEntry undo;
  MenuEntry pause;
};
DynamicMenus MakeDynamicMenus(const std::vector<std::u16string>& adapterNames,
                              const std::vector<std::u16string>& profileNames,
                              const std::vector<bool>& liveRows = {}, bool canUndo = false,
                              AutoSwitchState autoSwitch = AutoSwitchState::kNone);

// The tray menu as its resource holds it, with the adapter submenus at positions 3 and 4, the
// profile submenu at 6 and the undo and pause items after it.
MenuLayout TrayMenuLayout(const MenuLayout& loaded, const DynamicMenus& dynamic);
// The options menu as its resource holds it, with the adapter submenus at positions 2 and 3.
MenuLayout OptionsMenuLayout(const MenuLayout& loaded, const DynamicMenus& dynamic);

}  // namespace lumatrove
