// The browser proxy that goes with a profile, for the user who runs the program (WinINet's
// per-connection options): stored as attributes of the profile's NETSETING, which older
// versions pass over. A profile without them leaves the proxy alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_document.h"

namespace lumatrove {

struct ProxySetting {
  enum class Mode {
    kLeaveAlone,  // no PROXY attribute
    kOff,         // "off": straight to the network
    kServer,      // "server": through `server`, except `bypass` (and local names with `local`)
    kScript,      // "script": the automatic configuration script at `scriptUrl`
    kDetect,      // "detect": automatic detection (WPAD)
  };
  Mode mode = Mode::kLeaveAlone;
  std::u16string server;     // "host:port"
  std::u16string bypass;     // host patterns separated by ';'
  bool local = false;        // bypass the proxy for local (dotless) names: "<local>"
  std::u16string scriptUrl;  // http(s) only

  bool operator==(const ProxySetting&) const = default;
};

// The attributes of the current element of `d` (a NETSETING): PROXY, PROXYSERVER,
// PROXYBYPASS, PROXYLOCAL ("1") and PROXYURL. A PROXY text of no meaning reads as "off"
// would be too bold: it reads as leave alone.
ProxySetting ReadProxySetting(const XmlDocument& d);
// Writes them on the current element of `d`; a profile that leaves the proxy alone and never
// had the attributes stays as older versions wrote it.
void WriteProxySetting(XmlDocument& d, const ProxySetting& proxy);

// "" when the setting can be applied; otherwise the message that names the value at fault: a
// server that is not a host name or dotted address with a port from 1 to 65535, a bypass
// entry that is no host pattern, a script address that is not http(s).
std::u16string ProxyFault(const ProxySetting& proxy);

// The summary's line for a profile's proxy; "" when it leaves the proxy alone.
std::u16string ProxySummary(const ProxySetting& proxy);

// The bypass list as WinINet takes it: the entries, and "<local>" when `local`.
std::u16string ProxyBypassList(const ProxySetting& proxy);
// Whether two settings send the browser the same way (the bypass lists compared as WinINet
// takes them).
bool SameProxy(const ProxySetting& a, const ProxySetting& b);

// The current user's proxy as WinINet keeps it for the LAN: the real one sets the
// per-connection options and tells the running programs; the in-memory one keeps a setting.
class ProxyOptions {
 public:
  virtual ~ProxyOptions() = default;
  // What is set now (never kLeaveAlone); nothing when it cannot be read.
  virtual std::optional<ProxySetting> Read() = 0;
  // Sets `proxy` (not kLeaveAlone); false when it was refused.
  virtual bool Write(const ProxySetting& proxy) = 0;
};

// A DNS name of labels of letters, digits and hyphens (not at either end of a label), or a
// dotted quad.
bool IsHostName(std::u16string_view host);

}  // namespace lumatrove
