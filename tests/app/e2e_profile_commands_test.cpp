// The profile commands end to end: the editor typed into from this process, modify,
// properties, remove, copy and backup on the real program, and what they leave in
// lumatrove.cfg, the registry and the log.
#include "e2e_fixture.h"

namespace lumatrove::e2e {
namespace {

constexpr int kNew = ID_PROFILE_NEW, kModify = ID_PROFILE_MODIFY,
              kProperties = ID_PROFILE_PROPERTIES, kApply = ID_PROFILE_APPLY;
constexpr int kRemove = ID_PROFILE_REMOVE, kCopy = ID_PROFILE_COPY, kBackup = ID_PROFILE_BACKUP;
constexpr char16_t kEditor[] = u"IP專案設定";
constexpr char16_t kBackupCaption[] = u"備份現用的IP";

// The editor's controls.
constexpr int kAddress = IDC_PROFILE_ADDRESS, kName = IDC_PROFILE_NAME, kMask = IDC_PROFILE_MASK,
              kGateway = IDC_PROFILE_GATEWAY, kDns1 = IDC_PROFILE_DNS1;
constexpr int kAutomatic = IDC_PROFILE_AUTOMATIC, kManual = IDC_PROFILE_MANUAL,
              kLeave = IDC_PROFILE_LEAVE, kTabs = IDC_PROFILE_TABS,
              kDnsAutomatic = IDC_PROFILE_DNS_AUTOMATIC;

TEST_F(Program, NewProfileIsTypedIntoTheEditorAndSaved) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, kNew, 0);
  HWND editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  HWND tabs = GetDlgItem(editor, kTabs);
  EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(U8(ItemText(editor, kName)), "組態專案7");

  // The wired adapter is on DHCP without DNS servers of its own.
  EXPECT_TRUE(Checked(editor, kAutomatic));
  EXPECT_TRUE(Checked(editor, kDnsAutomatic));
  EXPECT_FALSE(Enabled(editor, kAddress));
  EXPECT_FALSE(Enabled(editor, kDns1));

  // The wireless one has a fixed address; typing a new one suggests gateway and mask.
  ClickTab(tabs, pid, 1);
  ASSERT_TRUE(WaitFor([&] { return Checked(editor, kManual); }));
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kAddress), pid), "192.168.1.10");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kDns1), pid), "168.95.1.1");
  EXPECT_FALSE(Enabled(editor, kDnsAutomatic));
  TypeAddress(GetDlgItem(editor, kAddress), "10.20.30.40");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kGateway), pid), "10.20.30.1");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kMask), pid), "255.255.255.0");
  TypeAddress(GetDlgItem(editor, kGateway), "10.20.30.254");
  SetItemText(editor, kName, L"新 <組態> & \"引號\"");

  // Back and forth between the tabs keeps what was typed.
  ClickTab(tabs, pid, 0);
  ASSERT_TRUE(WaitFor([&] { return Checked(editor, kAutomatic); }));
  ClickTab(tabs, pid, 1);
  ASSERT_TRUE(WaitFor([&] { return Checked(editor, kManual); }));
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kAddress), pid), "10.20.30.40");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kGateway), pid), "10.20.30.254");

  Press(editor, IDOK);
  std::u16string text, caption;
  ASSERT_TRUE(TakeMessageBox(pid, text, &caption));
  EXPECT_EQ(U8(text), "儲存成功!");
  EXPECT_EQ(U8(caption), "Lumatrove");
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 3; }));
  EXPECT_EQ(U8(test::RemoteList(GetDlgItem(main, IDC_PROFILE_LIST), pid).Text(2, 2)),
            "新 <組態> & \"引號\"");

  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_NE(config.find("LASTID=\"8\""), std::string::npos);
  const std::string added = ProfileMarkup(config, "新 &lt;組態&gt; &amp; &quot;引號&quot;");
  ASSERT_FALSE(added.empty()) << config;
  EXPECT_NE(added.find("ID=\"8\""), std::string::npos);
  EXPECT_EQ(Count(added, "<CONNECTION "), 2u);
  const std::string wifi = added.substr(added.find(kWifi));
  EXPECT_NE(wifi.find("TYPE=\"0\""), std::string::npos);
  EXPECT_NE(wifi.find("<IPADD><IP>10.20.30.40</IP></IPADD><MASKADD><IP>255.255.255.0</IP>"
                      "</MASKADD><GATEWAY><IP>10.20.30.254</IP></GATEWAY><DNSADD><IP>168.95.1.1"
                      "</IP><IP>8.8.8.8</IP></DNSADD>"),
            std::string::npos)
      << wifi;
  EXPECT_NE(added.find("NAME=\"區域連線\" GUID=\"" + std::string(kLan) +
                       "\" NETCARD=\"Intel(R) PRO/1000 MT Network Connection\""),
            std::string::npos)
      << added;
}

