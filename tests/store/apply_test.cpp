// Applying a profile against the in-memory computer: the address tests, the DNS list, the
// values written, the notifications in order, the messages and the result.
#include "netcfg/net_adapter_layer.h"
#include "store/address_text.h"
#include "store_test_util.h"

namespace lumatrove {
namespace {

using test::StoreTest;
using test::U8;

constexpr char kLan[] = "{11111111-2222-3333-4444-555555555555}";
constexpr char kWifi[] = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

TEST(AddressTests, UsableAddressAndMask) {
  struct Case {
    std::u16string_view text;
    bool address, mask;
  };
  const Case cases[] = {
      {u"192.168.1.10", true, true},
      {u"0.0.0.0", false, false},
      {u"0.1.2.3", false, false},
      {u"10.0.0.0", false, true},
      {u"0", false, true},
      {u"", true, true},
      {u"255.255.255.0", false, true},
      {u"8.8.8.0", false, true},
      {u"8.8.4.4", true, true},
      {u"abc", true, true},
      {u"1.2.3.", true, true},
      {u".0", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsUsableAddress(c.text), c.address) << U8(c.text);
    EXPECT_EQ(IsUsableMask(c.text), c.mask) << U8(c.text);
  }
}

TEST(AddressTests, DottedQuadsFixedAddressesAndMasks) {
  struct Case {
    std::u16string_view text;
    bool quad, address, mask;
  };
  const Case cases[] = {
      {u"192.168.1.10", true, true, false},    {u"255.255.255.0", true, false, true},
      {u"255.255.255.255", true, true, false}, {u"128.0.0.0", true, false, true},
      {u"255.255.254.0", true, false, true},   {u"255.0.255.0", true, false, false},
      {u"255.255.255.1", true, true, false},   {u"0.0.0.0", true, false, false},
      {u"10.0.0.0", true, false, false},       {u"0.255.255.255", true, false, false},
      {u"1.2.3.255", true, true, false},       {u"999.1.1.1", false, false, false},
      {u"256.1.1.1", false, false, false},     {u"1.2.3", false, false, false},
      {u"1.2.3.4.5", false, false, false},     {u"1.2..4", false, false, false},
      {u".1.2.3", false, false, false},        {u"1.2.3.", false, false, false},
      {u"hello", false, false, false},         {u"", false, false, false},
      {u" 10.0.5.77", false, false, false},    {u"10.0.5.77 ", false, false, false},
      {u"+1.2.3.4", false, false, false},      {u"1.-2.3.4", false, false, false},
      {u"010.0.0.1", false, false, false},     {u"10.0.0.00", false, false, false},
      {u"1.2.3.4\u0661", false, false, false},  // an Arabic-Indic digit
      {u"\uff11.2.3.4", false, false, false},   // a full-width digit
      {u"1.2.3.0004", false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDottedQuad(c.text), c.quad) << U8(c.text);
    EXPECT_EQ(IsFixedAddress(c.text), c.address) << U8(c.text);
    EXPECT_EQ(IsFixedMask(c.text), c.mask) << U8(c.text);
  }
}

TEST(AddressTests, TextToAddressAndValidity) {
  EXPECT_EQ(TextToAddress(u"192.168.1.10"), 0xC0A8010Au);
  EXPECT_EQ(TextToAddress(u"1.2.3.4.5"), 0x01020304u);  // the fourth part is all after the dot
  EXPECT_EQ(TextToAddress(u"256.x.3a"), 0x00000300u);
  EXPECT_EQ(TextToAddress(u""), 0u);
  EXPECT_EQ(U8(AddressToText(0xC0A8010Au)), "192.168.1.10");
  EXPECT_EQ(U8(AddressToText(0)), "");  // a blank control
  EXPECT_TRUE(IsValidAddress(u"192.168.1.10", false));
  EXPECT_FALSE(IsValidAddress(u"0.0.0.0", true));
  EXPECT_FALSE(IsValidAddress(u"224.0.0.1", false));
  EXPECT_TRUE(IsValidAddress(u"255.255.255.0", true));
  EXPECT_FALSE(IsValidAddress(u"255.255.255.0", false));
  EXPECT_FALSE(IsValidAddress(u"1.2.3", false));
  EXPECT_FALSE(IsValidAddress(u"1.2..4", false));
  EXPECT_FALSE(IsValidAddress(u"1.2.3.256", false));
}

std::string Connection(const char* guid, const char* name, const char* type, const char* ip,
                       const char* mask, const char* gateway, const char* dns1, const char* dns2) {
  return std::string("<CONNECTION NAME=\"") + name + "\" GUID=\"" + guid + "\" TYPE=\"" + type +
         "\"><IPADD><IP>" + ip + "</IP></IPADD><MASKADD><IP>" + mask +
         "</IP></MASKADD><GATEWAY><IP>" + gateway + "</IP></GATEWAY><DNSADD><IP>" + dns1 +
         "</IP><IP>" + dns2 + "</IP></DNSADD></CONNECTION>";
}

class Apply : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    computer_.AddAdapter({.guid = u"{11111111-2222-3333-4444-555555555555}",
                          .description = u"LAN",
                          .connectionName = u"LAN"});
    computer_.AddAdapter({.guid = u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}",
                          .description = u"WIFI",
                          .connectionName = u"WIFI"});
    computer_.memoryRegistry().ClearChanges();
  }
  // A store whose profile 1 holds the given connections.
  void Profile(const std::string& connections) {
    WriteFile(ConfigFile(), "<LUMATROVE><CONFIG LASTID=\"1\"><NETSETING NAME=\"P\" ID=\"1\">" +
                                connections + "</NETSETING></CONFIG></LUMATROVE>");
    ASSERT_EQ(store_.Open(), 1);
  }
  std::string Value(const char* guid, std::u16string_view name) {
    const std::string g(guid);
    return U8(RegText(
        computer_.memoryRegistry()
            .FindValue(RegRoot::kLocalMachine,
                       std::u16string(kTcpipInterfacesKey) + std::u16string(g.begin(), g.end()),
                       name)
            ->data));
  }
  ProfileStore store_{system_};
};

