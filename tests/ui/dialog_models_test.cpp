// The models of the profile editor and the backup dialog: the records behind the editor's
// tabs, what a tab shows and stores, its OK rules against a real store, the backup's texts
// and the connections it stores.
#include <gtest/gtest.h>

#include "store/address_text.h"
#include "store/store_test_util.h"
#include "test_text.h"
#include "ui/model/advanced_tcpip_model.h"
#include "ui/model/backup_model.h"
#include "ui/model/hotkey.h"
#include "ui/model/networks_editor_model.h"
#include "ui/model/profile_editor_model.h"
#include "ui/model/proxy_editor_model.h"

namespace lumatrove {
namespace {

using test::U8;
using Kind = ProfileEditor::Kind;
using Ok = ProfileEditor::OkResult;

uint32_t A(std::u16string_view text) {
  return TextToAddress(text);
}

std::unique_ptr<AdapterInfo> Dhcp(std::u16string name) {
  auto a = std::make_unique<AdapterInfo>();
  a->connectionName = std::move(name);
  a->description = u"Intel(R) PRO/1000";
  a->instanceId = u"{LAN}";
  a->macAddress = u"00:0c:29:aa:bb:cc";
  a->statusEnabled = 1;
  a->dhcpEnabled = 1;
  return a;
}

std::unique_ptr<AdapterInfo> Fixed(std::u16string name) {
  auto a = std::make_unique<AdapterInfo>();
  a->connectionName = std::move(name);
  a->description = u"Realtek Wireless";
  a->instanceId = u"{WIFI}";
  a->macAddress = u"00:0c:29:dd:ee:ff";
  a->statusEnabled = 1;
  a->dhcpEnabled = 0;
  a->ipAddressText = u"192.168.1.10";
  a->ipAddresses = {u"192.168.1.10", u"192.168.1.11"};
  a->subnetMaskText = u"255.255.255.0";
  a->subnetMasks = {u"255.255.255.0", u"255.255.0.0"};
  a->gatewayText = u"192.168.1.1";
  a->gateways = {u"192.168.1.1"};
  a->primaryDns = u"168.95.1.1";
  a->secondaryDns = u"8.8.8.8";
  a->dnsServers = {u"168.95.1.1", u"8.8.8.8"};
  return a;
}

std::vector<std::unique_ptr<AdapterInfo>> TwoAdapters() {
  std::vector<std::unique_ptr<AdapterInfo>> adapters;
  adapters.push_back(Dhcp(u"區域連線"));
  adapters.push_back(Fixed(u"無線網路連線"));
  return adapters;
}

// ---- What a tab shows -------------------------------------------------------------------

// The advanced lists start from the connection's entries and go back into it: the first
// entries to the tab's fields, the rest after them.
TEST(AdvancedTcpIp, ListsGoBackIntoTheConnection) {
  ConnectionSetting c;
  c.ipAddressText = u"10.0.0.5";
  c.subnetMaskText = u"255.255.255.0";
  c.moreAddresses = {u"10.1.0.5"};
  c.moreMasks = {u"255.255.0.0"};
  c.gatewayText = u"10.0.0.1";
  c.gatewayMetrics = {0};
  c.primaryDns = u"1.1.1.1";
  AdvancedTcpIp lists(c);
  EXPECT_EQ(lists.Addresses().size(), 2u);
  EXPECT_EQ(lists.SetGateway(AdvancedTcpIp::kAdd, u"10.1.0.1", 20), u"");
  for (const char16_t* dns : {u"8.8.8.8", u"9.9.9.9", u"127.0.0.1"})
    EXPECT_EQ(lists.SetDnsServer(AdvancedTcpIp::kAdd, dns), u"");
  EXPECT_TRUE(lists.MoveDnsServer(3, true));   // 127.0.0.1 before 9.9.9.9
  EXPECT_FALSE(lists.MoveDnsServer(0, true));  // already first
  lists.RemoveAddress(0);                      // the second pair becomes the first
  lists.StoreInto(c);
  EXPECT_EQ(U8(c.ipAddressText), "10.1.0.5");
  EXPECT_EQ(U8(c.subnetMaskText), "255.255.0.0");
  EXPECT_TRUE(c.moreAddresses.empty() && c.moreMasks.empty());
  EXPECT_EQ(c.moreGateways, std::vector<std::u16string>{u"10.1.0.1"});
  EXPECT_EQ(c.gatewayMetrics, (std::vector<uint32_t>{0, 20}));
  EXPECT_EQ(U8(c.secondaryDns), "8.8.8.8");
  EXPECT_EQ(c.moreDnsServers, (std::vector<std::u16string>{u"127.0.0.1", u"9.9.9.9"}));
}

// Each refusal names the entry; the lists stay as they were.
TEST(AdvancedTcpIp, RefusesWhatAnApplyWouldAndTheLimits) {
  ConnectionSetting c;
  c.ipAddressText = u"10.0.0.5";
  c.subnetMaskText = u"255.255.255.0";
  AdvancedTcpIp lists(c);
  const size_t add = AdvancedTcpIp::kAdd;
  EXPECT_EQ(U8(lists.SetAddress(add, u"10.0.0.5", u"255.0.0.0")), "IP位址「10.0.0.5」已在清單中。");
  EXPECT_EQ(U8(lists.SetAddress(add, u"10.1.0.5", u"255.0.255.0")),
            "子網遮罩「255.0.255.0」無法使用。");
  EXPECT_EQ(U8(lists.SetAddress(add, u"127.0.0.2", u"255.0.0.0")), "IP位址「127.0.0.2」無法使用。");
  EXPECT_EQ(U8(lists.SetAddress(add, u"10.1.255.255", u"255.255.0.0")),
            "IP位址「10.1.255.255」無法使用。");
  EXPECT_EQ(U8(lists.SetAddress(0, u"10.0.0.6", u"255.255.255.0")), "");  // an edit of itself
  EXPECT_EQ(U8(lists.SetGateway(add, u"10.0.0.1", 10000)), "躍點必須是 1 到 9999，或選「自動」。");
  EXPECT_EQ(U8(lists.SetDnsServer(add, u"224.0.0.1")), "DNS伺服器「224.0.0.1」無法使用。");
  for (int i = 1; i < 16; ++i)
    ASSERT_EQ(lists.SetAddress(add, u"10.2.0." + test::U16(std::to_string(i)), u"255.255.0.0"),
              u"");
  EXPECT_EQ(U8(lists.SetAddress(add, u"10.3.0.1", u"255.255.0.0")), "IP位址最多只能有 16 個。");
  for (int i = 1; i <= 5; ++i)
    ASSERT_EQ(lists.SetGateway(add, u"10.0.0." + test::U16(std::to_string(i + 10)), 0), u"");
  EXPECT_EQ(U8(lists.SetGateway(add, u"10.0.0.99", 0)), "預設通訊閘最多只能有 5 個。");
  EXPECT_EQ(lists.Addresses().size(), 16u);
  EXPECT_EQ(U8(lists.Addresses()[0].address), "10.0.0.6");
}

TEST(ProfileEditor, NewProfileStartsFromTheAdaptersAsTheyAre) {
  ProfileEditor e;
  e.StartNew(TwoAdapters(), u"7");
  EXPECT_EQ(U8(e.profileName), "組態專案7");
  ASSERT_EQ(e.connections.size(), 2u);
  EXPECT_EQ(e.connections[1].macAddress, u"00:0c:29:dd:ee:ff");
  EXPECT_TRUE(e.connections[1].ipAddresses.empty());  // only the first of each is taken

  // The DHCP adapter without DNS servers: automatic, its DNS automatic too.
  const EditorFields dhcp = e.SwitchTab({}, 0);
  EXPECT_EQ(dhcp.mode, ConnectionMode::kAutomatic);
  EXPECT_TRUE(dhcp.dnsAutomatic);
  EXPECT_EQ(EnablesFor(dhcp), (EditorEnables{false, false, true}));

  const EditorFields fixed = e.SwitchTab(dhcp, 1);
  EXPECT_EQ(fixed.mode, ConnectionMode::kManual);
  EXPECT_EQ(fixed.address, A(u"192.168.1.10"));
  EXPECT_EQ(fixed.mask, A(u"255.255.255.0"));
  EXPECT_EQ(fixed.gateway, A(u"192.168.1.1"));
  EXPECT_EQ(fixed.dns1, A(u"168.95.1.1"));
  EXPECT_EQ(fixed.dns2, A(u"8.8.8.8"));
  EXPECT_FALSE(fixed.dnsAutomatic);
  EXPECT_EQ(EnablesFor(fixed), (EditorEnables{true, true, false}));
}

TEST(ProfileEditor, EnablesFollowModeAndAutomaticDns) {
  EditorFields f;
  EXPECT_EQ(EnablesFor(f), (EditorEnables{false, false, false}));
  f.mode = ConnectionMode::kAutomatic;
  EXPECT_EQ(EnablesFor(f), (EditorEnables{false, true, true}));
  f.dnsAutomatic = true;
  EXPECT_EQ(EnablesFor(f), (EditorEnables{false, false, true}));
  f.mode = ConnectionMode::kManual;
  EXPECT_EQ(EnablesFor(f), (EditorEnables{true, true, false}));
}

TEST(ProfileEditor, StoredTextsShownOnlyWhenTheControlCanTakeThem) {
  struct Case {
    std::u16string_view text;
    bool mask;
    bool shown;
  };
  const Case cases[] = {
      {u"255.255.255.0", true, true},
      {u"255.255.255.0", false, false},
      {u"0.0.0.0", false, false},
      {u"0.0.0.0", true, false},
      {u"224.0.0.1", false, false},
      {u"223.255.255.254", false, true},
      {u"10.0.0.256", false, false},
      {u"10.0.0", false, false},
      {u"10.0.0.1.5", false, false},
      {u"10.0.0.x", false, false},
      {u"", false, false},
      {u"1.2.3.4", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShownAddress(c.text, c.mask) != 0, c.shown) << U8(c.text) << " mask " << c.mask;
  }
}

TEST(ProfileEditor, StoredMarkupGivesOneTabPerConnectionWhateverElseItHolds) {
  ProfileEditor e;
  e.StartStored(Kind::kModify, u"5", u"辦公室",
                u"<NOTE>x</NOTE>"
                u"<CONNECTION NAME=\"LAN\" GUID=\"{LAN}\" NETCARD=\"Intel\" MACCODE=\"aa\" "
                u"EnableCheck=\"0\" TYPE=\"0\"><IPADD><IP>10.0.0.5</IP><IP>10.0.0.6</IP></IPADD>"
                u"<MASKADD><IP>255.0.0.0</IP></MASKADD><GATEWAY><IP>10.0.0.1</IP></GATEWAY>"
                u"<DNSADD><IP/><IP>1.1.1.1</IP><IP>2.2.2.2</IP></DNSADD><EXTRA/></CONNECTION>"
                u"<CONNECTION TYPE=\"9\"/>"
                u"<CONNECTION NAME=\"Wi-Fi\" TYPE=\"1\"><DNSADD><IP>9.9.9.9</IP></DNSADD>"
                u"</CONNECTION>");
  EXPECT_EQ(U8(e.profileName), "辦公室");
  ASSERT_EQ(e.connections.size(), 3u);
  const ConnectionSetting& lan = e.connections[0];
  EXPECT_EQ(lan.description, u"Intel");
  EXPECT_EQ(lan.macAddress, u"aa");
  EXPECT_EQ(lan.statusEnabled, 0);
  EXPECT_EQ(lan.ipAddressText, u"10.0.0.5");
  EXPECT_EQ(lan.primaryDns, u"1.1.1.1");
  EXPECT_EQ(lan.secondaryDns, u"2.2.2.2");
  EXPECT_EQ(ModeOf(e.connections[1]), ConnectionMode::kLeaveAlone);  // unknown TYPE
  EXPECT_EQ(e.connections[1].connectionName, u"");

  EXPECT_TRUE(e.SwitchTab({}, 0).adapterDisabled);
  const EditorFields wifi = e.SwitchTab(e.FieldsOf(0), 2);
  EXPECT_EQ(wifi.mode, ConnectionMode::kAutomatic);
  EXPECT_FALSE(wifi.dnsAutomatic);
  EXPECT_EQ(wifi.dns1, A(u"9.9.9.9"));

  // Markup that is no markup at all gives no tab.
  e.StartStored(Kind::kModify, u"5", u"x", u"<CONNECTION NAME=\"a\"><IPADD>");
  EXPECT_LE(e.connections.size(), 1u);
  e.StartStored(Kind::kModify, u"5", u"x", u"");
  EXPECT_TRUE(e.connections.empty());
  EXPECT_EQ(e.SwitchTab({}, 0).address, 0u);
}

// ---- What a tab stores --------------------------------------------------------------------

TEST(ProfileEditor, SwitchingTabsKeepsWhatWasTyped) {
  ProfileEditor e;
  e.StartNew(TwoAdapters(), u"0");
  EditorFields shown = e.SwitchTab({}, 0);
  shown.mode = ConnectionMode::kManual;
  shown.dnsAutomatic = false;
  shown.address = A(u"10.1.2.3");
  shown.mask = A(u"255.255.255.0");
  shown.gateway = A(u"10.1.2.254");
  shown.dns1 = A(u"10.1.2.53");
  shown.adapterDisabled = true;
  const EditorFields second = e.SwitchTab(shown, 1);
  const EditorFields back = e.SwitchTab(second, 0);
  EXPECT_EQ(back.mode, ConnectionMode::kManual);
  EXPECT_EQ(back.address, shown.address);
  EXPECT_EQ(back.gateway, A(u"10.1.2.254"));
  EXPECT_EQ(back.dns1, shown.dns1);
  EXPECT_EQ(back.dns2, 0u);
  EXPECT_TRUE(back.adapterDisabled);
  EXPECT_EQ(e.connections[0].statusEnabled, 0);
}

TEST(ProfileEditor, EachModeStoresWhatItMeans) {
  ProfileEditor e;
  e.StartNew(TwoAdapters(), u"0");
  EditorFields shown = e.SwitchTab({}, 1);

  // Automatic with automatic DNS: the DNS texts (also further servers) go, the addresses
  // stay for a later manual.
  e.connections[1].moreDnsServers = {u"9.9.9.9"};
  shown.mode = ConnectionMode::kAutomatic;
  shown.dnsAutomatic = true;
  e.StoreShown(shown);
  const ConnectionSetting& c = e.connections[1];
  EXPECT_EQ(ModeOf(c), ConnectionMode::kAutomatic);
  EXPECT_EQ(c.primaryDns, u"");
  EXPECT_EQ(c.secondaryDns, u"");
  EXPECT_TRUE(c.moreDnsServers.empty());
  EXPECT_EQ(c.ipAddressText, u"192.168.1.10");

  // Automatic with DNS servers typed.
  shown.dnsAutomatic = false;
  shown.dns1 = A(u"1.1.1.1");
  shown.dns2 = 0;
  e.StoreShown(shown);
  EXPECT_EQ(c.primaryDns, u"1.1.1.1");
  EXPECT_EQ(c.secondaryDns, u"");
  EXPECT_FALSE(e.FieldsOf(1).dnsAutomatic);

  // Leave alone changes nothing but the mode.
  shown.mode = ConnectionMode::kLeaveAlone;
  shown.address = A(u"1.2.3.4");
  e.StoreShown(shown);
  EXPECT_EQ(ModeOf(c), ConnectionMode::kLeaveAlone);
  EXPECT_EQ(c.ipAddressText, u"192.168.1.10");
  EXPECT_EQ(EnablesFor(e.FieldsOf(1)), (EditorEnables{false, false, false}));

  // Manual stores every control; a blank control stores the empty text.
  shown.mode = ConnectionMode::kManual;
  shown.gateway = 0;
  e.StoreShown(shown);
  EXPECT_EQ(c.ipAddressText, u"1.2.3.4");
  EXPECT_EQ(c.gatewayText, u"");
}

TEST(ProfileEditor, AddressSuggestsGatewayAndMask) {
  uint32_t gateway = 7, mask = 7;
  ASSERT_TRUE(SuggestGateway(A(u"10.1.2.3"), gateway, mask));
  EXPECT_EQ(AddressToText(gateway), u"10.1.2.1");
  EXPECT_EQ(AddressToText(mask), u"255.255.255.0");
  ASSERT_TRUE(SuggestGateway(A(u"223.0.0.0"), gateway, mask));
  EXPECT_EQ(AddressToText(gateway), u"223.0.0.1");
  gateway = mask = 7;
  EXPECT_FALSE(SuggestGateway(A(u"0.1.2.3"), gateway, mask));
  EXPECT_FALSE(SuggestGateway(A(u"224.1.2.3"), gateway, mask));
  EXPECT_EQ(gateway, 7u);
  EXPECT_EQ(mask, 7u);
}

TEST(ProfileEditor, DnsProviderFillsTheServersItHas) {
  XmlDocument d;
  d.SetDocument(
      u"<LUMATROVE><CONFIG/><DNS VERSION=\"2.0\">"
      u"<PROVINCE NAME=\"HiNet\"><IP>168.95.1.1</IP><IP>168.95.192.1</IP></PROVINCE>"
      u"<PROVINCE NAME=\"One\"><IP>1.1.1.1</IP></PROVINCE>"
      u"<PROVINCE NAME=\"HiNet\"><IP>9.9.9.9</IP><IP>9.9.9.9</IP></PROVINCE>"
      u"<X NAME=\"Odd\"><IP>8.x.8.</IP><IP/></X><X/></DNS></LUMATROVE>");
  ProfileEditor e;
  ASSERT_TRUE(e.LoadDnsProviders(d));
  ASSERT_EQ(e.dnsProviders.size(), 5u);
  EXPECT_EQ(e.dnsProviders[4], u"");

  EditorFields f;
  f.dns2 = A(u"4.4.4.4");
  ASSERT_TRUE(e.ApplyDnsProvider(d, u"HiNet", f));  // the first of that name
  EXPECT_EQ(AddressToText(f.dns1), u"168.95.1.1");
  EXPECT_EQ(AddressToText(f.dns2), u"168.95.192.1");
  ASSERT_TRUE(e.ApplyDnsProvider(d, u"One", f));
  EXPECT_EQ(AddressToText(f.dns1), u"1.1.1.1");
  EXPECT_EQ(AddressToText(f.dns2), u"168.95.192.1");  // no second server: left alone
  ASSERT_TRUE(e.ApplyDnsProvider(d, u"Odd", f));
  EXPECT_EQ(AddressToText(f.dns1), u"8.0.8.0");
  EXPECT_EQ(f.dns2, 0u);
  EXPECT_FALSE(e.ApplyDnsProvider(d, u"hinet", f));  // names are compared exactly

  XmlDocument none;
  none.SetDocument(u"<LUMATROVE><CONFIG/></LUMATROVE>");
  EXPECT_FALSE(e.LoadDnsProviders(none));
  EXPECT_TRUE(e.dnsProviders.empty());
}

// ---- OK ------------------------------------------------------------------------------------

class ProfileEditorOk : public test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    store_.Open();
  }
  // The profiles as the file holds them after saving and opening again.
  void SaveAndReopen() {
    ASSERT_TRUE(store_.Save());
    store_.Open();
  }
  ProfileStore store_{system_};
};

