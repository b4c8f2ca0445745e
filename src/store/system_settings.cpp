// System settings (the SYSCONFIG section) and the Run value that starts the program with
// Windows.
#include "store/profile_store.h"

namespace lumatrove {

void ProfileStore::ReadSystemSettings() {
  XmlDocument& d = document;
  d.ResetPosition();
  if (!d.FindElement(u"LUMATROVE")) return;
  d.EnterElement();
  if (!d.FindElement(u"SYSCONFIG")) return;
  if (d.FindChildElement(u"AUTOEXEC")) {
    autoRun = d.GetChildText() != u"FALSE";
    SetAutoRun(autoRun);
  }
  d.ResetChildPosition();
  if (d.FindChildElement(u"LOGFLAG")) logEnabled = d.GetChildText() != u"FALSE";
  d.ResetChildPosition();
  if (d.FindChildElement(u"AUTOUPDATE")) autoUpdate = d.GetChildText() != u"FALSE";
  // Off unless the file says TRUE: files of older versions do not have it.
  d.ResetChildPosition();
  confirmApply = d.FindChildElement(u"CONFIRMAPPLY") && d.GetChildText() == u"TRUE";
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
  return Save();
}

std::u16string ProfileStore::AutoRunCommand() {
  std::u16string directory = system_.CurrentDirectory();
  if (directory.size() > 260) directory.resize(260);
  std::u16string base = ProgramPath().FileName();
  const size_t dot = base.find_last_of(u'.');
  if (dot != std::u16string::npos) base.erase(dot);
  if (!directory.empty() && directory.back() == u'\\') directory.pop_back();  // a drive root
  // The path is quoted: an unquoted path with blanks lets "C:\Program.exe" start instead.
  return u"\"" + directory + u"\\" + base + u".exe\" -hide";
}

bool ProfileStore::SetAutoRun(bool on) {
  RegKey key(system_.net().registry());
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