TEST_F(Apply, FixedAddress) {
  Profile(Connection(kLan, "LAN", "0", "192.168.1.10", "255.255.255.0", "192.168.1.1", "168.95.1.1",
                     "168.95.192.1"));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));
  EXPECT_EQ(Value(kLan, u"IPAddress"), "192.168.1.10");
  EXPECT_EQ(Value(kLan, u"SubnetMask"), "255.255.255.0");
  EXPECT_EQ(Value(kLan, u"DefaultGateway"), "192.168.1.1");
  EXPECT_EQ(Value(kLan, u"NameServer"), "168.95.1.1,168.95.192.1");
  ASSERT_EQ(computer_.notifications.size(), 1u);
  EXPECT_EQ(computer_.notifications[0].action, 2);
  EXPECT_EQ(computer_.notifications[0].ipAddress, 0x0A01A8C0u);
  EXPECT_TRUE(computer_.messages.empty());
}

TEST_F(Apply, GatewayAndDnsRules) {
  struct Case {
    const char *gateway, *dns1, *dns2;
    const char *gatewayWritten, *dnsWritten;
  };
  const Case cases[] = {
      {"0.0.0.0", "0.0.0.0", "8.8.8.8", "", "8.8.8.8"},
      {"192.168.1.1", "8.8.8.0", "8.8.4.4", "192.168.1.1", "8.8.4.4"},
      {"", "168.95.1.1", "", "", "168.95.1.1,"},
      {"", "", "168.95.1.1", "", "168.95.1.1"},
      {"", "", "", "", ""},
      // A resolver on this computer; a gateway on another subnet (Windows takes both).
      {"172.16.0.1", "127.0.0.1", "", "172.16.0.1", "127.0.0.1,"},
  };
  for (const Case& c : cases) {
    Profile(Connection(kLan, "LAN", "0", "10.0.0.5", "255.0.0.0", c.gateway, c.dns1, c.dns2));
    EXPECT_TRUE(store_.ApplyProfile(u"1"));
    EXPECT_EQ(Value(kLan, u"DefaultGateway"), c.gatewayWritten);
    EXPECT_EQ(Value(kLan, u"NameServer"), c.dnsWritten);
  }
}

