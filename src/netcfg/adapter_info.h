// One network adapter as discovered, or one connection of a profile (ConnectionSetting), and
// what Windows uses on an adapter now (LiveAdapter).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumatrove {

struct AdapterInfo {
  std::u16string instanceId;      // NetCfgInstanceID (a GUID in braces); 9x: NetTrans subkey
  std::u16string description;     // DriverDesc
  std::u16string connectionName;  // the connection's "Name"
  int32_t statusEnabled = 0;  // 1: identifier found and settings read; in a profile, EnableCheck
  int32_t dhcpEnabled = 0;    // EnableDHCP (low 16 bits); in a profile, the mode code
  std::u16string macAddress;  // "%02x:%02x:%02x:%02x:%02x:%02x"
  std::u16string networkAddress;  // a configured override of the hardware address
  std::u16string ipAddressText;
  std::u16string busType;  // "PCI" on the NT family
  std::vector<std::u16string> ipAddresses;
  std::u16string subnetMaskText;
  std::vector<std::u16string> subnetMasks;
  std::u16string gatewayText;
  std::vector<std::u16string> gateways;
  std::u16string primaryDns;
  std::u16string secondaryDns;
  std::vector<std::u16string> dnsServers;
  // In a profile, what follows the first address, mask and gateway and the two DNS servers
  // above: further address/mask pairs (by place), gateways and DNS servers in order, and the
  // metric of each gateway, the first one's first (0: automatic).
  std::vector<std::u16string> moreAddresses;
  std::vector<std::u16string> moreMasks;
  std::vector<std::u16string> moreGateways;
  std::vector<uint32_t> gatewayMetrics;
  std::vector<std::u16string> moreDnsServers;
};

// What a profile's connection may hold in all: address/mask pairs, gateways, DNS servers, and
// the highest gateway metric.
inline constexpr size_t kMaxAddresses = 16;
inline constexpr size_t kMaxGateways = 5;
inline constexpr size_t kMaxDnsServers = 8;
inline constexpr uint32_t kMaxGatewayMetric = 9999;

// What Windows uses now on one adapter, as the IP Helper shows it.
struct LiveAdapter {
  std::u16string instanceId;  // the adapter's GUID
  std::u16string connectionName;
  bool dhcp = false;
  std::vector<std::u16string> addresses;  // with the mask of the same index
  std::vector<std::u16string> masks;
  std::vector<std::u16string> gateways;
  std::vector<std::u16string> dnsServers;
  uint32_t interfaceIndex = 0;  // the IP Helper's index of the adapter
};

// A profile's connection is the same record: the mode lives in dhcpEnabled.
using ConnectionSetting = AdapterInfo;

// What applying a profile does to a connection's adapter: a fixed address, DHCP, nothing; or
// nothing known (a stored TYPE of no meaning). A profile's record holds the mode's code in
// dhcpEnabled: 0, 1, 2 and -1, in this order; the mapping is here and nowhere else.
enum class ConnectionMode : int32_t { kManual = 0, kAutomatic = 1, kLeaveAlone = 2, kUnknown = -1 };

inline ConnectionMode ModeOf(int32_t code) {
  switch (code) {
    case 0:
      return ConnectionMode::kManual;
    case 1:
      return ConnectionMode::kAutomatic;
    case 2:
      return ConnectionMode::kLeaveAlone;
    default:
      return ConnectionMode::kUnknown;
  }
}
inline int32_t CodeOf(ConnectionMode mode) {
  return static_cast<int32_t>(mode);
}
// The mode of a profile's connection, and whether applying the profile changes its adapter.
inline ConnectionMode ModeOf(const ConnectionSetting& c) {
  return ModeOf(c.dhcpEnabled);
}
inline bool Configures(const ConnectionSetting& c) {
  return ModeOf(c) == ConnectionMode::kManual || ModeOf(c) == ConnectionMode::kAutomatic;
}

}  // namespace lumatrove
