#include "ui/model/advanced_tcpip_model.h"

#include <algorithm>

#include "store/address_text.h"
#include "texts.h"

namespace lumatrove {
namespace {

bool IsUsableHost(const std::u16string& text) {
  return IsFixedAddress(text) && IsHostAddress(TextToAddress(text));
}

// The address of an entry of either list, or the entry itself.
const std::u16string& AddressOf(const AddressPair& p) {
  return p.address;
}
const std::u16string& AddressOf(const GatewayEntry& g) {
  return g.address;
}
const std::u16string& AddressOf(const std::u16string& s) {
  return s;
}

// Puts `entry` at `at` (kAdd: at the end) unless another entry has its address; "" when it
// did, else the message naming the address.
template <typename T>
std::u16string PutUnlessListed(std::vector<T>& list, size_t at, T entry,
                               std::u16string_view label) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (i != at && AddressOf(list[i]) == AddressOf(entry)) {
      return texts::EntryListed(label, AddressOf(entry));
    }
  }
  if (at >= list.size()) {
    list.push_back(std::move(entry));
  } else {
    list[at] = std::move(entry);
  }
  return {};
}

template <typename T>
void EraseAt(std::vector<T>& list, size_t at) {
  if (at < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(at));
}

}  // namespace

AdvancedTcpIp::AdvancedTcpIp(const ConnectionSetting& c) {
  if (!c.ipAddressText.empty()) addresses_.push_back({c.ipAddressText, c.subnetMaskText});
  for (size_t i = 0; i < c.moreAddresses.size(); ++i)
    addresses_.push_back({c.moreAddresses[i], i < c.moreMasks.size() ? c.moreMasks[i] : u""});
  auto metric = [&](size_t i) { return i < c.gatewayMetrics.size() ? c.gatewayMetrics[i] : 0u; };
  if (!c.gatewayText.empty()) gateways_.push_back({c.gatewayText, metric(0)});
  for (size_t i = 0; i < c.moreGateways.size(); ++i)
    gateways_.push_back({c.moreGateways[i], metric(i + 1)});
  for (const std::u16string* dns : {&c.primaryDns, &c.secondaryDns})
    if (!dns->empty()) dns_.push_back(*dns);
  for (const std::u16string& dns : c.moreDnsServers)
    if (!dns.empty()) dns_.push_back(dns);
}

void AdvancedTcpIp::StoreInto(ConnectionSetting& c) const {
  c.ipAddressText = addresses_.empty() ? u"" : addresses_[0].address;
  c.subnetMaskText = addresses_.empty() ? u"" : addresses_[0].mask;
  c.moreAddresses.clear();
  c.moreMasks.clear();
  for (size_t i = 1; i < addresses_.size(); ++i) {
    c.moreAddresses.push_back(addresses_[i].address);
    c.moreMasks.push_back(addresses_[i].mask);
  }
  c.gatewayText = gateways_.empty() ? u"" : gateways_[0].address;
  c.moreGateways.clear();
  c.gatewayMetrics.clear();
  for (size_t i = 0; i < gateways_.size(); ++i) {
    if (i > 0) c.moreGateways.push_back(gateways_[i].address);
    c.gatewayMetrics.push_back(gateways_[i].metric);
  }
  c.primaryDns = dns_.size() > 0 ? dns_[0] : u"";
  c.secondaryDns = dns_.size() > 1 ? dns_[1] : u"";
  c.dnsServers.clear();
  c.moreDnsServers.assign(dns_.begin() + std::min<std::ptrdiff_t>(2, std::ssize(dns_)), dns_.end());
}

std::u16string AdvancedTcpIp::SetAddress(size_t at, const std::u16string& address,
                                         const std::u16string& mask) {
  if (at == kAdd && addresses_.size() >= kMaxAddresses) {
    return texts::ListFull(texts::kAddressLabel, kMaxAddresses);
  }
  if (!IsUsableHost(address)) return texts::EntryRefused(texts::kAddressLabel, address);
  if (!IsFixedMask(mask)) return texts::EntryRefused(texts::kMaskLabel, mask);
  if (IsSubnetNetworkOrBroadcast(TextToAddress(address), TextToAddress(mask))) {
    return texts::EntryRefused(texts::kAddressLabel, address);
  }
  return PutUnlessListed(addresses_, at, AddressPair{address, mask}, texts::kAddressLabel);
}

std::u16string AdvancedTcpIp::SetGateway(size_t at, const std::u16string& address,
                                         uint32_t metric) {
  if (at == kAdd && gateways_.size() >= kMaxGateways) {
    return texts::ListFull(texts::kGatewayLabel, kMaxGateways);
  }
  if (!IsUsableHost(address)) return texts::EntryRefused(texts::kGatewayLabel, address);
  if (metric > kMaxGatewayMetric) return std::u16string(texts::kMetricRange);
  return PutUnlessListed(gateways_, at, GatewayEntry{address, metric}, texts::kGatewayLabel);
}

std::u16string AdvancedTcpIp::SetDnsServer(size_t at, const std::u16string& address) {
  if (at == kAdd && dns_.size() >= kMaxDnsServers) {
    return texts::ListFull(texts::kDnsServerLabel, kMaxDnsServers);
  }
  if (!IsDottedQuad(address) || !IsUsableAddress(address) ||
      !IsDnsServerAddress(TextToAddress(address))) {
    return texts::EntryRefused(texts::kDnsServerLabel, address);
  }
  return PutUnlessListed(dns_, at, address, texts::kDnsServerLabel);
}

void AdvancedTcpIp::RemoveAddress(size_t at) {
  EraseAt(addresses_, at);
}
void AdvancedTcpIp::RemoveGateway(size_t at) {
  EraseAt(gateways_, at);
}
void AdvancedTcpIp::RemoveDnsServer(size_t at) {
  EraseAt(dns_, at);
}

bool AdvancedTcpIp::MoveDnsServer(size_t at, bool up) {
  if (at >= dns_.size() || (up && at == 0) || (!up && at + 1 >= dns_.size())) return false;
  std::swap(dns_[at], dns_[up ? at - 1 : at + 1]);
  return true;
}

}  // namespace lumatrove
