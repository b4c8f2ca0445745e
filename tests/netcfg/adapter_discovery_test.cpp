// Discovery of adapters on each Windows family, its filters, and the hardware address.
#include <gtest/gtest.h>

#include "netcfg/reg_text.h"
#include "netcfg_test_util.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::DescribeLaptop;
using test::U8;

constexpr RegRoot kHklm = RegRoot::kLocalMachine;

TEST(WindowsVersion, Table) {
  using V = WindowsVersion;
  struct Case {
    OsVersion v;
    V code;
  };
  const Case cases[] = {
      {{4, 10, 0, 1}, V::k98},           {{4, 90, 0, 1}, V::kMe},
      {{4, 0, 1381, 2}, V::kNt4},        {{3, 51, 0, 2}, V::kNt4},
      {{5, 0, 2195, 2}, V::k2000},       {{5, 1, 2600, 2}, V::kXp},
      {{5, 2, 3790, 2}, V::kServer2003}, {{4, 0, 950, 1}, V::k95},
      {{5, 3, 0, 2}, V::kServer2003},    {{6, 1, 7601, 2}, V::kVista},
      {{6, 3, 9600, 2}, V::kVista},      {{10, 0, 22631, 2}, V::k10},
  };
  for (const Case& c : cases) {
    MemoryComputer pc;
    pc.version = c.v;
    NetAdapterLayer layer(pc);
    EXPECT_EQ(layer.windowsVersion, c.code) << c.v.major << "." << c.v.minor;
  }
  MemoryComputer pc;
  pc.versionFails = true;
  EXPECT_EQ(NetAdapterLayer(pc).windowsVersion, WindowsVersion::k10);
}

TEST(Discovery, LaptopOnXp) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  NetAdapterLayer layer(pc);
  ASSERT_EQ(layer.DiscoverAdapters(), 2);
  ASSERT_EQ(layer.adapters.size(), 2u);

  const AdapterInfo& lan = *layer.adapters[0];
  EXPECT_EQ(U8(lan.instanceId), U8(test::kLanGuid));
  EXPECT_EQ(U8(lan.description), "Intel(R) PRO/1000 MT Network Connection");
  EXPECT_EQ(U8(lan.connectionName), "區域連線");
  EXPECT_EQ(lan.statusEnabled, 1);
  EXPECT_EQ(lan.dhcpEnabled, 1);
  EXPECT_EQ(U8(lan.macAddress), "00:0c:29:3a:5b:7c");
  EXPECT_EQ(U8(lan.busType), "PCI");
  EXPECT_EQ(U8(lan.ipAddressText), "0.0.0.0");
  EXPECT_EQ(lan.gateways.size(), 0u);
  ASSERT_EQ(lan.dnsServers.size(), 1u);  // an empty NameServer is one empty entry
  EXPECT_EQ(U8(lan.dnsServers[0]), "");

  const AdapterInfo& wifi = *layer.adapters[1];
  EXPECT_EQ(wifi.dhcpEnabled, 0);
  EXPECT_EQ(U8(wifi.ipAddressText), "192.168.1.10");
  EXPECT_EQ(U8(wifi.subnetMaskText), "255.255.255.0");
  EXPECT_EQ(U8(wifi.gatewayText), "192.168.1.1");
  EXPECT_EQ(U8(wifi.primaryDns), "168.95.1.1");
  EXPECT_EQ(U8(wifi.secondaryDns), "8.8.8.8");
  EXPECT_EQ(U8(wifi.macAddress), "a4:17:31:0b:2c:9e");
  EXPECT_TRUE(pc.messages.empty());
  EXPECT_EQ(pc.memoryRegistry().OpenHandles(), 0u);  // every key was closed

  // Rediscovery rebuilds the list instead of doubling it.
  EXPECT_EQ(layer.DiscoverAdapters(), 2);
  EXPECT_EQ(layer.adapters.size(), 2u);
}

