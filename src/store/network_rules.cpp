#include "store/network_rules.h"

#include "store/address_text.h"
#include "store/proxy_setting.h"
#include "texts.h"

namespace lumatrove {
namespace {

constexpr std::pair<NetworkRule::Kind, std::u16string_view> kKindNames[] = {
    {NetworkRule::Kind::kGatewayMac, u"gw"},
    {NetworkRule::Kind::kSsid, u"ssid"},
    {NetworkRule::Kind::kDnsSuffix, u"suffix"},
};

bool IsHardwareAddress(std::u16string_view mac) {
  if (mac.size() != 17) return false;
  for (size_t i = 0; i < mac.size(); ++i) {
    const char16_t c = mac[i];
    const bool hex =
        (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    if (i % 3 == 2 ? (c != u'-' && c != u':') : !hex) return false;
  }
  return true;
}

// Windows hands an SSID over as at most 32 bytes; we keep it as the UTF-8 text it spells.
bool IsSsid(std::u16string_view ssid) {
  size_t bytes = 0;
  for (char16_t c : ssid) {
    if (c < 0x20 || c == 0x7F) return false;
    bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : (c >= 0xD800 && c <= 0xDFFF) ? 2 : 3;
  }
  return bytes >= 1 && bytes <= 32;
}

bool IsDnsSuffix(std::u16string_view suffix) {
  if (!suffix.empty() && suffix.back() == u'.') suffix.remove_suffix(1);
  return IsHostName(suffix) && !IsDottedQuad(suffix);
}

}  // namespace

NetworkRules ReadNetworkRules(const XmlDocument& d) {
  NetworkRules result;
  result.autoApply = d.GetAttribute(u"AUTOAPPLY") == u"1";
  const std::u16string text = d.GetAttribute(u"NETWORKS");
  std::u16string entry;
  auto take = [&] {
    const size_t colon = entry.find(u':');
    if (colon != std::u16string::npos) {
      for (const auto& [kind, name] : kKindNames) {
        if (entry.compare(0, colon, name) == 0 && colon + 1 < entry.size())
          result.rules.push_back({kind, entry.substr(colon + 1)});
      }
    }
    entry.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\\' && i + 1 < text.size()) {
      entry += text[++i];
    } else if (text[i] == u';') {
      take();
    } else {
      entry += text[i];
    }
  }
  take();
  return result;
}

void WriteNetworkRules(XmlDocument& d, const NetworkRules& rules) {
  if (rules.rules.empty() && !rules.autoApply && d.GetAttribute(u"NETWORKS").empty() &&
      d.GetAttribute(u"AUTOAPPLY").empty()) {
    return;
  }
  std::u16string text;
  for (const NetworkRule& rule : rules.rules) {
    if (!text.empty()) text += u';';
    for (const auto& [kind, name] : kKindNames)
      if (kind == rule.kind) text += name;
    text += u':';
    for (char16_t c : rule.value) {
      if (c == u';' || c == u'\\') text += u'\\';
      text += c;
    }
  }
  d.SetAttribute(u"NETWORKS", text);
  d.SetAttribute(u"AUTOAPPLY", rules.autoApply ? u"1" : u"");
}

std::u16string NetworkRuleFault(const NetworkRule& rule) {
  switch (rule.kind) {
    case NetworkRule::Kind::kGatewayMac:
      return IsHardwareAddress(rule.value) ? u"" : texts::GatewayMacFault(rule.value);
    case NetworkRule::Kind::kSsid:
      return IsSsid(rule.value) ? u"" : texts::SsidFault(rule.value);
    case NetworkRule::Kind::kDnsSuffix:
      return IsDnsSuffix(rule.value) ? u"" : texts::DnsSuffixFault(rule.value);
  }
  return {};
}

std::u16string NetworkRuleText(const NetworkRule& rule) {
  switch (rule.kind) {
    case NetworkRule::Kind::kGatewayMac:
      return texts::GatewayMacRule(rule.value);
    case NetworkRule::Kind::kSsid:
      return texts::SsidRule(rule.value);
    case NetworkRule::Kind::kDnsSuffix:
      return texts::DnsSuffixRule(rule.value);
  }
  return {};
}

std::u16string NetworkRulesSummary(const NetworkRules& rules) {
  if (rules.rules.empty()) return {};
  std::u16string list;
  for (const NetworkRule& rule : rules.rules) {
    if (!list.empty()) list += u"、";
    list += NetworkRuleText(rule);
  }
  return texts::NetworkRulesSummary(list, rules.autoApply);
}

}  // namespace lumatrove