TEST_F(Program, EditorAsksForAUsableNameAndAddress) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  const std::string before = Read(folder_ / "lumatrove.cfg");
  PostMessageW(main, WM_COMMAND, kNew, 0);
  HWND editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  std::u16string text;

  SetItemText(editor, kName, L"  ");
  Press(editor, IDOK);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "組態名無效，請重新輸入組態名!");

  // A manual connection without an address: the editor shows that tab and says so.
  SetItemText(editor, kName, L"家裡");
  Press(editor, kManual);
  ASSERT_TRUE(WaitFor([&] { return Enabled(editor, kAddress); }));
  ClickTab(GetDlgItem(editor, kTabs), pid, 1);
  ASSERT_TRUE(WaitFor([&] { return !AddressOf(GetDlgItem(editor, kAddress), pid).empty(); }));
  Press(editor, IDOK);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text),
            "網路連線【區域連線】設為手動輸入，請輸入有效的IP位址及子網遮罩，或改選「不配置」。");
  EXPECT_EQ(SendMessageW(GetDlgItem(editor, kTabs), TCM_GETCURSEL, 0, 0), 0);

  // An address no network can use is named; a gateway outside the subnet is asked about.
  TypeAddress(GetDlgItem(editor, kAddress), "127.0.0.1");
  Press(editor, IDOK);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "網路組態【區域連線】中存在非法IP位址!127.0.0.1");
  TypeAddress(GetDlgItem(editor, kAddress), "10.0.0.5");
  TypeAddress(GetDlgItem(editor, kGateway), "10.0.1.1");
  Press(editor, IDOK);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDNO, text));
  EXPECT_EQ(U8(text),
            "網路連線【區域連線】的預設通訊閘 10.0.1.1 不在 IP 位址與子網遮罩所定義的相同網路區段"
            "（子網路）上。\r\n仍要儲存這些設定嗎？");
  EXPECT_TRUE(IsWindowVisible(editor));
  Press(editor, IDOK);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDYES, text));
  // Yes goes on to the next question, about the name.
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDOK, text));
  EXPECT_EQ(U8(text), "組態名已存在，是否重新輸入組態名？[確定]重新輸入\n[取消]不修改");
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), before);
  Press(editor, kLeave);
  ASSERT_TRUE(WaitFor([&] { return !Enabled(editor, kAddress); }));

  // A taken name: OK goes back to the name, Cancel stores under it.
  Press(editor, IDOK);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDOK, text));
  EXPECT_EQ(U8(text), "組態名已存在，是否重新輸入組態名？[確定]重新輸入\n[取消]不修改");
  EXPECT_TRUE(IsWindowVisible(editor));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), before);
  Press(editor, IDOK);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDCANCEL, text));
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "儲存成功!");
  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_EQ(Count(config, "NAME=\"家裡\""), 2u);
  const std::string added = config.substr(config.find("ID=\"8\""));
  EXPECT_NE(added.find("NAME=\"區域連線\" GUID=\"" + std::string(kLan)), std::string::npos);
  EXPECT_NE(added.find("TYPE=\"2\""), std::string::npos);
}

