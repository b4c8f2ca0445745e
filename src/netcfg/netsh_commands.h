// The documented way to set an adapter's IPv4 settings on Vista and later: netsh's
// "interface ipv4" commands. The interface is named by its index, so that connection names in
// any language or with any characters never reach a command line; every value is a number
// formatted here, never a text of a profile.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumatrove {

// What one adapter is to use, as numbers (the first part of a dotted address is the most
// significant byte).
struct Ipv4Settings {
  bool automatic = false;  // DHCP; address, mask and gateway are not used
  uint32_t address = 0;
  uint32_t mask = 0;
  uint32_t gateway = 0;              // 0: none
  uint32_t gatewayMetric = 0;        // 0: automatic
  std::vector<uint32_t> dnsServers;  // fixed DNS servers in order; none: automatic ones (DHCP)
                                     // or none at all (fixed address)
  // Further address/mask pairs, and further gateways with their metrics (0: automatic).
  std::vector<std::pair<uint32_t, uint32_t>> moreAddresses;
  std::vector<std::pair<uint32_t, uint32_t>> moreGateways;
};

// The argument lines for netsh (after "netsh"), in the order they are to run: the address,
// further addresses and gateways ("add address"), then the DNS servers. `dnsValidateOption` adds
// "validate=no" (Windows 7 and later), so that netsh does not wait to reach each server before it
// stores it.
std::vector<std::u16string> NetshArguments(uint32_t interfaceIndex, const Ipv4Settings& settings,
                                           bool dnsValidateOption);

}  // namespace lumatrove
