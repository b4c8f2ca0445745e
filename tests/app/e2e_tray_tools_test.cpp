// The tray menu and the tool commands end to end: a profile chosen from the tray, the tray
// menu itself, switching adapters on and off.
#include "e2e_fixture.h"
#include "store/logon_task.h"
#include "store/win32_store_system.h"
// After windows.h.
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

namespace lumatrove::e2e {
namespace {

TEST_F(Program, TrayProfileEntryAppliesItsRow) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_APPLY_FIRST + 1, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[家裡]成功!");
  EXPECT_EQ(Read(dhcpLog_), std::string("(null)|") + kLan + "|0|0|00000000|00000000|1\n");
  // A row that is not there applies nothing.
  PostMessageW(main, WM_COMMAND, ID_APPLY_FIRST + 2, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "沒有選中任何組態!");
}

TEST_F(Program, TrayRightClickShowsTheMenu) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start(L"-hide");
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = test::MainWindowOf(pid)) != nullptr; }));
  for (int time = 0; time < 2; ++time) {
    PostMessageW(main, kTrayCallback, kTrayIconId, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = test::VisibleMenuOf(pid)) != nullptr; }));
    PostMessageW(main, WM_CANCELMODE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return test::VisibleMenuOf(pid) == nullptr; }));
  }
  EXPECT_FALSE(IsWindowVisible(main));  // the menu does not open the window
}

TEST_F(Program, RightClickOnARowShowsTheContextMenu) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  const RECT row = test::RemoteList(list, pid).Rect(1);
  const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
  PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, at);
  PostMessageW(list, WM_RBUTTONUP, 0, at);
  ASSERT_TRUE(WaitFor([&] { return test::VisibleMenuOf(pid) != nullptr; }));
  PostMessageW(main, WM_CANCELMODE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return test::VisibleMenuOf(pid) == nullptr; }));
  // The row it was opened on is the current row: "啟用" of the menu would apply it.
  PostMessageW(main, WM_COMMAND, ID_PROFILE_APPLY, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[家裡]成功!");
}

// After the adapters changed, Repair finds each connection's adapter again, and an apply
// afterwards changes only what the profile named.
TEST_F(Program, RepairFindsTheAdaptersAgain) {
  WriteConfig(ConfigOf("1",
                       "<NETSETING NAME=\"舊電腦\" DATATIME=\"26-12-02 14:30:00\" ID=\"1\">"
                       "<CONNECTION NAME=\"Old\" GUID=\"{OLD}\" NETCARD=\"Realtek RTL8188EE "
                       "Wireless LAN 802.11n PCI-E NIC\" MACCODE=\"\" EnableCheck=\"1\" "
                       "TYPE=\"1\"/></NETSETING>\r\n",
                       false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_REPAIR, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "修復組態檔案成功");
  std::string config;
  WaitFor([&] { return (config = Read(folder_ / "lumatrove.cfg")).find("{OLD}") == config.npos; });
  EXPECT_NE(config.find(std::string("GUID=\"") + kWifi + "\""), std::string::npos) << config;
  EXPECT_EQ(config.find("{OLD}"), std::string::npos);
  // The wired adapter, which the profile did not name, got an entry that leaves it alone.
  EXPECT_NE(config.find(std::string("GUID=\"") + kLan +
                        "\" NETCARD=\"Intel(R) PRO/1000 MT "
                        "Network Connection\""),
            std::string::npos);
  EXPECT_EQ(Count(config, "TYPE=\"2\""), 1u) << config;
  PostMessageW(main, WM_COMMAND, ID_APPLY_FIRST, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[舊電腦]成功!");
  EXPECT_EQ(Read(dhcpLog_), std::string("(null)|") + kWifi + "|0|0|00000000|00000000|1\n");
}

TEST_F(Program, AdaptersSwitchedFromTheSubmenusReportTheOutcome) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  std::u16string text;
  // Wine's device installer cannot change a device: both report failure.
  PostMessageW(main, WM_COMMAND, ID_DISABLE_FIRST + 1, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "禁用網路失敗！");
  PostMessageW(main, WM_COMMAND, ID_ENABLE_FIRST + 0, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "啟用網路失敗！");
  // An entry beyond the adapters does nothing.
  PostMessageW(main, WM_COMMAND, ID_DISABLE_FIRST + 5, 0);
  EXPECT_TRUE(NothingElseSaid(main, pid));
}

struct LinkProperties {
  std::wstring target, workDir, arguments, icon;
  int iconIndex = -1;
};

bool ReadShellLink(const fs::path& file, LinkProperties& out) {
  CoInitialize(nullptr);
  IShellLinkW* link = nullptr;
  bool ok = false;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
      if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH] = {};
        link->GetPath(text, MAX_PATH, nullptr, 0);
        out.target = text;
        link->GetWorkingDirectory(text, MAX_PATH);
        out.workDir = text;
        link->GetArguments(text, MAX_PATH);
        out.arguments = text;
        link->GetIconLocation(text, MAX_PATH, &out.iconIndex);
        out.icon = text;
        ok = true;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return ok;
}

