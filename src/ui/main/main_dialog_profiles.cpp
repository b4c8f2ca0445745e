// The main window's profile list: its rows, notifications and keys, saving and reloading
// after a change, and the states of the row commands.
#include <algorithm>
#include <cstdio>

#include "base/ascii_text.h"
#include "texts.h"
#include "ui/main/main_dialog.h"
#include "ui/model/action_log.h"
#include "ui/model/live_state.h"
#include "ui/model/main_window_model.h"
#include "ui/res/resource.h"

namespace lumatrove {

using win::LoadString;
using win::W;

void MainDialog::FillProfileList() {
  profileList.DeleteAllItems();
  profileRows.Fill(store.profiles);
  profileRows.SetLive(live_.LiveRows(store.profiles));
  profileList.SetMaxToolTipLength(
      static_cast<int>(std::min<size_t>(profileRows.LongestToolTip(), 800)));
  profileList.SetRowCount(profileRows.Count());
  RegisterHotkeys();
}

bool MainDialog::SaveAndReload(SavedChange change) {
  // Success is said only when the file, read back, holds what was saved. After a failed
  // write the file keeps what it had; so do the document and the list.
  const bool saved = store.SaveAndReopen();
  LogWhatOpenDid();
  if (!saved) {
    Message(texts::kSaveFailed, MB_ICONERROR);
    return false;
  }
  if (change == SavedChange::kRepaired) Message(texts::kRepaired, MB_OK);
  if (change == SavedChange::kNew || change == SavedChange::kModified ||
      change == SavedChange::kBackup) {
    Message(texts::kSaved, MB_ICONINFORMATION);
  }
  Append(texts::kSavedLogEntry);
  return true;
}

void MainDialog::LogWhatOpenDid() {
  for (const std::u16string& line : IdRepairLogLines(store.idRepairs))
    Append(line);
  if (!store.autoRunFault.empty()) Append(store.autoRunFault);
}

MainDialog::RowProfile MainDialog::ProfileOfRow(int row) const {
  if (row < 0 || row >= profileRows.Count()) return {};
  return {row, profileRows.Id(row), profileRows.Name(row)};
}

MainDialog::RowProfile MainDialog::RowForCommand() {
  const RowProfile profile = ProfileOfRow(profileList.GetCurrentRow());
  if (profile.row < 0) Message(texts::kNoProfileSelected, MB_ICONEXCLAMATION);
  return profile;
}

void MainDialog::UpdateCommandStates() {
  const bool on = profileList.GetCurrentRow() >= 0;
  for (int id : kRowToolbarCommands)
    toolBar_.EnableButton(id, on);
  if (const win::Menu menu = win::Menu::Borrow(GetMenu(Handle()))) {
    for (int id : kRowMenuCommands)
      menu.EnableItem(static_cast<UINT>(id), on);
    menu.EnableItem(ID_UNDO_APPLY, UndoSnapshotExists());
    DrawMenuBar(Handle());
  }
}

bool MainDialog::OnListNotify(NMHDR* header) {
  switch (header->code) {
    case NM_CLICK:
      profileList.SelectCurrentRow(profileList.FirstSelectedRow());
      UpdateCommandStates();
      return true;
    case NM_RCLICK:
      profileList.SelectCurrentRow(profileList.FirstSelectedRow());
      UpdateCommandStates();
      ShowContextMenu();
      return true;
    case NM_DBLCLK:
      UpdateCommandStates();
      ApplyProfileAt(profileList.GetCurrentRow());
      return true;
    case LVN_COLUMNCLICK:
    case HDN_ITEMCLICKW:
      UpdateCommandStates();
      return true;
    case LVN_GETDISPINFOW:
      profileList.FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(header));
      return true;
    case LVN_KEYDOWN:
      // The list moves its selection after this notification; the posted message comes
      // back once it has.
      PostMessageW(Handle(), kKeyboardSelectionMessage,
                   static_cast<WPARAM>(profileList.FirstSelectedRow()), 0);
      return false;
    default:
      return false;
  }
}

bool MainDialog::OnListKey(const MSG& msg) {
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool menuKey = msg.wParam == VK_APPS || (msg.wParam == VK_F10 && shift);
  if (!down) {
    // The menu key's release would ask for the menu a second time.
    return msg.message == WM_KEYUP && msg.wParam == VK_APPS;
  }
  if (msg.wParam != VK_RETURN && msg.wParam != VK_DELETE && msg.wParam != VK_F2 && !menuKey) {
    return false;
  }
  if (applying_) return true;
  // The row the keys act on: the current row, or the selected one when none is current yet.
  if (profileList.GetCurrentRow() < 0 && profileList.FirstSelectedRow() >= 0) {
    profileList.SelectCurrentRow(profileList.FirstSelectedRow());
    UpdateCommandStates();
  }
  switch (msg.wParam) {
    case VK_RETURN: {
      const RowProfile profile = RowForCommand();
      if (profile.row >= 0) ApplyProfileAt(profile.row);
      break;
    }
    case VK_DELETE:
      RemoveProfile();
      break;
    case VK_F2:
      ModifyProfile();
      break;
    default:
      ShowContextMenu(true);
      break;
  }
  return true;
}

void MainDialog::FollowKeyboardSelection(int selectedBefore) {
  const int selected = profileList.FirstSelectedRow();
  if (selected < 0 || selected == selectedBefore || selected == profileList.GetCurrentRow()) return;
  profileList.SelectCurrentRow(selected);
  UpdateCommandStates();
}

bool MainDialog::OnToolTipText(NMHDR* header) {
  UINT_PTR id = header->idFrom;
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    if ((info->uFlags & TTF_IDISHWND) != 0)
      id = static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    if (id == 0) return false;
    const std::u16string tip = TooltipPart(LoadString(static_cast<UINT>(id))).substr(0, 79);
    lstrcpynW(info->szText, W(tip), 80);
    info->lpszText = info->szText;
  } else {
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if ((info->uFlags & TTF_IDISHWND) != 0)
      id = static_cast<UINT_PTR>(GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    if (id == 0) return false;
    const std::u16string tip = TooltipPart(LoadString(static_cast<UINT>(id)));
    WideCharToMultiByte(CP_ACP, 0, W(tip), -1, info->szText, 80, nullptr, nullptr);
    info->szText[79] = '\0';
    info->lpszText = info->szText;
  }
  SetWindowPos(header->hwndFrom, HWND_TOP, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  return true;
}

bool MainDialog::OnNotify(NMHDR* header, LRESULT& result) {
  result = 0;
  if (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA) {
    return OnToolTipText(header);
  }
  if (header->code == TBN_HOTITEMCHANGE) {
    // Fly-by prompts: the button under the mouse explains itself in the status bar.
    const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(header);
    if ((hot->dwFlags & HICF_LEAVING) != 0 || hot->idNew == 0) {
      statusBar_.SetPrompt(std::u16string(texts::kDefaultPrompt));
    } else {
      statusBar_.SetPrompt(PromptPart(LoadString(static_cast<UINT>(hot->idNew))));
    }
    return false;
  }
  if (header->idFrom == IDC_PROFILE_LIST || header->code == HDN_ITEMCLICKW) {
    return OnListNotify(header);
  }
  return false;
}

}  // namespace lumatrove
