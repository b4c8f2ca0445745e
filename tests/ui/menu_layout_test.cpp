// The tray and options menus with their adapter and profile submenus, for none, one and more
// adapters and profiles than the menus list.
#include <gtest/gtest.h>

#include "test_text.h"
#include "ui/model/menu_layout.h"

namespace lumatrove {
namespace {

using test::U8;
using Kind = MenuEntry::Kind;

MenuEntry Item(std::u16string text, int id) {
  return {Kind::kItem, std::move(text), id, false, false, {}};
}
MenuEntry Separator() {
  return {Kind::kSeparator, u"", 0, false, false, {}};
}

// The menus as their resources hold them.
MenuLayout LoadedTray() {
  return {Item(u"開啟主介面", 32771),
          Item(u"檢視現用的IP...", 32793),
          Separator(),
          Separator(),
          Separator(),
          Item(u"系統設定(&S)...", 32789),
          Item(u"關於...", 32773),
          Separator(),
          Item(u"離開", 32772)};
}
MenuLayout LoadedOptions() {
  return {Item(u"系統設定(&S)", 32789), Separator(), Separator(), Item(u"檢視日誌", 32790)};
}

std::vector<std::u16string> Names(size_t n, std::u16string_view stem) {
  std::vector<std::u16string> names;
  for (size_t i = 0; i < n; ++i)
    names.push_back(std::u16string(stem) + test::U16(std::to_string(i)));
  return names;
}

// The shape of a layout: one letter per position (i item, - separator, > submenu, g greyed).
std::string Shape(const MenuLayout& layout) {
  std::string s;
  for (const MenuEntry& e : layout) {
    s += e.kind == Kind::kSeparator ? '-' : e.kind == Kind::kSubmenu ? '>' : e.greyed ? 'g' : 'i';
  }
  return s;
}

TEST(MenuLayout, TrayAndOptionsForEveryCount) {
  struct Case {
    size_t adapters, profiles;
    const char* tray;
    const char* options;
    size_t adapterItems, profileItems;
  };
  const Case cases[] = {
      {0, 0, "ii-gg-ggg-ii-i", "i-gg-i", 0, 0},       {1, 1, "ii->>->gg-ii-i", "i->>-i", 1, 1},
      {25, 600, "ii->>->gg-ii-i", "i->>-i", 20, 500}, {0, 3, "ii-gg->gg-ii-i", "i-gg-i", 0, 3},
      {2, 0, "ii->>-ggg-ii-i", "i->>-i", 2, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.adapters) + " adapters, " + std::to_string(c.profiles) +
                 " profiles");
    const DynamicMenus dynamic =
        MakeDynamicMenus(Names(c.adapters, u"LAN "), Names(c.profiles, u"組態"));
    // Built twice from the same resources, the menus come out the same, never doubled.
    const MenuLayout tray = TrayMenuLayout(LoadedTray(), dynamic);
    EXPECT_EQ(tray, TrayMenuLayout(LoadedTray(), dynamic));
    EXPECT_EQ(Shape(tray), c.tray);
    const MenuLayout options = OptionsMenuLayout(LoadedOptions(), dynamic);
    EXPECT_EQ(Shape(options), c.options);

    EXPECT_EQ(U8(tray[3].text), "禁用網路");
    EXPECT_EQ(U8(tray[4].text), "啟用網路");
    EXPECT_EQ(U8(tray[6].text), "套用組態");
    EXPECT_EQ(U8(tray[7].text), "還原上次套用");
    EXPECT_EQ(U8(tray[8].text), "暫停自動切換");
    EXPECT_EQ(U8(tray[10].text), "系統設定(&S)...");
    EXPECT_EQ(tray[13].id, 32772);
    EXPECT_EQ(options[2], tray[3]);
    EXPECT_EQ(options[3], tray[4]);
    EXPECT_EQ(tray[3].items.size(), c.adapterItems);
    EXPECT_EQ(tray[6].items.size(), c.profileItems);
    if (c.adapterItems > 0) {
      const std::vector<MenuEntry>& disable = tray[3].items;
      EXPECT_EQ(disable.front().id, 2045);
      EXPECT_EQ(U8(disable.front().text), "LAN 0");
      EXPECT_EQ(disable.back().id, 2045 + static_cast<int>(c.adapterItems) - 1);
      EXPECT_EQ(tray[4].items.back().id, 2025 + static_cast<int>(c.adapterItems) - 1);
    }
    if (c.profileItems > 0) {
      EXPECT_EQ(tray[6].items.front().id, 1524);
      EXPECT_EQ(tray[6].items.back().id, 1524 + static_cast<int>(c.profileItems) - 1);
      EXPECT_EQ(U8(tray[6].items.back().text), "組態" + std::to_string(c.profileItems - 1));
    }
  }
}

TEST(MenuLayout, LiveProfilesAreCheckedAndUndoNeedsASnapshot) {
  const std::vector<std::u16string> profiles = Names(3, u"組態");
  // Several profiles can be live at once; flags beyond the rows are ignored.
  DynamicMenus dynamic =
      MakeDynamicMenus(Names(1, u"LAN "), profiles, {true, false, true, true}, true);
  std::vector<bool> checked;
  for (const MenuEntry& e : dynamic.apply.items)
    checked.push_back(e.checked);
  EXPECT_EQ(checked, (std::vector<bool>{true, false, true}));
  EXPECT_FALSE(dynamic.undo.greyed);
  EXPECT_EQ(dynamic.undo.id, 32820);
  EXPECT_FALSE(dynamic.disable.items[0].checked);

  dynamic = MakeDynamicMenus({}, profiles, {true});
  EXPECT_TRUE(dynamic.apply.items[0].checked);
  EXPECT_FALSE(dynamic.apply.items[1].checked);
  EXPECT_TRUE(dynamic.undo.greyed);

  // The pause item: greyed while no profile switches by itself, checked while paused.
  EXPECT_TRUE(dynamic.pause.greyed);
  dynamic = MakeDynamicMenus({}, profiles, {}, false, AutoSwitchState::kOn);
  EXPECT_FALSE(dynamic.pause.greyed || dynamic.pause.checked);
  dynamic = MakeDynamicMenus({}, profiles, {}, false, AutoSwitchState::kPaused);
  EXPECT_TRUE(dynamic.pause.checked && !dynamic.pause.greyed);
  EXPECT_EQ(dynamic.pause.id, 32821);
}

// Profile names are cut after 40 characters (the stored name stays whole); "&" and tabs are
// shown as themselves, in adapter names too.
TEST(MenuLayout, ItemTextsOfLongAndSpecialNames) {
  const std::u16string pair = u"\U0001F600";
  struct Case {
    std::u16string name, shown;
  };
  const Case cases[] = {
      {std::u16string(40, u'名'), std::u16string(40, u'名')},
      {std::u16string(500, u'名'), std::u16string(40, u'名') + u"…"},
      {std::u16string(39, u'a') + pair + u"b", std::u16string(39, u'a') + u"…"},
      {u"R&D\tlab", u"R&&D lab"},
  };
  for (const Case& c : cases) {
    const DynamicMenus dynamic = MakeDynamicMenus({c.name}, {c.name});
    EXPECT_EQ(dynamic.apply.items.at(0).text, c.shown) << U8(c.name);
  }
  EXPECT_EQ(MakeDynamicMenus({u"R&D"}, {}).enable.items.at(0).text, u"R&&D");
}

}  // namespace
}  // namespace lumatrove
