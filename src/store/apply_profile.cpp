// Applying a profile: its connections are read from the document and checked, all of them
// before the first is written, and then each adapter gets its fixed addresses or DHCP through
// a layer made for this one call.
#include <optional>

#include "netcfg/net_adapter_layer.h"
#include "store/connection_check.h"
#include "store/profile_store.h"

namespace lumatrove {
namespace {

// One top-level element of a profile's content: the connection's identity and its values,
// read as the profile records are.
struct StoredConnection {
  ConnectionSetting record;
  ConnectionPlan plan;
};

}  // namespace

bool ProfileStore::ApplyProfile(std::u16string_view id) {
  return ApplyProfileContent(GetProfileContent(id));
}

namespace {

// The connections of `content`, checked; nothing, and the message in `fault`, when one is
// refused.
std::optional<std::vector<StoredConnection>> CheckedConnections(std::u16string_view content,
                                                                std::u16string& fault) {
  XmlDocument d;
  d.SetDocument(content);
  d.ResetPosition();
  std::vector<StoredConnection> connections;
  while (d.FindElement()) {
    StoredConnection c;
    std::u16string type = d.GetAttribute(u"TYPE");
    ReadConnection(d, c.record);
    // Every DNS text in its place (the record keeps the first two that are not empty).
    ConnectionValues values = ValuesOf(c.record);
    values.type = type;
    values.dnsServers.assign(c.record.dnsServers.begin(), c.record.dnsServers.end());
    c.plan = PlanConnection(values);
    if (!c.plan.Usable()) {
      fault = ConnectionFaultMessage(c.record.connectionName, c.plan);
      return std::nullopt;
    }
    connections.push_back(std::move(c));
  }
  return connections;
}

}  // namespace

std::u16string ProfileStore::ProfileContentFault(std::u16string_view content) {
  std::u16string fault;
  CheckedConnections(content, fault);
  return fault;
}

bool ProfileStore::CheckProfileContent(std::u16string_view content) {
  const std::u16string fault = ProfileContentFault(content);
  if (fault.empty()) return true;
  NetSystem& net = system_.net();
  net.ShowMessage(fault, net.ApplicationName(), kMbIconHand | kMbOk);
  return false;
}

bool ProfileStore::ApplyProfileContent(std::u16string_view content) {
  if (content.empty()) return false;
  // Every connection is checked first: a value that cannot be written stops the whole apply
  // before any adapter has changed, with a message that names the connection and the value.
  std::u16string fault;
  const std::optional<std::vector<StoredConnection>> connections =
      CheckedConnections(content, fault);
  if (!connections) {
    NetSystem& net = system_.net();
    net.ShowMessage(fault, net.ApplicationName(), kMbIconHand | kMbOk);
    return false;
  }

  NetAdapterLayer layer(system_.net());
  bool success = false;
  for (const StoredConnection& c : *connections) {
    switch (c.plan.mode) {
      case ConnectionMode::kManual:
        if (layer.ApplyStaticAddress(c.record.instanceId, 0, c.record.ipAddressText,
                                     c.record.subnetMaskText, c.plan.gateway, c.plan.dns,
                                     c.plan.more)) {
          success = true;
        }
        break;
      case ConnectionMode::kAutomatic:
        if (layer.ApplyDhcp(c.record.instanceId, c.plan.dns)) success = true;
        break;
      case ConnectionMode::kLeaveAlone:
      case ConnectionMode::kUnknown:
        success = true;  // left alone
        break;
    }
  }
  return success;
}

}  // namespace lumatrove
