// Applying a profile: its connections are read from the document and checked, all of them
// before the first is written, and then each adapter gets a fixed address or DHCP through a
// layer made for this one call.
#include <optional>

#include "netcfg/net_adapter_layer.h"
#include "store/connection_check.h"
#include "store/profile_store.h"

namespace lumatrove {
namespace {

// One top-level element of a profile's content: the connection's identity and the texts it
// holds (the first IP of IPADD, MASKADD and GATEWAY, every IP of DNSADD).
struct StoredConnection {
  std::u16string adapterId;
  std::u16string name;
  std::u16string type;
  std::u16string address, mask, gateway;
  std::vector<std::u16string> dnsServers;
  ConnectionPlan plan;
};

// Reads the current element of `d`. What a connection lacks stays empty.
StoredConnection ReadStored(XmlDocument& d) {
  StoredConnection c;
  c.adapterId = d.GetAttribute(u"GUID");
  c.name = d.GetAttribute(u"NAME");
  c.type = d.GetAttribute(u"TYPE");
  d.EnterElement();
  while (d.FindElement()) {
    const std::u16string tag = d.GetTagName();
    std::u16string* first = tag == u"IPADD"     ? &c.address
                            : tag == u"MASKADD" ? &c.mask
                            : tag == u"GATEWAY" ? &c.gateway
                                                : nullptr;
    if (first != nullptr) {
      if (d.FindChildElement()) *first = d.GetChildText();
    } else if (tag == u"DNSADD") {
      while (d.FindChildElement())
        c.dnsServers.push_back(d.GetChildText());
    }
  }
  d.LeaveElement();
  return c;
}

}  // namespace

bool ProfileStore::ApplyProfile(std::u16string_view id) {
  return ApplyProfileContent(GetProfileContent(id));
}

namespace {

// The connections of `content`, checked; nothing, after the message, when one is refused.
std::optional<std::vector<StoredConnection>> CheckedConnections(std::u16string_view content,
                                                                NetSystem& net) {
  XmlDocument d;
  d.SetDocument(content);
  d.ResetPosition();
  std::vector<StoredConnection> connections;
  while (d.FindElement()) {
    StoredConnection c = ReadStored(d);
    c.plan = PlanConnection(
        {c.type, c.address, c.mask, c.gateway,
         std::vector<std::u16string_view>(c.dnsServers.begin(), c.dnsServers.end())});
    if (!c.plan.Usable()) {
      net.ShowMessage(ConnectionFaultMessage(c.name, c.plan), net.ApplicationName(),
                      kMbIconHand | kMbOk);
      return std::nullopt;
    }
    connections.push_back(std::move(c));
  }
  return connections;
}

}  // namespace

bool ProfileStore::CheckProfileContent(std::u16string_view content) {
  return CheckedConnections(content, system_.net()).has_value();
}

bool ProfileStore::ApplyProfileContent(std::u16string_view content) {
  if (content.empty()) return false;
  // Every connection is checked first: a value that cannot be written stops the whole apply
  // before any adapter has changed, with a message that names the connection and the value.
  const std::optional<std::vector<StoredConnection>> connections =
      CheckedConnections(content, system_.net());
  if (!connections) return false;

  NetAdapterLayer layer(system_.net());
  bool success = false;
  for (const StoredConnection& c : *connections) {
    switch (c.plan.mode) {
      case ConnectionMode::kManual:
        if (layer.ApplyStaticAddress(c.adapterId, 0, c.address, c.mask, c.plan.gateway,
                                     c.plan.dns)) {
          success = true;
        }
        break;
      case ConnectionMode::kAutomatic:
        if (layer.ApplyDhcp(c.adapterId, c.plan.dns)) success = true;
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
