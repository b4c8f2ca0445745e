// The end-to-end tests' fixture: a folder of its own with lumatrove.exe and the DHCP client
// and IP Helper stand-ins, the demonstration computer in the registry, configurations to
// start from, and what the program leaves behind (registry values, files, its log).
#pragma once

#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include "netcfg/reg_text.h"
#include "netcfg/win32_net_system.h"
#include "remote_ui.h"
#include "test_text.h"
#include "ui/dialogs/about_dialog_res.h"
#include "ui/dialogs/advanced_tcpip_dialog_res.h"
#include "ui/dialogs/backup_dialog_res.h"
#include "ui/dialogs/current_config_dialog_res.h"
#include "ui/dialogs/keep_settings_dialog_res.h"
#include "ui/dialogs/lan_computers_dialog_res.h"
#include "ui/dialogs/profile_dialog_res.h"
#include "ui/dialogs/settings_dialog_res.h"
#include "ui/main/main_window_ids.h"
#include "ui/res/resource.h"

namespace lumatrove::e2e {

using test::TakeMessageBox;
using test::U8;
using test::WaitFor;
namespace fs = std::filesystem;

constexpr char kLan[] = "{00000004-0000-0000-0000-4E6574446576}";
constexpr char kWifi[] = "{9A3B5C7D-1E2F-4A5B-8C9D-0E1F2A3B4C5D}";

inline std::string Connection(const char* guid, const char* name, const char* type, const char* ip,
                              const char* mask, const char* gateway, const char* dns1) {
  return std::string("<CONNECTION NAME=\"") + name + "\" GUID=\"" + guid + "\" TYPE=\"" + type +
         "\" EnableCheck=\"1\"><IPADD><IP>" + ip + "</IP></IPADD><MASKADD><IP>" + mask +
         "</IP></MASKADD><GATEWAY><IP>" + gateway + "</IP></GATEWAY><DNSADD><IP>" + dns1 +
         "</IP><IP/></DNSADD></CONNECTION>";
}

// Two profiles: 3 (fixed address on the wireless adapter) and 7 (DHCP on the wired one).
inline std::string DemoConfig(bool logging) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<LUMATROVE>\r\n<CONFIG LASTID=\"7\" "
         "VERSION=\"2.0\">\r\n<NETSETING NAME=\"實驗室\" DATATIME=\"26-12-02 14:30:00\" ID=\"3\">" +
         Connection(kWifi, "Wi-Fi", "0", "10.0.5.77", "255.255.0.0", "10.0.0.1", "10.0.0.53") +
         "</NETSETING>\r\n<NETSETING NAME=\"家裡\" DATATIME=\"26-12-01 09:05:00\" ID=\"7\">" +
         Connection(kLan, "LAN", "1", "", "", "", "") +
         "</NETSETING>\r\n</CONFIG>\r\n<DNS VERSION=\"2.0\" />\r\n<SYSCONFIG VERSION=\"2.0\">"
         "<AUTOEXEC>FALSE</AUTOEXEC><AUTOUPDATE>FALSE</AUTOUPDATE><LOGFLAG>" +
         std::string(logging ? "TRUE" : "FALSE") + "</LOGFLAG></SYSCONFIG>\r\n</LUMATROVE>";
}

inline std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The adapter's TCP/IP key under HKEY_LOCAL_MACHINE.
inline std::wstring TcpipKey(const std::string& guid) {
  return L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" +
         std::wstring(guid.begin(), guid.end());
}

inline std::u16string RegString(const std::string& guid, const wchar_t* name) {
  const std::wstring key = TcpipKey(guid);
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return {};
  RegQueryValueExW(h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(h);
  return std::u16string(reinterpret_cast<const char16_t*>(data));
}

// Sets the adapter's value `name` to a one-string REG_MULTI_SZ, as another program would.
inline bool SetRegMulti(const std::string& guid, const wchar_t* name, const std::wstring& text) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TcpipKey(guid).c_str(), 0, KEY_SET_VALUE, &h) !=
      ERROR_SUCCESS) {
    return false;
  }
  const std::wstring data = text + L'\0';
  const bool set =
      RegSetValueExW(h, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(h);
  return set;
}

// An environment variable of this process, which the program started next inherits, for
// the length of a test.
class ScopedVariable {
 public:
  ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedVariable() { SetEnvironmentVariableW(name_, nullptr); }

