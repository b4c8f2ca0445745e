// The networks a profile belongs to: rules on the default gateway's hardware address, the
// Wi-Fi network's name or the DNS suffix the network hands out, and whether the program
// switches to the profile by itself when one of them is seen. Stored as attributes of the
// profile's NETSETING, which older versions pass over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_document.h"

namespace lumatrove {

struct NetworkRule {
  enum class Kind { kGatewayMac, kSsid, kDnsSuffix };
  Kind kind = Kind::kGatewayMac;
  std::u16string value;  // "00-11-22-33-44-55", the SSID, "corp.example"
  bool operator==(const NetworkRule&) const = default;
};

// NETWORKS="gw:00-11-22-33-44-55;ssid:Office;suffix:corp.example" and AUTOAPPLY="1"
// ("偵測到此網路時自動套用"). A ';' or '\' in an SSID is written as "\;" and "\\".
struct NetworkRules {
  std::vector<NetworkRule> rules;
  bool autoApply = false;
  bool operator==(const NetworkRules&) const = default;
};
// The attributes of the current element of `d` (a NETSETING); entries of unknown kinds or
// without a value are passed over.
NetworkRules ReadNetworkRules(const XmlDocument& d);
// Writes them on the current element; a profile that never had rules stays as older versions
// wrote it.
void WriteNetworkRules(XmlDocument& d, const NetworkRules& rules);

// "" when `rule` can be kept; otherwise the message that names the value at fault: a hardware
// address is six bytes in hex ("-" or ":" between them), an SSID 1 to 32 bytes in UTF-8
// without control characters, a suffix a DNS name.
std::u16string NetworkRuleFault(const NetworkRule& rule);
// "閘道 00-11-22-33-44-55", "Wi-Fi「Office」", "DNS 尾碼 corp.example".
std::u16string NetworkRuleText(const NetworkRule& rule);
// The summary line of a profile with rules, "" for one without.
std::u16string NetworkRulesSummary(const NetworkRules& rules);

}  // namespace lumatrove
