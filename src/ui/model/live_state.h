// What Windows uses now, adapter by adapter, and what follows from it: which profiles are
// live (every connection they configure matches), and the tray icon's tooltip.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "netcfg/net_adapter_layer.h"
#include "store/profile.h"

namespace lumatrove {

// What Windows uses now on the discovered adapters, as last read, and what follows from it
// for the profiles and the tray icon.
class LiveState {
 public:
  // Reads the IP Helper again for the adapters `layer` discovered.
  void Refresh(NetAdapterLayer& layer) { adapters_ = layer.ReadLiveAdapters(); }
  void Set(std::vector<LiveAdapter> adapters) { adapters_ = std::move(adapters); }
  // The proxy WinINet has now; nothing when it cannot be read.
  void SetProxy(std::optional<ProxySetting> proxy) { proxy_ = std::move(proxy); }
  const std::vector<LiveAdapter>& Adapters() const { return adapters_; }
  // For each profile, whether Windows uses it now.
  std::vector<bool> LiveRows(const std::vector<std::unique_ptr<Profile>>& profiles) const;
  std::u16string ToolTip() const;

 private:
  std::vector<LiveAdapter> adapters_;
  std::optional<ProxySetting> proxy_;
};

// A connection of a profile as Windows shows it now: automatic on DHCP, fixed with its address
// and mask (and its gateway and DNS servers where it names them); a connection left alone
// always matches. False when its adapter is not live.
bool ConnectionIsLive(const ConnectionSetting& connection, const std::vector<LiveAdapter>& live);
// A profile is live when it configures at least one connection and every one it configures
// is live.
bool ProfileIsLive(const Profile& profile, const std::vector<LiveAdapter>& live);
// For each profile, whether it is live (several can be). A profile that sets the proxy is
// live only while `proxy` (what WinINet has now) is the same; unknown counts as not.
std::vector<bool> LiveProfiles(const std::vector<std::unique_ptr<Profile>>& profiles,
                               const std::vector<LiveAdapter>& live,
                               const std::optional<ProxySetting>& proxy = std::nullopt);

// The tray icon's tooltip: "Torvane（Lumatrove）", then one line per adapter with its
// connection name and live address ("DHCP" before an address from DHCP), within the
// notification area's 127 characters; lines that do not fit give way to "…".
inline constexpr size_t kTrayTipLimit = 127;
std::u16string TrayToolTip(const std::vector<LiveAdapter>& live);

// After an apply: the connections of the profile that Windows does not show as configured
// yet, and those on an automatic private address (169.254.x.x), which Windows takes when the
// address it was given is in use elsewhere or no DHCP server answers.
struct AppliedConnection {
  std::u16string instanceId;  // the adapter's GUID
  std::u16string connectionName;
  // What Windows shows on the adapter, in words: for a connection not shown yet, each setting
  // that differs from the profile, with what it should be.
  std::u16string shows;
};
struct ApplyWaitOutcome {
  std::vector<AppliedConnection> notShown;
  std::vector<AppliedConnection> privateAddress;
  bool Settled() const { return notShown.empty() && privateAddress.empty(); }
};
ApplyWaitOutcome CheckApplied(const Profile& profile, const std::vector<LiveAdapter>& live);

// Reads the live state every `stepMs` (sleeping in between) until Windows shows the profile,
// an adapter falls back to a private address, or `timeoutMs` have passed; returns the last
// check. When Windows still does not show every connection after `lateMs`, `late` is called
// once with that check (to apply them another way) and the wait goes on.
inline constexpr unsigned kApplyWaitMs = 10000;
inline constexpr unsigned kApplyPollMs = 500;
inline constexpr unsigned kApplyLateMs = 3000;
ApplyWaitOutcome WaitUntilApplied(const Profile& profile,
                                  const std::function<std::vector<LiveAdapter>()>& read,
                                  const std::function<void(unsigned)>& sleep,
                                  unsigned timeoutMs = kApplyWaitMs, unsigned stepMs = kApplyPollMs,
                                  const std::function<void(const ApplyWaitOutcome&)>& late = {},
                                  unsigned lateMs = kApplyLateMs);

// The message after the apply's own when something is not as it should be; "" when all is.
std::u16string ApplyWaitMessage(const ApplyWaitOutcome& outcome);

// An address of the link-local range 169.254.0.0/16.
bool IsPrivateAutomaticAddress(std::u16string_view address);

}  // namespace lumatrove
