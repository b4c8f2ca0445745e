// The installer end to end: a silent install into the test prefix, the installed program
// started, a silent uninstall. The installer is the release one's script built as a 64-bit
// program (ctest's installer fixture), which the test's Wine can run.
#include "e2e_fixture.h"
// After windows.h.
#include <shlobj.h>

#include "store/logon_task.h"
#include "store/win32_store_system.h"

namespace lumatrove::e2e {
namespace {

fs::path SpecialFolder(int id) {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, id, FALSE);
  return path;
}

// Runs `line` and waits for it to end; its exit code, or -1.
int RunAndWait(std::wstring line) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    return -1;
  }
  WaitForSingleObject(pi.hProcess, 120000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

std::wstring RegText(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return L"(no key)";
  const LONG found =
      RegQueryValueExW(h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(h);
  return found == ERROR_SUCCESS ? data : L"(none)";
}

constexpr wchar_t kUninstallKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumatrove";
constexpr wchar_t kRunKey[] = L"software\\microsoft\\windows\\currentversion\\run";

class Installer : public Program {
 protected:
  // Starts the installed program in its folder; its process ID, 0 when it could not start.
  DWORD StartInstalled(const fs::path& folder) {
    std::wstring line = L"\"" + (folder / L"lumatrove.exe").wstring() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &si, &pi)) {
      return 0;
    }
    started_.push_back(pi);
    return pi.dwProcessId;
  }
};

TEST_F(Installer, InstallsRunsAndUninstallsKeepingTheProfiles) {
  wchar_t setup[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"LUMATROVE_TEST_INSTALLER", setup, MAX_PATH) == 0) {
    GTEST_SKIP() << "needs the installer fixture (ctest -R e2e_installer)";
  }
  const fs::path folder = SpecialFolder(CSIDL_PROGRAM_FILES) / L"Lumatrove";
  const fs::path menu = SpecialFolder(CSIDL_COMMON_PROGRAMS) / L"Lumatrove";
  std::error_code ignored;
  fs::remove_all(folder, ignored);

  ASSERT_EQ(RunAndWait(L"\"" + std::wstring(setup) + L"\" /S"), 0);
  for (const wchar_t* file : {L"lumatrove.exe", L"lumatrove.com", L"Lumatrove使用手冊.chm",
                              L"讀我.txt", L"uninstall.exe"})
    EXPECT_TRUE(fs::exists(folder / file)) << fs::path(file);
  EXPECT_TRUE(fs::exists(menu / L"Lumatrove.lnk"));
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"Lumatrove");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"2.0.0");
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"QuietUninstallString"),
            L"\"" + (folder / L"uninstall.exe").wstring() + L"\" /S");

  // The installed program starts, shows its window and writes its configuration beside it.
  const DWORD pid = StartInstalled(folder);
  ASSERT_NE(pid, 0u);
  std::u16string text;
  TakeMessageBox(pid, text, nullptr, 5);  // a first start says it made the file
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
  ASSERT_TRUE(Ended(pid));
  ASSERT_TRUE(fs::exists(folder / L"lumatrove.cfg"));

  // As "start with Windows" would have left it: an older version's Run value, the task.
  HKEY run = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &run,
                  nullptr);
  const std::wstring command = L"\"" + (folder / L"lumatrove.exe").wstring() + L"\" -hide";
  RegSetValueExW(run, L"Lumatrove(KORVAL WORKS)", 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(run);
  const std::unique_ptr<LogonTasks> tasks = MakeWin32LogonTasks();
  ASSERT_EQ(tasks->Register(kLogonTaskName,
                            LogonTaskXml(tasks->UserId(), (folder / L"lumatrove.exe").u16string(),
                                         folder.u16string())),
            0u);

  // The uninstaller runs on from a copy of itself: wait for what it removes.
  RunAndWait(L"\"" + (folder / L"uninstall.exe").wstring() + L"\" /S");
  ASSERT_TRUE(WaitFor(
      [&] { return RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName") == L"(no key)"; },
      60));  // its last step
  EXPECT_FALSE(fs::exists(folder / L"uninstall.exe"));
  EXPECT_FALSE(fs::exists(folder / L"lumatrove.exe"));
  EXPECT_FALSE(fs::exists(folder / L"lumatrove.com"));
  EXPECT_FALSE(fs::exists(folder / L"Lumatrove使用手冊.chm"));
  EXPECT_FALSE(fs::exists(menu));
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kRunKey, L"Lumatrove(KORVAL WORKS)"), L"(none)");
  EXPECT_FALSE(tasks->Find(kLogonTaskName).has_value());
  EXPECT_TRUE(fs::exists(folder / L"lumatrove.cfg"));  // the profiles stay
  fs::remove_all(folder, ignored);
}

