// What Windows uses now, end to end: the IP Helper stand-in beside the program shows the
// prefix's adapters and follows each DHCP client notification as Windows does. The tray
// tooltip is read from the notification area's tooltip in Wine's explorer.
#include "e2e_fixture.h"
#include "ui/model/startup.h"

namespace lumatrove::e2e {
namespace {

constexpr int kUndoCommand = ID_UNDO_APPLY;

// A value of the wired adapter's TCP/IP key for the length of a test.
class ScopedLanValue {
 public:
  ScopedLanValue(const wchar_t* name, const wchar_t* text) : name_(name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TcpipKey(kLan).c_str(), 0, KEY_SET_VALUE, &h) ==
        ERROR_SUCCESS) {
      RegSetValueExW(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
      RegCloseKey(h);
    }
  }
  ~ScopedLanValue() {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TcpipKey(kLan).c_str(), 0, KEY_SET_VALUE, &h) ==
        ERROR_SUCCESS) {
      RegDeleteValueW(h, name_);
      RegCloseKey(h);
    }
  }

 private:
  const wchar_t* name_;
};

// The texts of every tooltip window's tools: explorer keeps one tool per notification-area
// icon in its tooltip window (and may still keep those of programs a test ended), and shows a
// balloon as a tooltip window of its own.
std::vector<std::string> ToolTexts() {
  std::vector<std::string> found;
  for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip != nullptr;
       tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(tip, &pid);
    test::RemoteMemory memory(pid);
    if (!memory.Ok()) continue;
    const auto tools = static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < tools; ++i) {
      TTTOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.lpszText = reinterpret_cast<wchar_t*>(memory.At(1024));
      const wchar_t none = 0;
      memory.Write(&tool, sizeof tool);
      memory.Write(&none, sizeof none, 1024);
      if (SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), memory.At()) == 0) continue;
      wchar_t text[256] = {};
      memory.Read(reinterpret_cast<void*>(memory.At(1024)), text, sizeof text - sizeof(wchar_t));
      found.push_back(U8(std::u16string(reinterpret_cast<const char16_t*>(text))));
    }
  }
  return found;
}

std::vector<std::string> TrayTips() {
  std::vector<std::string> tips = ToolTexts();
  std::erase_if(tips, [](const std::string& t) { return t.rfind("Torvane（Lumatrove）", 0) != 0; });
  return tips;
}

bool TrayShows(const std::string& tip) {
  const std::vector<std::string> tips = TrayTips();
  return std::find(tips.begin(), tips.end(), tip) != tips.end();
}

// The netsh stand-in in the system folder in place of Wine's, recording into `log`, for the
// length of a test (Wine runs a system program of its own unless its overrides say otherwise).
class ScopedNetsh {
 public:
  explicit ScopedNetsh(const fs::path& log) : log_(L"LUMATROVE_NETSH_LOG", log.c_str()) {
    wchar_t system[MAX_PATH];
    program_ = fs::path(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH))) / "netsh.exe";
    kept_ = program_;
    kept_ += ".wine";
    fs::rename(program_, kept_);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    fs::copy_file(fs::path(self).parent_path() / "netsh_double.exe", program_);
    const wchar_t native[] = L"native";
    RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                    &overrides_, nullptr);
    RegSetValueExW(overrides_, L"netsh.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(native),
                   sizeof native);
  }
  ~ScopedNetsh() {
    RegDeleteValueW(overrides_, L"netsh.exe");
    RegCloseKey(overrides_);
    std::error_code ignored;
    fs::remove(program_, ignored);
    fs::rename(kept_, program_, ignored);
  }

 private:
  static constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides";
  ScopedVariable log_;
  fs::path program_, kept_;
  HKEY overrides_ = nullptr;
};

// User Account Control switched on in the prefix (EnableLUA 1) for the length of a test.
class ScopedUac {
 public:
  ScopedUac() { Set(1); }
  ~ScopedUac() { Set(0); }

 private:
  static void Set(DWORD on) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
      RegSetValueExW(key, L"EnableLUA", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                     sizeof on);
      RegCloseKey(key);
    }
  }
};

// The keep-the-settings question of `pid` (the dialog with the countdown text).
HWND KeepQuestionOf(DWORD pid) {
  for (HWND h : test::TopLevelWindows(pid)) {
    if (IsWindowVisible(h) && GetDlgItem(h, IDC_KEEP_COUNTDOWN) != nullptr) return h;
  }
  return nullptr;
}

