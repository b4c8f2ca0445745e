// System settings (the SYSCONFIG section) and what starts the program with Windows: the Run
// value, or from Vista on the logon task.
#include "store/profile_store.h"

#include "texts.h"

namespace lumatrove {

void ProfileStore::ReadSystemSettings(bool setUpStart) {
  XmlDocument& d = document;
  d.ResetPosition();
  if (!d.FindElement(u"LUMATROVE")) return;
  d.EnterElement();
  if (!d.FindElement(u"SYSCONFIG")) return;
  if (d.FindChildElement(u"AUTOEXEC")) {
    autoRun = d.GetChildText() != u"FALSE";
    if (setUpStart) SetAutoRun(autoRun);
  }
  d.ResetChildPosition();
  if (d.FindChildElement(u"LOGFLAG")) logEnabled = d.GetChildText() != u"FALSE";
  d.ResetChildPosition();
  if (d.FindChildElement(u"AUTOUPDATE")) autoUpdate = d.GetChildText() != u"FALSE";
  // Off unless the file says TRUE: files of older versions do not have it.
  d.ResetChildPosition();
  confirmApply = d.FindChildElement(u"CONFIRMAPPLY") && d.GetChildText() == u"TRUE";
  d.ResetChildPosition();
  autoSwitchPaused = d.FindChildElement(u"AUTOSWITCHPAUSE") && d.GetChildText() == u"TRUE";
}

bool ProfileStore::WriteSystemSettings() {
  XmlDocument& d = document;
  d.ResetPosition();
  if (!d.FindElement(u"LUMATROVE")) return false;
  d.EnterElement();
  if (d.FindElement(u"SYSCONFIG")) d.RemoveElement();
  d.AddElement(u"SYSCONFIG");
  d.SetAttribute(u"VERSION", u"2.0");
  d.EnterElement();
  d.AddElement(u"AUTOEXEC", autoRun ? u"TRUE" : u"FALSE");
  d.AddElement(u"AUTOUPDATE", autoUpdate ? u"TRUE" : u"FALSE");
  d.AddElement(u"LOGFLAG", logEnabled ? u"TRUE" : u"FALSE");
  // Written only when on, so that a file that never used it stays as older versions wrote it.
  if (confirmApply) d.AddElement(u"CONFIRMAPPLY", u"TRUE");
  if (autoSwitchPaused) d.AddElement(u"AUTOSWITCHPAUSE", u"TRUE");
  return Save();
}

std::u16string ProfileStore::AutoRunCommand() {
  std::u16string directory = system_.CurrentDirectory();
  if (directory.size() > 260) directory.resize(260);
  const std::u16string base = WindowProgramPath().FileName();
  if (!directory.empty() && directory.back() == u'\\') directory.pop_back();  // a drive root
  // The path is quoted: an unquoted path with blanks lets "C:\Program.exe" start instead.
  return u"\"" + directory + u"\\" + base + u"\" -hide";
}

bool ProfileStore::SetAutoRun(bool on) {
  autoRunFault.clear();
  RegKey key(system_.net().registry());
  LogonTasks& tasks = system_.logonTasks();
  if (tasks.Available()) {
    if (key.Open(RegRoot::kLocalMachine, kRunKey, RegAccess::kWrite) == 0) {
      key.Delete(kRunValueName);
    }
    if (!on) {
      if (tasks.Find(kLogonTaskName)) tasks.Delete(kLogonTaskName);
      return true;
    }
    const FilePath program = WindowProgramPath();
    const std::optional<std::u16string> registered = tasks.Find(kLogonTaskName);
    if (registered && LogonTaskStarts(*registered, program.Text())) return true;
    const uint32_t error = tasks.Register(
        kLogonTaskName, LogonTaskXml(tasks.UserId(), program.Text(), program.Folder().Text()));
    if (error == 0) return true;
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string code = u"0x";
    for (int shift = 28; shift >= 0; shift -= 4)
      code += kHex[(error >> shift) & 0xF];
    autoRunFault = texts::LogonTaskFailed(code, system_.net().ErrorText(error));
    return false;
  }
  if (on) {
    if (key.Create(RegRoot::kLocalMachine, kRunKey) == 0) {
      // The terminating NUL is part of the data, as REG_SZ readers expect.
      const std::vector<uint8_t> data = RegSzImage(AutoRunCommand());
      key.Set(kRunValueName, kRegSz, data.data(), static_cast<uint32_t>(data.size()));
    }
  } else if (key.Open(RegRoot::kLocalMachine, kRunKey, RegAccess::kWrite) == 0) {
    key.Delete(kRunValueName);
  }
  return true;
}

}  // namespace lumatrove
