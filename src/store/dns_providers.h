// The DNS provider list of the configuration document (LUMATROVE/DNS): named providers with
// a preferred and an alternate server. The profile editor fills its combo box from it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "xml/xml_document.h"

namespace lumatrove {

// The NAME of every provider in document order (a provider without one gives ""); nothing
// when LUMATROVE or DNS is missing.
std::optional<std::vector<std::u16string>> LoadDnsProviderNames(XmlDocument& document);

struct DnsProvider {
  std::optional<std::u16string> preferred;  // text of the first child element, if any
  std::optional<std::u16string> alternate;  // text of the second child element, if any
};

// The first provider whose NAME equals `name` exactly; nothing when there is none.
std::optional<DnsProvider> FindDnsProvider(XmlDocument& document, std::u16string_view name);

}  // namespace lumatrove