std::string ConfirmingConfig(const std::string& profiles) {
  std::string config = ConfigOf("7", profiles, true);
  config.replace(config.find("</SYSCONFIG>"), 0, "<CONFIRMAPPLY>TRUE</CONFIRMAPPLY>");
  return config;
}

class Live : public Program {
 protected:
  // Starts on the demo profiles (row 0: 實驗室, fixed 10.0.5.77 on Wi-Fi; row 1: 家裡, DHCP
  // on the wired adapter) and waits for the main window and its list.
  void StartOn(const std::string& config) {
    WriteConfig(config);
    pid_ = Start();
    main_ = WaitMainWindow(pid_);
    ASSERT_NE(main_, nullptr);
    list_ = GetDlgItem(main_, IDC_PROFILE_LIST);
    ASSERT_NE(list_, nullptr);
  }
  void DoubleClick(int row) {
    test::RemoteList rows(list_, pid_);
    test::Click(list_, rows.Rect(row), false);
    test::Click(list_, rows.Rect(row), true);
  }
  std::vector<int> Images() {
    test::RemoteList rows(list_, pid_);
    std::vector<int> images;
    for (int r = 0; r < rows.Rows(); ++r)
      images.push_back(rows.Image(r));
    return images;
  }

  DWORD pid_ = 0;
  HWND main_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(Live, TooltipAndCheckMarkFollowAnApplyAndItsUndo) {
  StartOn(DemoConfig(true));
  // The wired adapter is on DHCP, as 家裡 wants; the wireless one is elsewhere.
  EXPECT_EQ(Images(), (std::vector<int>{0, 1}));
  const std::string before =
      "Torvane（Lumatrove）\n區域連線 DHCP 192.168.77.10\n無線網路連線 192.168.1.10";
  EXPECT_TRUE(WaitFor([&] { return TrayShows(before); }));
  EXPECT_FALSE(fs::exists(folder_ / "lumatrove.undo"));

  DoubleClick(0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  // Windows shows the new address at once: no second message.
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
  EXPECT_EQ(Images(), (std::vector<int>{1, 1}));
  const std::string after =
      "Torvane（Lumatrove）\n區域連線 DHCP 192.168.77.10\n無線網路連線 10.0.5.77";
  EXPECT_TRUE(WaitFor([&] { return TrayShows(after); }));

  // The snapshot kept what the wireless adapter had; undo puts it back.
  const std::string snapshot = Read(folder_ / "lumatrove.undo");
  EXPECT_NE(snapshot.find("NAME=\"套用【實驗室】前的設定\""), std::string::npos) << snapshot;
  EXPECT_NE(snapshot.find("<IP>192.168.1.10</IP>"), std::string::npos) << snapshot;
  PostMessageW(main_, WM_COMMAND, kUndoCommand, 0);
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[套用【實驗室】前的設定]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");
  EXPECT_EQ(U8(RegString(kWifi, L"SubnetMask")), "255.255.255.0");
  EXPECT_EQ(U8(RegString(kWifi, L"NameServer")), "168.95.1.1,8.8.8.8");
  EXPECT_TRUE(WaitFor([&] { return Images() == std::vector<int>{0, 1}; }));

  // Undo again goes forward to what the undo replaced.
  PostMessageW(main_, WM_COMMAND, kUndoCommand, 0);
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");

  PostMessageW(main_, WM_COMMAND, ID_APP_EXIT, 0);
  EXPECT_TRUE(Ended(pid_));
}

TEST_F(Live, ChangeMadeElsewhereReachesTheTooltipAndTheRows) {
  StartOn(DemoConfig(false));
  ASSERT_TRUE(WaitFor([] {
    return TrayShows(
        "Torvane（Lumatrove）\n區域連線 DHCP 192.168.77.10\n無線網路連線 192.168.1.10");
  }));
  // Another program puts the wireless adapter on the 實驗室 settings: Windows reports the
  // change, and the window reads it without any command.
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TcpipKey(kWifi).c_str(), 0, KEY_SET_VALUE, &h),
            ERROR_SUCCESS);
  auto multi = [&](const wchar_t* name, const wchar_t* text) {
    std::wstring data = std::wstring(text) + L'\0';
    RegSetValueExW(h, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  };
  multi(L"SubnetMask", L"255.255.0.0");
  multi(L"DefaultGateway", L"10.0.0.1");
  const wchar_t dns[] = L"10.0.0.53";
  RegSetValueExW(h, L"NameServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(dns), sizeof dns);
  multi(L"IPAddress", L"10.0.5.77");
  RegCloseKey(h);
  EXPECT_TRUE(WaitFor([] {
    return TrayShows("Torvane（Lumatrove）\n區域連線 DHCP 192.168.77.10\n無線網路連線 10.0.5.77");
  }));
  EXPECT_TRUE(WaitFor([&] { return Images() == std::vector<int>{1, 1}; }));
}

TEST_F(Live, WindowsThatDoesNotFollowEndsInTheTimeoutMessage) {
  ScopedVariable frozen(L"LUMATROVE_LIVE_FROZEN", L"1");
  StartOn(DemoConfig(false));
  const auto started = std::chrono::steady_clock::now();
  DoubleClick(0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text, nullptr, 30));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(9));
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text),
            "Windows 在 10 秒內仍未使用網路連線【Wi-Fi】的新設定，目前顯示："
            "IP位址 192.168.1.10（應為 10.0.5.77）；預設通訊閘 192.168.1.1（應為 10.0.0.1）；"
            "DNS伺服器 168.95.1.1、8.8.8.8（應為 "
            "10.0.0.53）。\r\n設定已寫入，可能稍後才會生效；若一直如此，"
            "請停用再啟用這張網路卡。");
  // The registry has the new settings all the same.
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  EXPECT_EQ(Images(), (std::vector<int>{0, 1}));
}