// A gateway or DNS server that is no address a network can use used to be left out while
// the apply reported success; a mode that is none of the three was skipped as a success.
// Each now stops the apply before anything is written, naming the connection and the value.
TEST_F(Apply, ValuesNoNetworkCanUseStopTheApply) {
  const std::string longGateway(10000, '1');
  struct Case {
    std::string type, ip, mask, gateway, dns1, dns2;
    std::string message;
  };
  const Case cases[] = {
      {"0", "10.0.0.5", "255.0.0.0", "", "abc;rm -rf /", "", "DNS伺服器：abc;rm -rf /"},
      {"0", "10.0.0.5", "255.0.0.0", "", "8.8.8.8", "1.2.3.4,5.6.7.8",
       "DNS伺服器：1.2.3.4,5.6.7.8"},
      {"1", "", "", "", "999.999.999.999", "", "DNS伺服器：999.999.999.999"},
      {"1", "", "", "", "224.0.0.1", "", "DNS伺服器：224.0.0.1"},
      {"0", "10.0.0.5", "255.0.0.0", longGateway, "", "",
       "預設通訊閘：" + longGateway.substr(0, 64) + "…"},
      {"0", "10.0.0.5", "255.0.0.0", "hello", "", "", "預設通訊閘：hello"},
      {"0", "10.0.0.5", "255.0.0.0", "10.0.0.5", "", "", "預設通訊閘：10.0.0.5"},
      {"0", "10.0.0.5", "255.0.0.0", "127.0.0.1", "", "", "預設通訊閘：127.0.0.1"},
      {"0", "10.0.0.5", "255.0.0.0", "255.255.255.255", "", "", "預設通訊閘：255.255.255.255"},
      {"0", "127.0.0.1", "255.0.0.0", "", "", "", "IP位址!127.0.0.1"},
      {"0", "224.0.0.1", "255.0.0.0", "", "", "", "IP位址!224.0.0.1"},
      {"0", "240.0.0.1", "255.0.0.0", "", "", "", "IP位址!240.0.0.1"},
      {"0", "255.255.255.255", "255.0.0.0", "", "", "", "IP位址!255.255.255.255"},
      {"0", "192.168.1.255", "255.255.255.0", "", "", "", "IP位址!192.168.1.255"},
      {"0", "10.0.0.5", "255.255.255.255", "", "", "", "子網遮罩：255.255.255.255"},
      {"9", "10.0.0.5", "255.0.0.0", "", "", "", "不明的設定方式：9"},
      {"", "10.0.0.5", "255.0.0.0", "", "", "", "不明的設定方式："},
  };
  for (const Case& c : cases) {
    computer_.messages.clear();
    Profile(Connection(kWifi, "WIFI", "1", "", "", "", "", "") +
            Connection(kLan, "LAN", c.type.c_str(), c.ip.c_str(), c.mask.c_str(), c.gateway.c_str(),
                       c.dns1.c_str(), c.dns2.c_str()));
    EXPECT_FALSE(store_.ApplyProfile(u"1")) << c.message;
    ASSERT_EQ(computer_.messages.size(), 1u) << c.message;
    const std::string text = U8(computer_.messages[0].text);
    const std::string prefix = "網路組態【LAN】中存在";
    EXPECT_EQ(text, prefix + (c.message.starts_with("不明") ? "" : "非法") + c.message);
    // Not even the first connection, which was fine, was written.
    EXPECT_TRUE(computer_.memoryRegistry().Changes().empty()) << c.message;
    EXPECT_TRUE(computer_.notifications.empty());
  }
}

// A connection with several of each: every pair, gateway (with its metric) and server is
// written, byte for byte; the DHCP client hears of the first address.
std::string Lists(const char* ips, const char* masks, const char* gateways, const char* dns) {
  return std::string("<CONNECTION NAME=\"LAN\" GUID=\"") + kLan + "\" TYPE=\"0\"><IPADD>" + ips +
         "</IPADD><MASKADD>" + masks + "</MASKADD><GATEWAY>" + gateways + "</GATEWAY><DNSADD>" +
         dns + "</DNSADD></CONNECTION>";
}