fs::path Desktop() {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, TRUE);
  return path;
}

bool SamePath(const fs::path& a, const fs::path& b) {
  return lstrcmpiW(fs::weakly_canonical(a).c_str(), fs::weakly_canonical(b).c_str()) == 0;
}

TEST_F(Program, ShortcutOnTheDesktopAppliesItsProfile) {
  WriteConfig(ConfigOf(
      "9", FixedProfile("家裡", "7", "10.0.5.7") + FixedProfile("..\\x:y?", "9", "10.0.5.9"),
      false));
  const fs::path home = Desktop() / L"家裡.lnk";
  const fs::path odd = Desktop() / L".._x_y_.lnk";
  fs::remove(home);
  fs::remove(odd);
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  ClickRow(main, pid, 0);
  PostMessageW(main, WM_COMMAND, ID_SHORTCUT, 0);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(home); })) << home;
  LinkProperties link;
  ASSERT_TRUE(ReadShellLink(home, link));
  EXPECT_TRUE(SamePath(link.target, folder_ / "lumatrove.exe")) << link.target;
  EXPECT_TRUE(SamePath(link.workDir, folder_)) << link.workDir;
  EXPECT_EQ(link.arguments, L" -n7");
  EXPECT_TRUE(SamePath(link.icon, folder_ / "lumatrove.exe")) << link.icon;
  EXPECT_EQ(link.iconIndex, 2);

  // A name that is no file name still gives a shortcut, on the desktop.
  ClickRow(main, pid, 1);
  PostMessageW(main, WM_COMMAND, ID_SHORTCUT, 0);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(odd); }));
  PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
  ASSERT_TRUE(Ended(pid));

  // What the shortcut starts applies the profile.
  const DWORD applying = Start(link.arguments.substr(1));
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(applying, text));
  EXPECT_EQ(U8(text), "套用組態成功！");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.7");
  fs::remove(home);
  fs::remove(odd);
}

std::u16string RunValue() {
  wchar_t data[1024] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"software\\microsoft\\windows\\currentversion\\run", 0,
                    KEY_READ, &key) != ERROR_SUCCESS) {
    return u"(no key)";
  }
  const LONG found = RegQueryValueExW(key, L"Lumatrove(KORVAL WORKS)", nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return found == ERROR_SUCCESS ? std::u16string(reinterpret_cast<const char16_t*>(data))
                                : u"(none)";
}