TEST_F(Program, ModifyKeepsIdAndHardwareAddress) {
  WriteConfig(ConfigOf("9",
                       "<NETSETING NAME=\"辦公室\" DATATIME=\"26-12-02 14:30:00\" ID=\"5\">"
                       "<CONNECTION NAME=\"Wi-Fi\" GUID=\"" +
                           std::string(kWifi) +
                           "\" NETCARD=\"Realtek\" MACCODE=\"00:11:22:33:44:55\" "
                           "EnableCheck=\"1\" TYPE=\"0\"><IPADD><IP>10.0.5.77</IP></IPADD>"
                           "<MASKADD><IP>255.255.0.0</IP></MASKADD><GATEWAY><IP>10.0.0.1</IP>"
                           "</GATEWAY><DNSADD><IP>10.0.0.53</IP><IP/></DNSADD><NOTE/>"
                           "</CONNECTION></NETSETING>\r\n" +
                           FixedProfile("second", "9", "10.0.5.9"),
                       false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  ClickRow(main, pid, 0);
  PostMessageW(main, WM_COMMAND, kModify, 0);
  HWND editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(U8(ItemText(editor, kName)), "辦公室");
  EXPECT_EQ(SendMessageW(GetDlgItem(editor, kTabs), TCM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_TRUE(Checked(editor, kManual));
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kAddress), pid), "10.0.5.77");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kMask), pid), "255.255.0.0");
  EXPECT_EQ(U8(ItemText(editor, IDOK)), "儲存");

  Press(editor, kAutomatic);
  ASSERT_TRUE(WaitFor([&] { return !Enabled(editor, kAddress); }));
  SetItemText(editor, kName, L"second");  // a taken name is not asked about when modifying
  Press(editor, IDOK);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "儲存成功!");

  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_NE(config.find("LASTID=\"9\""), std::string::npos);
  const std::string modified = ProfileMarkup(config, "second");  // the first of that name
  EXPECT_NE(modified.find("ID=\"5\""), std::string::npos) << modified;
  EXPECT_NE(modified.find("MACCODE=\"00:11:22:33:44:55\""), std::string::npos);
  EXPECT_NE(modified.find("NETCARD=\"Realtek\""), std::string::npos);
  EXPECT_NE(modified.find("TYPE=\"1\""), std::string::npos);
  EXPECT_NE(modified.find("<IPADD><IP>10.0.5.77</IP></IPADD>"), std::string::npos);
  EXPECT_EQ(U8(test::RemoteList(GetDlgItem(main, IDC_PROFILE_LIST), pid).Text(0, 2)), "second");
}

TEST_F(Program, PropertiesApplyTheStoredProfileAndSaveNothing) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  const std::string before = Read(folder_ / "lumatrove.cfg");
  ClickRow(main, pid, 0);
  PostMessageW(main, WM_COMMAND, kProperties, 0);
  HWND editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(U8(ItemText(editor, IDOK)), "啟用");
  EXPECT_EQ(U8(ItemText(editor, kName)), "實驗室");
  TypeAddress(GetDlgItem(editor, kAddress), "10.99.99.99");
  Press(editor, IDOK);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[實驗室]成功!");
  EXPECT_EQ(U8(RegString(kWifi, L"IPAddress")), "10.0.5.77");  // as stored, not as typed
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), before);

  // Cancel applies nothing.
  fs::remove(dhcpLog_);
  PostMessageW(main, WM_COMMAND, kProperties, 0);
  editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  Press(editor, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
  EXPECT_FALSE(fs::exists(dhcpLog_));
}

TEST_F(Program, RemoveAsksFirstAndMovesTheCurrentRow) {
  WriteConfig(ConfigOf("3", ThreeProfiles("3"), true));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  const std::string before = Read(folder_ / "lumatrove.cfg");
  std::u16string text;

  ClickRow(main, pid, 0);
  PostMessageW(main, WM_COMMAND, kRemove, 0);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDNO, text));
  EXPECT_EQ(U8(text), "確認要移除組態[first]嗎？");
  ASSERT_TRUE(NothingElseSaid(main, pid));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), before);
  EXPECT_FALSE(fs::exists(folder_ / "system.log"));

  // Yes removes it without a message; the new first row is current.
  PostMessageW(main, WM_COMMAND, kRemove, 0);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDYES, text));
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 2; }));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg").find("NAME=\"first\""), std::string::npos);
  PostMessageW(main, WM_COMMAND, kApply, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "套用網路組態[second]成功!");
  std::string log;
  ASSERT_TRUE(
      WaitFor([&] { return (log = LogText(folder_ / "system.log")).find("second]") != log.npos; }));
  const size_t saved = log.find("建立一個新組態檔案,備份組態檔案成功!");
  ASSERT_NE(saved, std::string::npos) << log;
  EXPECT_LT(saved, log.find("移除組態檔案[first]!"));

  // Removing the last row makes the one above current; removing the only one leaves none.
  ClickRow(main, pid, 1);
  PostMessageW(main, WM_COMMAND, kRemove, 0);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDYES, text));
  EXPECT_EQ(U8(text), "確認要移除組態[third]嗎？");
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 1; }));
  PostMessageW(main, WM_COMMAND, kRemove, 0);
  ASSERT_TRUE(test::AnswerMessageBox(pid, IDYES, text));
  EXPECT_EQ(U8(text), "確認要移除組態[second]嗎？");
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 0; }));
  PostMessageW(main, WM_COMMAND, kApply, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "沒有選中任何組態!");
}