TEST(Discovery, TheTwoThousandFamilyPathsServeWindows11) {
  MemoryComputer pc;
  pc.version = {10, 0, 22631, 2};
  DescribeLaptop(pc);
  NetAdapterLayer layer(pc);
  ASSERT_EQ(layer.DiscoverAdapters(), 2);
  // The same records as on XP: the 2000 family's class, connection and TCP/IP keys were read.
  MemoryComputer xp;
  DescribeLaptop(xp);
  NetAdapterLayer onXp(xp);
  ASSERT_EQ(onXp.DiscoverAdapters(), 2);
  for (size_t i = 0; i < 2; ++i) {
    const AdapterInfo& a = *layer.adapters[i];
    const AdapterInfo& b = *onXp.adapters[i];
    EXPECT_EQ(a.instanceId, b.instanceId);
    EXPECT_EQ(a.connectionName, b.connectionName);
    EXPECT_EQ(a.ipAddressText, b.ipAddressText);
    EXPECT_EQ(a.macAddress, b.macAddress);
    EXPECT_FALSE(a.connectionName.empty());
  }
}

TEST(Discovery, FiltersOnLowerRangeAndDriverDesc) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  MemoryRegistry& reg = pc.memoryRegistry();
  const std::u16string root(kAdapterClassKey);
  // Not ethernet, or not exactly: not adapters.
  reg.SetString(kHklm, root + u"\\0002\\Ndi\\Interfaces", u"LowerRange", u"ethernet,wan");
  reg.SetString(kHklm, root + u"\\0002", u"DriverDesc", u"WAN Miniport (PPTP)");
  reg.SetString(kHklm, root + u"\\0003\\Ndi\\Interfaces", u"LowerRange", u"Ethernet");
  reg.SetString(kHklm, root + u"\\0003", u"DriverDesc", u"Odd case");
  // No Ndi\Interfaces at all, and no DriverDesc.
  reg.SetString(kHklm, root + u"\\0004", u"DriverDesc", u"Modem");
  reg.SetString(kHklm, root + u"\\0005\\Ndi\\Interfaces", u"LowerRange", u"ethernet");
  // DriverDesc without NetCfgInstanceID: still an adapter, with nothing else known.
  reg.SetString(kHklm, root + u"\\0006\\Ndi\\Interfaces", u"LowerRange", u"ethernet");
  reg.SetString(kHklm, root + u"\\0006", u"DriverDesc", u"Ghost adapter");

  NetAdapterLayer layer(pc);
  ASSERT_EQ(layer.DiscoverAdapters(), 3);
  const AdapterInfo& ghost = *layer.adapters[2];
  EXPECT_EQ(U8(ghost.description), "Ghost adapter");
  EXPECT_EQ(U8(ghost.instanceId), "");
  EXPECT_EQ(U8(ghost.connectionName), "");
  EXPECT_EQ(U8(ghost.ipAddressText), "");
  EXPECT_EQ(ghost.statusEnabled, 0);
  EXPECT_EQ(U8(ghost.macAddress), "");
  EXPECT_EQ(U8(ghost.busType), "PCI");
}

TEST(Discovery, LaterReadsMayFailButTheRecordStays) {
  // An adapter whose connection key is gone and that the adapter table does not report.
  MemoryComputer fresh;
  MemoryRegistry& reg = fresh.memoryRegistry();
  const std::u16string root(kAdapterClassKey);
  reg.SetString(kHklm, root + u"\\0000\\Ndi\\Interfaces", u"LowerRange", u"ethernet");
  reg.SetString(kHklm, root + u"\\0000", u"DriverDesc", u"No connection key");
  reg.SetString(kHklm, root + u"\\0000", u"NetCfgInstanceID", test::kLanGuid);
  reg.SetString(kHklm, root + u"\\0000", u"NetworkAddress", u"020000000001");
  reg.SetMultiString(kHklm, test::TcpipKey(test::kLanGuid), u"IPAddress", {u"10.1.1.1"});

  NetAdapterLayer layer(fresh);
  ASSERT_EQ(layer.DiscoverAdapters(), 1);
  const AdapterInfo& a = *layer.adapters[0];
  EXPECT_EQ(a.statusEnabled, 1);
  EXPECT_EQ(U8(a.connectionName), "");
  EXPECT_EQ(U8(a.ipAddressText), "10.1.1.1");
  EXPECT_EQ(U8(a.networkAddress), "020000000001");
  EXPECT_EQ(U8(a.macAddress), "");  // not in the adapter table
  // The missing connection key is the one failure the user sees, in the system's words.
  ASSERT_EQ(fresh.messages.size(), 1u);
  EXPECT_EQ(U8(fresh.messages[0].text), "The system cannot find the file specified.");
  EXPECT_EQ(U8(fresh.messages[0].caption), "lumatrove");
  EXPECT_EQ(fresh.messages[0].flags, kMbOk);
}