// Where Windows does not take the DHCP client's notification, netsh sets the same values
// after three seconds, by the interface's index; the adapter is remembered, and its next apply
// goes to netsh at once.
TEST_F(Live, NotificationWindowsDoesNotTakeIsFollowedByNetsh) {
  ScopedVariable frozen(L"LUMATROVE_LIVE_FROZEN", L"1");
  const fs::path netshLog = folder_ / "netsh.txt";
  ScopedNetsh netsh(netshLog);
  StartOn(DemoConfig(true));
  auto apply = [&](int command, const char* said) {
    const auto started = std::chrono::steady_clock::now();
    if (command != 0) {
      PostMessageW(main_, WM_COMMAND, static_cast<WPARAM>(command), 0);
    } else {
      DoubleClick(0);
    }
    std::u16string text;
    EXPECT_TRUE(TakeMessageBox(pid_, text, nullptr, 30));
    EXPECT_EQ(U8(text), said);
    EXPECT_TRUE(NothingElseSaid(main_, pid_));  // Windows shows the settings in the end
    return std::chrono::steady_clock::now() - started;
  };
  const auto first = apply(0, "套用網路組態[實驗室]成功!");
  EXPECT_GE(first, std::chrono::seconds(3));
  EXPECT_LT(first, std::chrono::seconds(8));
  EXPECT_EQ(Read(netshLog),
            "interface ipv4 set address name=17 source=static address=10.0.5.77 "
            "mask=255.255.0.0 gateway=10.0.0.1 gwmetric=1\n"
            "interface ipv4 set dnsservers name=17 source=static address=10.0.0.53 "
            "register=primary validate=no\n");
  EXPECT_NE(LogText(folder_ / "system.log")
                .find("套用方式：netsh（網路連線【Wi-Fi】未依DHCP用戶端通知生效）"),
            std::string::npos);

  // Going back on the same adapter does not wait for the notification again.
  fs::remove(netshLog);
  const auto second = apply(kUndoCommand, "套用網路組態[套用【實驗室】前的設定]成功!");
  EXPECT_LT(second, std::chrono::milliseconds(2500));
  EXPECT_EQ(Read(netshLog).rfind("interface ipv4 set address name=17 source=static "
                                 "address=192.168.1.10 mask=255.255.255.0 gateway=192.168.1.1",
                                 0),
            0u);
}