TEST_F(Program, CopyAddsTheCopyAtTheEnd) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, kCopy, 0);  // no row yet
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "沒有選中任何組態!");

  ClickRow(main, pid, 1);
  PostMessageW(main, WM_COMMAND, kCopy, 0);
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 3; }));
  test::RemoteList rows(GetDlgItem(main, IDC_PROFILE_LIST), pid);
  EXPECT_EQ(U8(rows.Text(2, 2)), "複製-家裡");
  ClickRow(main, pid, 2);
  PostMessageW(main, WM_COMMAND, kCopy, 0);
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 4; }));
  EXPECT_EQ(U8(rows.Text(3, 2)), "複製-複製-家裡");
  EXPECT_EQ(test::MessageBoxOf(pid), nullptr);  // a copy says nothing

  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_NE(config.find("LASTID=\"9\""), std::string::npos);
  const std::string copy = ProfileMarkup(config, "複製-家裡");
  const std::string original = ProfileMarkup(config, "家裡");
  ASSERT_FALSE(copy.empty());
  EXPECT_NE(copy.find("ID=\"8\""), std::string::npos);
  EXPECT_EQ(copy.substr(copy.find("<CONNECTION")), original.substr(original.find("<CONNECTION")));
}

TEST_F(Program, BackupStoresOneOrEveryAdapter) {
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  constexpr int kAdapters = IDC_BACKUP_ADAPTERS, kDetails = IDC_BACKUP_DETAILS,
                kAll = IDC_BACKUP_ALL, kOthersAutomatic = IDC_BACKUP_OTHERS_AUTOMATIC;

  PostMessageW(main, WM_COMMAND, kBackup, 0);
  HWND backup = WaitDialog(pid, kBackupCaption);
  ASSERT_NE(backup, nullptr);
  HWND adapters = GetDlgItem(backup, kAdapters);
  EXPECT_EQ(SendMessageW(adapters, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(adapters, CB_GETCURSEL, 0, 0), 1);  // the last adapter
  EXPECT_EQ(U8(ItemText(backup, kAdapters)),
            "無線網路連線-->Realtek RTL8188EE Wireless LAN 802.11n PCI-E NIC");
  EXPECT_EQ(U8(ItemText(backup, kDetails)),
            "手動組態取得IP組態\r\n\r\n預設IP位址:192.168.1.10\r\n\r\n子网掩码:255.255.255.0\r\n"
            "\r\n預設網關:192.168.1.1\r\n\r\n預設DNS伺服器:168.95.1.1\r\n"
            "\r\n預設DNS伺服器:8.8.8.8\r\n\r\n網路狀態:啟用");
  EXPECT_EQ(U8(ItemText(backup, kName)), "組態專案7");
  SendMessageW(adapters, CB_SETCURSEL, 0, 0);
  PostMessageW(backup, WM_COMMAND, MAKEWPARAM(kAdapters, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(adapters));
  ASSERT_TRUE(WaitFor([&] { return ItemText(backup, kDetails).size() < 40; }));
  EXPECT_EQ(U8(ItemText(backup, kDetails)), "自動取得IP組態\r\n\r\n網路狀態:啟用");

  // The name decides whether it can be saved.
  SetItemText(backup, kName, L"");
  EXPECT_FALSE(Enabled(backup, IDOK));
  SetItemText(backup, kName, L"只有有線");
  EXPECT_TRUE(Enabled(backup, IDOK));
  Press(backup, IDOK);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "儲存成功!");
  std::string config = Read(folder_ / "lumatrove.cfg");
  std::string one = ProfileMarkup(config, "只有有線");
  EXPECT_EQ(Count(one, "<CONNECTION "), 1u);
  EXPECT_NE(one.find(std::string(kLan) + "\" NETCARD=\"Intel(R) PRO/1000 MT Network Connection\""),
            std::string::npos)
      << one;
  EXPECT_NE(one.find("TYPE=\"1\""), std::string::npos);

  // Every adapter, in list order.
  PostMessageW(main, WM_COMMAND, kBackup, 0);
  ASSERT_TRUE(WaitFor([&] { return (backup = DialogOf(pid, kBackupCaption)) != nullptr; }));
  SetItemText(backup, kName, L"全部");
  Press(backup, kAll);
  ASSERT_TRUE(WaitFor([&] { return !Enabled(backup, kOthersAutomatic); }));
  Press(backup, IDOK);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  config = Read(folder_ / "lumatrove.cfg");
  const std::string all = ProfileMarkup(config, "全部");
  ASSERT_EQ(Count(all, "<CONNECTION "), 2u);
  EXPECT_LT(all.find(kLan), all.find(kWifi));

  // The selected adapter as it is, the others automatic.
  PostMessageW(main, WM_COMMAND, kBackup, 0);
  ASSERT_TRUE(WaitFor([&] { return (backup = DialogOf(pid, kBackupCaption)) != nullptr; }));
  SetItemText(backup, kName, L"無線固定");
  Press(backup, kOthersAutomatic);
  ASSERT_TRUE(WaitFor([&] { return Checked(backup, kOthersAutomatic); }));
  Press(backup, IDOK);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  config = Read(folder_ / "lumatrove.cfg");
  const std::string others = ProfileMarkup(config, "無線固定");
  ASSERT_EQ(Count(others, "<CONNECTION "), 2u);
  const std::string lan = others.substr(others.find(kLan));
  EXPECT_EQ(lan.find("TYPE=\"1\""), lan.find("TYPE="));
  EXPECT_NE(lan.find("<IPADD><IP/></IPADD>"), std::string::npos) << lan;
  const std::string wifi = others.substr(others.find(kWifi));
  EXPECT_EQ(wifi.find("TYPE=\"0\""), wifi.find("TYPE="));
  EXPECT_NE(wifi.find("<IP>192.168.1.10</IP>"), std::string::npos);

  // "放棄" stores nothing.
  PostMessageW(main, WM_COMMAND, kBackup, 0);
  ASSERT_TRUE(WaitFor([&] { return (backup = DialogOf(pid, kBackupCaption)) != nullptr; }));
  Press(backup, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(backup); }));
  EXPECT_EQ(Read(folder_ / "lumatrove.cfg"), config);
  EXPECT_EQ(RowCount(main), 5);
}

