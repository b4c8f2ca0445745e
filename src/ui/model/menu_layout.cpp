#include "ui/model/menu_layout.h"

#include <algorithm>

#include "texts.h"
#include "ui/model/main_window_model.h"
#include "ui/res/resource.h"

namespace lumatrove {
namespace {

MenuEntry Submenu(std::u16string_view text, std::vector<MenuEntry> items) {
  MenuEntry e;
  e.text = text;
  if (items.empty()) {
    e.greyed = true;  // a placeholder that no command answers
  } else {
    e.kind = MenuEntry::Kind::kSubmenu;
    e.items = std::move(items);
  }
  return e;
}

// A name as a menu item's text: "&" would underline the next character and a tab would start
// the accelerator column.
std::u16string MenuText(std::u16string_view name) {
  std::u16string text;
  for (char16_t c : name) {
    if (c == u'&') text += u'&';
    text += c == u'\t' ? u' ' : c;
  }
  return text;
}

std::vector<MenuEntry> Items(const std::vector<std::u16string>& names, size_t limit, int firstId,
                             bool shorten) {
  std::vector<MenuEntry> items;
  const size_t n = std::min(names.size(), limit);
  for (size_t i = 0; i < n; ++i) {
    MenuEntry e;
    e.text = MenuText(shorten ? ShortProfileName(names[i]) : names[i]);
    e.id = firstId + static_cast<int>(i);
    items.push_back(std::move(e));
  }
  return items;
}

// `loaded` with `entries` inserted, each at its position in the result.
MenuLayout Inserted(MenuLayout layout, const std::vector<std::pair<size_t, MenuEntry>>& entries) {
  for (const auto& [position, entry] : entries) {
    layout.insert(layout.begin() + static_cast<std::ptrdiff_t>(std::min(position, layout.size())),
                  entry);
  }
  return layout;
}

}  // namespace

DynamicMenus MakeDynamicMenus(const std::vector<std::u16string>& adapterNames,
                              const std::vector<std::u16string>& profileNames,
                              const std::vector<bool>& liveRows, bool canUndo,
                              AutoSwitchState autoSwitch) {
  DynamicMenus menus;
  menus.disable =
      Submenu(texts::kMenuDisable, Items(adapterNames, kMenuAdapterLimit, ID_DISABLE_FIRST, false));
  menus.enable =
      Submenu(texts::kMenuEnable, Items(adapterNames, kMenuAdapterLimit, ID_ENABLE_FIRST, false));
  std::vector<MenuEntry> apply = Items(profileNames, kMenuProfileLimit, ID_APPLY_FIRST, true);
  for (size_t i = 0; i < apply.size() && i < liveRows.size(); ++i)
    apply[i].checked = liveRows[i];
  menus.apply = Submenu(texts::kMenuApply, std::move(apply));
  menus.undo.text = texts::kMenuUndoApply;
  menus.undo.id = ID_UNDO_APPLY;
  menus.undo.greyed = !canUndo;
  menus.pause.text = texts::kMenuPauseAutoSwitch;
  menus.pause.id = ID_AUTOSWITCH_PAUSE;
  menus.pause.greyed = autoSwitch == AutoSwitchState::kNone;
  menus.pause.checked = autoSwitch == AutoSwitchState::kPaused;
  return menus;
}

MenuLayout TrayMenuLayout(const MenuLayout& loaded, const DynamicMenus& dynamic) {
  return Inserted(loaded, {{3, dynamic.disable},
                           {4, dynamic.enable},
                           {6, dynamic.apply},
                           {7, dynamic.undo},
                           {8, dynamic.pause}});
}

MenuLayout OptionsMenuLayout(const MenuLayout& loaded, const DynamicMenus& dynamic) {
  return Inserted(loaded, {{2, dynamic.disable}, {3, dynamic.enable}});
}

}  // namespace lumatrove