TEST_F(Live, PrivateAddressAfterAnApplyIsExplained) {
  ScopedLanValue address(L"DhcpIPAddress", L"169.254.3.4");
  ScopedLanValue mask(L"DhcpSubnetMask", L"255.255.0.0");
  StartOn(DemoConfig(false));
  EXPECT_TRUE(WaitFor([] {
    return TrayShows("Torvane（Lumatrove）\n區域連線 DHCP 169.254.3.4\n無線網路連線 192.168.1.10");
  }));
  DoubleClick(1);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[家裡]成功!");
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(
      U8(text).substr(0, U8(u"網路連線【LAN】目前顯示：DHCP 169.254.3.4 / 255.255.0.0。").size()),
      "網路連線【LAN】目前顯示：DHCP 169.254.3.4 / 255.255.0.0。");
}

TEST_F(Live, AnsweringAddressIsAppliedOnlyWhenTheUserSaysSo) {
  // 192.168.1.77 is on the wireless adapter's network; another device holds it.
  ScopedVariable answers(L"LUMATROVE_ARP_ANSWERS", L"192.168.1.77=00-11-22-33-44-55");
  StartOn(ConfigOf("8", FixedProfile("衝突", "8", "192.168.1.77"), false));
  DoubleClick(0);
  std::u16string text;
  ASSERT_TRUE(test::AnswerMessageBox(pid_, IDNO, text));
  EXPECT_EQ(U8(text),
            "IP位址 192.168.1.77 已有網路上另一台裝置（硬體位址 00-11-22-33-44-55）在使用。"
            "\r\n仍要將網路連線【Wi-Fi】設為這個位址嗎？選「否」則不套用任何設定。");
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");
  EXPECT_EQ(Read(dhcpLog_), "");
  EXPECT_FALSE(fs::exists(folder_ / "lumatrove.undo"));

  DoubleClick(0);
  ASSERT_TRUE(test::AnswerMessageBox(pid_, IDYES, text));
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[衝突]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.77");
}

TEST_F(Live, UnansweredQuestionGoesBackAndKeepStays) {
  StartOn(ConfirmingConfig(FixedProfile("實驗室", "3", "10.0.5.77")));
  const auto started = std::chrono::steady_clock::now();
  DoubleClick(0);
  HWND question = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (question = KeepQuestionOf(pid_)) != nullptr; }));
  EXPECT_EQ(U8(test::WindowText(GetDlgItem(question, IDC_KEEP_QUESTION))), "保留這些設定嗎？");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  // Nobody answers: after 15 seconds the settings go back.
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text, nullptr, 30));
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(14));
  EXPECT_EQ(U8(text), "沒有確認新的設定，已還原為套用前的設定。");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");
  EXPECT_EQ(U8(RegString(kWifi, L"DefaultGateway")), "192.168.1.1");

  // Kept, the new settings stay and the usual message follows.
  DoubleClick(0);
  ASSERT_TRUE(WaitFor([&] { return (question = KeepQuestionOf(pid_)) != nullptr; }));
  PostMessageW(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
}

// On Windows, SendARP for an address nobody holds answers only after seconds of retries: the
// conflict check asks for every address at once and waits a second at most.
TEST_F(Live, ConflictCheckWaitsAtMostASecondForSilence) {
  // Each run applies addresses the adapters do not hold yet, so that both are asked about.
  auto applyTakes = [&](const char* lan, const char* wifi) {
    StartOn(ConfigOf("8",
                     "<NETSETING NAME=\"兩張\" DATATIME=\"26-12-02 14:30:00\" ID=\"8\">" +
                         Connection(kLan, "區域連線", "0", lan, "255.255.255.0", "", "") +
                         Connection(kWifi, "無線網路連線", "0", wifi, "255.255.255.0", "", "") +
                         "</NETSETING>\r\n",
                     false));
    const auto started = std::chrono::steady_clock::now();
    DoubleClick(0);
    std::u16string text;
    EXPECT_TRUE(TakeMessageBox(pid_, text, nullptr, 30));
    EXPECT_EQ(U8(text), "套用網路組態[兩張]成功!");
    const auto took = std::chrono::steady_clock::now() - started;
    PostMessageW(main_, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(Ended(pid_));
    return took;
  };
  const auto quick = applyTakes("192.168.77.50", "192.168.1.50");
  ScopedVariable silent(L"LUMATROVE_ARP_SILENT_MS", L"3000");
  const auto slow = applyTakes("192.168.77.51", "192.168.1.51");
  // Asked one after another, the two silent addresses would add six seconds.
  EXPECT_LT(slow - quick, std::chrono::milliseconds(1500))
      << std::chrono::duration_cast<std::chrono::milliseconds>(slow - quick).count() << " ms";
  EXPECT_GT(slow - quick, std::chrono::milliseconds(800));  // the second was waited for
}

// A profile's key applies it as the tray menu does, and stays in the file.
TEST_F(Live, KeysApplyTheirProfiles) {
  std::string config = DemoConfig(false);
  config.replace(config.find("ID=\"3\""), 6, "ID=\"3\" HOTKEY=\"Ctrl+Alt+F7\"");
  StartOn(config);
  // The system posts WM_HOTKEY with the id the window registered the key under: the first.
  PostMessageW(main_, WM_HOTKEY, 0x4C00, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_F7));
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  // An id the window did not register does nothing.
  PostMessageW(main_, WM_HOTKEY, 0x4C01, 0);
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
  EXPECT_NE(Read(folder_ / "lumatrove.cfg").find("HOTKEY=\"Ctrl+Alt+F7\""), std::string::npos);
}

