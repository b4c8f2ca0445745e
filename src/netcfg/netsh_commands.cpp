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
  const std::u16string name = u" name=" + DecimalText(interfaceIndex);
  const std::u16string validate = dnsValidateOption ? u" validate=no" : u"";
  std::vector<std::u16string> lines;
  if (s.automatic) {
    lines.push_back(u"interface ipv4 set address" + name + u" source=dhcp");
  } else {
    lines.push_back(u"interface ipv4 set address" + name + u" source=static address=" +
                    Dotted(s.address) + u" mask=" + Dotted(s.mask) + u" gateway=" +
                    (s.gateway != 0 ? Dotted(s.gateway) + u" gwmetric=1" : u"none"));
  }
  if (s.dnsServers.empty()) {
    lines.push_back(u"interface ipv4 set dnsservers" + name +
                    (s.automatic ? u" source=dhcp" : u" source=static address=none" + validate));
    return lines;
  }
  for (size_t i = 0; i < s.dnsServers.size(); ++i) {
    if (i == 0) {
      lines.push_back(u"interface ipv4 set dnsservers" + name + u" source=static address=" +
                      Dotted(s.dnsServers[i]) + u" register=primary" + validate);
    } else {
      lines.push_back(u"interface ipv4 add dnsservers" + name + u" address=" +
                      Dotted(s.dnsServers[i]) + u" index=" +
                      DecimalText(static_cast<int64_t>(i) + 1) + validate);
    }
  }
  return lines;
}

}  // namespace lumatrove
