// Reading TCP/IP settings (splitting rules, buffer limits) and writing them: the registry
// image byte for byte, the order of deletes and sets, and the DHCP client notification.
#include <gtest/gtest.h>

#include "netcfg_test_util.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::Bytes;
using test::DescribeLaptop;
using test::TcpipKey;
using test::U8;

constexpr RegRoot kHklm = RegRoot::kLocalMachine;

std::vector<std::string> U8s(const std::vector<std::u16string>& v) {
  std::vector<std::string> out;
  for (const auto& s : v)
    out.push_back(U8(s));
  return out;
}

TEST(ParseMultiString, Rules) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::vector<std::string> expected;
  };
  std::vector<uint8_t> two = Bytes(u"192.168.0.2", 1);
  const std::vector<uint8_t> second = Bytes(u"10.0.0.2", 2);
  two.insert(two.end(), second.begin(), second.end());
  std::vector<uint8_t> odd = Bytes(u"10.0.0.1", 2);
  odd.push_back(0x41);  // an odd byte count: the last byte is not a character
  const Case cases[] = {
      {Bytes(u"192.168.0.2", 2), {"192.168.0.2"}},
      {two, {"192.168.0.2", "10.0.0.2"}},
      {Bytes(u"", 1), {}},
      {Bytes(u"", 2), {}},
      {{}, {}},
      {Bytes(u"1.2", 2), {}},                 // a NUL below position 5 ends no entry
      {Bytes(u"10.0.0.1", 0), {}},            // no terminator at all: nothing to read
      {Bytes(u"10.0.0.1", 1), {"10.0.0.1"}},  // without the final NUL
      {odd, {"10.0.0.1"}},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> list;
    NetAdapterLayer::ParseMultiString(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), list);
    EXPECT_EQ(U8s(list), c.expected);
  }
}

TEST(NameServer, Splitting) {
  struct Case {
    std::u16string_view text;
    std::string primary, secondary;
    std::vector<std::string> all;
  };
  const Case cases[] = {
      {u"a,b", "a", "b", {"a", "b"}},
      {u"a,b,c", "a", "b", {"a", "b", "c"}},
      {u"a", "a", "", {"a"}},
      {u"", "", "", {""}},
      {u"1.1.1.1,2.2.2.2,", "1.1.1.1", "2.2.2.2", {"1.1.1.1", "2.2.2.2", ""}},
      {u",a,b", ",a,b", "", {",a,b"}},  // a leading comma is not split
  };
  for (const Case& c : cases) {
    AdapterInfo r;
    NetAdapterLayer::SplitNameServer(r, c.text);
    EXPECT_EQ(U8(r.primaryDns), c.primary) << U8(c.text);
    EXPECT_EQ(U8(r.secondaryDns), c.secondary) << U8(c.text);
    EXPECT_EQ(U8s(r.dnsServers), c.all) << U8(c.text);
  }
}

TEST(ReadTcpIpSettings, ValuesAndLimits) {
  MemoryComputer pc;
  MemoryRegistry& reg = pc.memoryRegistry();
  const std::u16string key = TcpipKey(test::kLanGuid);
  reg.SetMultiString(kHklm, key, u"IPAddress", {u"192.168.0.2", u"10.0.0.2"});
  reg.SetMultiString(kHklm, key, u"DefaultGateway", {std::u16string(600, u'9')});  // 1,204 bytes
  NetAdapterLayer layer(pc);
  AdapterInfo r;
  r.dhcpEnabled = 7;
  r.subnetMaskText = u"kept";
  ASSERT_TRUE(layer.ReadTcpIpSettings(r, test::kLanGuid));
  EXPECT_EQ(U8(r.ipAddressText), "192.168.0.2");
  EXPECT_EQ(U8s(r.ipAddresses), (std::vector<std::string>{"192.168.0.2", "10.0.0.2"}));
  EXPECT_EQ(U8(r.subnetMaskText), "kept");  // absent: unchanged
  EXPECT_EQ(U8(r.gatewayText), "");         // larger than 1,024 bytes: does not read
  EXPECT_EQ(r.dhcpEnabled, 0);              // EnableDHCP absent
  reg.SetDword(kHklm, key, u"EnableDHCP", 0x10001);
  ASSERT_TRUE(layer.ReadTcpIpSettings(r, test::kLanGuid));
  EXPECT_EQ(r.dhcpEnabled, 1);  // low 16 bits
  EXPECT_FALSE(layer.ReadTcpIpSettings(r, u"{missing}"));
}

