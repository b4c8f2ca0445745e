// lumatrove.exe end to end under Wine: the real program is started on a seeded registry and
// configuration, and driven from this process through its windows. Afterwards the registry,
// the DHCP client stand-in's record and system.log are read back.
#include "e2e_fixture.h"

namespace lumatrove::e2e {
namespace {

TEST_F(Program, ListsProfilesAndAppliesOnDoubleClick) {
  WriteConfig(DemoConfig(true));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(U8(test::WindowText(main)), "Lumatrove");
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  ASSERT_NE(list, nullptr);
  test::RemoteList rows(list, pid);
  ASSERT_TRUE(rows.Ok());
  ASSERT_EQ(rows.Rows(), 2);
  EXPECT_EQ(U8(rows.Text(0, 1)), "1");
  EXPECT_EQ(U8(rows.Text(0, 2)), "實驗室");
  EXPECT_EQ(U8(rows.Text(0, 3)), "26-12-02 14:30:00");
  EXPECT_EQ(U8(rows.Text(1, 1)), "2");
  EXPECT_EQ(U8(rows.Text(1, 2)), "家裡");

  // The row commands wait for a row.
  HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_PROFILE_APPLY, 0));
  EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_PROFILE_NEW, 0));
  // (Menus of another process cannot be read under Wine; the toolbar shows the same states.)

  // A click makes row 0 current, a double-click applies it.
  test::Click(list, rows.Rect(0), false);
  ASSERT_TRUE(
      WaitFor([&] { return SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_PROFILE_APPLY, 0) != 0; }));
  EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_PROFILE_REMOVE, 0));
  test::Click(list, rows.Rect(0), true);
  std::u16string text, caption;
  ASSERT_TRUE(TakeMessageBox(pid, text, &caption));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_EQ(U8(caption), "Lumatrove");

  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
  EXPECT_EQ(U8(RegString(kWifi, L"SubnetMask")), "255.255.0.0");
  EXPECT_EQ(U8(RegString(kWifi, L"DefaultGateway")), "10.0.0.1");
  EXPECT_EQ(U8(RegString(kWifi, L"NameServer")), "10.0.0.53,");
  EXPECT_EQ(Read(dhcpLog_), std::string("(null)|") + kWifi + "|1|0|4d05000a|0000ffff|2\n");

  // The log holds exactly that entry, UTF-16LE with its mark; it is written once the message
  // box is closed.
  std::string log;
  WaitFor([&] { return (log = Read(folder_ / "system.log")).size() >= 4 + 2 * 97; });
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log.substr(0, 2), "\xff\xfe");
  std::u16string decoded;
  for (size_t i = 2; i + 1 < log.size(); i += 2) {
    decoded.push_back(static_cast<char16_t>(static_cast<unsigned char>(log[i]) |
                                            static_cast<unsigned char>(log[i + 1]) << 8));
  }
  const std::string entry = U8(decoded);
  ASSERT_GE(entry.size(), 17u);
  EXPECT_TRUE(std::regex_match(entry.substr(0, 17),
                               std::regex("[0-9]{2}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}")))
      << entry;
  EXPECT_EQ(entry.substr(17), U8(text) + "\r\n" + std::string(80, '=') + "\r\n");

  // Exit ends the program.
  PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
  EXPECT_TRUE(Ended(pid));
}

TEST_F(Program, DoubleClickWithoutRowAppliesNothing) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  RECT empty = test::RemoteList(list, pid).Rect(1);
  OffsetRect(&empty, 0, 3 * (empty.bottom - empty.top));  // below the last row
  test::Click(list, empty, true);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "沒有選中任何組態!");
  EXPECT_FALSE(fs::exists(dhcpLog_));
  EXPECT_FALSE(fs::exists(folder_ / "system.log"));  // logging is off
}

TEST_F(Program, CommandLineAppliesAndEnds) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start(L"-N7");
  std::u16string text, caption;
  ASSERT_TRUE(TakeMessageBox(pid, text, &caption));
  EXPECT_EQ(U8(text), "套用組態成功！");
  EXPECT_EQ(U8(caption), "lumatrove");
  EXPECT_TRUE(Ended(pid));
  EXPECT_EQ(test::MainWindowOf(pid), nullptr);
  EXPECT_EQ(U8(RegString(kLan, L"IPAddress")), "0.0.0.0");
  EXPECT_EQ(Read(dhcpLog_), std::string("(null)|") + kLan + "|0|0|00000000|00000000|1\n");

  const DWORD missing = Start(L"-n99 -hide");
  ASSERT_TRUE(TakeMessageBox(missing, text));
  EXPECT_EQ(U8(text), "套用組態失敗！該組態檔案已失效！");
  EXPECT_TRUE(Ended(missing));
}