TEST_F(ProfileEditorOk, NameMustBeMoreThanBlanks) {
  ProfileEditor e;
  e.StartNew(TwoAdapters(), u"0");
  for (std::u16string_view name : {u"", u"   ", u"\u3000\t"}) {
    e.profileName = name;
    EXPECT_EQ(e.Ok(e.SwitchTab({}, 0), store_), Ok::kNameMissing);
  }
  SaveAndReopen();
  EXPECT_TRUE(store_.profiles.empty());
}

TEST_F(ProfileEditorOk, NewProfileIsAddedAndATakenNameAskedAbout) {
  ProfileEditor e;
  e.StartNew(TwoAdapters(), store_.GetLastIdText());
  e.profileName = u"家裡";
  EXPECT_EQ(e.Ok(e.SwitchTab({}, 0), store_), Ok::kStored);
  SaveAndReopen();

  ProfileEditor again;
  again.StartNew(TwoAdapters(), store_.GetLastIdText());
  EXPECT_EQ(U8(again.profileName), "組態專案1");
  again.profileName = u"家裡";
  const EditorFields shown = again.SwitchTab({}, 0);
  EXPECT_EQ(again.Ok(shown, store_), Ok::kNameExists);
  EXPECT_EQ(again.Ok(shown, store_, {.keepTakenName = true}), Ok::kStored);
  SaveAndReopen();
  ASSERT_EQ(store_.profiles.size(), 2u);
  EXPECT_EQ(store_.profiles[1]->name, u"家裡");
  EXPECT_EQ(store_.profiles[1]->id, u"2");
  ASSERT_EQ(store_.profiles[1]->connections.size(), 2u);
  const ConnectionSetting& wifi = *store_.profiles[1]->connections[1];
  EXPECT_EQ(ModeOf(wifi), ConnectionMode::kManual);
  EXPECT_EQ(wifi.ipAddressText, u"192.168.1.10");
  EXPECT_EQ(wifi.macAddress, u"00:0c:29:dd:ee:ff");
}

