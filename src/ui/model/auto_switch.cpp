#include "ui/model/auto_switch.h"

#include <algorithm>

#include "base/ascii_text.h"
#include "netcfg/net_adapter_layer.h"
#include "netcfg/registry.h"

namespace lumatrove {
namespace {

// A hardware address as compared: lower case, bytes joined by '-'.
std::u16string MacKey(std::u16string_view mac) {
  std::u16string key;
  for (char16_t c : mac)
    key += c == u':' ? u'-' : LowerAscii(c);
  return key;
}

std::u16string SuffixKey(std::u16string_view suffix) {
  std::u16string key;
  for (char16_t c : suffix)
    key += LowerAscii(c);
  while (!key.empty() && key.back() == u'.')
    key.pop_back();
  return key;
}

bool Among(const std::vector<std::u16string>& seen, std::u16string_view value,
           std::u16string (*key)(std::u16string_view)) {
  return std::any_of(seen.begin(), seen.end(),
                     [&](const std::u16string& s) { return key(s) == key(value); });
}

std::u16string Exact(std::u16string_view text) {
  return std::u16string(text);
}

}  // namespace

NetworkSighting ReadNetworkSighting(NetSystem& net, const std::vector<LiveAdapter>& live) {
  NetworkSighting seen;
  auto add = [](std::vector<std::u16string>& list, std::u16string value) {
    if (!value.empty() && std::find(list.begin(), list.end(), value) == list.end())
      list.push_back(std::move(value));
  };
  for (const LiveAdapter& adapter : live) {
    for (const std::u16string& gateway : adapter.gateways) {
      const uint32_t target = net.InetAddr(std::string(gateway.begin(), gateway.end()));
      uint8_t mac[8] = {};
      uint32_t length = sizeof mac;
      if (target != 0xFFFFFFFF && net.SendArp(target, mac, &length) == 0 && length >= 6)
        add(seen.gatewayMacs, HardwareAddressText(mac, u'-'));
    }
    RegKey key(net.registry());
    if (key.Open(RegRoot::kLocalMachine, std::u16string(kTcpipInterfacesKey) + adapter.instanceId,
                 RegAccess::kRead) != 0) {
      continue;
    }
    for (const char16_t* name : {u"DhcpDomain", u"Domain"}) {
      std::vector<uint8_t> bytes;
      if (key.Read(name, 512, bytes) && !RegText(bytes).empty()) {
        add(seen.dnsSuffixes, RegText(bytes));
        break;
      }
    }
  }
  for (std::u16string& ssid : net.ConnectedWifiNetworks())
    add(seen.ssids, std::move(ssid));
  return seen;
}

bool RulesMatch(const std::vector<NetworkRule>& rules, const NetworkSighting& seen) {
  return std::any_of(rules.begin(), rules.end(), [&](const NetworkRule& rule) {
    switch (rule.kind) {
      case NetworkRule::Kind::kGatewayMac:
        return Among(seen.gatewayMacs, rule.value, MacKey);
      case NetworkRule::Kind::kSsid:
        return Among(seen.ssids, rule.value, Exact);
      case NetworkRule::Kind::kDnsSuffix:
        return !SuffixKey(rule.value).empty() && Among(seen.dnsSuffixes, rule.value, SuffixKey);
    }
    return false;
  });
}

std::vector<NetworkRule> RulesOf(const NetworkSighting& seen) {
  std::vector<NetworkRule> rules;
  auto add = [&](NetworkRule::Kind kind, const std::vector<std::u16string>& values) {
    for (const std::u16string& v : values) {
      const NetworkRule rule{kind, kind == NetworkRule::Kind::kGatewayMac ? MacKey(v) : v};
      if (!v.empty() && std::find(rules.begin(), rules.end(), rule) == rules.end())
        rules.push_back(rule);
    }
  };
  add(NetworkRule::Kind::kGatewayMac, seen.gatewayMacs);
  add(NetworkRule::Kind::kSsid, seen.ssids);
  add(NetworkRule::Kind::kDnsSuffix, seen.dnsSuffixes);
  return rules;
}

AutoSwitch AutoSwitchGuard::Decide(const std::vector<std::unique_ptr<Profile>>& profiles,
                                   const std::vector<bool>& live, const NetworkSighting& seen,
                                   uint64_t nowMs) {
  AutoSwitch decision;
  const bool sameNetwork = lastSeen_ && *lastSeen_ == seen;
  lastSeen_ = seen;
  if (paused || sameNetwork) return decision;
  for (size_t i = 0; i < profiles.size(); ++i) {
    const NetworkRules& networks = profiles[i]->networks;
    if (networks.autoApply && RulesMatch(networks.rules, seen)) decision.candidates.push_back(i);
  }
  if (decision.candidates.size() > 1) {
    decision.action = AutoSwitch::Action::kSeveral;
    return decision;
  }
  if (decision.candidates.empty()) return decision;
  const size_t only = decision.candidates.front();
  // The network is the profile's already, or an automatic apply has just happened: its own
  // address change must not start another.
  const bool isLive = only < live.size() && live[only];
  if (isLive || (lastApplyMs_ && nowMs - *lastApplyMs_ < kAutoSwitchQuietMs)) return decision;
  lastApplyMs_ = nowMs;
  decision.action = AutoSwitch::Action::kApply;
  decision.profile = only;
  return decision;
}

}  // namespace lumatrove
