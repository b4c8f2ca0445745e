// NetAdapterLayer: discovers the computer's network adapters and their TCP/IP settings in the
// registry, writes a fixed address or DHCP, tells the DHCP client service, and switches a
// device on or off through the device installer. All system access goes through NetSystem.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"
#include "netcfg/net_system.h"
#include "netcfg/netsh_commands.h"

namespace lumatrove {

// Registry paths under HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kAdapterClassKey =
    u"System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
inline constexpr std::u16string_view kNetworkCardsKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
inline constexpr std::u16string_view kNetTransKey =
    u"System\\CurrentControlSet\\Services\\Class\\NetTrans";
inline constexpr std::u16string_view kNetworkConnectionsKey =
    u"System\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr std::u16string_view kTcpipInterfacesKey =
    u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
inline constexpr std::u16string_view kNetTransWriteKey =
    u"SYSTEM\\CurrentControlSet\\Services\\Class\\NetTrans\\";

// DhcpNotifyConfigChange actions.
constexpr int kDhcpEnable = 1;
constexpr int kDhcpStatic = 2;

// The Windows families the layer tells apart, in the order of their age; the paths of the
// registry follow the family (9x, NT 4, and the 2000 family that every later NT joins).
enum class WindowsVersion : int32_t {
  kUnknown = 0,
  k95 = 1,  // and other 9x systems
  k98 = 2,
  kMe = 3,
  kNt4 = 4,
  k2000 = 5,
  kXp = 6,
  kServer2003 = 7,  // and later 5.x
  kVista = 8,       // to 8.1 (6.x)
  k10 = 9,          // 10, 11 and whatever comes after
};

// What a fixed-address apply writes besides the first address, mask and gateway: further
// address/mask pairs and gateways, and each gateway's metric, the first one's first (0:
// automatic). Empty for the single entries of earlier profiles.
struct MoreStaticEntries {
  std::vector<std::u16string> addresses;
  std::vector<std::u16string> masks;
  std::vector<std::u16string> gateways;
  std::vector<uint32_t> metrics;
};

class NetAdapterLayer {
 public:
  explicit NetAdapterLayer(NetSystem& system);
  virtual ~NetAdapterLayer();
  NetAdapterLayer(const NetAdapterLayer&) = delete;
  NetAdapterLayer& operator=(const NetAdapterLayer&) = delete;

  // Sets windowsVersion from the system's version; a system that cannot say is taken for
  // the newest family.
  void DetectWindowsVersion();
  // Rebuilds `adapters` from the registry; returns how many were found (0 when the adapter
  // root key cannot be opened).
  int DiscoverAdapters();

  // The hardware address text of the adapter whose IP Helper name is `id`; returns its length
  // (17), or 0 when none matches or the table cannot be read. Without includeAll only adapters
  // for which IsPciConnection holds are considered.
  int GetMacAddress(std::u16string_view id, std::u16string& address, bool includeAll);
  // What Windows uses now on each discovered adapter that the IP Helper reports, in the
  // order of `adapters`; "0.0.0.0" entries (no address) are left out.
  std::vector<LiveAdapter> ReadLiveAdapters() const;
  // True when the adapter's connection key has MediaSubType 1 or 2 and a PnpInstanceID that
  // begins with "PCI".
  bool IsPciConnection(std::u16string_view id);

  // Fills the TCP/IP fields of `record`; false when the TCP/IP key cannot be opened.
  bool ReadTcpIpSettings(AdapterInfo& record, std::u16string_view id);
  // Fills connectionName; false (after a message box with the system's text) when the
  // connection key cannot be opened.
  bool ReadConnectionName(AdapterInfo& record, std::u16string_view id);
  // Appends the strings of a REG_MULTI_SZ image of `bytes` bytes to `list`.
  static void ParseMultiString(const uint8_t* buffer, uint32_t bytes,
                               std::vector<std::u16string>& list);
  // Splits a NameServer text ("a,b,...") into the record's DNS fields.
  static void SplitNameServer(AdapterInfo& record, std::u16string_view text);

  // Writes a fixed address (and `more`) and tells the DHCP client about the first; false only
  // when the write failed.
  bool ApplyStaticAddress(std::u16string_view id, int addressIndex, std::u16string_view address,
                          std::u16string_view mask, std::u16string_view gateway,
                          std::u16string_view dns, const MoreStaticEntries& more = {});
  // Switches the adapter to DHCP keeping `dns` as fixed servers; false when the write or the
  // notification failed.
  bool ApplyDhcp(std::u16string_view id, std::u16string_view dns);
  // True when the TCP/IP key could be opened for writing. IPAddress, SubnetMask and
  // DefaultGateway hold the first entries and then `more`'s; DefaultGatewayMetric is written
  // with further gateways or metrics ("0": automatic) and otherwise removed when present.
  bool WriteTcpIpSettings(std::u16string_view id, int addressIndex, std::u16string_view address,
                          std::u16string_view mask, std::u16string_view gateway,
                          std::u16string_view dns, const MoreStaticEntries& more = {});
  bool WriteEnableDhcp(std::u16string_view id, bool enable);
  // True when DhcpNotifyConfigChange was found and returned 0.
  bool NotifyDhcpClient(std::u16string_view id, int addressIndex, std::u16string_view address,
                        std::u16string_view mask, int action);

  // Sets `settings` on the interface of `interfaceIndex` with netsh, command by command; true
  // when each ended with exit code 0 (it stops at the first that did not).
  bool ApplyWithNetsh(uint32_t interfaceIndex, const Ipv4Settings& settings);

  // Enables or disables the first PCI device whose description is `description`; true when
  // one was found and the class installer accepted the change. `busType` is not consulted.
  bool SetDeviceEnabled(bool enable, std::u16string_view description, std::u16string_view busType);

  std::vector<std::unique_ptr<AdapterInfo>> adapters;
  WindowsVersion windowsVersion = WindowsVersion::kUnknown;
  // Adapters (instance IDs, in lower case) on which Windows did not take an apply from the
  // DHCP client notification, for as long as this layer lives: their next apply uses netsh at
  // once.
  std::vector<std::u16string> notificationNotTaken;

 private:
  // The IP Helper adapter table; false when it cannot be read.
  bool ReadAdapterTable(std::vector<IpAdapterEntry>& entries) const;
  std::u16string TcpIpKeyPath(std::u16string_view id, const AdapterInfo* record) const;

  NetSystem& system_;
};

}  // namespace lumatrove
