// What Windows uses now, adapter by adapter, and what follows from it: which profiles are
// live (every connection they configure matches), and the tray icon's tooltip.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "store/profile.h"

namespace lumatrove {

struct LiveAdapter {
  std::u16string instanceId;  // the adapter's GUID
  std::u16string connectionName;
  bool dhcp = false;
  std::vector<std::u16string> addresses;  // with the mask of the same index
  std::vector<std::u16string> masks;
  std::vector<std::u16string> gateways;
  std::vector<std::u16string> dnsServers;
};

// A connection of a profile as Windows shows it now: automatic on DHCP, fixed with its address
// and mask (and its gateway and DNS servers where it names them); a connection left alone
// always matches. False when its adapter is not live.
bool ConnectionIsLive(const ConnectionSetting& connection, const std::vector<LiveAdapter>& live);
// A profile is live when it configures at least one connection and every one it configures
// is live.
bool ProfileIsLive(const Profile& profile, const std::vector<LiveAdapter>& live);
// For each profile, whether it is live (several can be).
std::vector<bool> LiveProfiles(const std::vector<std::unique_ptr<Profile>>& profiles,
                               const std::vector<LiveAdapter>& live);

// The tray icon's tooltip: "Torvane（Lumatrove）", then one line per adapter with its
// connection name and live address ("DHCP" before an address from DHCP), within the
// notification area's 127 characters; lines that do not fit give way to "…".
inline constexpr size_t kTrayTipLimit = 127;
std::u16string TrayToolTip(const std::vector<LiveAdapter>& live);

}  // namespace lumatrove