// Wine is Windows 7 or later: the logon task starts the program with Windows, not the Run value.
TEST_F(Program, SettingsWriteTheFileTheLogonTaskAndACopy) {
  const std::unique_ptr<LogonTasks> tasks = MakeWin32LogonTasks();
  tasks->Delete(kLogonTaskName);
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  const std::string before = Read(folder_ / "lumatrove.cfg");

  // Cancel stores nothing.
  PostMessageW(main, WM_COMMAND, ID_SETTINGS, 0);
  HWND settings = WaitDialog(pid, u"系統設定");
  ASSERT_NE(settings, nullptr);
  EXPECT_FALSE(Checked(settings, IDC_SETTINGS_AUTORUN));
  Press(settings, IDC_SETTINGS_AUTORUN);
  ASSERT_TRUE(WaitFor([&] { return Checked(settings, IDC_SETTINGS_AUTORUN); }));
  Press(settings, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), before);
  EXPECT_FALSE(fs::exists(folder_ / "config.xml"));
  EXPECT_EQ(U8(RunValue()), "(none)");

  // OK: the flags in the file, the task, and config.xml beside it.
  PostMessageW(main, WM_COMMAND, ID_SETTINGS, 0);
  settings = WaitDialog(pid, u"系統設定");
  ASSERT_NE(settings, nullptr);
  Press(settings, IDC_SETTINGS_AUTORUN);
  Press(settings, IDC_SETTINGS_LOG);
  ASSERT_TRUE(WaitFor([&] {
    return Checked(settings, IDC_SETTINGS_AUTORUN) && Checked(settings, IDC_SETTINGS_LOG);
  }));
  Press(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return fs::exists(folder_ / "config.xml"); }));
  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_NE(config.find("<AUTOEXEC>TRUE</AUTOEXEC>"), std::string::npos) << config;
  EXPECT_NE(config.find("<LOGFLAG>TRUE</LOGFLAG>"), std::string::npos);
  EXPECT_NE(config.find("<AUTOUPDATE>FALSE</AUTOUPDATE>"), std::string::npos);
  const std::string copy = Read(folder_ / "config.xml");
  EXPECT_NE(copy.find("<AUTOEXEC>TRUE</AUTOEXEC>"), std::string::npos);
  EXPECT_NE(copy.find("NAME=\"實驗室\""), std::string::npos);
  EXPECT_TRUE(tasks->Find(kLogonTaskName).has_value());
  EXPECT_EQ(U8(RunValue()), "(none)");

  // Off again: the task goes.
  PostMessageW(main, WM_COMMAND, ID_SETTINGS, 0);
  settings = WaitDialog(pid, u"系統設定");
  ASSERT_NE(settings, nullptr);
  EXPECT_TRUE(Checked(settings, IDC_SETTINGS_AUTORUN));
  Press(settings, IDC_SETTINGS_AUTORUN);
  ASSERT_TRUE(WaitFor([&] { return !Checked(settings, IDC_SETTINGS_AUTORUN); }));
  Press(settings, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(settings); }));
  EXPECT_FALSE(tasks->Find(kLogonTaskName).has_value());
}

// The open-file dialog of the process (a dialog that is not a message box).
HWND FileDialogOf(DWORD pid) {
  for (HWND h : test::TopLevelWindows(pid)) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) && GetDlgItem(h, 0xFFFF) == nullptr &&
        test::MainWindowOf(pid) != h) {
      return h;
    }
  }
  return nullptr;
}

// The import command with `file` chosen in its open-file dialog; false when the dialog did
// not come or did not close.
bool ImportThroughDialog(HWND main, DWORD pid, const fs::path& file) {
  PostMessageW(main, WM_COMMAND, ID_IMPORT, 0);
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FileDialogOf(pid)) != nullptr; })) return false;
  HWND name = GetDlgItem(dialog, 0x47C);  // the file name box
  if (name == nullptr) name = GetDlgItem(dialog, 0x480);
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return WaitFor([&] { return !IsWindow(dialog); });
}

TEST_F(Program, ImportThroughTheOpenFileDialog) {
  WriteConfig(DemoConfig(false));
  const fs::path old = folder_ / "old.xml";
  std::ofstream(old, std::ios::binary)
      << "<?xml version=\"1.0\"?>\r\n<CONFIG><NETSETING NAME=\"Office 1.x\" ID=\"1\" "
         "DATATIME=\"05-01-01 00:00:00\"><CONNECTION NAME=\"Wi-Fi\" NETCARD=\"Realtek "
         "RTL8188EE Wireless LAN 802.11n PCI-E NIC\" TYPE=\"1\"/></NETSETING></CONFIG>";
  std::ofstream(folder_ / "binary.xml", std::ios::binary) << std::string("\x01\x02\0<CONFIG>", 12);
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);

  std::u16string text;
  ASSERT_TRUE(ImportThroughDialog(main, pid, folder_ / "binary.xml"));
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "匯入組態檔案格式錯誤!");
  EXPECT_EQ(RowCount(main), 2);

  ASSERT_TRUE(ImportThroughDialog(main, pid, old));
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 3; }));
  EXPECT_EQ(U8(test::RemoteList(GetDlgItem(main, IDC_PROFILE_LIST), pid).Text(2, 2)), "Office 1.x");
  const std::string imported = ProfileMarkup(Read(folder_ / "lumatrove.cfg"), "Office 1.x");
  EXPECT_NE(imported.find("ID=\"8\""), std::string::npos) << imported;
  // Repaired against the adapters: the connection found its adapter by description.
  EXPECT_NE(imported.find(kWifi), std::string::npos) << imported;

  // Cancel changes nothing.
  const std::string before = Read(folder_ / "lumatrove.cfg");
  PostMessageW(main, WM_COMMAND, ID_IMPORT, 0);
  HWND dialog = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (dialog = FileDialogOf(pid)) != nullptr; }));
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), before);
}