 private:
  const wchar_t* name_;
};

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path bin = fs::path(self).parent_path();
    folder_ = fs::temp_directory_path() / "lumatrove_e2e" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::copy_file(bin / "lumatrove.exe", folder_ / "lumatrove.exe");
    fs::copy_file(bin / "dhcpcsvc.dll", folder_ / "dhcpcsvc.dll");
    fs::copy_file(bin / "iphlpapi_double.dll", folder_ / "iphlpapi.dll");

    // The demo computer: a wired adapter on DHCP and a wireless one with a fixed address.
    std::u16string reg;
    ASSERT_TRUE(ReadRegFile(LUMATROVE_SOURCE_DIR "/demo/demo-computer.reg", reg));
    std::string error;
    ASSERT_TRUE(ApplyRegText(*MakeWin32Registry(), reg, &error)) << error;

    // Wine prefers its own IP Helper for a static import: the program takes the stand-in
    // beside it when the prefix says so for lumatrove.exe.
    HKEY overrides = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER,
                              L"Software\\Wine\\AppDefaults\\lumatrove.exe\\DllOverrides", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &overrides, nullptr),
              ERROR_SUCCESS);
    const wchar_t order[] = L"native,builtin";
    RegSetValueExW(overrides, L"iphlpapi", 0, REG_SZ, reinterpret_cast<const BYTE*>(order),
                   sizeof order);
    RegCloseKey(overrides);

    dhcpLog_ = folder_ / "dhcp.txt";
    SetEnvironmentVariableW(L"LUMATROVE_DHCP_LOG", dhcpLog_.c_str());
  }

  void TearDown() override {
    for (PROCESS_INFORMATION& p : started_) {
      if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(p.hProcess, 1);
        WaitForSingleObject(p.hProcess, 5000);
      }
      CloseHandle(p.hThread);
      CloseHandle(p.hProcess);
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  void WriteConfig(const std::string& text) {
    std::ofstream(folder_ / "lumatrove.cfg", std::ios::binary) << text;
  }

  // Starts the program in its folder; returns its process id.
  DWORD Start(const std::wstring& arguments = L"") {
    std::wstring line = L"\"" + (folder_ / "lumatrove.exe").wstring() + L"\"";
    if (!arguments.empty()) line += L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(),
                        &si, &pi)) {
      ADD_FAILURE() << "cannot start lumatrove.exe: " << GetLastError();
      return 0;
    }
    started_.push_back(pi);
    return pi.dwProcessId;
  }

  HANDLE ProcessOf(DWORD pid) const {
    for (const PROCESS_INFORMATION& p : started_) {
      if (p.dwProcessId == pid) return p.hProcess;
    }
    return nullptr;
  }
  bool Ended(DWORD pid, double seconds = 20) {
    return WaitForSingleObject(ProcessOf(pid), static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
  }

  HWND WaitMainWindow(DWORD pid) {
    HWND main = nullptr;
    WaitFor([&] { return (main = test::MainWindowOf(pid)) != nullptr && IsWindowVisible(main); });
    return main;
  }

  fs::path folder_;
  fs::path dhcpLog_;
  std::vector<PROCESS_INFORMATION> started_;
};

// A profile with one fixed-address connection on the wireless adapter.
inline std::string FixedProfile(const std::string& name, const std::string& id, const char* ip) {
  return "<NETSETING NAME=\"" + name + "\" DATATIME=\"26-12-02 14:30:00\" ID=\"" + id + "\">" +
         Connection(kWifi, "Wi-Fi", "0", ip, "255.255.0.0", "10.0.0.1", "10.0.0.53") +
         "</NETSETING>\r\n";
}

inline std::string ConfigOf(const std::string& lastId, const std::string& profiles, bool logging) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<LUMATROVE>\r\n<CONFIG LASTID=\"" + lastId +
         "\" VERSION=\"2.0\">\r\n" + profiles +
         "</CONFIG>\r\n<DNS VERSION=\"2.0\" />\r\n<SYSCONFIG VERSION=\"2.0\"><AUTOEXEC>FALSE"
         "</AUTOEXEC><AUTOUPDATE>FALSE</AUTOUPDATE><LOGFLAG>" +
         (logging ? "TRUE" : "FALSE") + "</LOGFLAG></SYSCONFIG>\r\n</LUMATROVE>";
}

// "first", "second" and "third", with IDs 1, 2 and `thirdId`, each its own address.
inline std::string ThreeProfiles(const char* thirdId) {
  return FixedProfile("first", "1", "10.0.5.1") + FixedProfile("second", "2", "10.0.5.2") +
         FixedProfile("third", thirdId, "10.0.5.3");
}

inline std::string LogText(const fs::path& file) {
  const std::string bytes = Read(file);
  std::u16string decoded;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    decoded.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return U8(decoded);
}

