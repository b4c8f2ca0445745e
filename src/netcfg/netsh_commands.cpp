#include "netcfg/netsh_commands.h"

#include "base/ascii_text.h"

namespace lumatrove {
namespace {

std::u16string Dotted(uint32_t address) {
  std::u16string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    if (!text.empty()) text += u'.';
    text += DecimalText((address >> shift) & 0xFF);
  }
  return text;
}

}  // namespace

std::vector<std::u16string> NetshArguments(uint32_t interfaceIndex, const Ipv4Settings& s,
                                           bool dnsValidateOption) {
  std::vector<std::u16string> lines;
  // One command: "interface ipv4 <verb> name=<index>" and the parts that follow it.
  auto add = [&](std::u16string_view verb, std::initializer_list<std::u16string_view> parts) {
    std::u16string line = u"interface ipv4 ";
    line.append(verb).append(u" name=").append(DecimalText(interfaceIndex));
    for (std::u16string_view part : parts)
      line.append(part);
    lines.push_back(std::move(line));
  };
  const std::u16string_view validate = dnsValidateOption ? u" validate=no" : u"";
  if (s.automatic) {
    add(u"set address", {u" source=dhcp"});
  } else {
    // An automatic metric is the lowest one, as Windows' own dialog gives a first gateway.
    auto metric = [](uint32_t m) { return u" gwmetric=" + DecimalText(m != 0 ? m : 1); };
    const std::u16string gateway =
        s.gateway != 0 ? Dotted(s.gateway) + metric(s.gatewayMetric) : u"none";
    add(u"set address", {u" source=static address=", Dotted(s.address), u" mask=", Dotted(s.mask),
                         u" gateway=", gateway});
    for (const auto& [address, mask] : s.moreAddresses)
      add(u"add address", {u" address=", Dotted(address), u" mask=", Dotted(mask)});
    for (const auto& [gatewayAddress, gatewayMetric] : s.moreGateways)
      add(u"add address", {u" gateway=", Dotted(gatewayAddress), metric(gatewayMetric)});
  }
  if (s.dnsServers.empty()) {
    if (s.automatic) {
      add(u"set dnsservers", {u" source=dhcp"});
    } else {
      add(u"set dnsservers", {u" source=static address=none", validate});
    }
  }
  for (size_t i = 0; i < s.dnsServers.size(); ++i) {
    const std::u16string server = Dotted(s.dnsServers[i]);
    if (i == 0) {
      add(u"set dnsservers", {u" source=static address=", server, u" register=primary", validate});
    } else {
      add(u"add dnsservers",
          {u" address=", server, u" index=", DecimalText(static_cast<int64_t>(i) + 1), validate});
    }
  }
  return lines;
}

}  // namespace lumatrove