TEST(ReadTcpIpSettings, TextWithoutTerminatorStaysInsideTheValue) {
  MemoryComputer pc;
  const std::u16string key = TcpipKey(test::kLanGuid);
  pc.memoryRegistry().SetBytes(kHklm, key, u"NameServer", kRegSz, Bytes(u"8.8.8.8", 0));
  pc.memoryRegistry().SetBytes(kHklm, key, u"IPAddress", kRegMultiSz, {0x31, 0x00, 0x32});
  NetAdapterLayer layer(pc);
  AdapterInfo r;
  ASSERT_TRUE(layer.ReadTcpIpSettings(r, test::kLanGuid));
  EXPECT_EQ(U8(r.primaryDns), "8.8.8.8");
  EXPECT_EQ(U8(r.ipAddressText), "1");
  EXPECT_TRUE(r.ipAddresses.empty());
}

TEST(ReadConnectionName, LongNamesDoNotFit) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  const std::u16string connection =
      std::u16string(kNetworkConnectionsKey) + u"\\" + test::kLanGuid + u"\\Connection";
  NetAdapterLayer layer(pc);
  AdapterInfo r;
  pc.memoryRegistry().SetString(kHklm, connection, u"Name", std::u16string(127, u'n'));
  ASSERT_TRUE(layer.ReadConnectionName(r, test::kLanGuid));
  EXPECT_EQ(r.connectionName.size(), 127u);
  AdapterInfo s;
  pc.memoryRegistry().SetString(kHklm, connection, u"Name", std::u16string(128, u'n'));
  ASSERT_TRUE(layer.ReadConnectionName(s, test::kLanGuid));
  EXPECT_EQ(U8(s.connectionName), "");
}

// The registry changes under the adapter's key, as "kind value type bytes".
std::vector<std::string> Changes(const MemoryComputer& pc) {
  std::vector<std::string> out;
  for (const auto& c : pc.memoryRegistry().Changes()) {
    std::string line = c.kind + " " + U8(c.value);
    if (c.kind == "set") {
      line += " " + std::to_string(c.type) + " " + std::to_string(c.data.size());
    }
    out.push_back(line);
  }
  return out;
}

TEST(ApplyStaticAddress, RegistryImageAndNotification) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  pc.journal.clear();
  NetAdapterLayer layer(pc);
  ASSERT_TRUE(layer.ApplyStaticAddress(test::kLanGuid, 0, u"192.168.1.10", u"255.255.255.0",
                                       u"192.168.1.1", u"168.95.1.1,168.95.192.1"));
  EXPECT_EQ(Changes(pc),
            (std::vector<std::string>{"delete IPAddress", "set IPAddress 7 28", "delete SubnetMask",
                                      "set SubnetMask 7 30", "delete DefaultGateway",
                                      "set DefaultGateway 7 26", "delete NameServer",
                                      "set NameServer 1 48", "set EnableDHCP 4 4"}));
  const std::u16string key = TcpipKey(test::kLanGuid);
  const MemoryRegistry& reg = pc.memoryRegistry();
  EXPECT_EQ(reg.FindValue(kHklm, key, u"IPAddress")->data, Bytes(u"192.168.1.10", 2));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"SubnetMask")->data, Bytes(u"255.255.255.0", 2));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"DefaultGateway")->data, Bytes(u"192.168.1.1", 2));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"NameServer")->data, Bytes(u"168.95.1.1,168.95.192.1", 1));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"EnableDHCP")->data, (std::vector<uint8_t>{0, 0, 0, 0}));

  ASSERT_EQ(pc.notifications.size(), 1u);
  const auto& n = pc.notifications[0];
  EXPECT_TRUE(n.serverNameNull);
  EXPECT_EQ(U8(n.adapterName), U8(test::kLanGuid));
  EXPECT_TRUE(n.newIpAddress);
  EXPECT_EQ(n.ipIndex, 0u);
  EXPECT_EQ(n.ipAddress, 0x0A01A8C0u);  // 192.168.1.10 in network byte order
  EXPECT_EQ(n.subnetMask, 0x00FFFFFFu);
  EXPECT_EQ(n.action, 2);
  // The notification comes after every registry write.
  EXPECT_EQ(pc.journal.back(), "notify " + U8(test::kLanGuid) + " action 2");
  EXPECT_EQ(pc.journal.size(), 10u);
}

