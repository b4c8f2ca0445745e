#include "ui/model/live_state.h"

#include <algorithm>

#include "base/ascii_text.h"
#include "texts.h"

namespace lumatrove {
namespace {

// The DNS servers the connection names (empty texts are no server), in order.
std::vector<std::u16string> WantedDns(const ConnectionSetting& c) {
  std::vector<std::u16string> wanted;
  for (const std::u16string* dns : {&c.primaryDns, &c.secondaryDns})
    if (!dns->empty()) wanted.push_back(*dns);
  for (const std::u16string& dns : c.moreDnsServers)
    if (!dns.empty()) wanted.push_back(dns);
  return wanted;
}

// The connection's servers lead the live list, in their order.
bool DnsMatches(const ConnectionSetting& c, const LiveAdapter& a) {
  const std::vector<std::u16string> wanted = WantedDns(c);
  return wanted.size() <= a.dnsServers.size() &&
         std::equal(wanted.begin(), wanted.end(), a.dnsServers.begin());
}

// A fixed connection's address/mask pairs, the first one's first.
std::vector<std::pair<std::u16string, std::u16string>> WantedPairs(const ConnectionSetting& c) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs = {
      {c.ipAddressText, c.subnetMaskText}};
  for (size_t i = 0; i < c.moreAddresses.size(); ++i)
    pairs.emplace_back(c.moreAddresses[i], i < c.moreMasks.size() ? c.moreMasks[i] : u"");
  return pairs;
}

// The gateways a fixed connection names (none: whatever Windows shows is right).
std::vector<std::u16string> WantedGateways(const ConnectionSetting& c) {
  std::vector<std::u16string> wanted;
  if (!c.gatewayText.empty()) wanted.push_back(c.gatewayText);
  for (const std::u16string& g : c.moreGateways)
    if (!g.empty()) wanted.push_back(g);
  return wanted;
}

template <typename T>
bool SameSet(std::vector<T> a, std::vector<T> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  a.erase(std::unique(a.begin(), a.end()), a.end());
  b.erase(std::unique(b.begin(), b.end()), b.end());
  return a == b;
}

// Windows shows the connection's addresses, each with its mask, and no others.
bool AddressesMatch(const ConnectionSetting& c, const LiveAdapter& a) {
  std::vector<std::pair<std::u16string, std::u16string>> live;
  for (size_t i = 0; i < a.addresses.size(); ++i)
    live.emplace_back(a.addresses[i], i < a.masks.size() ? a.masks[i] : u"");
  return SameSet(WantedPairs(c), live);
}

bool GatewaysMatch(const ConnectionSetting& c, const LiveAdapter& a) {
  const std::vector<std::u16string> wanted = WantedGateways(c);
  return wanted.empty() || SameSet(wanted, a.gateways);
}

}  // namespace

bool ConnectionIsLive(const ConnectionSetting& c, const std::vector<LiveAdapter>& live) {
  if (!Configures(c)) return true;
  const auto adapter = std::find_if(live.begin(), live.end(), [&](const LiveAdapter& a) {
    return EqualsIgnoringAsciiCase(a.instanceId, c.instanceId);
  });
  if (adapter == live.end()) return false;
  const LiveAdapter& a = *adapter;
  if (!DnsMatches(c, a)) return false;
  if (ModeOf(c) == ConnectionMode::kAutomatic) return a.dhcp;
  if (a.dhcp) return false;
  return AddressesMatch(c, a) && GatewaysMatch(c, a);
}

bool ProfileIsLive(const Profile& profile, const std::vector<LiveAdapter>& live) {
  bool configures = false;
  for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
    if (!Configures(*c)) continue;
    configures = true;
    if (!ConnectionIsLive(*c, live)) return false;
  }
  return configures;
}

std::vector<bool> LiveProfiles(const std::vector<std::unique_ptr<Profile>>& profiles,
                               const std::vector<LiveAdapter>& live,
                               const std::optional<ProxySetting>& proxy) {
  std::vector<bool> result;
  result.reserve(profiles.size());
  for (const std::unique_ptr<Profile>& p : profiles) {
    const bool proxyLive =
        p->proxy.mode == ProxySetting::Mode::kLeaveAlone || (proxy && SameProxy(*proxy, p->proxy));
    result.push_back(proxyLive && ProfileIsLive(*p, live));
  }
  return result;
}

std::vector<bool> LiveState::LiveRows(const std::vector<std::unique_ptr<Profile>>& profiles) const {
  return LiveProfiles(profiles, adapters_, proxy_);
}

std::u16string LiveState::ToolTip() const {
  return TrayToolTip(adapters_);
}

std::u16string TrayToolTip(const std::vector<LiveAdapter>& live) {
  std::u16string tip(texts::kTrayTip);
  for (const LiveAdapter& a : live) {
    std::u16string line = u"\n" + a.connectionName + u" ";
    if (a.dhcp) line += u"DHCP ";
    line += a.addresses.empty() || a.addresses.front().empty() ? u"-" : a.addresses.front();
    if (a.addresses.size() > 1)
      line += u" +" + DecimalText(static_cast<int64_t>(a.addresses.size()) - 1);
    if (tip.size() + line.size() > kTrayTipLimit) {
      if (tip.size() + 2 <= kTrayTipLimit) tip += u"\n…";
      break;
    }
    tip += line;
  }
  return tip;
}

bool IsPrivateAutomaticAddress(std::u16string_view address) {
  return address.substr(0, 8) == u"169.254.";
}

