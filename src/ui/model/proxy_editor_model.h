// What the proxy dialog of a profile computes: the fields it shows for a setting, which of
// them take input, and the setting its OK button stores (or the message that says why not).
#pragma once

#include <string>

#include "store/proxy_setting.h"

namespace lumatrove {

struct ProxyFields {
  ProxySetting::Mode mode = ProxySetting::Mode::kLeaveAlone;
  std::u16string host;    // the server's name or address
  std::u16string port;    // its port, as typed
  std::u16string bypass;  // host patterns separated by ';'
  bool local = false;     // "不使用 Proxy 伺服器於近端網址"
  std::u16string url;     // the automatic configuration script
  bool operator==(const ProxyFields&) const = default;
};

// The fields for `proxy`: the server split at its last ':' into host and port.
ProxyFields FieldsOfProxy(const ProxySetting& proxy);

// Which fields take input: the script's address in kScript, the server's fields in kServer.
struct ProxyEnables {
  bool url = false;
  bool server = false;
};
ProxyEnables ProxyEnablesFor(ProxySetting::Mode mode);

// OK: the setting the fields make, blanks around the texts taken off; `fault` names what
// cannot be used (and the setting is then not to be stored).
struct ProxyOk {
  ProxySetting setting;
  std::u16string fault;
  enum class Field { kNone, kHost, kBypass, kUrl } field = Field::kNone;  // where to type again
};
ProxyOk ProxyOfFields(const ProxyFields& fields);

}  // namespace lumatrove
