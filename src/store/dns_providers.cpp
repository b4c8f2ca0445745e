#include "store/dns_providers.h"

namespace lumatrove {
namespace {

bool EnterDns(XmlDocument& d) {
  d.ResetPosition();
  if (!d.FindElement(u"LUMATROVE")) return false;
  d.EnterElement();
  return d.FindElement(u"DNS");
}

}  // namespace

std::optional<std::vector<std::u16string>> LoadDnsProviderNames(XmlDocument& d) {
  if (!EnterDns(d)) return std::nullopt;
  std::vector<std::u16string> names;
  while (d.FindChildElement())
    names.push_back(d.GetChildAttribute(u"NAME"));
  return names;
}

std::optional<DnsProvider> FindDnsProvider(XmlDocument& d, std::u16string_view name) {
  if (!EnterDns(d)) return std::nullopt;
  while (d.FindChildElement()) {
    if (d.GetChildAttribute(u"NAME") != name) continue;
    d.EnterElement();
    DnsProvider provider;
    if (d.FindChildElement()) {
      provider.preferred = d.GetChildText();
      if (d.FindChildElement()) provider.alternate = d.GetChildText();
    }
    return provider;
  }
  return std::nullopt;
}

}  // namespace lumatrove