TEST(Discovery, NoAdapterRootKey) {
  MemoryComputer pc;
  NetAdapterLayer layer(pc);
  EXPECT_EQ(layer.DiscoverAdapters(), 0);
  EXPECT_TRUE(layer.adapters.empty());
}

TEST(Discovery, WindowsNt4UsesNetworkCards) {
  MemoryComputer pc;
  pc.version = {4, 0, 1381, 2};
  MemoryRegistry& reg = pc.memoryRegistry();
  const std::u16string root(kNetworkCardsKey);
  reg.SetString(kHklm, root + u"\\1\\Ndi\\Interfaces", u"LowerRange", u"ethernet");
  reg.SetString(kHklm, root + u"\\1", u"DriverDesc", u"3Com EtherLink III");
  reg.SetString(kHklm, root + u"\\1", u"NetCfgInstanceID", u"El59x1");
  NetAdapterLayer layer(pc);
  ASSERT_EQ(layer.DiscoverAdapters(), 1);
  EXPECT_EQ(U8(layer.adapters[0]->instanceId), "El59x1");
}

TEST(Discovery, Windows98UsesNetTrans) {
  MemoryComputer pc;
  pc.version = {4, 10, 2222, 1};
  MemoryRegistry& reg = pc.memoryRegistry();
  const std::u16string root(kNetTransKey);
  reg.SetString(kHklm, root + u"\\0000", u"DriverDesc", u"TCP/IP");
  reg.SetString(kHklm, root + u"\\0000", u"DefaultGateway", u"192.168.0.1");
  reg.SetString(kHklm, root + u"\\0000", u"IPAddress", u"192.168.0.5");
  reg.SetString(kHklm, root + u"\\0000", u"IPMask", u"255.255.255.0");
  reg.SetString(kHklm, root + u"\\0000", u"SubnetMask", u"255.0.0.0");
  reg.SetString(kHklm, root + u"\\0000", u"NetworkAddress", u"00A0C9112233");
  reg.SetString(kHklm, root + u"\\0001", u"DriverDesc", u"TCP/IP");  // no gateway
  reg.SetString(kHklm, root + u"\\0002", u"DriverDesc", u"NetBEUI");
  NetAdapterLayer layer(pc);
  ASSERT_EQ(layer.DiscoverAdapters(), 2);
  const AdapterInfo& a = *layer.adapters[0];
  EXPECT_EQ(U8(a.instanceId), "0000");
  EXPECT_EQ(U8(a.description), "TCP/IP");
  EXPECT_EQ(U8(a.ipAddressText), "192.168.0.5");
  EXPECT_EQ(U8(a.subnetMaskText), "255.255.255.0");  // IPMask, never SubnetMask
  EXPECT_EQ(U8(a.macAddress), "00A0C9112233");
  EXPECT_EQ(U8(a.busType), "");
  EXPECT_EQ(a.statusEnabled, 1);
  EXPECT_EQ(U8(layer.adapters[1]->instanceId), "");
  EXPECT_EQ(layer.adapters[1]->statusEnabled, 0);
}