TEST_F(ProfileEditorOk, ModifyKeepsIdAndHardwareAddressAndDoesNotAskAboutTheName) {
  ProfileEditor add;
  add.StartNew(TwoAdapters(), u"0");
  add.profileName = u"A";
  add.Ok(add.SwitchTab({}, 0), store_);
  add.profileName = u"B";
  add.Ok(add.SwitchTab({}, 0), store_);
  SaveAndReopen();

  ProfileEditor e;
  e.StartStored(Kind::kModify, u"1", u"A", store_.GetProfileContent(u"1"));
  e.profileName = u"B";  // another profile's name: modify does not ask
  EditorFields shown = e.SwitchTab({}, 0);
  shown.mode = ConnectionMode::kManual;
  shown.address = A(u"10.9.8.7");
  shown.mask = A(u"255.255.0.0");
  EXPECT_EQ(e.Ok(shown, store_), Ok::kStored);
  SaveAndReopen();
  ASSERT_EQ(store_.profiles.size(), 2u);
  const Profile& p = *store_.profiles[0];
  EXPECT_EQ(p.id, u"1");
  EXPECT_EQ(p.name, u"B");
  EXPECT_EQ(p.connections[0]->ipAddressText, u"10.9.8.7");
  EXPECT_EQ(p.connections[0]->macAddress, u"00:0c:29:aa:bb:cc");
  EXPECT_EQ(p.connections[1]->macAddress, u"00:0c:29:dd:ee:ff");
  EXPECT_EQ(store_.lastId, 2);
}