// A file that cannot be written keeps what it had; the window says so, and its list and
// document go on agreeing with the file. (A folder where the new file is first written stands
// for a full or write-protected disk.)
TEST_F(Program, FailedSaveKeepsTheFileAndSaysSo) {
  WriteConfig(DemoConfig(false));
  const fs::path file = folder_ / "lumatrove.cfg";
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  const std::string before = Read(file);
  fs::create_directory(folder_ / "lumatrove.cfg.tmp");
  ClickRow(main, pid, 1);
  PostMessageW(main, WM_COMMAND, kCopy, 0);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "儲存組態檔案失敗!");
  EXPECT_EQ(Read(file), before);
  EXPECT_EQ(RowCount(main), 2);

  // Once the file can be written again, the next change does not bring the failed one back.
  fs::remove(folder_ / "lumatrove.cfg.tmp");
  ClickRow(main, pid, 0);
  PostMessageW(main, WM_COMMAND, kCopy, 0);
  ASSERT_TRUE(WaitFor([&] { return RowCount(main) == 3; }));
  const std::string after = Read(file);
  EXPECT_NE(after.find("NAME=\"複製-實驗室\""), std::string::npos);
  EXPECT_EQ(after.find("NAME=\"複製-家裡\""), std::string::npos);
}

}  // namespace
}  // namespace lumatrove::e2e