namespace {

std::u16string Shows(const LiveAdapter* a) {
  if (a == nullptr) return std::u16string(texts::kLiveAdapterMissing);
  std::u16string shows = a->dhcp ? u"DHCP " : u"";
  if (a->addresses.empty()) return shows + std::u16string(texts::kLiveNoAddress);
  for (size_t i = 0; i < a->addresses.size(); ++i) {
    if (i > 0) shows += u"、";
    shows += a->addresses[i];
    if (i < a->masks.size() && !a->masks[i].empty()) shows += u" / " + a->masks[i];
  }
  return shows;
}

std::u16string Listed(const std::vector<std::u16string>& values) {
  std::u16string text;
  for (const std::u16string& v : values) {
    if (v.empty()) continue;
    if (!text.empty()) text += u"、";
    text += v;
  }
  return text.empty() ? std::u16string(texts::kLiveNone) : text;
}

// What Windows shows on `a` that differs from connection `c`: DHCP, the address (or, where
// the address is there, its mask), the gateway and the DNS servers, each with what it
// should be.
std::u16string Differences(const ConnectionSetting& c, const LiveAdapter& a) {
  std::vector<std::u16string> parts;
  const bool automatic = ModeOf(c) == ConnectionMode::kAutomatic;
  if (a.dhcp != automatic) {
    parts.push_back(texts::ShownDifference(texts::kDhcpLabel,
                                           a.dhcp ? texts::kLiveOn : texts::kLiveOff,
                                           automatic ? texts::kLiveOn : texts::kLiveOff));
  }
  if (automatic && a.dhcp && a.addresses.empty()) {
    parts.push_back(u"DHCP " + std::u16string(texts::kLiveNoAddress));
  }
  if (!automatic) {
    std::vector<std::u16string> wantedAddresses, wantedMasks;
    for (const auto& [address, mask] : WantedPairs(c)) {
      wantedAddresses.push_back(address);
      wantedMasks.push_back(mask);
    }
    if (!SameSet(wantedAddresses, a.addresses)) {
      parts.push_back(texts::ShownDifference(texts::kAddressLabel, Listed(a.addresses),
                                             Listed(wantedAddresses)));
    } else if (!AddressesMatch(c, a)) {
      parts.push_back(
          texts::ShownDifference(texts::kMaskLabel, Listed(a.masks), Listed(wantedMasks)));
    }
    if (!GatewaysMatch(c, a)) {
      parts.push_back(texts::ShownDifference(texts::kGatewayLabel, Listed(a.gateways),
                                             Listed(WantedGateways(c))));
    }
  }
  if (!DnsMatches(c, a)) {
    parts.push_back(
        texts::ShownDifference(texts::kDnsServerLabel, Listed(a.dnsServers), Listed(WantedDns(c))));
  }
  std::u16string text;
  for (const std::u16string& part : parts) {
    if (!text.empty()) text += u"；";
    text += part;
  }
  return text;
}

}  // namespace

ApplyWaitOutcome CheckApplied(const Profile& profile, const std::vector<LiveAdapter>& live) {
  ApplyWaitOutcome outcome;
  for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
    if (!Configures(*c)) continue;
    const auto found = std::find_if(live.begin(), live.end(), [&](const LiveAdapter& a) {
      return EqualsIgnoringAsciiCase(a.instanceId, c->instanceId);
    });
    const LiveAdapter* a = found != live.end() ? &*found : nullptr;
    AppliedConnection entry{c->instanceId, c->connectionName, Shows(a)};
    if (a != nullptr && std::any_of(a->addresses.begin(), a->addresses.end(),
                                    [](const auto& x) { return IsPrivateAutomaticAddress(x); })) {
      outcome.privateAddress.push_back(std::move(entry));
      continue;
    }
    // DHCP counts once the adapter has a lease; a fixed address once it is there.
    const bool shown = ConnectionIsLive(*c, live) &&
                       (ModeOf(*c) == ConnectionMode::kManual || !a->addresses.empty());
    if (shown) continue;
    if (a != nullptr) entry.shows = Differences(*c, *a);
    outcome.notShown.push_back(std::move(entry));
  }
  return outcome;
}

ApplyWaitOutcome WaitUntilApplied(const Profile& profile,
                                  const std::function<std::vector<LiveAdapter>()>& read,
                                  const std::function<void(unsigned)>& sleep, unsigned timeoutMs,
                                  unsigned stepMs,
                                  const std::function<void(const ApplyWaitOutcome&)>& late,
                                  unsigned lateMs) {
  ApplyWaitOutcome outcome = CheckApplied(profile, read());
  bool lateCalled = !late;
  for (unsigned waited = 0;
       !outcome.notShown.empty() && outcome.privateAddress.empty() && waited < timeoutMs;) {
    const unsigned step = std::min(stepMs, timeoutMs - waited);
    sleep(step);
    waited += step;
    outcome = CheckApplied(profile, read());
    if (!lateCalled && waited >= lateMs && !outcome.notShown.empty() &&
        outcome.privateAddress.empty()) {
      lateCalled = true;
      late(outcome);
      outcome = CheckApplied(profile, read());
    }
  }
  return outcome;
}

std::u16string ApplyWaitMessage(const ApplyWaitOutcome& outcome) {
  std::u16string text;
  for (const AppliedConnection& c : outcome.privateAddress) {
    if (!text.empty()) text += u"\r\n\r\n";
    text += texts::PrivateAddressShown(c.connectionName, c.shows);
  }
  for (const AppliedConnection& c : outcome.notShown) {
    if (!text.empty()) text += u"\r\n\r\n";
    text += texts::NewSettingsNotShown(c.connectionName, c.shows);
  }
  return text;
}

}  // namespace lumatrove
