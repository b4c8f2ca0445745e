#include "ui/model/current_config_model.h"

#include <algorithm>

#include "texts.h"

namespace lumatrove {

std::u16string AddressLines(const AdapterInfo& a) {
  std::u16string text;
  auto lines = [&text](std::u16string_view label, const std::vector<std::u16string>& values) {
    for (const std::u16string& value : values) {
      text += label;
      text += value;
      text += u"\r\n";
    }
  };
  lines(texts::kCurrentAddress, a.ipAddresses);
  lines(texts::kCurrentMask, a.subnetMasks);
  lines(texts::kCurrentGateway, a.gateways);
  lines(texts::kCurrentDns, a.dnsServers);
  return text;
}

std::u16string CurrentSettingsText(const std::vector<std::unique_ptr<AdapterInfo>>& adapters) {
  std::u16string text;
  for (const std::unique_ptr<AdapterInfo>& a : adapters) {
    text += a->connectionName;
    text += u"-->";
    text += a->description;
    text += a->dhcpEnabled == 1 ? std::u16string(texts::kCurrentAutomatic) : AddressLines(*a);
    text += a->statusEnabled == 1 ? texts::kCurrentEnabled : texts::kCurrentDisabled;
    text += u"\r\n";
    text.append(40, u'=');
    text += u"\r\n";
  }
  return text;
}

bool IsUsableProfileName(std::u16string_view name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) {
    return c != u' ' && c != u'\t' && c != u'\r' && c != u'\n' && c != u'\u3000';
  });
}

}  // namespace lumatrove
