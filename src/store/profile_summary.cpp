#include "store/profile.h"

namespace lumatrove {

using namespace std::string_view_literals;

std::u16string ConnectionSummary(const ConnectionSetting& c) {
  std::u16string s;
  AppendConnectionSummary(s, c);
  return s;
}

void AppendConnectionSummary(std::u16string& s, const ConnectionSetting& c) {
  s += u"\u3010"sv;  // 【name】
  s += c.connectionName;
  s += u"\u3011"sv;
  switch (c.dhcpEnabled) {
    case kModeManual:
      s += u"\n[IP]"sv;
      s += c.ipAddressText;
      s += u"\n[\u63a9\u7801]"sv;  // [掩码]
      s += c.subnetMaskText;
      s += u"\n[\u7f51\u5173]"sv;  // [网关]
      s += c.gatewayText;
      s += u"\n[DNS1]"sv;
      s += c.primaryDns;
      s += u"\n[DNS2]"sv;
      s += c.secondaryDns;
      s += u"\n"sv;
      break;
    case kModeAutomatic:
      s += u"-\u81ea\u52d5\u53d6\u5f97IP\n"sv;
      break;  // -自動取得IP
    case kModeLeaveAlone:
      s += u"-\u4e0d\u914d\u7f6e\n"sv;
      break;  // -不配置
    default:
      break;
  }
}

}  // namespace lumatrove
