#include "store/connection_check.h"

#include <algorithm>

#include "store/address_text.h"
#include "store/profile_store.h"
#include "texts.h"

namespace lumatrove {
namespace {

// What an optional server entry (gateway, DNS) is.
enum class Entry { kNone, kLeftOut, kAddress, kBad };

Entry ClassifyServer(std::u16string_view text, bool dns) {
  if (text.empty()) return Entry::kNone;
  if (!IsDottedQuad(text)) return Entry::kBad;
  if (!IsUsableAddress(text)) return Entry::kLeftOut;
  const uint32_t address = TextToAddress(text);
  return (dns ? IsDnsServerAddress(address) : IsHostAddress(address)) ? Entry::kAddress
                                                                      : Entry::kBad;
}

ConnectionPlan Fault(ConnectionPlan plan, ConnectionFault fault, std::u16string_view value) {
  plan.fault = fault;
  plan.faultValue = value;
  return plan;
}

}  // namespace

ConnectionPlan PlanConnection(const ConnectionValues& v) {
  ConnectionPlan plan;
  plan.mode = ModeOfType(v.type);
  if (plan.mode == ConnectionMode::kUnknown) return Fault(plan, ConnectionFault::kMode, v.type);
  if (plan.mode == ConnectionMode::kLeaveAlone) return plan;

  uint32_t address = 0, mask = 0;
  if (plan.mode == ConnectionMode::kManual) {
    if (!IsFixedAddress(v.address) || !IsHostAddress(TextToAddress(v.address))) {
      return Fault(plan, ConnectionFault::kAddress, v.address);
    }
    if (!IsFixedMask(v.mask)) return Fault(plan, ConnectionFault::kMask, v.mask);
    address = TextToAddress(v.address);
    mask = TextToAddress(v.mask);
    if (IsSubnetNetworkOrBroadcast(address, mask)) {
      return Fault(plan, ConnectionFault::kAddress, v.address);
    }
    switch (ClassifyServer(v.gateway, false)) {
      case Entry::kBad:
        return Fault(plan, ConnectionFault::kGateway, v.gateway);
      case Entry::kAddress: {
        const uint32_t gateway = TextToAddress(v.gateway);
        if (gateway == address) return Fault(plan, ConnectionFault::kGateway, v.gateway);
        plan.gateway = v.gateway;
        plan.gatewayOutsideSubnet = (gateway & mask) != (address & mask);
        break;
      }
      case Entry::kNone:
      case Entry::kLeftOut:
        break;
    }
    if (1 + v.moreAddresses.size() > kMaxAddresses) {
      return Fault(plan, ConnectionFault::kAddress, v.moreAddresses[kMaxAddresses - 1]);
    }
    std::vector<uint32_t> taken = {address};
    for (size_t i = 0; i < v.moreAddresses.size(); ++i) {
      const std::u16string_view text = v.moreAddresses[i];
      if (!IsFixedAddress(text) || !IsHostAddress(TextToAddress(text))) {
        return Fault(plan, ConnectionFault::kAddress, text);
      }
      const uint32_t more = TextToAddress(text);
      if (std::find(taken.begin(), taken.end(), more) != taken.end()) {
        return Fault(plan, ConnectionFault::kAddress, text);  // the same address twice
      }
      taken.push_back(more);
      if (i >= v.moreMasks.size()) {
        return Fault(plan, ConnectionFault::kMask, texts::NoMaskFor(text));
      }
      if (!IsFixedMask(v.moreMasks[i])) return Fault(plan, ConnectionFault::kMask, v.moreMasks[i]);
      if (IsSubnetNetworkOrBroadcast(more, TextToAddress(v.moreMasks[i]))) {
        return Fault(plan, ConnectionFault::kAddress, text);
      }
      plan.more.addresses.emplace_back(text);
      plan.more.masks.emplace_back(v.moreMasks[i]);
    }
    if ((v.gateway.empty() ? 0 : 1) + v.moreGateways.size() > kMaxGateways) {
      return Fault(plan, ConnectionFault::kGateway, v.moreGateways.back());
    }
    plan.more.metrics.push_back(v.gatewayMetrics.empty() ? 0 : v.gatewayMetrics[0]);
    for (size_t i = 0; i < v.moreGateways.size(); ++i) {
      const std::u16string_view text = v.moreGateways[i];
      const Entry entry = ClassifyServer(text, false);
      if (entry == Entry::kBad ||
          (entry == Entry::kAddress &&
           std::find(taken.begin(), taken.end(), TextToAddress(text)) != taken.end())) {
        return Fault(plan, ConnectionFault::kGateway, text);
      }
      if (entry != Entry::kAddress) continue;
      plan.more.gateways.emplace_back(text);
      plan.more.metrics.push_back(i + 1 < v.gatewayMetrics.size() ? v.gatewayMetrics[i + 1] : 0);
    }
  }

  // The list keeps empty entries in their places, as the servers are numbered.
  size_t servers = 0;
  for (std::u16string_view dns : v.dnsServers) {
    const Entry entry = ClassifyServer(dns, true);
    if (entry == Entry::kBad) return Fault(plan, ConnectionFault::kDns, dns);
    if (entry == Entry::kLeftOut) continue;
    if (entry == Entry::kAddress && ++servers > kMaxDnsServers) {
      return Fault(plan, ConnectionFault::kDns, dns);
    }
    if (!plan.dns.empty()) plan.dns += u",";
    plan.dns += dns;
  }
  return plan;
}

ConnectionValues ValuesOf(const ConnectionSetting& c) {
  ConnectionValues v{TypeOf(ModeOf(c)),
                     c.ipAddressText,
                     c.subnetMaskText,
                     c.gatewayText,
                     {c.primaryDns, c.secondaryDns}};
  v.dnsServers.insert(v.dnsServers.end(), c.moreDnsServers.begin(), c.moreDnsServers.end());
  v.moreAddresses.assign(c.moreAddresses.begin(), c.moreAddresses.end());
  v.moreMasks.assign(c.moreMasks.begin(), c.moreMasks.end());
  v.moreGateways.assign(c.moreGateways.begin(), c.moreGateways.end());
  v.gatewayMetrics = c.gatewayMetrics;
  return v;
}

std::u16string ConnectionFaultMessage(std::u16string_view name, const ConnectionPlan& plan) {
  // A hand-edited value can be any length; the message has to fit on the screen.
  constexpr size_t kShownLength = 64;
  std::u16string value = plan.faultValue;
  if (value.size() > kShownLength) {
    const bool splitsPair = value[kShownLength - 1] >= 0xD800 && value[kShownLength - 1] < 0xDC00;
    value = value.substr(0, kShownLength - (splitsPair ? 1 : 0)) + u"…";
  }
  switch (plan.fault) {
    case ConnectionFault::kNone:
      return {};
    case ConnectionFault::kMode:
      return texts::UnknownMode(name, value);
    case ConnectionFault::kAddress:
      return texts::BadAddress(name, value);
    case ConnectionFault::kMask:
      return texts::BadMask(name, value);
    case ConnectionFault::kGateway:
      return texts::BadServer(name, texts::kGatewayLabel, value);
    case ConnectionFault::kDns:
      return texts::BadServer(name, texts::kDnsServerLabel, value);
  }
  return {};
}

std::optional<Ipv4Settings> SettingsOf(const ConnectionSetting& c) {
  const ConnectionPlan plan = PlanConnection(ValuesOf(c));
  if (!plan.Usable() || !Configures(c)) return std::nullopt;
  Ipv4Settings s;
  s.automatic = plan.mode == ConnectionMode::kAutomatic;
  if (!s.automatic) {
    s.address = TextToAddress(c.ipAddressText);
    s.mask = TextToAddress(c.subnetMaskText);
    if (!plan.gateway.empty()) s.gateway = TextToAddress(plan.gateway);
    if (!plan.more.metrics.empty()) s.gatewayMetric = plan.more.metrics[0];
    for (size_t i = 0; i < plan.more.addresses.size(); ++i) {
      s.moreAddresses.emplace_back(TextToAddress(plan.more.addresses[i]),
                                   TextToAddress(plan.more.masks[i]));
    }
    for (size_t i = 0; i < plan.more.gateways.size(); ++i) {
      s.moreGateways.emplace_back(TextToAddress(plan.more.gateways[i]),
                                  i + 1 < plan.more.metrics.size() ? plan.more.metrics[i + 1] : 0);
    }
  }
  for (size_t start = 0; start < plan.dns.size();) {
    size_t end = plan.dns.find(u',', start);
    if (end == std::u16string::npos) end = plan.dns.size();
    if (end > start) s.dnsServers.push_back(TextToAddress(plan.dns.substr(start, end - start)));
    start = end + 1;
  }
  return s;
}

}  // namespace lumatrove