TEST_F(Program, SecondStartBringsTheFirstForward) {
  WriteConfig(DemoConfig(false));
  const DWORD first = Start();
  HWND main = WaitMainWindow(first);
  ASSERT_NE(main, nullptr);
  // Minimising hides the window; Escape and the close button do not end the program.
  PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
  SendMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main); }));
  EXPECT_EQ(WaitForSingleObject(ProcessOf(first), 200), static_cast<DWORD>(WAIT_TIMEOUT));

  const DWORD second = Start();
  EXPECT_TRUE(Ended(second));
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));

  // "-n" with an ID still applies while the first instance runs, and ends.
  const DWORD apply = Start(L"-n3");
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(apply, text));
  EXPECT_TRUE(Ended(apply));
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");
}

TEST_F(Program, HiddenStartShowsFromTheTray) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start(L"-HIDE");
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = test::MainWindowOf(pid)) != nullptr; }));
  // A window that stays hidden sends no word of it: the time its first paint takes is given.
  Sleep(500);
  EXPECT_FALSE(IsWindowVisible(main));
  PostMessageW(main, kTrayCallback, kTrayIconId,
               WM_LBUTTONDBLCLK);  // double-click on the tray icon
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  Sleep(300);  // as above: a paint that would hide it again leaves no other trace
  EXPECT_TRUE(IsWindowVisible(main));  // shown for good: painting no longer hides it
}

TEST_F(Program, ClearingTheLogAsksFirst) {
  WriteConfig(DemoConfig(true));
  std::ofstream(folder_ / "system.log", std::ios::binary) << "old entries";
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, ID_LOG_CLEAR, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));  // answered Yes
  EXPECT_EQ(U8(text), "確認要清除日志檔案嗎？");
  EXPECT_TRUE(WaitFor([&] { return fs::file_size(folder_ / "system.log") == 0; }));
}

TEST_F(Program, FirstStartWithoutConfiguration) {
  const DWORD pid = Start();
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "開啟組態系統組態檔案錯誤！");
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(test::RemoteList(GetDlgItem(main, IDC_PROFILE_LIST), pid).Rows(), 0);
  EXPECT_NE(Read(folder_ / "lumatrove.cfg").find("<LOGFLAG>FALSE</LOGFLAG>"), std::string::npos);
}

HWND VisibleToolTipOf(DWORD pid) {
  for (HWND h : test::TopLevelWindows(pid)) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && IsWindowVisible(h)) return h;
  }
  return nullptr;
}

TEST_F(Program, RowTooltipShowsTheSummary) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  test::RemoteList rows(list, pid);
  RECT label = rows.Rect(0, LVIR_LABEL);
  POINT p{(label.left + label.right) / 2, (label.top + label.bottom) / 2};
  ClientToScreen(list, &p);
  SetForegroundWindow(main);
  // A move, then a rest over the row: the list starts its hover timer on the second.
  SetCursorPos(p.x - 5, p.y);
  Sleep(100);
  SetCursorPos(p.x, p.y);
  HWND tip = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (tip = VisibleToolTipOf(pid)) != nullptr; }, 10));
  // The tooltip's text, asked for through memory in the program's process.
  struct Layout {
    TTTOOLINFOW info;
    wchar_t text[1024];
  };
  Layout layout{};
  layout.info.cbSize = sizeof(TTTOOLINFOW);
  layout.info.hwnd = list;
  layout.info.uId = 1;
  auto* remote = static_cast<Layout*>(rows.Memory());
  layout.info.lpszText = remote->text;
  ASSERT_TRUE(rows.Write(&layout, sizeof layout));
  SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&remote->info));
  wchar_t text[1024] = {};
  ASSERT_TRUE(rows.Read(remote->text, text, sizeof text - 2));
  EXPECT_EQ(U8(std::u16string(reinterpret_cast<char16_t*>(text))),
            "【Wi-Fi】\n[IP]10.0.5.77\n[掩码]255.255.0.0\n"
            "[网关]10.0.0.1\n[DNS1]10.0.0.53\n[DNS2]\n");
}