TEST(MacAddress, AdapterTableProtocol) {
  MemoryComputer pc;
  DescribeLaptop(pc);  // two adapters: 1,280 bytes of table
  NetAdapterLayer layer(pc);
  std::u16string mac;
  pc.adapterTableCalls.clear();
  EXPECT_EQ(layer.GetMacAddress(test::kWifiGuid, mac, true), 17);
  EXPECT_EQ(U8(mac), "a4:17:31:0b:2c:9e");
  ASSERT_EQ(pc.adapterTableCalls.size(), 2u);
  EXPECT_EQ(pc.adapterTableCalls[0], 640u);
  EXPECT_EQ(pc.adapterTableCalls[1], 1280u);

  EXPECT_EQ(layer.GetMacAddress(u"{unknown}", mac, true), 0);
  pc.adapterTableError = 50;  // ERROR_NOT_SUPPORTED
  EXPECT_EQ(layer.GetMacAddress(test::kWifiGuid, mac, true), 0);
}

TEST(MacAddress, OnlyPciConnectionsWithoutIncludeAll) {
  MemoryComputer pc;
  pc.AddAdapter({.guid = test::kLanGuid,
                 .description = u"USB NIC",
                 .connectionName = u"USB",
                 .pciDevice = false});
  NetAdapterLayer layer(pc);
  std::u16string mac;
  EXPECT_FALSE(layer.IsPciConnection(test::kLanGuid));
  EXPECT_EQ(layer.GetMacAddress(test::kLanGuid, mac, false), 0);
  EXPECT_EQ(layer.GetMacAddress(test::kLanGuid, mac, true), 17);
}

TEST(MacAddress, IsPciConnectionRules) {
  MemoryComputer pc;
  DescribeLaptop(pc);
  NetAdapterLayer layer(pc);
  EXPECT_TRUE(layer.IsPciConnection(test::kLanGuid));
  const std::u16string connection =
      std::u16string(kNetworkConnectionsKey) + u"\\" + test::kLanGuid + u"\\Connection";
  pc.memoryRegistry().SetDword(kHklm, connection, u"MediaSubType", 2);
  EXPECT_TRUE(layer.IsPciConnection(test::kLanGuid));
  pc.memoryRegistry().SetDword(kHklm, connection, u"MediaSubType", 3);
  EXPECT_FALSE(layer.IsPciConnection(test::kLanGuid));
  pc.memoryRegistry().SetDword(kHklm, connection, u"MediaSubType", 1);
  pc.memoryRegistry().SetString(kHklm, connection, u"PnpInstanceID", u"pci\\lower");
  EXPECT_FALSE(layer.IsPciConnection(test::kLanGuid));
  EXPECT_FALSE(layer.IsPciConnection(u"{none}"));
}

}  // namespace
}  // namespace lumatrove

namespace lumatrove {
namespace {

TEST(DemoComputer, DescribesTwoAdapters) {
  std::u16string text;
  ASSERT_TRUE(ReadRegFile(LUMATROVE_SOURCE_DIR "/demo/demo-computer.reg", text));
  MemoryComputer pc;
  std::string error;
  ASSERT_TRUE(pc.memoryRegistry().Load(text, &error)) << error;
  NetAdapterLayer layer(pc);
  ASSERT_EQ(layer.DiscoverAdapters(), 2);
  EXPECT_EQ(layer.adapters[0]->dhcpEnabled, 1);
  EXPECT_EQ(test::U8(layer.adapters[0]->connectionName), "區域連線");
  EXPECT_EQ(layer.adapters[1]->dhcpEnabled, 0);
  EXPECT_EQ(test::U8(layer.adapters[1]->ipAddressText), "192.168.1.10");
  EXPECT_EQ(test::U8(layer.adapters[1]->gatewayText), "192.168.1.1");
  EXPECT_EQ(test::U8(layer.adapters[1]->secondaryDns), "8.8.8.8");
}

}  // namespace
}  // namespace lumatrove
