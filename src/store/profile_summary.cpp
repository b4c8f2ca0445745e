#include "store/profile.h"

namespace lumatrove {

using namespace std::string_view_literals;

std::u16string ConnectionSummary(const ConnectionSetting& c) {
  std::u16string s;
  AppendConnectionSummary(s, c);
  return s;
}

void AppendConnectionSummary(std::u16string& s, const ConnectionSetting& c) {
  s += u"【"sv;  // 【name】
  s += c.connectionName;
  s += u"】"sv;
  switch (c.dhcpEnabled) {
    case kModeManual:
      s += u"\n[IP]"sv;
      s += c.ipAddressText;
      s += u"\n[掩码]"sv;  // [掩码]
      s += c.subnetMaskText;
      s += u"\n[网关]"sv;  // [网关]
      s += c.gatewayText;
      s += u"\n[DNS1]"sv;
      s += c.primaryDns;
      s += u"\n[DNS2]"sv;
      s += c.secondaryDns;
      s += u"\n"sv;
      break;
    case kModeAutomatic:
      s += u"-自動取得IP\n"sv;
      break;  // -自動取得IP
    case kModeLeaveAlone:
      s += u"-不配置\n"sv;
      break;  // -不配置
    default:
      break;
  }
}

}  // namespace lumatrove