TEST_F(Apply, SeveralAddressesGatewaysAndServers) {
  Profile(Lists("<IP>10.0.0.5</IP><IP>10.1.0.5</IP><IP>192.168.7.2</IP>",
                "<IP>255.255.255.0</IP><IP>255.255.0.0</IP><IP>255.255.255.0</IP>",
                "<IP>10.0.0.1</IP><IP METRIC=\"20\">10.1.0.1</IP>",
                "<IP>1.1.1.1</IP><IP>8.8.8.8</IP><IP>9.9.9.9</IP>"));
  ASSERT_TRUE(store_.ApplyProfile(u"1"));
  const MemoryRegistry& reg = computer_.memoryRegistry();
  const std::u16string key =
      std::u16string(kTcpipInterfacesKey) + u"{11111111-2222-3333-4444-555555555555}";
  auto bytes = [](std::initializer_list<std::u16string> strings) {
    return RegMultiSzImage(strings);
  };
  EXPECT_EQ(reg.FindValue(RegRoot::kLocalMachine, key, u"IPAddress")->data,
            bytes({u"10.0.0.5", u"10.1.0.5", u"192.168.7.2"}));
  EXPECT_EQ(reg.FindValue(RegRoot::kLocalMachine, key, u"SubnetMask")->data,
            bytes({u"255.255.255.0", u"255.255.0.0", u"255.255.255.0"}));
  EXPECT_EQ(reg.FindValue(RegRoot::kLocalMachine, key, u"DefaultGateway")->data,
            bytes({u"10.0.0.1", u"10.1.0.1"}));
  EXPECT_EQ(reg.FindValue(RegRoot::kLocalMachine, key, u"DefaultGatewayMetric")->data,
            bytes({u"0", u"20"}));
  EXPECT_EQ(Value(kLan, u"NameServer"), "1.1.1.1,8.8.8.8,9.9.9.9");
  ASSERT_EQ(computer_.notifications.size(), 1u);
  EXPECT_EQ(computer_.notifications[0].ipAddress, 0x0500000Au);

  // A single gateway again: the metrics of the last apply go with the gateways they were for.
  Profile(Connection(kLan, "LAN", "0", "10.0.0.5", "255.255.255.0", "10.0.0.1", "", ""));
  ASSERT_TRUE(store_.ApplyProfile(u"1"));
  EXPECT_EQ(reg.FindValue(RegRoot::kLocalMachine, key, u"DefaultGatewayMetric"), nullptr);
  EXPECT_EQ(Value(kLan, u"IPAddress"), "10.0.0.5");
}

// Further entries follow the first one's rules; the message names the entry at fault.
TEST_F(Apply, FurtherEntriesAreCheckedLikeTheFirst) {
  std::string seventeen, nine;
  for (int i = 1; i <= 17; ++i)
    seventeen += "<IP>10.0.0." + std::to_string(i) + "</IP>";
  for (int i = 1; i <= 9; ++i)
    nine += "<IP>9.9.9." + std::to_string(i) + "</IP>";
  const std::string masks17 = [] {
    std::string m;
    for (int i = 0; i < 17; ++i)
      m += "<IP>255.255.255.0</IP>";
    return m;
  }();
  struct Case {
    std::string connection, message;
  };
  const Case cases[] = {
      {Lists("<IP>10.0.0.5</IP><IP>10.0.0.5</IP>", "<IP>255.0.0.0</IP><IP>255.0.0.0</IP>", "", ""),
       "非法IP位址!10.0.0.5"},
      {Lists("<IP>10.0.0.5</IP><IP>10.1.0.5</IP>", "<IP>255.255.0.0</IP>", "", ""),
       "非法子網遮罩：（10.1.0.5 沒有子網遮罩）"},
      {Lists("<IP>10.0.0.5</IP><IP>10.1.0.5</IP>", "<IP>255.255.0.0</IP><IP>255.0.255.0</IP>", "",
             ""),
       "非法子網遮罩：255.0.255.0"},
      {Lists("<IP>10.0.0.5</IP><IP>10.1.255.255</IP>", "<IP>255.255.0.0</IP><IP>255.255.0.0</IP>",
             "", ""),
       "非法IP位址!10.1.255.255"},
      {Lists("<IP>10.0.0.5</IP>", "<IP>255.255.0.0</IP>", "<IP>10.0.0.1</IP><IP>nope</IP>", ""),
       "非法預設通訊閘：nope"},
      {Lists(seventeen.c_str(), masks17.c_str(), "", ""), "非法IP位址!10.0.0.17"},
      {Lists("<IP>10.0.0.5</IP>", "<IP>255.255.0.0</IP>",
             "<IP>10.0.0.1</IP><IP>10.0.0.2</IP><IP>10.0.0.3</IP><IP>10.0.0.4</IP><IP>10.0.0.6</IP>"
             "<IP>10.0.0.7</IP>",
             ""),
       "非法預設通訊閘：10.0.0.7"},
      {Lists("<IP>10.0.0.5</IP>", "<IP>255.255.0.0</IP>", "", nine.c_str()),
       "非法DNS伺服器：9.9.9.9"},
  };
  for (const Case& c : cases) {
    computer_.messages.clear();
    Profile(c.connection);
    EXPECT_FALSE(store_.ApplyProfile(u"1")) << c.message;
    ASSERT_EQ(computer_.messages.size(), 1u) << c.message;
    EXPECT_EQ(U8(computer_.messages[0].text), "網路組態【LAN】中存在" + c.message);
    EXPECT_TRUE(computer_.memoryRegistry().Changes().empty()) << c.message;
  }
}

