// The main window's tool commands: Help, Settings, Repair, Import and the desktop shortcut,
// and the log commands.
#include "ui/main/main_dialog.h"
// After windows.h.
#include <commdlg.h>

#include "texts.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/model/action_log.h"
#include "ui/model/shortcut_model.h"
#include "ui/win/shell_link.h"

namespace lumatrove {

using win::W;

void MainDialog::ShowHelp() {
  // The help file lies in the current directory, the program folder.
  ShellExecuteW(Handle(), L"open", L"hh.exe", W(std::u16string(kHelpFile)), nullptr, SW_SHOWNORMAL);
}

void MainDialog::CreateShortcut() {
  const RowProfile profile = RowForCommand();
  if (profile.row < 0) return;
  const std::u16string desktop = win::DesktopFolder();
  const std::optional<DesktopShortcut> shortcut =
      desktop.empty()
          ? std::nullopt
          : MakeShortcut(desktop, store.ProgramPath().Text(), workDir, profile.name, profile.id);
  // Success needs no word (the shortcut is on the desktop); a failure does.
  if (!shortcut ||
      !win::SaveShellLink(shortcut->path, {shortcut->target, shortcut->workDir, shortcut->arguments,
                                           shortcut->iconPath, shortcut->iconIndex})) {
    Message(texts::kShortcutFailed, MB_ICONERROR);
  }
}

void MainDialog::EditSettings() {
  if (!ShowSettingsDialog(Handle(), store)) return;
  if (!store.autoRunFault.empty()) Append(store.autoRunFault);
  // A copy of the whole configuration beside it.
  if (!store.document.SaveFile(workDir + u"\\" + std::u16string(texts::kSettingsCopyFile))) {
    Message(texts::kSaveFailed, MB_ICONERROR);
  }
}

void MainDialog::RepairProfiles() {
  if (!store.RepairProfiles(ConnectionList(netAdapters.adapters))) return;
  SaveAndReload(SavedChange::kRepaired);
  FillProfileList();
}

void MainDialog::ImportProfiles() {
  wchar_t file[MAX_PATH] = L"ipconfig.xml";
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = Handle();
  open.lpstrFilter =
      L"XML Files (*.xml)\0*.xml\0Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0\0";
  open.lpstrFile = file;
  open.nMaxFile = MAX_PATH;
  open.lpstrDefExt = L"xml";
  open.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  if (!GetOpenFileNameW(&open)) return;
  if (!store.ImportOldConfig(win::U(file))) {
    Message(texts::kImportFailed, MB_ICONEXCLAMATION);
    return;
  }
  store.RepairProfiles(ConnectionList(netAdapters.adapters));
  SaveAndReload(SavedChange::kImported);
  FillProfileList();
}

void MainDialog::ViewLog() {
  // The log lies in the current directory, the program folder.
  ShellExecuteW(Handle(), L"open", L"NOTEPAD.EXE", L" system.log", nullptr, SW_SHOWNORMAL);
}

void MainDialog::ClearLog() {
  if (Message(texts::kClearLogQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (!ActionLog(FilePath(kActionLogFile), net_.codePage()).Clear()) {
    Message(texts::kClearLogFailed, MB_ICONERROR);
  }
}

}  // namespace lumatrove