// The computer joins a known network: the wired adapter's lease names the lab's gateway,
// whose hardware address a rule of 實驗室 knows. The profile is applied by itself, quietly
// (snapshot, no message box), and a balloon says so; the address change of its own apply
// starts nothing more.
TEST_F(Live, KnownNetworkAppearingAppliesItsProfile) {
  ScopedVariable answers(L"LUMATROVE_ARP_ANSWERS", L"10.0.0.1=00-1a-2b-3c-4d-5e");
  // As on Windows, asking ARP about the wireless adapter's gateway, which nobody answers, takes
  // seconds: the window must go on answering meanwhile.
  ScopedVariable silent(L"LUMATROVE_ARP_SILENT_MS", L"3000");
  std::string config = DemoConfig(true);
  config.replace(config.find("ID=\"3\""), 6,
                 "ID=\"3\" NETWORKS=\"gw:00-1A-2B-3C-4D-5E\" AUTOAPPLY=\"1\"");
  StartOn(config);
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");

  // The wired adapter's lease now names the lab's gateway.
  ASSERT_TRUE(SetRegMulti(kLan, L"DhcpDefaultGateway", L"10.0.0.1"));
  Sleep(800);  // the change has been read, and what the adapters see is being asked
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &answer), 0);

  EXPECT_TRUE(WaitFor([] { return U8(RegString(kWifi, L"IPAddress")) == "10.0.5.77"; }));
  EXPECT_TRUE(WaitFor([&] { return Images() == std::vector<int>{1, 1}; }));
  EXPECT_TRUE(WaitFor([] {
    const std::vector<std::string> texts = ToolTexts();
    return std::find(texts.begin(), texts.end(), "已自動套用組態【實驗室】") != texts.end();
  }));
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
  EXPECT_NE(LogText(folder_ / "system.log").find("已自動套用組態【實驗室】"), std::string::npos);
  const std::string snapshot = Read(folder_ / "lumatrove.undo");
  EXPECT_NE(snapshot.find("<IP>192.168.1.10</IP>"), std::string::npos) << snapshot;
  EXPECT_EQ(Count(LogText(folder_ / "system.log"), "已自動套用"), 1u);
}

// Paused from the tray menu, a known network applies nothing, and the pause is stored; resumed,
// the network is looked at at once, and two profiles that both belong to it are named in the
// balloon instead of either being applied.
TEST_F(Live, PausedOrAmbiguousNetworksApplyNothing) {
  ScopedVariable answers(L"LUMATROVE_ARP_ANSWERS", L"10.0.0.1=00-1a-2b-3c-4d-5e");
  std::string config = DemoConfig(true);
  for (const std::string name : {"實驗室", "家裡"}) {
    const std::string attribute = "NAME=\"" + name + "\"";
    config.replace(config.find(attribute), attribute.size(),
                   attribute + " NETWORKS=\"gw:00-1a-2b-3c-4d-5e\" AUTOAPPLY=\"1\"");
  }
  StartOn(config);
  PostMessageW(main_, WM_COMMAND, ID_AUTOSWITCH_PAUSE, 0);
  ASSERT_TRUE(WaitFor([&] {
    return Read(folder_ / "lumatrove.cfg").find("<AUTOSWITCHPAUSE>TRUE") != std::string::npos;
  }));
  // The wired adapter's lease now names the lab's gateway.
  ASSERT_TRUE(SetRegMulti(kLan, L"DhcpDefaultGateway", L"10.0.0.1"));
  const std::string several = "目前的網路符合多個組態：【實驗室】、【家裡】。未自動套用任何組態。";
  auto balloon = [&] {
    const std::vector<std::string> texts = ToolTexts();
    return std::find(texts.begin(), texts.end(), several) != texts.end();
  };
  Sleep(2000);  // what a change leads to comes within a second when not paused
  EXPECT_FALSE(balloon());
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");

  PostMessageW(main_, WM_COMMAND, ID_AUTOSWITCH_PAUSE, 0);
  EXPECT_TRUE(WaitFor(balloon));
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "192.168.1.10");
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg").find("<AUTOSWITCHPAUSE>"), std::string::npos);
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
}