TEST_F(Apply, InvalidAddressOrMaskStopsWithAMessage) {
  Profile(Connection(kLan, "LAN", "0", "192.168.1.0", "255.0.0.0", "", "", ""));
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
  ASSERT_EQ(computer_.messages.size(), 1u);
  EXPECT_EQ(U8(computer_.messages[0].text), "網路組態【LAN】中存在非法IP位址!192.168.1.0");
  EXPECT_EQ(U8(computer_.messages[0].caption), "lumatrove");
  EXPECT_EQ(computer_.messages[0].flags, kMbIconHand | kMbOk);
  EXPECT_TRUE(computer_.memoryRegistry().Changes().empty());

  computer_.messages.clear();
  Profile(Connection(kLan, "LAN", "0", "10.0.0.5", "0.0.0.0", "", "", ""));
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
  ASSERT_EQ(computer_.messages.size(), 1u);
  EXPECT_EQ(U8(computer_.messages[0].text), "網路組態【LAN】中存在非法子網遮罩：0.0.0.0");
}

// A fixed address or mask that is no address at all used to be written and reported as a
// success (and the DHCP client told 255.255.255.255); now it stops like an unusable one.
TEST_F(Apply, FixedAddressAndMaskMustBeWhatTheAdapterTakes) {
  struct Case {
    const char *ip, *mask, *message;
  };
  const Case cases[] = {
      {"999.1.1.1", "255.0.0.0", "網路組態【LAN】中存在非法IP位址!999.1.1.1"},
      {"1.2.3", "255.0.0.0", "網路組態【LAN】中存在非法IP位址!1.2.3"},
      {"hello", "255.0.0.0", "網路組態【LAN】中存在非法IP位址!hello"},
      {" 10.0.5.77", "255.0.0.0", "網路組態【LAN】中存在非法IP位址! 10.0.5.77"},
      {"", "255.0.0.0", "網路組態【LAN】中存在非法IP位址!"},
      {"10.0.5.77", "255.0.255.0", "網路組態【LAN】中存在非法子網遮罩：255.0.255.0"},
      {"10.0.5.77", "", "網路組態【LAN】中存在非法子網遮罩："},
      {"10.0.5.77", "255.255.255.0 ", "網路組態【LAN】中存在非法子網遮罩：255.255.255.0 "},
      {"10.0.5.77", "0", "網路組態【LAN】中存在非法子網遮罩：0"},
  };
  for (const Case& c : cases) {
    computer_.messages.clear();
    Profile(Connection(kLan, "LAN", "0", c.ip, c.mask, "", "", ""));
    EXPECT_FALSE(store_.ApplyProfile(u"1")) << c.ip << " / " << c.mask;
    ASSERT_EQ(computer_.messages.size(), 1u) << c.ip << " / " << c.mask;
    EXPECT_EQ(U8(computer_.messages[0].text), c.message);
    EXPECT_TRUE(computer_.memoryRegistry().Changes().empty()) << c.ip << " / " << c.mask;
    EXPECT_TRUE(computer_.notifications.empty());
  }
  // A /31 is a link of two hosts: neither address is a network or broadcast address.
  computer_.messages.clear();
  Profile(Connection(kLan, "LAN", "0", "10.0.5.76", "255.255.255.254", "", "", ""));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));
  EXPECT_EQ(Value(kLan, u"IPAddress"), "10.0.5.76");
  EXPECT_TRUE(computer_.messages.empty());
}

