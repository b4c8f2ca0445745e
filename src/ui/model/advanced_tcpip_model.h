// The lists behind the "進階..." dialog of one connection, laid out as Windows' own advanced
// TCP/IP settings: address/mask pairs, gateways with their metrics, DNS servers in order. The
// first entry of each list is what the editor's tab shows; the dialog edits them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "netcfg/adapter_info.h"

namespace lumatrove {

struct AddressPair {
  std::u16string address;
  std::u16string mask;
  bool operator==(const AddressPair&) const = default;
};
struct GatewayEntry {
  std::u16string address;
  uint32_t metric = 0;  // 0: automatic
  bool operator==(const GatewayEntry&) const = default;
};

class AdvancedTcpIp {
 public:
  // The lists of `connection`: its first entries, then the further ones.
  explicit AdvancedTcpIp(const ConnectionSetting& connection);
  // Writes the lists back: the first entries to the fields the tab shows, the rest after.
  void StoreInto(ConnectionSetting& connection) const;

  const std::vector<AddressPair>& Addresses() const { return addresses_; }
  const std::vector<GatewayEntry>& Gateways() const { return gateways_; }
  const std::vector<std::u16string>& DnsServers() const { return dns_; }

  // Each change returns "" when it was made, or the message that refuses it, naming the entry:
  // an address the apply would refuse, one already listed, a mask that is not contiguous, a
  // metric outside 1 to 9999, or one entry more than a list may hold. `at` is the entry to
  // replace (an edit), or npos (an addition).
  static constexpr size_t kAdd = static_cast<size_t>(-1);
  std::u16string SetAddress(size_t at, const std::u16string& address, const std::u16string& mask);
  std::u16string SetGateway(size_t at, const std::u16string& address, uint32_t metric);
  std::u16string SetDnsServer(size_t at, const std::u16string& address);
  void RemoveAddress(size_t at);
  void RemoveGateway(size_t at);
  void RemoveDnsServer(size_t at);
  // Moves a DNS server one place up (towards the first) or down; false at either end.
  bool MoveDnsServer(size_t at, bool up);

 private:
  std::vector<AddressPair> addresses_;
  std::vector<GatewayEntry> gateways_;
  std::vector<std::u16string> dns_;
};

}  // namespace lumatrove
