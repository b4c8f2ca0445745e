#include "store/profile.h"

namespace lumatrove {

std::u16string ConnectionSummary(const ConnectionSetting& c) {
  std::u16string s = u"\u3010" + c.connectionName + u"\u3011";  // 【name】
  switch (c.dhcpEnabled) {
    case kModeManual:
      s += u"\n[IP]" + c.ipAddressText;
      s += u"\n[\u63a9\u7801]" + c.subnetMaskText;  // [掩码]
      s += u"\n[\u7f51\u5173]" + c.gatewayText;     // [网关]
      s += u"\n[DNS1]" + c.primaryDns;
      s += u"\n[DNS2]" + c.secondaryDns + u"\n";
      break;
    case kModeAutomatic:
      s += u"-\u81ea\u52d5\u53d6\u5f97IP\n";
      break;  // -自動取得IP
    case kModeLeaveAlone:
      s += u"-\u4e0d\u914d\u7f6e\n";
      break;  // -不配置
    default:
      break;
  }
  return s;
}

}  // namespace lumatrove
