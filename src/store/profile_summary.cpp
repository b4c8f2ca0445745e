#include "store/profile.h"

#include "texts.h"

namespace lumatrove {

using namespace std::string_view_literals;

std::u16string ConnectionSummary(const ConnectionSetting& c) {
  std::u16string s;
  AppendConnectionSummary(s, c);
  return s;
}

void AppendConnectionSummary(std::u16string& s, const ConnectionSetting& c) {
  s += texts::kSummaryNameOpen;
  s += c.connectionName;
  s += texts::kSummaryNameClose;
  switch (ModeOf(c)) {
    case ConnectionMode::kManual:
      s += texts::kSummaryAddress;
      s += c.ipAddressText;
      s += texts::kSummaryMask;
      s += c.subnetMaskText;
      s += texts::kSummaryGateway;
      s += c.gatewayText;
      s += texts::kSummaryDns1;
      s += c.primaryDns;
      s += texts::kSummaryDns2;
      s += c.secondaryDns;
      s += u"\n"sv;
      break;
    case ConnectionMode::kAutomatic:
      s += texts::kSummaryAutomatic;
      break;
    case ConnectionMode::kLeaveAlone:
      s += texts::kSummaryLeaveAlone;
      break;
    case ConnectionMode::kUnknown:
      break;
  }
}

}  // namespace lumatrove
