// The adapter layer against the real registry of a throwaway Wine prefix, the real IP Helper
// and LoadLibraryW/GetProcAddress of a recording stand-in for "dhcpcsvc".
#include <windows.h>
// After windows.h.
#include <iphlpapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "netcfg/net_adapter_layer.h"
#include "netcfg/reg_text.h"
#include "netcfg/win32_net_system.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::U8;

// The real system, with message boxes recorded instead of shown.
class QuietSystem : public NetSystem {
 public:
  QuietSystem() : real_(MakeWin32NetSystem()) {}
  Registry& registry() override { return real_->registry(); }
  const AnsiCodePage& codePage() override { return real_->codePage(); }
  bool GetVersion(OsVersion& v) override { return real_->GetVersion(v); }
  uint32_t GetAdaptersInfo(uint8_t* b, uint32_t* s) override {
    return real_->GetAdaptersInfo(b, s);
  }
  std::vector<IpAdapterEntry> ReadAdapterTable(const uint8_t* b, uint32_t s) override {
    return real_->ReadAdapterTable(b, s);
  }
  std::vector<std::string> GetAdapterDnsServers(uint32_t i) override {
    return real_->GetAdapterDnsServers(i);
  }
  std::vector<std::u16string> ConnectedWifiNetworks() override {
    return real_->ConnectedWifiNetworks();
  }
  uint32_t SendArp(uint32_t d, uint8_t mac[8], uint32_t* n) override {
    return real_->SendArp(d, mac, n);
  }
  std::optional<uint32_t> RunNetsh(std::u16string_view a) override { return real_->RunNetsh(a); }
  std::unique_ptr<DhcpClientLibrary> LoadDhcpClient() override { return real_->LoadDhcpClient(); }
  DeviceSet GetDevices(std::u16string_view e) override { return real_->GetDevices(e); }
  bool EnumDevice(DeviceSet s, uint32_t i) override { return real_->EnumDevice(s, i); }
  bool GetDeviceDescription(DeviceSet s, uint32_t i, uint8_t* b, uint32_t n, uint32_t* r) override {
    return real_->GetDeviceDescription(s, i, b, n, r);
  }
  bool SetPropertyChangeParams(DeviceSet s, uint32_t i, uint32_t a, uint32_t b,
                               uint32_t c) override {
    return real_->SetPropertyChangeParams(s, i, a, b, c);
  }
  bool CallPropertyChange(DeviceSet s, uint32_t i) override {
    return real_->CallPropertyChange(s, i);
  }
  void DestroyDevices(DeviceSet s) override { real_->DestroyDevices(s); }
  uint32_t GetLastError() override { return real_->GetLastError(); }
  void SetLastError(uint32_t c) override { real_->SetLastError(c); }
  std::u16string ErrorText(uint32_t c) override { return real_->ErrorText(c); }
  int ShowMessage(std::u16string_view text, std::u16string_view, uint32_t) override {
    messages.emplace_back(text);
    return IDOK;
  }
  std::u16string ApplicationName() override { return real_->ApplicationName(); }
  uint32_t InetAddr(const std::string& t) override { return real_->InetAddr(t); }

  std::vector<std::u16string> messages;

 private:
  std::unique_ptr<NetSystem> real_;
};

// The first adapter that Wine's GetAdaptersInfo reports, with its hardware address.
bool FirstRealAdapter(std::string& name, std::string& mac) {
  ULONG size = 0;
  if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return false;
  std::vector<uint8_t> buffer(size);
  auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (GetAdaptersInfo(info, &size) != ERROR_SUCCESS) return false;
  name = info->AdapterName;
  char text[18];
  std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", info->Address[0],
                info->Address[1], info->Address[2], info->Address[3], info->Address[4],
                info->Address[5]);
  mac = text;
  return true;
}

std::u16string Wide(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

std::vector<uint8_t> ReadValue(const std::u16string& key, const wchar_t* name, DWORD& type) {
  HKEY h = nullptr;
  std::vector<uint8_t> data;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(key.c_str()), 0, KEY_READ,
                    &h) != ERROR_SUCCESS) {
    return data;
  }
  DWORD size = 0;
  if (RegQueryValueExW(h, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    data.resize(size);
    RegQueryValueExW(h, name, nullptr, &type, data.data(), &size);
  }
  RegCloseKey(h);
  return data;
}