TEST_F(Program, AboutOpensAndCloses) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_APP_ABOUT, 0);
  HWND about = WaitDialog(pid, u"關於Torvane（Lumatrove）");
  ASSERT_NE(about, nullptr);
  EXPECT_NE(U8(ItemText(about, IDC_ABOUT_TEXT)).find("2.0.0"), std::string::npos);
  Press(about, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
  // The system menu's entry opens it too.
  PostMessageW(main, WM_SYSCOMMAND, 16, 0);
  about = WaitDialog(pid, u"關於Torvane（Lumatrove）");
  ASSERT_NE(about, nullptr);
  Press(about, IDOK);
}

// Under Wine the network browser finds no network: the list is empty, and it still opens
// and closes.
TEST_F(Program, LanComputersOpenAndClose) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_LAN_COMPUTERS, 0);
  HWND lan = WaitDialog(pid, u"Dialog");
  ASSERT_NE(lan, nullptr);
  HWND list = GetDlgItem(lan, IDC_LAN_LIST);
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
  Press(lan, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(lan); }));
}

// The processes running the program `exe`.
std::vector<DWORD> ProcessesOf(const wchar_t* exe) {
  std::vector<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, exe) == 0) found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

void EndProcesses(const std::vector<DWORD>& ids) {
  for (DWORD id : ids) {
    HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, id);
    TerminateProcess(h, 0);
    CloseHandle(h);
  }
}

// Help opens the help file beside the program in the HTML help viewer. (Wine's viewer needs
// Gecko to show it; the file's own contents are checked by the help.topics test.)
TEST_F(Program, HelpOpensTheHelpFileInTheViewer) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path help = fs::path(self).parent_path() / L"Lumatrove使用手冊.chm";
  ASSERT_TRUE(fs::exists(help)) << help;
  fs::copy_file(help, folder_ / help.filename());
  WriteConfig(DemoConfig(false));
  EndProcesses(ProcessesOf(L"hh.exe"));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_HELP_CONTENTS, 0);
  std::vector<DWORD> viewers;
  ASSERT_TRUE(WaitFor([&] { return !(viewers = ProcessesOf(L"hh.exe")).empty(); }));
  EndProcesses(viewers);
}

// A 1.x file as the old versions wrote it on a Traditional Chinese Windows: Big5 text. It is
// read in the system's code page, so this runs where that is Big5 (ctest's win.e2e_big5,
// under LC_ALL=zh_TW.UTF-8).
TEST_F(Program, ImportOfABig5FileFromTheOpenFileDialog) {
  if (GetACP() != 950) GTEST_SKIP() << "needs the Traditional Chinese code page";
  WriteConfig(DemoConfig(false));
  const fs::path old = folder_ / "ipconfig.xml";
  // 辦公室 in Big5 is bf ec a4 bd ab c7.
  std::ofstream(old, std::ios::binary)
      << "<?xml version=\"1.0\" encoding=\"big5\"?>\r\n<CONFIG><NETSETING NAME=\"\xbf\xec\xa4\xbd"
         "\xab\xc7\" ID=\"1\" DATATIME=\"05-01-01 00:00:00\"><CONNECTION NAME=\"Wi-Fi\" "
         "TYPE=\"1\"/></NETSETING></CONFIG>";
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(ImportThroughDialog(main, pid, old));
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 3; }));
  EXPECT_EQ(U8(test::RemoteList(GetDlgItem(main, IDC_PROFILE_LIST), pid).Text(2, 2)), "辦公室");
  EXPECT_NE(Read(folder_ / "lumatrove.cfg").find("NAME=\"辦公室\""), std::string::npos);
}

}  // namespace
}  // namespace lumatrove::e2e
