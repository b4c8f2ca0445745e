// What one connection of a profile would write, checked before anything is written: its
// mode, its fixed address and mask, its gateway and its DNS servers. Applying a profile and
// the editor's OK button use the same rules, so that what the editor stores can be applied.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"
#include "netcfg/net_adapter_layer.h"
#include "netcfg/netsh_commands.h"

namespace lumatrove {

// A connection's values as the profile holds them: the TYPE text, the first address, mask
// and gateway, and every DNS server in order (an empty text keeps its place in the list).
struct ConnectionValues {
  std::u16string_view type;
  std::u16string_view address;
  std::u16string_view mask;
  std::u16string_view gateway;
  std::vector<std::u16string_view> dnsServers;
  // Further address/mask pairs (by place) and gateways of a fixed connection, and the metric
  // of each gateway, the first one's first (0: automatic).
  std::vector<std::u16string_view> moreAddresses;
  std::vector<std::u16string_view> moreMasks;
  std::vector<std::u16string_view> moreGateways;
  std::vector<uint32_t> gatewayMetrics;
};

enum class ConnectionFault { kNone, kMode, kAddress, kMask, kGateway, kDns };

// What the connection writes, or why it cannot.
struct ConnectionPlan {
  ConnectionMode mode = ConnectionMode::kUnknown;
  ConnectionFault fault = ConnectionFault::kNone;
  std::u16string faultValue;  // the text at fault, as the profile holds it
  std::u16string gateway;     // "" for none
  std::u16string dns;         // the DNS servers joined with ","
  MoreStaticEntries more;     // further pairs and gateways, and the metrics
  // The gateway lies outside the subnet of the address and mask: Windows takes it, but it
  // can only be reached through a route of its own.
  bool gatewayOutsideSubnet = false;
  bool Usable() const { return fault == ConnectionFault::kNone; }
};

// Checks the values of one connection:
// - TYPE must be "0", "1" or "2";
// - a fixed connection ("0") needs a host address that is not its subnet's network or
//   broadcast address, and a mask of contiguous ones that leaves room for hosts;
// - its gateway, when given, is a host address other than its own;
// - DNS servers (fixed and automatic connections) are host addresses or 127.x.x.x.
// An empty gateway or DNS entry means none; a dotted quad with a part "0" at either end
// (0.0.0.0, 8.8.8.0) is left out as before. Anything else that is no such address is a fault.
// Further pairs follow the first one's rules and may not repeat an address; an address without
// a mask at its place is a mask fault. More than kMaxAddresses pairs, kMaxGateways gateways or
// kMaxDnsServers servers is a fault naming the first entry too many.
ConnectionPlan PlanConnection(const ConnectionValues& values);
// The values of a profile's connection record.
ConnectionValues ValuesOf(const ConnectionSetting& connection);

// The message for a plan's fault, naming the connection and the value.
std::u16string ConnectionFaultMessage(std::u16string_view connectionName,
                                      const ConnectionPlan& plan);

// What a profile's connection sets, as numbers, when it sets a fixed address or DHCP and its
// values pass PlanConnection; nothing otherwise.
std::optional<Ipv4Settings> SettingsOf(const ConnectionSetting& connection);

}  // namespace lumatrove
