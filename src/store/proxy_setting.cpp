#include "store/proxy_setting.h"

#include "base/ascii_text.h"
#include "store/address_text.h"
#include "texts.h"

namespace lumatrove {
namespace {

constexpr std::u16string_view kModeNames[] = {u"", u"off", u"server", u"script", u"detect"};

bool IsHostLabelCharacter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'-';
}

}  // namespace

bool IsHostName(std::u16string_view host) {
  if (host.empty() || host.size() > 253) return false;
  bool digitsAndDots = true;
  for (char16_t c : host)
    digitsAndDots = digitsAndDots && ((c >= u'0' && c <= u'9') || c == u'.');
  if (digitsAndDots) return IsDottedQuad(host);
  size_t start = 0;
  while (start <= host.size()) {
    size_t end = host.find(u'.', start);
    if (end == std::u16string_view::npos) end = host.size();
    const std::u16string_view label = host.substr(start, end - start);
    if (label.empty() || label.size() > 63 || label.front() == u'-' || label.back() == u'-')
      return false;
    for (char16_t c : label)
      if (!IsHostLabelCharacter(c)) return false;
    start = end + 1;
  }
  return true;
}

namespace {

bool IsPort(std::u16string_view text) {
  if (text.empty() || text.size() > 5 || text[0] == u'0') return false;
  uint32_t port = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
    port = port * 10 + static_cast<uint32_t>(c - u'0');
  }
  return port >= 1 && port <= 65535;
}

// "host:port".
bool IsServer(std::u16string_view server) {
  const size_t colon = server.rfind(u':');
  return colon != std::u16string_view::npos && IsHostName(server.substr(0, colon)) &&
         IsPort(server.substr(colon + 1));
}

// A host pattern as the bypass list takes it: a name, an address or a part of either with
// '*' standing for any text ("*.corp.example", "10.*", "intranet").
bool IsBypassPattern(std::u16string_view pattern) {
  if (pattern.empty() || pattern.size() > 253) return false;
  for (char16_t c : pattern)
    if (!IsHostLabelCharacter(c) && c != u'.' && c != u'*') return false;
  return true;
}

// http:// or https://, a host with an optional port, and an optional path of printable
// characters without blanks.
bool IsScriptUrl(std::u16string_view url) {
  size_t scheme = 0;
  if (url.substr(0, 7) == u"http://") scheme = 7;
  if (url.substr(0, 8) == u"https://") scheme = 8;
  if (scheme == 0) return false;
  std::u16string_view rest = url.substr(scheme);
  const size_t slash = rest.find(u'/');
  const std::u16string_view authority = rest.substr(0, slash);
  const size_t colon = authority.rfind(u':');
  const bool hostOk = colon == std::u16string_view::npos ? IsHostName(authority)
                                                         : IsHostName(authority.substr(0, colon)) &&
                                                               IsPort(authority.substr(colon + 1));
  if (!hostOk) return false;
  if (slash == std::u16string_view::npos) return true;
  for (char16_t c : rest.substr(slash))
    if (c <= u' ' || c == 0x7F) return false;
  return true;
}

template <typename Visit>
void ForEachEntry(std::u16string_view list, Visit visit) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    std::u16string_view entry = list.substr(start, end - start);
    while (!entry.empty() && entry.front() == u' ')
      entry.remove_prefix(1);
    while (!entry.empty() && entry.back() == u' ')
      entry.remove_suffix(1);
    if (!entry.empty()) visit(entry);
    start = end + 1;
  }
}

}  // namespace

ProxySetting ReadProxySetting(const XmlDocument& d) {
  ProxySetting proxy;
  const std::u16string mode = d.GetAttribute(u"PROXY");
  for (size_t i = 1; i < std::size(kModeNames); ++i)
    if (mode == kModeNames[i]) proxy.mode = static_cast<ProxySetting::Mode>(i);
  if (proxy.mode == ProxySetting::Mode::kLeaveAlone) return proxy;
  proxy.server = d.GetAttribute(u"PROXYSERVER");
  proxy.bypass = d.GetAttribute(u"PROXYBYPASS");
  proxy.local = d.GetAttribute(u"PROXYLOCAL") == u"1";
  proxy.scriptUrl = d.GetAttribute(u"PROXYURL");
  return proxy;
}

void WriteProxySetting(XmlDocument& d, const ProxySetting& proxy) {
  if (proxy.mode == ProxySetting::Mode::kLeaveAlone && d.GetAttribute(u"PROXY").empty()) return;
  const bool server = proxy.mode == ProxySetting::Mode::kServer;
  d.SetAttribute(u"PROXY", kModeNames[static_cast<size_t>(proxy.mode)]);
  d.SetAttribute(u"PROXYSERVER", server ? proxy.server : u"");
  d.SetAttribute(u"PROXYBYPASS", server ? proxy.bypass : u"");
  d.SetAttribute(u"PROXYLOCAL", server && proxy.local ? u"1" : u"");
  d.SetAttribute(u"PROXYURL", proxy.mode == ProxySetting::Mode::kScript ? proxy.scriptUrl : u"");
}

std::u16string ProxyFault(const ProxySetting& proxy) {
  switch (proxy.mode) {
    case ProxySetting::Mode::kServer: {
      if (!IsServer(proxy.server)) return texts::ProxyServerFault(proxy.server);
      std::u16string fault;
      ForEachEntry(proxy.bypass, [&](std::u16string_view entry) {
        if (fault.empty() && !IsBypassPattern(entry)) fault = texts::ProxyBypassFault(entry);
      });
      return fault;
    }
    case ProxySetting::Mode::kScript:
      return IsScriptUrl(proxy.scriptUrl) ? u"" : texts::ProxyScriptFault(proxy.scriptUrl);
    case ProxySetting::Mode::kLeaveAlone:
    case ProxySetting::Mode::kOff:
    case ProxySetting::Mode::kDetect:
      break;
  }
  return {};
}

std::u16string ProxyBypassList(const ProxySetting& proxy) {
  std::u16string list;
  ForEachEntry(proxy.bypass, [&](std::u16string_view entry) {
    if (!list.empty()) list += u';';
    list += entry;
  });
  if (proxy.local) list += list.empty() ? u"<local>" : u";<local>";
  return list;
}

bool SameProxy(const ProxySetting& a, const ProxySetting& b) {
  if (a.mode != b.mode) return false;
  switch (a.mode) {
    case ProxySetting::Mode::kServer:
      return EqualsIgnoringAsciiCase(a.server, b.server) &&
             EqualsIgnoringAsciiCase(ProxyBypassList(a), ProxyBypassList(b));
    case ProxySetting::Mode::kScript:
      return a.scriptUrl == b.scriptUrl;
    default:
      return true;
  }
}

std::u16string ProxySummary(const ProxySetting& proxy) {
  switch (proxy.mode) {
    case ProxySetting::Mode::kLeaveAlone:
      return {};
    case ProxySetting::Mode::kOff:
      return std::u16string(texts::kProxyOff);
    case ProxySetting::Mode::kServer: {
      const std::u16string bypass = ProxyBypassList(proxy);
      return texts::ProxyServerSummary(proxy.server, bypass);
    }
    case ProxySetting::Mode::kScript:
      return texts::ProxyScriptSummary(proxy.scriptUrl);
    case ProxySetting::Mode::kDetect:
      break;
  }
  return std::u16string(texts::kProxyDetect);
}

}  // namespace lumatrove
