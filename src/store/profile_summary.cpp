#include "store/profile.h"

#include "base/ascii_text.h"
#include "texts.h"

namespace lumatrove {

using namespace std::string_view_literals;

std::u16string ConnectionSummary(const ConnectionSetting& c) {
  std::u16string s;
  AppendConnectionSummary(s, c);
  return s;
}

namespace {

// One line per address/mask pair, gateway (with a metric that is not automatic) and DNS
// server after the first ones, in the order they are stored.
void AppendFurtherEntries(std::u16string& s, const ConnectionSetting& c) {
  for (size_t i = 0; i < c.moreAddresses.size(); ++i) {
    s += texts::kSummaryAddress.substr(1);
    s += c.moreAddresses[i];
    if (i < c.moreMasks.size()) {
      s += u" / "sv;
      s += c.moreMasks[i];
    }
    s += u"\n"sv;
  }
  for (size_t i = 0; i < c.moreGateways.size(); ++i) {
    s += texts::kSummaryGateway.substr(1);
    s += c.moreGateways[i];
    const uint32_t metric = i + 1 < c.gatewayMetrics.size() ? c.gatewayMetrics[i + 1] : 0;
    if (metric != 0) s += texts::Fill(texts::kSummaryMetric, {DecimalText(metric)});
    s += u"\n"sv;
  }
  for (size_t i = 0; i < c.moreDnsServers.size(); ++i) {
    s += texts::Fill(texts::kSummaryMoreDns, {DecimalText(static_cast<int64_t>(i) + 3)});
    s += c.moreDnsServers[i];
    s += u"\n"sv;
  }
}

}  // namespace

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
      AppendFurtherEntries(s, c);
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