// A profile whose ID repeats the first one's used to be applied as the first one, while the
// message named the clicked row.
TEST_F(Program, DuplicateIdAppliesTheClickedProfile) {
  WriteConfig(ConfigOf("2", ThreeProfiles("1"), true));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  test::RemoteList rows(list, pid);
  ASSERT_EQ(rows.Rows(), 3);
  test::Click(list, rows.Rect(2), false);
  test::Click(list, rows.Rect(2), true);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[third]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.3");
  // The file was repaired and saved, and the log says so.
  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_NE(config.find("LASTID=\"3\""), std::string::npos);
  EXPECT_NE(config.find("NAME=\"third\" DATATIME=\"26-12-02 14:30:00\" ID=\"3\""),
            std::string::npos);
  std::string log;
  WaitFor([&] { return (log = LogText(folder_ / "system.log")).find("third]成功") != log.npos; });
  EXPECT_NE(log.find("組態[third]的ID 1 與前面的組態重複,已改為新ID 3"), std::string::npos) << log;
  PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
  EXPECT_TRUE(Ended(pid));
}

// Arrow keys move the selection; "啟用" then applies the row the keyboard moved to.
TEST_F(Program, KeyboardMovedRowIsTheOneApplied) {
  WriteConfig(ConfigOf("3", ThreeProfiles("3"), false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  HWND toolbar = FindWindowExW(main, nullptr, TOOLBARCLASSNAMEW, nullptr);
  test::RemoteList rows(list, pid);
  // The selection follows a mouse that rests over the list (track-select): keep it away.
  RECT window{};
  GetWindowRect(main, &window);
  SetCursorPos(window.right + 20, window.bottom + 20);
  test::Click(list, rows.Rect(0), false);
  ASSERT_TRUE(
      WaitFor([&] { return SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_PROFILE_APPLY, 0) != 0; }));
  // Wine's list view settles the clicked row's selection once it has the button-up message,
  // which may come after the click notification: let it, before the keys move on.
  Sleep(300);
  auto selected = [&] {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  };
  for (int row = 1; row <= 2; ++row) {
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(list, WM_KEYUP, VK_DOWN, 0xC0000001);
    ASSERT_TRUE(WaitFor([&] { return selected() == row; }));
  }
  PostMessageW(main, WM_COMMAND, ID_PROFILE_APPLY, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[third]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.3");

  // Home goes back to the first row, and so does the current row.
  PostMessageW(list, WM_KEYDOWN, VK_HOME, 1);
  ASSERT_TRUE(WaitFor([&] { return selected() == 0; }));
  PostMessageW(main, WM_COMMAND, ID_PROFILE_APPLY, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[first]成功!");
}

TEST_F(Program, DamagedFileMessageNamesTheKeptCopy) {
  WriteConfig("<LUMATROVE><CONFIG LASTID=\"4\"><NETSETING NAME=\"x\"");
  const DWORD pid = Start();
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "開啟組態系統組態檔案錯誤！\n原檔案已另存為 lumatrove.cfg.bad");
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg.bad"),
            "<LUMATROVE><CONFIG LASTID=\"4\"><NETSETING NAME=\"x\"");
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(test::RemoteList(GetDlgItem(main, IDC_PROFILE_LIST), pid).Rows(), 0);
}

TEST_F(Program, AddressThatIsNoAddressIsNotApplied) {
  WriteConfig(ConfigOf("9", FixedProfile("bad", "9", "999.1.1.1"), false));
  const DWORD pid = Start(L"-n9");
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "網路組態【Wi-Fi】中存在非法IP位址!999.1.1.1");
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用組態失敗！該組態檔案已失效！");
  EXPECT_TRUE(Ended(pid));
  EXPECT_FALSE(fs::exists(dhcpLog_));
}

// Start to a filled list with many profiles, against the same with ten: the list asks only
// for the rows it shows, so its cost no longer grows with every profile. The figures are
// printed; the bounds leave room for a shared, noisy machine.
TEST_F(Program, ManyProfilesStartNearlyAsFastAsFew) {
  auto config = [](int count) {
    std::string profiles;
    for (int i = 1; i <= count; ++i)
      profiles += FixedProfile("profile " + std::to_string(i), std::to_string(i), "10.0.5.1");
    return ConfigOf(std::to_string(count), profiles, false);
  };
  auto startToList = [&](int count) {
    const auto started = std::chrono::steady_clock::now();
    const DWORD pid = Start();
    HWND main = nullptr;
    WaitFor(
        [&] {
          main = test::MainWindowOf(pid);
          return main != nullptr && IsWindowVisible(main) &&
                 SendMessageW(GetDlgItem(main, IDC_PROFILE_LIST), LVM_GETITEMCOUNT, 0, 0) == count;
        },
        120);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (main != nullptr) PostMessageW(main, WM_COMMAND, ID_APP_EXIT, 0);
    EXPECT_TRUE(Ended(pid, 60));
    return seconds;
  };
  const int counts[] = {10, 1000, 10000};
  double best[3] = {1e9, 1e9, 1e9};
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 3; ++i) {
      WriteConfig(config(counts[i]));
      best[i] = std::min(best[i], startToList(counts[i]));
    }
  }
  std::printf(
      "start to a filled list: 10 profiles %.3f s, 1,000 %.3f s (%.2fx), 10,000 %.3f s "
      "(%.2fx)\n",
      best[0], best[1], best[1] / best[0], best[2], best[2] / best[0]);
  EXPECT_LT(best[1], 2.0 * best[0]);
  EXPECT_LT(best[2], 4.0 * best[0]);
}