std::wstring SystemPath() {
  return RegText(HKEY_LOCAL_MACHINE,
                 L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", L"Path");
}

// A roll-out: a bad profile file refused before anything is installed, a good one installed
// with the settings and PATH, an upgrade over a running program that keeps the user's
// profiles and log, a second roll-out keeping the old file as .bak, and the uninstaller
// taking the folder off PATH again.
TEST_F(Installer, SilentRollOutWithProfilesAndAnUpgrade) {
  wchar_t setup[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"LUMATROVE_TEST_INSTALLER", setup, MAX_PATH) == 0) {
    GTEST_SKIP() << "needs the installer fixture (ctest -R e2e_installer)";
  }
  const fs::path folder = SpecialFolder(CSIDL_PROGRAM_FILES) / L"Lumatrove";
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  const std::wstring installer = L"\"" + std::wstring(setup) + L"\" /S";
  const fs::path bad = folder_ / L"壞的.cfg";
  std::ofstream(bad, std::ios::binary)
      << ConfigOf("5", FixedProfile("壞的", "5", "10.0.5.0"), false);
  EXPECT_EQ(RunAndWait(installer + L" /CONFIG=\"" + bad.wstring() + L"\""), 2);
  EXPECT_FALSE(fs::exists(folder));

  const fs::path rollOut = folder_ / L"教室.cfg";
  const std::string profiles = ConfigOf("3", FixedProfile("教室", "3", "10.0.5.30"), false);
  std::ofstream(rollOut, std::ios::binary) << profiles;
  ASSERT_EQ(RunAndWait(installer + L" /CONFIG=\"" + rollOut.wstring() +
                       L"\" /AUTOSTART=1 /UPDATECHECK=1 /PATH=1"),
            0);
  std::string installed = Read(folder / L"lumatrove.cfg");
  EXPECT_NE(installed.find("NAME=\"教室\""), std::string::npos) << installed;
  EXPECT_NE(installed.find("<AUTOEXEC>TRUE</AUTOEXEC>"), std::string::npos) << installed;
  EXPECT_NE(installed.find("<AUTOUPDATE>TRUE</AUTOUPDATE>"), std::string::npos);
  EXPECT_NE(SystemPath().find(folder.wstring()), std::wstring::npos) << SystemPath();
  // Wine's Task Scheduler gives the task back without its command: which program it starts
  // is checked natively.
  const std::unique_ptr<LogonTasks> tasks = MakeWin32LogonTasks();
  EXPECT_TRUE(tasks->Find(kLogonTaskName).has_value());

  // The user's own changes, and the program running: an upgrade ends it and keeps them.
  const std::string own = ConfigOf("4", FixedProfile("自己的", "4", "10.0.5.40"), true);
  std::ofstream(folder / L"lumatrove.cfg", std::ios::binary) << own;
  std::ofstream(folder / L"system.log", std::ios::binary) << "log";
  const DWORD pid = StartInstalled(folder);
  ASSERT_NE(pid, 0u);
  ASSERT_NE(WaitMainWindow(pid), nullptr);
  ASSERT_EQ(RunAndWait(installer), 0);
  EXPECT_TRUE(Ended(pid, 1));
  EXPECT_EQ(Read(folder / L"lumatrove.cfg"), own);
  EXPECT_EQ(Read(folder / L"system.log"), "log");

  ASSERT_EQ(RunAndWait(installer + L" /CONFIG=\"" + rollOut.wstring() + L"\""), 0);
  EXPECT_EQ(Read(folder / L"lumatrove.cfg.bak"), own);
  EXPECT_EQ(Read(folder / L"lumatrove.cfg"), profiles);

  RunAndWait(L"\"" + (folder / L"uninstall.exe").wstring() + L"\" /S");
  ASSERT_TRUE(WaitFor(
      [&] { return RegText(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName") == L"(no key)"; },
      60));
  EXPECT_EQ(SystemPath().find(folder.wstring()), std::wstring::npos) << SystemPath();
  EXPECT_FALSE(tasks->Find(kLogonTaskName).has_value());
  fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace lumatrove::e2e