TEST(ApplyDhcp, RegistryImageAndNotification) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  NetAdapterLayer layer(pc);
  ASSERT_TRUE(layer.ApplyDhcp(test::kWifiGuid, u""));
  EXPECT_EQ(Changes(pc),
            (std::vector<std::string>{"delete IPAddress", "set IPAddress 7 18", "delete SubnetMask",
                                      "set SubnetMask 7 18", "delete DefaultGateway",
                                      "set DefaultGateway 7 4", "delete NameServer",
                                      "set NameServer 1 2", "set EnableDHCP 4 4",
                                      "set EnableDHCP 4 4", "delete DisableDhcpOnConnect"}));
  const std::u16string key = TcpipKey(test::kWifiGuid);
  const MemoryRegistry& reg = pc.memoryRegistry();
  EXPECT_EQ(reg.FindValue(kHklm, key, u"IPAddress")->data, Bytes(u"0.0.0.0", 2));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"DefaultGateway")->data, Bytes(u"", 2));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"NameServer")->data, Bytes(u"", 1));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"EnableDHCP")->data, (std::vector<uint8_t>{1, 0, 0, 0}));
  ASSERT_EQ(pc.notifications.size(), 1u);
  const auto& n = pc.notifications[0];
  EXPECT_FALSE(n.newIpAddress);
  EXPECT_EQ(n.ipAddress, 0u);
  EXPECT_EQ(n.subnetMask, 0u);
  EXPECT_EQ(n.action, 1);

  // Fixed DNS servers survive a switch to DHCP.
  ASSERT_TRUE(layer.ApplyDhcp(test::kWifiGuid, u"8.8.8.8,8.8.4.4"));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"NameServer")->data, Bytes(u"8.8.8.8,8.8.4.4", 1));

  // What Windows keeps after a fixed address set without a cable stays through a fixed
  // address, and goes with the switch to DHCP, which it would otherwise ignore.
  pc.memoryRegistry().SetDword(kHklm, key, u"DisableDhcpOnConnect", 1);
  ASSERT_TRUE(layer.ApplyStaticAddress(test::kWifiGuid, 0, u"10.0.0.5", u"255.0.0.0", u"", u""));
  EXPECT_NE(reg.FindValue(kHklm, key, u"DisableDhcpOnConnect"), nullptr);
  ASSERT_TRUE(layer.ApplyDhcp(test::kWifiGuid, u""));
  EXPECT_EQ(reg.FindValue(kHklm, key, u"DisableDhcpOnConnect"), nullptr);
}

TEST(ApplyStaticAddress, LongAddressIsCut) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  NetAdapterLayer layer(pc);
  ASSERT_TRUE(
      layer.ApplyStaticAddress(test::kLanGuid, 0, std::u16string(1030, u'1'), u"", u"", u""));
  const auto* v = pc.memoryRegistry().FindValue(kHklm, TcpipKey(test::kLanGuid), u"IPAddress");
  EXPECT_EQ(v->data.size(), 2u * 1021 + 4);
  EXPECT_EQ(pc.notifications[0].ipAddress, 0xFFFFFFFFu);  // not an address: INADDR_NONE
}