std::vector<uint8_t> Image(std::u16string_view text, int terminators) {
  std::vector<uint8_t> b;
  for (char16_t c : text) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  for (int i = 0; i < terminators; ++i)
    b.insert(b.end(), {0, 0});
  return b;
}

class WineComputer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(FirstRealAdapter(realName_, realMac_)) << "Wine reports no adapter";
    const std::u16string lan = Wide(realName_);
    // Two adapters: the first carries the identifier of the interface Wine reports, so its
    // hardware address is found; the second is on DHCP.
    std::u16string reg =
        u"Windows Registry Editor Version 5.00\r\n\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\"
        u"{4d36e972-e325-11ce-bfc1-08002be10318}\\0000]\r\n"
        u"\"DriverDesc\"=\"Intel(R) PRO/1000 MT Network Connection\"\r\n"
        u"\"NetCfgInstanceID\"=\"" +
        lan +
        u"\"\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\"
        u"{4d36e972-e325-11ce-bfc1-08002be10318}\\0000\\Ndi\\Interfaces]\r\n"
        u"\"LowerRange\"=\"ethernet\"\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\"
        u"{4d36e972-e325-11ce-bfc1-08002be10318}\\0001]\r\n"
        u"\"DriverDesc\"=\"Realtek Wireless\"\r\n"
        u"\"NetCfgInstanceID\"=\"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\"\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\"
        u"{4d36e972-e325-11ce-bfc1-08002be10318}\\0001\\Ndi\\Interfaces]\r\n"
        u"\"LowerRange\"=\"ethernet\"\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Network\\"
        u"{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
        lan +
        u"\\Connection]\r\n"
        u"\"Name\"=\"區域連線\"\r\n"
        u"\"PnpInstanceID\"=\"PCI\\\\VEN_8086&DEV_100F\\\\1\"\r\n"
        u"\"MediaSubType\"=dword:00000001\r\n"
        u"[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Network\\"
        u"{4D36E972-E325-11CE-BFC1-08002BE10318}\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}"
        u"\\Connection]\r\n"
        u"\"Name\"=\"Wi-Fi\"\r\n"
        u"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
        u"Interfaces\\" +
        lan +
        u"]\r\n"
        u"\"IPAddress\"=hex(7):31,00,30,00,2e,00,30,00,2e,00,30,00,2e,00,35,00,00,00,00,00\r\n"
        u"\"SubnetMask\"=hex(7):32,00,35,00,35,00,2e,00,30,00,2e,00,30,00,2e,00,30,00,00,00,"
        u"00,00\r\n"
        u"\"NameServer\"=\"8.8.8.8,8.8.4.4\"\r\n"
        u"\"EnableDHCP\"=dword:00000000\r\n"
        u"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\"
        u"Interfaces\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}]\r\n"
        u"\"EnableDHCP\"=dword:00000001\r\n";
    std::unique_ptr<Registry> real = MakeWin32Registry();
    std::string error;
    ASSERT_TRUE(ApplyRegText(*real, reg, &error)) << error;
  }

  static std::string realName_;
  static std::string realMac_;
};

std::string WineComputer::realName_;
std::string WineComputer::realMac_;

TEST_F(WineComputer, DiscoversTheSeededAdapters) {
  QuietSystem system;
  NetAdapterLayer layer(system);
  EXPECT_GE(layer.windowsVersion, WindowsVersion::k2000);
  ASSERT_EQ(layer.DiscoverAdapters(), 2);
  const AdapterInfo& lan = *layer.adapters[0];
  EXPECT_EQ(U8(lan.instanceId), realName_);
  EXPECT_EQ(U8(lan.connectionName), "區域連線");
  EXPECT_EQ(U8(lan.macAddress), realMac_);
  EXPECT_EQ(U8(lan.ipAddressText), "10.0.0.5");
  EXPECT_EQ(U8(lan.subnetMaskText), "255.0.0.0");
  EXPECT_EQ(U8(lan.primaryDns), "8.8.8.8");
  EXPECT_EQ(U8(lan.secondaryDns), "8.8.4.4");
  EXPECT_TRUE(layer.IsPciConnection(lan.instanceId));
  const AdapterInfo& wifi = *layer.adapters[1];
  EXPECT_EQ(U8(wifi.connectionName), "Wi-Fi");
  EXPECT_EQ(wifi.dhcpEnabled, 1);
  EXPECT_EQ(U8(wifi.macAddress), "");  // not an interface Wine knows
  EXPECT_TRUE(system.messages.empty());
}