// A key per profile: stored as readable text that an older version passes over, kept when the
// profile is modified, refused when another profile has it or when it needs no modifier.
TEST_F(ProfileEditorOk, KeysAreStoredOncePerKeyAndSurviveAModify) {
  const Hotkey ctrlAlt1{'1', Hotkey::kCtrl | Hotkey::kAlt};
  ProfileEditor add;
  add.StartNew(TwoAdapters(), u"0");
  add.profileName = u"A";
  add.hotkey = ctrlAlt1;
  ASSERT_EQ(add.Ok(add.SwitchTab({}, 0), store_), Ok::kStored);
  SaveAndReopen();  // as the window does after each stored profile
  add.profileName = u"B";
  EXPECT_EQ(add.Ok(add.SwitchTab({}, 0), store_), Ok::kBadHotkey);
  EXPECT_EQ(test::U8(add.badMessage), "快速鍵 Ctrl+Alt+1 已用於組態【A】，請改用其他按鍵。");
  add.hotkey = {'Q', 0};
  EXPECT_EQ(add.Ok(add.SwitchTab({}, 0), store_), Ok::kBadHotkey);
  add.hotkey = {0x74, Hotkey::kShift};  // Shift+F5 takes nothing from other programs
  add.proxy = {ProxySetting::Mode::kDetect};
  const NetworkRules networks{{{NetworkRule::Kind::kDnsSuffix, u"corp.example"}}, true};
  add.networks = networks;
  ASSERT_EQ(add.Ok(add.SwitchTab({}, 0), store_), Ok::kStored);
  SaveAndReopen();
  EXPECT_EQ(store_.profiles[1]->networks, networks);
  EXPECT_NE(test::U8(store_.profiles[1]->summary)
                .find("網路位置：DNS 尾碼 corp.example（偵測到時自動套用）"),
            std::string::npos);
  EXPECT_EQ(Text(store_.document).find("NETWORKS=\"\""), std::string::npos);  // not on A
  EXPECT_NE(Text(store_.document).find("NAME=\"A\""), std::string::npos);
  EXPECT_NE(Text(store_.document).find("HOTKEY=\"Ctrl+Alt+1\""), std::string::npos);
  EXPECT_EQ(store_.profiles[1]->hotkey, u"Shift+F5");
  EXPECT_EQ(store_.profiles[1]->proxy, (ProxySetting{ProxySetting::Mode::kDetect}));
  EXPECT_EQ(store_.profiles[0]->proxy, ProxySetting{});

  // Modifying A keeps its own key without calling it taken; taking it off writes "".
  ProfileEditor e;
  e.StartStored(Kind::kModify, u"1", u"A", store_.GetProfileContent(u"1"));
  e.hotkey = ctrlAlt1;
  EXPECT_EQ(e.Ok(e.SwitchTab({}, 0), store_), Ok::kStored);
  e.hotkey = {};
  EXPECT_EQ(e.Ok(e.SwitchTab({}, 0), store_), Ok::kStored);
  SaveAndReopen();
  EXPECT_EQ(store_.profiles[0]->hotkey, u"");
  EXPECT_EQ(store_.profiles[0]->connections.size(), 2u);
}