// A shortcut's start applies as the window does: with the snapshot for undo, the keep
// question and the log.
TEST_F(Live, ShortcutApplyIsAWholeApply) {
  WriteConfig(ConfirmingConfig(FixedProfile("實驗室", "3", "10.0.5.77")));
  const DWORD pid = Start(L"-n3");
  HWND question = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (question = KeepQuestionOf(pid)) != nullptr; }));
  PostMessageW(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用組態成功！");
  EXPECT_TRUE(Ended(pid));
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  // What the adapter had before is kept for "還原上次套用".
  const std::string undo = Read(folder_ / "lumatrove.undo");
  EXPECT_NE(undo.find("NAME=\"套用【實驗室】前的設定\""), std::string::npos) << undo;
  EXPECT_NE(undo.find("<IP>192.168.1.10</IP>"), std::string::npos) << undo;
  EXPECT_NE(LogText(folder_ / "system.log").find("套用網路組態[實驗室]成功!"), std::string::npos);
}

// With an instance running, a shortcut's start hands its profile over and ends: the window
// applies it as its own (its message, its snapshot, its log). A plain second start brings the
// window forward; a message of any other form is refused.
TEST_F(Live, StartWhileAnInstanceRunsHandsItsCommandLineOver) {
  // Wine's prefix has UAC off, where a start goes on alone as on XP; every Wine process is
  // elevated, so that with UAC on the running instance is the one way.
  ScopedUac uac;
  StartOn(DemoConfig(true));
  ShowWindow(main_, SW_MINIMIZE);
  const DWORD second = Start(L"-n3");
  EXPECT_TRUE(Ended(second, 10));
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  EXPECT_NE(Read(folder_ / "lumatrove.undo").find("NAME=\"套用【實驗室】前的設定\""),
            std::string::npos);
  // The log entry follows the message once it is closed.
  EXPECT_TRUE(WaitFor([&] {
    return LogText(folder_ / "system.log").find("套用網路組態[實驗室]成功!") != std::string::npos;
  }));

  const DWORD third = Start(L"-hide");
  EXPECT_TRUE(Ended(third, 10));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main_) && !IsIconic(main_); }));

  for (const std::u16string& bad : {std::u16string(u"-n3 -x"), std::u16string(u"apply")}) {
    COPYDATASTRUCT data{kHandOffTag, static_cast<DWORD>(bad.size() * 2),
                        const_cast<char16_t*>(bad.data())};
    EXPECT_EQ(SendMessageW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0);
  }
  const std::u16string show = u"show";
  COPYDATASTRUCT oldVersion{kHandOffTag - 1, 8, const_cast<char16_t*>(show.data())};
  EXPECT_EQ(SendMessageW(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&oldVersion)), 0);
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
}

// The strings of a REG_MULTI_SZ value of the adapter's TCP/IP key, joined by "|".
std::string RegList(const std::string& guid, const wchar_t* name) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data - 2 * sizeof(wchar_t);
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, TcpipKey(guid).c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
    return "(no key)";
  const LONG found =
      RegQueryValueExW(h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(h);
  if (found != ERROR_SUCCESS) return "(none)";
  std::string joined;
  for (const wchar_t* p = data; *p != 0; p += wcslen(p) + 1)
    joined +=
        (joined.empty() ? "" : "|") + U8(std::u16string(reinterpret_cast<const char16_t*>(p)));
  return joined;
}