TEST_F(Apply, FixedConnectionWithoutAddressOrMaskElementStops) {
  Profile("<CONNECTION NAME=\"LAN\" GUID=\"" + std::string(kLan) +
          "\" TYPE=\"0\"><MASKADD><IP>255.0.0.0</IP></MASKADD></CONNECTION>");
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
  ASSERT_EQ(computer_.messages.size(), 1u);
  EXPECT_EQ(U8(computer_.messages[0].text), "網路組態【LAN】中存在非法IP位址!");
  computer_.messages.clear();
  Profile("<CONNECTION NAME=\"LAN\" GUID=\"" + std::string(kLan) +
          "\" TYPE=\"0\"><IPADD><IP>10.0.0.5</IP></IPADD><MASKADD/></CONNECTION>");
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
  ASSERT_EQ(computer_.messages.size(), 1u);
  EXPECT_EQ(U8(computer_.messages[0].text), "網路組態【LAN】中存在非法子網遮罩：");
  EXPECT_TRUE(computer_.memoryRegistry().Changes().empty());
}

TEST_F(Apply, FirstInvalidStopsBeforeTheSecond) {
  Profile(Connection(kLan, "LAN", "0", "10.0.0.5", "0.0.0.0", "", "", "") +
          Connection(kWifi, "WIFI", "0", "10.0.0.6", "255.0.0.0", "", "", ""));
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
  EXPECT_TRUE(computer_.memoryRegistry().Changes().empty());
}

TEST_F(Apply, SecondInvalidStopsBeforeTheFirstIsWritten) {
  Profile(Connection(kLan, "LAN", "0", "10.0.0.5", "255.0.0.0", "", "", "") +
          Connection(kWifi, "WIFI", "0", "10.0.0.0", "255.0.0.0", "", "", ""));
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
  EXPECT_TRUE(computer_.memoryRegistry().Changes().empty());
  EXPECT_EQ(computer_.messages.size(), 1u);
  EXPECT_TRUE(computer_.notifications.empty());
}

TEST_F(Apply, DhcpIgnoresAddressesButKeepsDns) {
  Profile(Connection(kWifi, "WIFI", "1", "hello", "255.0.255.0", "", "8.8.8.8", ""));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));
  EXPECT_TRUE(computer_.messages.empty());
  computer_.notifications.clear();
  Profile(Connection(kWifi, "WIFI", "1", "0.0.0.0", "0.0.0.0", "", "8.8.8.8", ""));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));
  EXPECT_EQ(Value(kWifi, u"IPAddress"), "0.0.0.0");
  EXPECT_EQ(Value(kWifi, u"NameServer"), "8.8.8.8,");
  ASSERT_EQ(computer_.notifications.size(), 1u);
  EXPECT_EQ(computer_.notifications[0].action, 1);
  EXPECT_TRUE(computer_.messages.empty());
}

TEST_F(Apply, NotificationsFollowTheConnectionsInOrder) {
  Profile(Connection(kWifi, "WIFI", "1", "", "", "", "", "") +
          Connection(kLan, "LAN", "0", "10.0.0.5", "255.0.0.0", "10.0.0.1", "", ""));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));
  ASSERT_EQ(computer_.notifications.size(), 2u);
  EXPECT_EQ(U8(computer_.notifications[0].adapterName), kWifi);
  EXPECT_EQ(U8(computer_.notifications[1].adapterName), kLan);
}

TEST_F(Apply, LeaveAloneAndFailures) {
  Profile(Connection(kLan, "LAN", "2", "x", "y", "garbage", "garbage", ""));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));  // nothing touched or read, still a success
  EXPECT_TRUE(computer_.memoryRegistry().Changes().empty());

  Profile(Connection("{gone}", "OLD", "0", "10.0.0.5", "255.0.0.0", "", "", ""));
  EXPECT_FALSE(store_.ApplyProfile(u"1"));  // the adapter's key is missing
  Profile(Connection("{gone}", "OLD", "0", "10.0.0.5", "255.0.0.0", "", "", "") +
          Connection(kLan, "LAN", "0", "10.0.0.5", "255.0.0.0", "", "", ""));
  EXPECT_TRUE(store_.ApplyProfile(u"1"));   // the other one is applied
  EXPECT_FALSE(store_.ApplyProfile(u"2"));  // no such profile
  Profile("");
  EXPECT_FALSE(store_.ApplyProfile(u"1"));  // a profile without connections
}

TEST_F(Apply, WorksOnTheDocumentNotTheList) {
  Profile(Connection(kLan, "LAN", "0", "10.0.0.5", "255.0.0.0", "", "", ""));
  store_.DeleteProfile(u"1");
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
}

}  // namespace
}  // namespace lumatrove