// A visible dialog of the process with the given caption.
inline HWND DialogOf(DWORD pid, const std::u16string& caption) {
  for (HWND h : test::TopLevelWindows(pid)) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(h) && test::WindowText(h) == caption) {
      return h;
    }
  }
  return nullptr;
}

// An item's text, asked for with WM_GETTEXT (GetWindowText reads only captions of windows of
// another process).
inline std::u16string ItemText(HWND dialog, int id) {
  std::vector<wchar_t> buffer(8192, L'\0');
  SendMessageW(GetDlgItem(dialog, id), WM_GETTEXT, buffer.size() - 1,
               reinterpret_cast<LPARAM>(buffer.data()));
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()));
}

inline HWND WaitDialog(DWORD pid, const std::u16string& caption) {
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = DialogOf(pid, caption)) != nullptr; });
  return dialog;
}

inline void Press(HWND dialog, int id) {
  PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
inline bool Checked(HWND dialog, int id) {
  return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline bool Enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
inline void SetItemText(HWND dialog, int id, const wchar_t* text) {
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The fields of an IP address control, left to right.
inline std::vector<HWND> AddressFields(HWND control) {
  std::vector<HWND> fields;
  for (HWND f = GetWindow(control, GW_CHILD); f != nullptr; f = GetWindow(f, GW_HWNDNEXT))
    fields.push_back(f);
  std::sort(fields.begin(), fields.end(), [](HWND a, HWND b) {
    RECT ra{}, rb{};
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.left < rb.left;
  });
  return fields;
}

// Types "a.b.c.d" into an IP address control, field by field and key by key, as a user would.
inline void TypeAddress(HWND control, const std::string& address) {
  const std::vector<HWND> fields = AddressFields(control);
  size_t field = 0;
  for (size_t i = 0; i <= address.size() && field < fields.size(); ++i) {
    if (i == address.size() || address[i] == '.') {
      ++field;
      continue;
    }
    if (i == 0 || address[i - 1] == '.') SendMessageW(fields[field], EM_SETSEL, 0, -1);
    SendMessageW(fields[field], WM_CHAR, static_cast<WPARAM>(address[i]), 1);
  }
}

// What an IP address control of another process holds: "a.b.c.d", or "" when it is blank.
inline std::string AddressOf(HWND control, DWORD pid) {
  test::RemoteMemory memory(pid);
  if (SendMessageW(control, IPM_GETADDRESS, 0, memory.At()) == 0) return "";
  const DWORD a = memory.Get<DWORD>();
  return std::to_string(a >> 24) + "." + std::to_string(a >> 16 & 255) + "." +
         std::to_string(a >> 8 & 255) + "." + std::to_string(a & 255);
}

// Clicks tab `index` of a tab control of another process.
inline void ClickTab(HWND tabs, DWORD pid, int index) {
  test::RemoteMemory memory(pid);
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), memory.At());
  test::Click(tabs, memory.Get<RECT>(), false);
}

// Makes `row` of the profile list the current row, as a click does, and waits until the row
// commands know it.
inline void ClickRow(HWND main, DWORD pid, int row) {
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
  test::Click(list, test::RemoteList(list, pid).Rect(row), false);
  WaitFor([&] { return SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_PROFILE_APPLY, 0) != 0; });
  // The list settles its selection after the button-up message.
  WaitFor([&] {
    return SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == row;
  });
}

// True when the next message box of `pid` is the one a probe asks for: a command for a row
// that does not exist, which the window takes only once it is done with what it did before.
// A message that must not come would show first.
inline bool NothingElseSaid(HWND main, DWORD pid) {
  PostMessageW(main, WM_COMMAND, ID_APPLY_LAST, 0);
  std::u16string text;
  return TakeMessageBox(pid, text) && text == u"沒有選中任何組態!";
}

inline int RowCount(HWND main) {
  return static_cast<int>(SendMessageW(GetDlgItem(main, IDC_PROFILE_LIST), LVM_GETITEMCOUNT, 0, 0));
}

// The profile element of `config` named `name` (its start tag up to its end tag) without the
// line breaks between its elements; "" when there is none.
inline std::string ProfileMarkup(const std::string& config, const std::string& name) {
  const size_t at = config.find("<NETSETING NAME=\"" + name + "\"");
  if (at == std::string::npos) return "";
  const size_t end = config.find("</NETSETING>", at);
  std::string markup = config.substr(at, end == std::string::npos ? end : end + 12 - at);
  markup.erase(
      std::remove_if(markup.begin(), markup.end(), [](char c) { return c == '\r' || c == '\n'; }),
      markup.end());
  return markup;
}

inline size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++n;
  return n;
}

}  // namespace lumatrove::e2e