// Three addresses, two gateways (one with a metric) and three DNS servers typed in through
// "進階...", saved, applied into the registry and shown live with the check mark; undo goes
// back to the single address.
TEST_F(Live, AdvancedSettingsAreTypedInSavedAppliedAndUndone) {
  StartOn(DemoConfig(false));
  ClickRow(main_, pid_, 0);
  PostMessageW(main_, WM_COMMAND, ID_PROFILE_MODIFY, 0);
  HWND editor = WaitDialog(pid_, u"IP專案設定");
  ASSERT_NE(editor, nullptr);
  Press(editor, IDC_PROFILE_ADVANCED);
  HWND advanced = WaitDialog(pid_, u"進階TCP/IP設定");
  ASSERT_NE(advanced, nullptr);
  // Adds one entry through the entry dialog; true when the dialog took it and closed.
  auto add = [&](int button, const char* address, const char* mask, const wchar_t* metric) {
    Press(advanced, button);
    HWND entry = WaitDialog(pid_, u"TCP/IP位址");
    if (entry == nullptr) return false;
    TypeAddress(GetDlgItem(entry, IDC_ENTRY_ADDRESS), address);
    if (mask != nullptr) TypeAddress(GetDlgItem(entry, IDC_ENTRY_MASK), mask);
    if (metric != nullptr) {
      Press(entry, IDC_ENTRY_AUTOMATIC_METRIC);
      WaitFor([&] { return Enabled(entry, IDC_ENTRY_METRIC); });
      SetItemText(entry, IDC_ENTRY_METRIC, metric);
    }
    Press(entry, IDOK);
    return WaitFor([&] { return !IsWindow(entry) || test::MessageBoxOf(pid_) != nullptr; }) &&
           !IsWindow(entry);
  };
  // The same address twice is refused, naming it; the entry dialog stays for another try.
  EXPECT_FALSE(add(IDC_ADVANCED_ADDRESS_ADD, "10.0.5.77", "255.255.0.0", nullptr));
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "IP位址「10.0.5.77」已在清單中。");
  Press(DialogOf(pid_, u"TCP/IP位址"), IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return DialogOf(pid_, u"TCP/IP位址") == nullptr; }));

  ASSERT_TRUE(add(IDC_ADVANCED_ADDRESS_ADD, "10.1.5.77", "255.255.0.0", nullptr));
  ASSERT_TRUE(add(IDC_ADVANCED_ADDRESS_ADD, "192.168.50.2", "255.255.255.0", nullptr));
  ASSERT_TRUE(add(IDC_ADVANCED_GATEWAY_ADD, "10.1.0.1", nullptr, L"20"));
  ASSERT_TRUE(add(IDC_ADVANCED_DNS_ADD, "8.8.8.8", nullptr, nullptr));
  ASSERT_TRUE(add(IDC_ADVANCED_DNS_ADD, "1.1.1.1", nullptr, nullptr));
  Press(advanced, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(advanced); }));
  // The tab shows the first entries, as before.
  EXPECT_EQ(AddressOf(GetDlgItem(editor, IDC_PROFILE_ADDRESS), pid_), "10.0.5.77");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, IDC_PROFILE_DNS2), pid_), "8.8.8.8");
  Press(editor, IDOK);
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "儲存成功!");

  DoubleClick(0);
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_TRUE(NothingElseSaid(main_, pid_));
  EXPECT_EQ(RegList(kWifi, L"IPAddress"), "10.0.5.77|10.1.5.77|192.168.50.2");
  EXPECT_EQ(RegList(kWifi, L"SubnetMask"), "255.255.0.0|255.255.0.0|255.255.255.0");
  EXPECT_EQ(RegList(kWifi, L"DefaultGateway"), "10.0.0.1|10.1.0.1");
  EXPECT_EQ(RegList(kWifi, L"DefaultGatewayMetric"), "0|20");
  EXPECT_EQ(U8(RegString(kWifi, L"NameServer")), "10.0.0.53,8.8.8.8,1.1.1.1");
  EXPECT_TRUE(WaitFor([&] { return Images() == std::vector<int>{1, 1}; }));

  PostMessageW(main_, WM_COMMAND, kUndoCommand, 0);
  ASSERT_TRUE(TakeMessageBox(pid_, text));
  EXPECT_EQ(RegList(kWifi, L"IPAddress"), "192.168.1.10");
  EXPECT_EQ(RegList(kWifi, L"DefaultGatewayMetric"), "(none)");
  EXPECT_TRUE(WaitFor([&] { return Images() == std::vector<int>{0, 1}; }));
}

}  // namespace
}  // namespace lumatrove::e2e
