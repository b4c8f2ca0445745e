// Applying a profile: its connections are read from the document, their addresses tested,
// and each adapter gets a fixed address or DHCP through a layer made for this one call.
#include "netcfg/net_adapter_layer.h"
#include "store/address_text.h"
#include "store/profile_store.h"
#include "texts.h"

namespace lumatrove {
bool ProfileStore::ApplyProfile(std::u16string_view id) {
  return ApplyProfileContent(GetProfileContent(id));
}

bool ProfileStore::ApplyProfileContent(std::u16string_view content) {
  if (content.empty()) return false;
  NetAdapterLayer layer(system_.net());

  XmlDocument connections;
  connections.SetDocument(content);
  connections.ResetPosition();
  bool success = false;
  std::u16string connectionName;
  XmlDocument& d = connections;
  while (d.FindElement()) {
    const std::u16string adapterId = d.GetAttribute(u"GUID");
    connectionName = d.GetAttribute(u"NAME");
    const int32_t mode = ModeCode(d.GetAttribute(u"TYPE"));
    std::u16string address, mask, gateway, dns;

    // A value the adapter cannot take stops the whole apply with a message.
    auto stop = [&](std::u16string text) {
      system_.net().ShowMessage(text, system_.net().ApplicationName(), kMbIconHand | kMbOk);
      return false;
    };

    // A fixed address and its mask must be dotted quads the adapter can take; a gateway or
    // DNS server that is not one is left out. Empty DNS entries keep their place in the list.
    d.EnterElement();
    while (d.FindElement()) {
      const std::u16string tag = d.GetTagName();
      if (tag == u"IPADD") {
        address.clear();
        if (d.FindChildElement()) {
          const std::u16string value = d.GetChildText();
          if (IsFixedAddress(value)) {
            address = value;
          } else if (mode == kModeManual) {
            return stop(texts::BadAddress(connectionName, value));
          }
        }
      } else if (tag == u"MASKADD") {
        mask.clear();
        if (d.FindChildElement()) {
          const std::u16string value = d.GetChildText();
          if (IsFixedMask(value)) {
            mask = value;
          } else if (mode == kModeManual) {
            return stop(texts::BadMask(connectionName, value));
          }
        }
      } else if (tag == u"GATEWAY") {
        if (d.FindChildElement()) {
          const std::u16string value = d.GetChildText();
          gateway = IsFixedAddress(value) ? value : std::u16string();
        }
      } else if (tag == u"DNSADD") {
        while (d.FindChildElement()) {
          const std::u16string value = d.GetChildText();
          if (!value.empty() && !IsFixedAddress(value)) continue;
          if (!dns.empty()) dns += u",";
          dns += value;
        }
      }
    }
    d.LeaveElement();

    if (mode == kModeManual) {
      // A connection without an address or mask would leave the adapter with none.
      if (address.empty()) return stop(texts::BadAddress(connectionName, address));
      if (mask.empty()) return stop(texts::BadMask(connectionName, mask));
      if (layer.ApplyStaticAddress(adapterId, 0, address, mask, gateway, dns)) success = true;
    } else if (mode == kModeAutomatic) {
      if (layer.ApplyDhcp(adapterId, dns)) success = true;
    } else {
      success = true;
    }
  }
  return success;
}

}  // namespace lumatrove
