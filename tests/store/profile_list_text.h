// Every field of every record of a store's profile list, in order, as one text: two lists are
// the same exactly when their texts are. Used by the store tests and the store fuzz target.
#pragma once

#include <string>

#include "store/profile_store.h"

namespace lumatrove::test {

inline std::u16string ProfileListText(const ProfileStore& store) {
  std::u16string out;
  auto add = [&](std::u16string_view text) {
    out += text;
    out += u'|';
  };
  for (const auto& p : store.profiles) {
    for (const std::u16string* text : {&p->id, &p->name, &p->dateTime, &p->summary})
      add(*text);
    for (const auto& c : p->connections) {
      const std::string flags =
          std::to_string(c->statusEnabled) + "/" + std::to_string(c->dhcpEnabled);
      out += u"\n  ";
      out.append(flags.begin(), flags.end());
      out += u'|';
      for (const std::u16string* text :
           {&c->instanceId, &c->description, &c->connectionName, &c->macAddress, &c->networkAddress,
            &c->ipAddressText, &c->busType, &c->subnetMaskText, &c->gatewayText, &c->primaryDns,
            &c->secondaryDns}) {
        add(*text);
      }
      for (const std::vector<std::u16string>* list :
           {&c->ipAddresses, &c->subnetMasks, &c->gateways, &c->dnsServers}) {
        out += u'[';
        for (const std::u16string& text : *list)
          add(text);
        out += u']';
      }
    }
    out += u'\n';
  }
  return out;
}

}  // namespace lumatrove::test