// The proxy dialog: a stored server splits into host and port and joins back; what cannot be
// used names itself and the field to type again.
TEST(ProxyEditor, FieldsMakeTheSettingOrSayWhatIsWrong) {
  using Mode = ProxySetting::Mode;
  using Field = ProxyOk::Field;
  const ProxySetting stored{Mode::kServer, u"proxy.corp:8080", u"*.corp", true, u""};
  const ProxyFields fields = FieldsOfProxy(stored);
  EXPECT_EQ(fields.host, u"proxy.corp");
  EXPECT_EQ(fields.port, u"8080");
  EXPECT_EQ(ProxyOfFields(fields).setting, stored);
  struct Case {
    ProxyFields fields;
    Field field;
  };
  const Case cases[] = {
      {{Mode::kServer, u" proxy ", u" 3128 "}, Field::kNone},
      {{Mode::kServer, u"proxy", u""}, Field::kHost},
      {{Mode::kServer, u"proxy", u"80", u"a b"}, Field::kBypass},
      {{Mode::kScript, u"proxy", u"x", u"", false, u"ftp://pac"}, Field::kUrl},
      {{Mode::kDetect, u"not used", u"x"}, Field::kNone},
  };
  for (const Case& c : cases) {
    const ProxyOk ok = ProxyOfFields(c.fields);
    EXPECT_EQ(ok.field, c.field) << test::U8(ok.fault);
    EXPECT_EQ(ok.fault.empty(), c.field == Field::kNone);
  }
  // Only the mode's own fields are kept: detection stores no server.
  EXPECT_EQ(ProxyOfFields(cases[4].fields).setting, (ProxySetting{Mode::kDetect}));
  EXPECT_EQ(ProxyOfFields(cases[0].fields).setting.server, u"proxy:3128");
  EXPECT_TRUE(ProxyEnablesFor(Mode::kServer).server && !ProxyEnablesFor(Mode::kServer).url);
}