namespace lumatrove::e2e {
namespace {

// Without a network adapter the dialogs that need one say so and close.
TEST_F(Program, DialogsWithoutAdaptersSaySo) {
  HKEY classKey = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"System\\CurrentControlSet\\Control\\Class\\"
                          L"{4d36e972-e325-11ce-bfc1-08002be10318}",
                          0, KEY_ALL_ACCESS, &classKey),
            ERROR_SUCCESS);
  for (const wchar_t* key : {L"0000\\Ndi\\Interfaces", L"0000\\Ndi", L"0000",
                             L"0001\\Ndi\\Interfaces", L"0001\\Ndi", L"0001"}) {
    RegDeleteKeyW(classKey, key);
  }
  RegCloseKey(classKey);
  WriteConfig(DemoConfig(false));
  const DWORD pid = Start();
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));  // the main window's own
  EXPECT_EQ(U8(text), "載入網卡訊息有誤！");
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  for (int command : {kNew, kBackup}) {
    PostMessageW(main, WM_COMMAND, command, 0);
    ASSERT_TRUE(TakeMessageBox(pid, text));
    EXPECT_EQ(U8(text), "載入對話框錯誤！");
  }
  PostMessageW(main, WM_COMMAND, ID_VIEW_CURRENT, 0);
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "載入網卡訊息有誤！");
}

// The DNS providers come from the file as saved; without it the editor still works and the
// log says why its list is empty.
TEST_F(Program, EditorWithoutItsFileLogsAndWorks) {
  WriteConfig(DemoConfig(true));
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  fs::remove(folder_ / "lumatrove.cfg");
  PostMessageW(main, WM_COMMAND, kNew, 0);
  HWND editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(SendMessageW(GetDlgItem(editor, IDC_PROFILE_PROVIDERS), CB_GETCOUNT, 0, 0), 0);
  SetItemText(editor, kName, L"新的");
  Press(editor, IDOK);
  std::u16string text;
  ASSERT_TRUE(TakeMessageBox(pid, text));
  EXPECT_EQ(U8(text), "儲存成功!");
  const std::string config = Read(folder_ / "lumatrove.cfg");
  EXPECT_NE(config.find("NAME=\"實驗室\""), std::string::npos);  // nothing was lost
  EXPECT_NE(config.find("NAME=\"新的\""), std::string::npos);
  const std::string log = LogText(folder_ / "system.log");
  EXPECT_NE(log.find("起始話DNS資料錯誤！"), std::string::npos) << log;
}

// Picking a provider fills both DNS servers.
TEST_F(Program, DnsProviderFillsTheServers) {
  std::string config = DemoConfig(false);
  const std::string providers =
      "<DNS VERSION=\"2.0\"><PROVINCE NAME=\"HiNet\"><IP>168.95.1.1</IP><IP>168.95.192.1</IP>"
      "</PROVINCE><PROVINCE NAME=\"Cloudflare\"><IP>1.1.1.1</IP><IP>1.0.0.1</IP></PROVINCE></DNS>";
  config.replace(config.find("<DNS VERSION=\"2.0\" />"), 21, providers);
  WriteConfig(config);
  const DWORD pid = Start();
  HWND main = WaitMainWindow(pid);
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_COMMAND, kNew, 0);
  HWND editor = WaitDialog(pid, kEditor);
  ASSERT_NE(editor, nullptr);
  ClickTab(GetDlgItem(editor, kTabs), pid, 1);
  ASSERT_TRUE(WaitFor([&] { return Checked(editor, kManual); }));
  HWND combo = GetDlgItem(editor, IDC_PROFILE_PROVIDERS);
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
  // Sorted: Cloudflare, HiNet. Selecting the first entry at start filled nothing.
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kDns1), pid), "168.95.1.1");
  SendMessageW(combo, CB_SETCURSEL, 0, 0);
  SendMessageW(editor, WM_COMMAND, MAKEWPARAM(IDC_PROFILE_PROVIDERS, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(AddressOf(GetDlgItem(editor, kDns1), pid), "1.1.1.1");
  EXPECT_EQ(AddressOf(GetDlgItem(editor, IDC_PROFILE_DNS2), pid), "1.0.0.1");
}

}  // namespace
}  // namespace lumatrove::e2e
