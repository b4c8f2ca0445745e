// Switching to a profile when its network appears: what the adapters see now, whether a
// profile's rules match it, and the guard that keeps automatic applies from chasing each
// other.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"
#include "netcfg/net_system.h"
#include "store/network_rules.h"
#include "store/profile.h"

namespace lumatrove {

// What the adapters see now: the hardware addresses of their default gateways, the names of
// the Wi-Fi networks they are connected to, the DNS suffixes their networks hand out.
struct NetworkSighting {
  std::vector<std::u16string> gatewayMacs;
  std::vector<std::u16string> ssids;
  std::vector<std::u16string> dnsSuffixes;
  bool operator==(const NetworkSighting&) const = default;
};

// What the adapters of `live` see: the hardware address of each default gateway that answers
// ARP, the DNS suffix of each adapter (the one DHCP handed out, else the one typed in) and the
// Wi-Fi networks connected. Asking ARP about a gateway that does not answer takes Windows
// seconds: the window calls it off its own thread.
NetworkSighting ReadNetworkSighting(NetSystem& net, const std::vector<LiveAdapter>& live);

// Whether one of `rules` matches what is seen: hardware addresses and suffixes without regard
// to case (and "-" or ":" between the bytes), SSIDs exactly as Windows names them.
bool RulesMatch(const std::vector<NetworkRule>& rules, const NetworkSighting& seen);
// The rules "使用目前的網路" fills in: one per gateway, Wi-Fi network and suffix seen.
std::vector<NetworkRule> RulesOf(const NetworkSighting& seen);

// What an address change leads to.
struct AutoSwitch {
  enum class Action { kNothing, kApply, kSeveral } action = Action::kNothing;
  size_t profile = 0;              // kApply: the index of the profile to apply
  std::vector<size_t> candidates;  // kSeveral: the profiles that match, for the balloon
};

// Decides, for what the adapters see after a change the address watch reported at `nowMs`:
// the profiles whose networks have autoApply and rules that match `seen`. Only a network that
// differs from the one seen last counts (a renewed lease or the profile's own apply is no new
// network, nor is one the user chose another profile on); of its profiles, one that Windows
// does not use already (`live`) is applied, unless switching is paused or the last automatic
// apply was less than kAutoSwitchQuietMs ago; several are named and none applied.
inline constexpr uint64_t kAutoSwitchQuietMs = 30000;
class AutoSwitchGuard {
 public:
  AutoSwitch Decide(const std::vector<std::unique_ptr<Profile>>& profiles,
                    const std::vector<bool>& live, const NetworkSighting& seen, uint64_t nowMs);
  bool paused = false;

 private:
  std::optional<NetworkSighting> lastSeen_;
  std::optional<uint64_t> lastApplyMs_;
};

}  // namespace lumatrove