TEST(Hotkey, TextsReadBackAndOddOnesAreRefused) {
  struct Case {
    const char16_t* text;
    std::optional<Hotkey> key;
  };
  const Case cases[] = {
      {u"Ctrl+Alt+1", Hotkey{'1', Hotkey::kCtrl | Hotkey::kAlt}},
      {u"Ctrl+Shift+Win+F12", Hotkey{0x7B, Hotkey::kCtrl | Hotkey::kShift | Hotkey::kWin}},
      {u"Alt+Num +", Hotkey{0x6B, Hotkey::kAlt}},
      {u"Ctrl+Num 7", Hotkey{0x67, Hotkey::kCtrl}},
      {u"ctrl+alt+z", Hotkey{'Z', Hotkey::kCtrl | Hotkey::kAlt}},
      {u"F9", Hotkey{0x78, 0}},
      {u"", Hotkey{}},
      {u"Q", std::nullopt},              // alone it would take the letter from every program
      {u"Shift+Esc", std::nullopt},      // Shift is no modifier for this purpose
      {u"Ctrl+Ctrl+A", std::nullopt},    // a modifier twice
      {u"Ctrl+Hyper+A", std::nullopt},   // no such modifier
      {u"Ctrl+Alt+", std::nullopt},      // no key
      {u"Ctrl+Alt+Fish", std::nullopt},  // no such key
  };
  for (const Case& c : cases) {
    const std::optional<Hotkey> key = ParseHotkey(c.text);
    EXPECT_EQ(key, c.key) << test::U8(c.text);
    // The written text reads back the same, in the order menus write it.
    if (key && !key->empty()) {
      EXPECT_EQ(ParseHotkey(HotkeyText(*key)), key);
    }
  }
  EXPECT_EQ(test::U8(HotkeyText({0x7B, Hotkey::kWin | Hotkey::kShift | Hotkey::kCtrl})),
            "Ctrl+Shift+Win+F12");
  // The hotkey control's flags (Shift 1, Control 2, Alt 4) are not RegisterHotKey's.
  const Hotkey fromControl = HotkeyOfControl(0x0500 | 'K');
  EXPECT_EQ(fromControl, (Hotkey{'K', Hotkey::kShift | Hotkey::kAlt}));
  EXPECT_EQ(ControlValueOf(fromControl), 0x0500 | 'K');
}

TEST_F(ProfileEditorOk, PropertiesStoreNothing) {
  ProfileEditor add;
  add.StartNew(TwoAdapters(), u"0");
  add.Ok(add.SwitchTab({}, 0), store_);
  SaveAndReopen();
  const std::u16string before = store_.document.GetDocument();

  ProfileEditor e;
  e.StartStored(Kind::kProperties, u"1", u"組態專案0", store_.GetProfileContent(u"1"));
  EditorFields shown = e.SwitchTab({}, 1);
  shown.mode = ConnectionMode::kManual;
  shown.address = 0;  // would be refused if it were stored
  EXPECT_EQ(e.Ok(shown, store_), Ok::kNothingStored);
  EXPECT_EQ(store_.document.GetDocument(), before);
}