TEST_F(WineComputer, MissingConnectionKeyShowsTheSystemText) {
  QuietSystem system;
  NetAdapterLayer layer(system);
  AdapterInfo r;
  EXPECT_FALSE(layer.ReadConnectionName(r, u"{00000000-0000-0000-0000-000000000000}"));
  ASSERT_EQ(system.messages.size(), 1u);
  EXPECT_FALSE(system.messages[0].empty());
}

class WineApply : public WineComputer {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    log_ = std::wstring(temp) + L"lumatrove_dhcp_log.txt";
    DeleteFileW(log_.c_str());
    SetEnvironmentVariableW(L"LUMATROVE_DHCP_LOG", log_.c_str());
  }
  std::string Log() {
    std::ifstream in(log_.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::wstring log_;
};

TEST_F(WineApply, StaticAddressReachesRegistryAndDhcpClient) {
  QuietSystem system;
  NetAdapterLayer layer(system);
  const std::u16string id = u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
  ASSERT_TRUE(layer.ApplyStaticAddress(id, 0, u"192.168.1.10", u"255.255.255.0", u"",
                                       u"168.95.1.1,168.95.192.1"));
  const std::u16string key = std::u16string(kTcpipInterfacesKey) + id;
  DWORD type = 0;
  EXPECT_EQ(ReadValue(key, L"IPAddress", type), Image(u"192.168.1.10", 2));
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(ReadValue(key, L"SubnetMask", type), Image(u"255.255.255.0", 2));
  EXPECT_EQ(ReadValue(key, L"DefaultGateway", type), Image(u"", 2));
  EXPECT_EQ(ReadValue(key, L"NameServer", type), Image(u"168.95.1.1,168.95.192.1", 1));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadValue(key, L"EnableDHCP", type), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Log(), "(null)|{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}|1|0|0a01a8c0|00ffffff|2\n");

  // Back to DHCP: fixed DNS servers kept, the client told with action 1, and the value with
  // which Windows would ignore the switch gone.
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(key.c_str()), 0,
                          KEY_SET_VALUE, &h),
            ERROR_SUCCESS);
  const DWORD one = 1;
  RegSetValueExW(h, L"DisableDhcpOnConnect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                 sizeof one);
  RegCloseKey(h);
  ASSERT_TRUE(layer.ApplyDhcp(id, u"8.8.8.8"));
  EXPECT_TRUE(ReadValue(key, L"DisableDhcpOnConnect", type).empty());
  EXPECT_EQ(ReadValue(key, L"IPAddress", type), Image(u"0.0.0.0", 2));
  EXPECT_EQ(ReadValue(key, L"EnableDHCP", type), (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(ReadValue(key, L"NameServer", type), Image(u"8.8.8.8", 1));
  EXPECT_NE(Log().find("(null)|{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}|0|0|00000000|00000000|1\n"),
            std::string::npos);

  // The rediscovered adapter shows the new settings.
  ASSERT_EQ(layer.DiscoverAdapters(), 2);
  EXPECT_EQ(layer.adapters[1]->dhcpEnabled, 1);
  EXPECT_EQ(U8(layer.adapters[1]->primaryDns), "8.8.8.8");
}

TEST_F(WineApply, DhcpClientFailureFailsTheDhcpApply) {
  QuietSystem system;
  NetAdapterLayer layer(system);
  SetEnvironmentVariableW(L"LUMATROVE_DHCP_RESULT", L"5");
  EXPECT_FALSE(layer.ApplyDhcp(u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", u""));
  SetEnvironmentVariableW(L"LUMATROVE_DHCP_RESULT", nullptr);
  EXPECT_FALSE(
      layer.ApplyStaticAddress(u"{no-such-adapter}", 0, u"1.2.3.4", u"255.0.0.0", u"", u""));
}

TEST(WineDevices, SetDeviceEnabledFindsOnlyADeviceOfThatDescription) {
  QuietSystem system;
  NetAdapterLayer layer(system);
  // No device has this description: nothing is asked of the class installer.
  EXPECT_FALSE(layer.SetDeviceEnabled(true, u"No such device", u"PCI"));
}

}  // namespace
}  // namespace lumatrove