TEST(Apply, Failures) {
  {
    MemoryComputer pc;  // no such adapter: nothing written, nothing notified
    NetAdapterLayer layer(pc);
    EXPECT_FALSE(layer.ApplyStaticAddress(u"{gone}", 0, u"1.2.3.4", u"255.0.0.0", u"", u""));
    EXPECT_FALSE(layer.ApplyDhcp(u"{gone}", u""));
    EXPECT_TRUE(pc.memoryRegistry().Changes().empty());
    EXPECT_TRUE(pc.notifications.empty());
  }
  {
    MemoryComputer pc;  // a user without administrator rights
    DescribeLaptop(pc);
    pc.memoryRegistry().WriteProtect(kHklm, TcpipKey(test::kLanGuid));
    NetAdapterLayer layer(pc);
    EXPECT_FALSE(layer.ApplyStaticAddress(test::kLanGuid, 0, u"1.2.3.4", u"255.0.0.0", u"", u""));
    EXPECT_TRUE(pc.memoryRegistry().Changes().empty());
  }
  {
    MemoryComputer pc;  // no DHCP client library
    DescribeLaptop(pc);
    pc.dhcpLibraryPresent = false;
    NetAdapterLayer layer(pc);
    EXPECT_TRUE(layer.ApplyStaticAddress(test::kLanGuid, 0, u"1.2.3.4", u"255.0.0.0", u"", u""));
    EXPECT_FALSE(layer.ApplyDhcp(test::kLanGuid, u""));
    EXPECT_EQ(pc.memoryRegistry().StringValue(kHklm, TcpipKey(test::kLanGuid), u"NameServer"), u"");
  }
  {
    MemoryComputer pc;  // the library without its export, or the service refusing
    DescribeLaptop(pc);
    pc.dhcpExportPresent = false;
    NetAdapterLayer layer(pc);
    EXPECT_FALSE(layer.ApplyDhcp(test::kLanGuid, u""));
    EXPECT_TRUE(pc.notifications.empty());
    pc.dhcpExportPresent = true;
    pc.dhcpResult = 2;
    EXPECT_FALSE(layer.ApplyDhcp(test::kLanGuid, u""));
    EXPECT_TRUE(layer.ApplyStaticAddress(test::kLanGuid, 0, u"1.2.3.4", u"255.0.0.0", u"", u""));
  }
}