// What an apply would refuse is refused at OK, naming the value, on the tab and in the field
// it is about; a gateway outside the subnet is stored once the user says so.
TEST_F(ProfileEditorOk, AddressesNoNetworkCanUseAreRefusedAtOk) {
  using Field = ProfileEditor::Field;
  struct Case {
    std::u16string_view address, mask, gateway, dns2;
    Ok result;
    Field field;
    const char* message;  // "" for none
  };
  const Case cases[] = {
      {u"10.0.0.5", u"255.255.255.0", u"10.0.0.1", u"127.0.0.1", Ok::kStored, Field::kAddress, ""},
      {u"10.0.0.5", u"255.255.255.254", u"", u"", Ok::kStored, Field::kAddress, ""},
      {u"", u"255.255.255.0", u"", u"", Ok::kBadAddress, Field::kAddress,
       "網路連線【區域連線】設為手動輸入，請輸入有效的IP位址及子網遮罩，或改選「不配置」。"},
      {u"10.0.0.5", u"", u"", u"", Ok::kBadAddress, Field::kMask, ""},
      {u"10.0.0.0", u"255.255.255.0", u"", u"", Ok::kBadAddress, Field::kAddress,
       "網路組態【區域連線】中存在非法IP位址!10.0.0.0"},
      {u"127.0.0.1", u"255.0.0.0", u"", u"", Ok::kBadAddress, Field::kAddress,
       "網路組態【區域連線】中存在非法IP位址!127.0.0.1"},
      {u"10.0.0.255", u"255.255.255.0", u"", u"", Ok::kBadAddress, Field::kAddress,
       "網路組態【區域連線】中存在非法IP位址!10.0.0.255"},
      {u"10.0.0.5", u"255.255.255.255", u"", u"", Ok::kBadAddress, Field::kMask,
       "網路組態【區域連線】中存在非法子網遮罩：255.255.255.255"},
      {u"10.0.0.5", u"255.0.255.0", u"", u"", Ok::kBadAddress, Field::kMask, ""},
      {u"10.0.0.5", u"255.255.255.0", u"10.0.0.5", u"", Ok::kBadAddress, Field::kGateway,
       "網路組態【區域連線】中存在非法預設通訊閘：10.0.0.5"},
      {u"10.0.0.5", u"255.255.255.0", u"127.0.0.1", u"", Ok::kBadAddress, Field::kGateway, ""},
      {u"10.0.0.5", u"255.255.255.0", u"10.0.1.1", u"", Ok::kGatewayOutside, Field::kGateway,
       "網路連線【區域連線】的預設通訊閘 10.0.1.1 不在 IP "
       "位址與子網遮罩所定義的相同網路區段（子網路）"
       "上。\r\n仍要儲存這些設定嗎？"},
  };
  for (const Case& c : cases) {
    const std::string label = U8(c.address) + " " + U8(c.mask) + " " + U8(c.gateway);
    ProfileEditor e;
    e.StartNew(TwoAdapters(), u"0");
    EditorFields shown = e.SwitchTab({}, 0);
    shown.mode = ConnectionMode::kManual;
    shown.address = c.address.empty() ? 0 : A(c.address);
    shown.mask = c.mask.empty() ? 0 : A(c.mask);
    shown.gateway = c.gateway.empty() ? 0 : A(c.gateway);
    shown.dns2 = c.dns2.empty() ? 0 : A(c.dns2);
    EXPECT_EQ(e.Ok(shown, store_, {.keepTakenName = true}), c.result) << label;
    if (c.result == Ok::kStored) continue;
    EXPECT_EQ(e.badTab, 0) << label;
    EXPECT_EQ(e.badField, c.field) << label;
    if (*c.message != 0) {
      EXPECT_EQ(U8(e.badMessage), c.message) << label;
    }
    if (c.result == Ok::kGatewayOutside) {
      EXPECT_EQ(e.Ok(shown, store_, {.keepTakenName = true, .acceptedGateways = {0}}), Ok::kStored);
    }
  }
  SaveAndReopen();
  ASSERT_EQ(store_.profiles.size(), 3u);
  EXPECT_EQ(store_.profiles[2]->connections[0]->gatewayText, u"10.0.1.1");
}

TEST_F(ProfileEditorOk, AnyNameTypedOrPastedSurvivesTheFile) {
  std::u16string names[] = {
      u"<a & \"b\" 'c'> &amp; ]]> <!-- x",
      std::u16string(500, u'名'),
      u"tab\there\x01\x1F end",
  };
  for (const std::u16string& name : names) {
    ProfileEditor e;
    e.StartNew(TwoAdapters(), u"0");
    e.profileName = name;
    EXPECT_EQ(e.Ok(e.SwitchTab({}, 0), store_), Ok::kStored);
  }
  SaveAndReopen();
  ASSERT_EQ(store_.profiles.size(), 3u);
  for (size_t i = 0; i < 3; ++i)
    EXPECT_EQ(store_.profiles[i]->name, names[i]) << i;
  EXPECT_EQ(store_.profiles[2]->connections.size(), 2u);
}

