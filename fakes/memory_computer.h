// A computer described in memory, for tests and demos: a registry with typed values, the IP
// Helper adapter table, a chosen Windows version, a DHCP client that records its
// notifications, a device list whose property changes are recorded, and recorded message
// boxes. AddAdapter describes a whole adapter in one call.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fakes/memory_registry.h"
#include "netcfg/net_system.h"

namespace lumatrove {

class MemoryComputer : public NetSystem {
 public:
  struct AdapterSpec {
    std::u16string guid;            // NetCfgInstanceID, "{...}"
    std::u16string description;     // DriverDesc, also the PCI device's description
    std::u16string connectionName;  // the connection's Name
    std::string mac = "00:0c:29:00:00:01";
    bool dhcp = true;
    std::u16string ip;  // static settings (ignored with dhcp)
    std::u16string mask;
    std::u16string gateway;
    std::u16string nameServer;                  // "a,b"
    std::string dhcpAddress = "192.168.1.100";  // the address a DHCP server gives it
    bool inAdapterTable = true;                 // reported by GetAdaptersInfo
    bool pciDevice = true;                      // listed by the device installer under "PCI"
  };
  struct DhcpNotification {
    bool serverNameNull = true;
    std::u16string adapterName;
    bool newIpAddress = false;
    uint32_t ipIndex = 0;
    uint32_t ipAddress = 0;
    uint32_t subnetMask = 0;
    int action = 0;
  };
  struct Device {
    std::u16string enumerator = u"PCI";
    std::optional<std::u16string> description;
    bool enabled = true;
    bool installerRefuses = false;  // SetupDiCallClassInstaller fails
    uint32_t descriptionError = 0;  // a failure of the description read other than its size
  };
  struct PropertyChange {
    uint32_t device;  // index in devices
    uint32_t stateChange;
    uint32_t scope;
    uint32_t hwProfile;
    bool installerCalled;
  };
  struct ShownMessage {
    std::u16string text;
    std::u16string caption;
    uint32_t flags;
  };

  MemoryComputer();
  ~MemoryComputer() override;

  // Describing the computer.
  void AddAdapter(const AdapterSpec& adapter);
  MemoryRegistry& memoryRegistry() { return registry_; }
  const MemoryRegistry& memoryRegistry() const { return registry_; }
  OsVersion version{5, 1, 2600, 2};
  bool versionFails = false;
  std::vector<IpAdapterEntry> adapterTable;
  uint32_t adapterTableError = 0;  // returned by GetAdaptersInfo instead of the table
  // What Windows uses now follows each notification of the DHCP client, as on a real
  // computer; when false the table keeps what it showed, as when Windows is slow to follow.
  bool tableFollowsNotifications = true;
  std::map<std::string, std::string> dhcpAddresses;         // adapter name: the address DHCP gives
  std::map<uint32_t, std::vector<std::string>> dnsServers;  // adapter index: its live servers
  // Devices that answer ARP: address text ("10.0.5.77") to hardware address ("aa:bb:...").
  std::map<std::string, std::string> arpAnswers;
  // The Wi-Fi networks the adapters are connected to.
  std::vector<std::u16string> wifiNetworks;
  bool arpSupported = true;
  // What each netsh run ends with (nothing: it could not be started). When it ends with 0,
  // the adapter table follows what it set, as Windows does.
  std::optional<uint32_t> netshResult = 0;
  bool dhcpLibraryPresent = true;
  bool dhcpExportPresent = true;
  uint32_t dhcpResult = 0;
  std::vector<Device> devices;
  std::vector<int> messageAnswers;  // answered in order; then IDOK (or IDYES for Yes/No)

  // What happened.
  std::vector<DhcpNotification> notifications;
  std::vector<PropertyChange> propertyChanges;
  std::vector<ShownMessage> messages;
  std::vector<uint32_t> adapterTableCalls;  // the buffer size of each GetAdaptersInfo call
  std::vector<std::string> arpRequests;     // the address asked for by each SendARP
  std::vector<std::string> netshRuns;       // the arguments of each netsh run
  // Registry changes and notifications in one sequence, as text ("set HKLM\...\IPAddress",
  // "delete ...", "notify {guid} action 2").
  std::vector<std::string> journal;

  // NetSystem.
  Registry& registry() override { return registry_; }
  const AnsiCodePage& codePage() override { return *codePage_; }
  bool GetVersion(OsVersion& v) override;
  uint32_t GetAdaptersInfo(uint8_t* buffer, uint32_t* size) override;
  std::vector<IpAdapterEntry> ReadAdapterTable(const uint8_t* buffer, uint32_t size) override;
  std::vector<std::string> GetAdapterDnsServers(uint32_t index) override;
  uint32_t SendArp(uint32_t destination, uint8_t mac[8], uint32_t* length) override;
  std::vector<std::u16string> ConnectedWifiNetworks() override { return wifiNetworks; }
  std::optional<uint32_t> RunNetsh(std::u16string_view arguments) override;
  std::unique_ptr<DhcpClientLibrary> LoadDhcpClient() override;
  DeviceSet GetDevices(std::u16string_view enumerator) override;
  bool EnumDevice(DeviceSet set, uint32_t index) override;
  bool GetDeviceDescription(DeviceSet set, uint32_t index, uint8_t* buffer, uint32_t size,
                            uint32_t* required) override;
  bool SetPropertyChangeParams(DeviceSet set, uint32_t index, uint32_t stateChange, uint32_t scope,
                               uint32_t hwProfile) override;
  bool CallPropertyChange(DeviceSet set, uint32_t index) override;
  void DestroyDevices(DeviceSet set) override;
  uint32_t GetLastError() override { return lastError_; }
  void SetLastError(uint32_t code) override { lastError_ = code; }
  std::u16string ErrorText(uint32_t code) override;
  int ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t flags) override;
  std::u16string ApplicationName() override { return u"lumatrove"; }
  uint32_t InetAddr(const std::string& text) override { return ParseInetAddr(text); }

  size_t OpenDeviceSets() const { return openSets_.size(); }
  // Sets the table's entry for the adapter to what its TCP/IP key holds now: the fixed
  // addresses, or DHCP with the address its server gives.
  void RefreshAdapterTable(std::u16string_view guid);

 private:
  class Library;
  std::vector<uint32_t> Members(DeviceSet set) const;
  // The entry's address as its DHCP server gives it (none when it gives none).
  void ShowLease(IpAdapterEntry& entry);

  MemoryRegistry registry_;
  std::unique_ptr<AnsiCodePage> codePage_;
  uint32_t lastError_ = 0;
  std::vector<std::pair<DeviceSet, std::vector<uint32_t>>> openSets_;
  DeviceSet nextSet_ = 0x40;
  int adapterCount_ = 0;
};

// An ASCII-only code page, for platforms where no other is at hand.
std::unique_ptr<AnsiCodePage> MakeAsciiCodePage();

}  // namespace lumatrove