TEST_F(Program, CurrentSettingsAreShownAndBackedUp) {
  WriteConfig(DemoConfig(true));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  // The wireless adapter's address changes after the window found the adapters: the view
  // shows the new one, and the profile it stores holds what it shows.
  ASSERT_TRUE(SetRegMulti(kWifi, L"IPAddress", L"192.168.1.77"));
  PostMessageW(main, WM_COMMAND, ID_VIEW_CURRENT, 0);
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = DialogOf(pid, u"電腦現用的IP配置內容")) != nullptr; }));
  const std::string text = U8(ItemText(view, IDC_CURRENT_TEXT));
  const std::string separator = "\r\n" + std::string(40, '=') + "\r\n";
  EXPECT_NE(text.find("-->Intel(R) PRO/1000 MT Network Connection\r\n自動取得IP組態！\r\n"
                      "\r\n網路狀態:啟用" +
                      separator),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("無線網路連線-->Realtek RTL8188EE Wireless LAN 802.11n PCI-E NIC\r\n"
                      "預設IP位址:192.168.1.77\r\n\r\n子网掩码:255.255.255.0\r\n"
                      "\r\n預設網關:192.168.1.1\r\n\r\n預設DNS伺服器:168.95.1.1\r\n"
                      "\r\n預設DNS伺服器:8.8.8.8\r\n\r\n網路狀態:啟用" +
                      separator),
            std::string::npos)
      << text;

  // "備份返回" waits for a name that is more than blanks.
  HWND backup = GetDlgItem(view, IDOK);
  EXPECT_FALSE(IsWindowEnabled(backup));
  SendMessageW(GetDlgItem(view, IDC_CURRENT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"   "));
  EXPECT_FALSE(IsWindowEnabled(backup));
  SendMessageW(GetDlgItem(view, IDC_CURRENT_NAME), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"現在 <&\">"));
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(backup) != FALSE; }));
  PostMessageW(backup, BM_CLICK, 0, 0);
  std::u16string message;
  ASSERT_TRUE(TakeMessageBox(pid, message));
  EXPECT_EQ(U8(message), "儲存成功!");

  // The list shows the new profile at its end; the file holds it, name escaped, with one
  // connection per adapter and the next ID.
  HWND list = GetDlgItem(main, IDC_PROFILE_LIST);
  ASSERT_TRUE(WaitFor([&] { return SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 3; }));
  EXPECT_EQ(U8(test::RemoteList(list, pid).Text(2, 2)), "現在 <&\">");
  const std::string config = Read(folder_ / "lumatrove.cfg");
  const size_t at = config.find("NAME=\"現在 &lt;&amp;&quot;&gt;\"");
  ASSERT_NE(at, std::string::npos) << config;
  EXPECT_NE(config.find("ID=\"8\"", at), std::string::npos);
  EXPECT_NE(config.find("LASTID=\"8\""), std::string::npos);
  const std::string added = config.substr(at);
  EXPECT_NE(added.find("NETCARD=\"Intel(R) PRO/1000 MT Network Connection\""), std::string::npos);
  EXPECT_NE(added.find("TYPE=\"1\""), std::string::npos);
  EXPECT_NE(added.find("<IP>192.168.1.77</IP>"), std::string::npos) << added;

  // "返回" stores nothing.
  PostMessageW(main, WM_COMMAND, ID_VIEW_CURRENT, 0);
  ASSERT_TRUE(WaitFor([&] { return (view = DialogOf(pid, u"電腦現用的IP配置內容")) != nullptr; }));
  SendMessageW(GetDlgItem(view, IDC_CURRENT_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
  PostMessageW(GetDlgItem(view, IDCANCEL), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(view); }));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), config);
}

}  // namespace
}  // namespace lumatrove::e2e