TEST(Apply, Windows98WritesUnderNetTrans) {
  MemoryComputer pc;
  pc.version = {4, 10, 2222, 1};
  pc.memoryRegistry().SetString(kHklm, std::u16string(kNetTransKey) + u"\\0000", u"DriverDesc",
                                u"TCP/IP");
  NetAdapterLayer layer(pc);
  ASSERT_TRUE(layer.ApplyStaticAddress(u"0000", 0, u"10.0.0.5", u"255.0.0.0", u"", u""));
  const std::u16string key = std::u16string(kNetTransKey) + u"\\0000";
  EXPECT_EQ(pc.memoryRegistry().FindValue(kHklm, key, u"EnableDHCP")->data,
            (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(pc.memoryRegistry().FindValue(kHklm, key, u"SubnetMask")->data, Bytes(u"255.0.0.0", 2));
}

TEST(InetAddr, Forms) {
  struct Case {
    const char* text;
    uint32_t value;
  };
  const Case cases[] = {
      {"192.168.1.10", 0x0A01A8C0u}, {"255.255.255.255", 0xFFFFFFFFu}, {"0.0.0.0", 0},
      {"10.1", 0x0100000Au},         {"127.1.2", 0x0200017Fu},         {"0x7f.1", 0x0100007Fu},
      {"010.0.0.1", 0x01000008u},    {"1.2.3.4 ", 0x04030201u},        {"", 0xFFFFFFFFu},
      {"1.2.3.256", 0xFFFFFFFFu},    {"1.2.3.4.5", 0xFFFFFFFFu},       {"a.b.c.d", 0xFFFFFFFFu},
      {"1..2", 0xFFFFFFFFu},         {"09.1.1.1", 0xFFFFFFFFu},        {"1.2.3.4x", 0xFFFFFFFFu},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseInetAddr(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace lumatrove

namespace lumatrove {
namespace {

// netsh gets the interface by index and only numbers; on a computer that follows it, the live
// state shows what it set. Vista knows no "validate"; a failing command stops the rest.
TEST(ApplyWithNetsh, CommandsAndWhatWindowsShowsAfter) {
  struct Case {
    OsVersion version;
    Ipv4Settings settings;
    std::vector<std::string> commands;
    std::vector<std::string> addresses, gateways, dns;
  };
  const Case cases[] = {
      {{10, 0, 19045, 2},
       {false,
        0x0A00054D,
        0xFFFF0000,
        0x0A000001,
        0,
        {0x0A000035, 0x08080808},
        {{0x0A01054D, 0xFFFF0000}},
        {{0x0A0000FE, 20}}},
       {"interface ipv4 set address name=17 source=static address=10.0.5.77 mask=255.255.0.0 "
        "gateway=10.0.0.1 gwmetric=1",
        "interface ipv4 add address name=17 address=10.1.5.77 mask=255.255.0.0",
        "interface ipv4 add address name=17 gateway=10.0.0.254 gwmetric=20",
        "interface ipv4 set dnsservers name=17 source=static address=10.0.0.53 "
        "register=primary validate=no",
        "interface ipv4 add dnsservers name=17 address=8.8.8.8 index=2 validate=no"},
       {"10.0.5.77", "10.1.5.77"},
       {"10.0.0.1", "10.0.0.254"},
       {"10.0.0.53", "8.8.8.8"}},
      {{6, 0, 6002, 2},
       {false, 0xC0A8010A, 0xFFFFFF00, 0, 0, {}},
       {"interface ipv4 set address name=17 source=static address=192.168.1.10 "
        "mask=255.255.255.0 gateway=none",
        "interface ipv4 set dnsservers name=17 source=static address=none"},
       {"192.168.1.10"},
       {},
       {}},
      {{6, 1, 7601, 2},
       {true, 0, 0, 0, 0, {}},
       {"interface ipv4 set address name=17 source=dhcp",
        "interface ipv4 set dnsservers name=17 source=dhcp"},
       {"192.168.1.100"},
       {},
       {}},
  };
  for (const Case& c : cases) {
    MemoryComputer pc;
    DescribeLaptop(pc);
    pc.version = c.version;
    pc.dhcpAddresses["{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}"] = "192.168.1.100";
    NetAdapterLayer layer(pc);
    layer.DiscoverAdapters();
    EXPECT_TRUE(layer.ApplyWithNetsh(17, c.settings));
    EXPECT_EQ(pc.netshRuns, c.commands);
    const std::vector<LiveAdapter> live = layer.ReadLiveAdapters();
    ASSERT_EQ(live.size(), 2u);
    EXPECT_EQ(live[1].interfaceIndex, 17u);
    EXPECT_EQ(live[1].dhcp, c.settings.automatic);
    EXPECT_EQ(U8s(live[1].addresses), c.addresses);
    EXPECT_EQ(U8s(live[1].gateways), c.gateways);
    EXPECT_EQ(U8s(live[1].dnsServers), c.dns);
  }
  MemoryComputer pc;
  DescribeLaptop(pc);
  pc.netshResult = 1;
  NetAdapterLayer layer(pc);
  EXPECT_FALSE(layer.ApplyWithNetsh(17, {true, 0, 0, 0, 0, {}}));
  EXPECT_EQ(pc.netshRuns.size(), 1u);
  pc.netshResult = std::nullopt;  // netsh could not be started
  EXPECT_FALSE(layer.ApplyWithNetsh(17, {true, 0, 0, 0, 0, {}}));
}

}  // namespace
}  // namespace lumatrove
