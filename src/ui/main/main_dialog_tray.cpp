// The main window's menus that follow the adapters and profiles: the tray menu, the options
// menu's adapter submenus and the list's context menu, and the tray icon's mouse messages.
#include "ui/main/main_dialog.h"
#include "ui/model/hotkey.h"
#include "ui/model/menu_layout.h"
#include "ui/res/resource.h"

namespace lumatrove {
namespace {

using win::W;

// The entries of a menu as it is now, submenus with their entries.
MenuLayout ReadMenu(HMENU menu) {
  MenuLayout layout;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MenuEntry e;
    wchar_t text[257] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = 256;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    e.text = win::U(text);
    e.id = static_cast<int>(info.wID);
    e.greyed = (info.fState & MFS_GRAYED) != 0;
    e.checked = (info.fState & MFS_CHECKED) != 0;
    if ((info.fType & MFT_SEPARATOR) != 0) {
      e.kind = MenuEntry::Kind::kSeparator;
    } else if (info.hSubMenu != nullptr) {
      e.kind = MenuEntry::Kind::kSubmenu;
      e.items = ReadMenu(info.hSubMenu);
    }
    layout.push_back(std::move(e));
  }
  return layout;
}

// Replaces the entries of `menu` by `layout`; the submenus it held are destroyed.
void WriteMenu(HMENU menu, const MenuLayout& layout) {
  while (GetMenuItemCount(menu) > 0)
    DeleteMenu(menu, 0, MF_BYPOSITION);
  for (const MenuEntry& e : layout) {
    switch (e.kind) {
      case MenuEntry::Kind::kSeparator:
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntry::Kind::kSubmenu: {
        HMENU sub = CreatePopupMenu();
        WriteMenu(sub, e.items);
        if (!AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), W(e.text))) {
          DestroyMenu(sub);
        }
        break;
      }
      case MenuEntry::Kind::kItem:
        AppendMenuW(menu, MF_STRING | (e.greyed ? MF_GRAYED : 0u) | (e.checked ? MF_CHECKED : 0u),
                    static_cast<UINT_PTR>(e.id), W(e.text));
        break;
    }
  }
}

}  // namespace

void MainDialog::BuildDynamicMenus() {
  if (!trayMenu_) {
    trayMenu_ = win::Menu::Load(IDR_TRAYMENU);
    trayBase_ = ReadMenu(trayMenu_.SubMenu(0).Handle());
    contextMenu_ = win::Menu::Load(IDR_CONTEXTMENU);
  }
  const win::Menu options = win::Menu::Borrow(GetMenu(Handle())).SubMenu(2);
  if (optionsBase_.empty()) optionsBase_ = ReadMenu(options.Handle());

  std::vector<std::u16string> adapterNames;
  for (const auto& a : netAdapters.adapters)
    adapterNames.push_back(a->connectionName);
  std::vector<std::u16string> profileNames;
  for (int row = 0; row < profileRows.Count(); ++row) {
    // A profile's key stands beside its name, as menus show their accelerators.
    std::u16string entry = profileRows.Name(row);
    const size_t at = static_cast<size_t>(row);
    if (at < store.profiles.size()) {
      const std::optional<Hotkey> key = ParseHotkey(store.profiles[at]->hotkey);
      if (key && !key->empty()) entry += u"\t" + HotkeyText(*key);
    }
    profileNames.push_back(std::move(entry));
  }
  std::vector<bool> liveRows;
  for (int row = 0; row < profileRows.Count(); ++row)
    liveRows.push_back(profileRows.IsLive(row));
  const DynamicMenus dynamic =
      MakeDynamicMenus(adapterNames, profileNames, liveRows, UndoSnapshotExists(),
                       AutoSwitchMenuState());
  WriteMenu(trayMenu_.SubMenu(0).Handle(), TrayMenuLayout(trayBase_, dynamic));
  if (options) WriteMenu(options.Handle(), OptionsMenuLayout(optionsBase_, dynamic));
  DrawMenuBar(Handle());
}

void MainDialog::ShowPopupMenu(const win::Menu& popup, const POINT* place) {
  POINT at{};
  if (place != nullptr) {
    at = *place;
  } else {
    GetCursorPos(&at);
  }
  SetForegroundWindow(Handle());
  // The chosen item arrives as an ordinary command.
  TrackPopupMenu(popup.Handle(), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

void MainDialog::OnTrayCallback(LPARAM mouse) {
  if (mouse == WM_LBUTTONDBLCLK) {
    ShowMainWindow();
  } else if (mouse == WM_RBUTTONDOWN || mouse == NIN_BALLOONUSERCLICK) {
    // A click on a balloon opens the menu, where the undo is.
    BuildDynamicMenus();
    ShowPopupMenu(trayMenu_.SubMenu(0));
  }
}

void MainDialog::ShowContextMenu(bool fromKeyboard) {
  BuildDynamicMenus();
  if (!fromKeyboard) {
    ShowPopupMenu(contextMenu_.SubMenu(0));
    return;
  }
  // From the keyboard the menu opens at the current row, or at the list's corner.
  RECT r{};
  const int row = profileList.GetCurrentRow();
  r.left = LVIR_LABEL;
  if (row < 0 ||
      !profileList.Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r))) {
    r = RECT{};
  }
  POINT at{r.left + 8, r.bottom};
  ClientToScreen(profileList.Handle(), &at);
  ShowPopupMenu(contextMenu_.SubMenu(0), &at);
}

}  // namespace lumatrove
