// The main window's tool commands: About, Help, Settings, Repair, Import, Donate and the
// desktop shortcut.
#include "ui/main/main_dialog.h"
// After windows.h.
#include <commdlg.h>

#include "texts.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/settings_dialog.h"
#include "ui/model/shortcut_model.h"
#include "ui/win/shell_link.h"

namespace lumatrove {

using win::W;

void MainDialog::ShowHelp() {
  // The help file lies in the current directory, the program folder.
  ShellExecuteW(Handle(), L"open", L"hh.exe", W(std::u16string(kHelpFile)), nullptr, SW_SHOWNORMAL);
}

void MainDialog::CreateShortcut() {
  const int row = RowForCommand();
  if (row < 0) return;
  wchar_t program[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, program, MAX_PATH);
  const std::u16string desktop = win::DesktopFolder();
  const std::optional<DesktopShortcut> shortcut =
      desktop.empty()
          ? std::nullopt
          : MakeShortcut(desktop, win::U(program), workDir, profileRows.CellText(row, 2),
                         profileIds[static_cast<size_t>(row)]);
  // Success needs no word (the shortcut is on the desktop); a failure does.
  if (!shortcut ||
      !win::SaveShellLink(shortcut->path, {shortcut->target, shortcut->workDir, shortcut->arguments,
                                           shortcut->iconPath, shortcut->iconIndex})) {
    Message(texts::kShortcutFailed, MB_ICONERROR);
  }
}

void MainDialog::EditSettings() {
  if (!ShowSettingsDialog(*this)) return;
  // A copy of the whole configuration beside it.
  if (!store.document.SaveFile(workDir + u"\\" + std::u16string(texts::kSettingsCopyFile))) {
    Message(texts::kSaveFailed, MB_ICONERROR);
  }
}

std::vector<const AdapterInfo*> MainDialog::AdapterSnapshot() const {
  std::vector<const AdapterInfo*> snapshot;
  for (const auto& a : netAdapters.adapters)
    snapshot.push_back(a.get());
  return snapshot;
}

void MainDialog::RepairProfiles() {
  if (!store.RepairProfiles(AdapterSnapshot())) return;
  SaveAndReload(kSavedRepaired);
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
  store.RepairProfiles(AdapterSnapshot());
  SaveAndReload(kSavedImported);
  FillProfileList();
}

}  // namespace lumatrove