// ---- The backup dialog --------------------------------------------------------------------

TEST(Backup, DetailsTexts) {
  EXPECT_EQ(U8(BackupEntryText(*Fixed(u"無線網路連線"))), "無線網路連線-->Realtek Wireless");
  EXPECT_EQ(U8(BackupDetailsText(*Dhcp(u"LAN"))), "自動取得IP組態\r\n\r\n網路狀態:啟用");
  auto fixed = Fixed(u"Wi-Fi");
  fixed->statusEnabled = 0;
  EXPECT_EQ(U8(BackupDetailsText(*fixed)),
            "手動組態取得IP組態\r\n"
            "\r\n預設IP位址:192.168.1.10\r\n\r\n預設IP位址:192.168.1.11\r\n"
            "\r\n子网掩码:255.255.255.0\r\n\r\n子网掩码:255.255.0.0\r\n"
            "\r\n預設網關:192.168.1.1\r\n"
            "\r\n預設DNS伺服器:168.95.1.1\r\n\r\n預設DNS伺服器:8.8.8.8\r\n"
            "\r\n網路狀態:禁用");
}

TEST(Backup, StoresTheSelectedOrEveryAdapter) {
  std::vector<std::unique_ptr<AdapterInfo>> adapters = TwoAdapters();
  adapters.push_back(Fixed(u"第三"));

  const std::vector<ConnectionSetting> one = BackupConnections(adapters, 1, false, false);
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(U8(one[0].connectionName), "無線網路連線");
  EXPECT_EQ(one[0].ipAddressText, u"192.168.1.10");  // the first address only
  EXPECT_TRUE(one[0].ipAddresses.empty());
  EXPECT_EQ(ModeOf(one[0]), ConnectionMode::kManual);

  const std::vector<ConnectionSetting> all = BackupConnections(adapters, 1, true, true);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(ModeOf(all[0]), ConnectionMode::kAutomatic);
  EXPECT_EQ(U8(all[2].connectionName), "第三");
  EXPECT_EQ(ModeOf(all[2]), ConnectionMode::kManual);

  // The selected adapter as it is, every other one automatic, in list order.
  const std::vector<ConnectionSetting> others = BackupConnections(adapters, 1, false, true);
  ASSERT_EQ(others.size(), 3u);
  EXPECT_EQ(ModeOf(others[1]), ConnectionMode::kManual);
  EXPECT_EQ(others[1].primaryDns, u"168.95.1.1");
  EXPECT_EQ(ModeOf(others[2]), ConnectionMode::kAutomatic);
  EXPECT_EQ(others[2].ipAddressText, u"");
  EXPECT_EQ(others[2].primaryDns, u"");
  EXPECT_EQ(others[2].macAddress, u"00:0c:29:dd:ee:ff");

  EXPECT_TRUE(BackupConnections(adapters, -1, false, true).empty());
  EXPECT_TRUE(BackupConnections(adapters, 3, false, false).empty());
  EXPECT_EQ(BackupConnections(adapters, -1, true, false).size(), 3u);
}

// Typed rules are checked and written one way; what the adapters see adds only what is new;
// automatic applying without a network is refused.
TEST(NetworksEditor, RulesTypedOrSeenAndTheirCheck) {
  using RuleKind = NetworkRule::Kind;
  NetworksEditor editor({{{RuleKind::kSsid, u"Home"}}, false});
  EXPECT_EQ(editor.Add(RuleKind::kGatewayMac, u"  00:11:22:AA:BB:CC "), u"");
  EXPECT_EQ(editor.Add(RuleKind::kGatewayMac, u"00-11-22-aa-bb-cc"), u"");  // the same: not twice
  EXPECT_NE(editor.Add(RuleKind::kDnsSuffix, u"not a name").find(u"「not a name」"),
            std::u16string::npos);
  EXPECT_EQ(editor.Add(RuleKind::kSsid, u" Café "), u"");  // an SSID keeps its blanks
  EXPECT_EQ(test::U8(editor.Rows()[1]), "閘道 00-11-22-aa-bb-cc");
  ASSERT_EQ(editor.Rows().size(), 3u);

  EXPECT_FALSE(editor.AddSeen({}));
  EXPECT_TRUE(editor.AddSeen({{u"00-11-22-AA-BB-CC"}, {u"Home", u"Guest"}, {u"corp.example"}}));
  EXPECT_EQ(editor.networks().rules,
            (std::vector<NetworkRule>{{RuleKind::kSsid, u"Home"},
                                      {RuleKind::kGatewayMac, u"00-11-22-aa-bb-cc"},
                                      {RuleKind::kSsid, u" Café "},
                                      {RuleKind::kSsid, u"Guest"},
                                      {RuleKind::kDnsSuffix, u"corp.example"}}));

  editor.Remove(9);  // no such row
  for (size_t i = 0; i < 5; ++i)
    editor.Remove(0);
  editor.SetAutoApply(true);
  EXPECT_FALSE(editor.Fault().empty());
  editor.Add(RuleKind::kSsid, u"Home");
  EXPECT_EQ(editor.Fault(), u"");
}

}  // namespace
}  // namespace lumatrove
