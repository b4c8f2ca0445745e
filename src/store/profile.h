// One profile of the configuration file (a NETSETING element) as the store lists it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "netcfg/adapter_info.h"
#include "store/network_rules.h"
#include "store/proxy_setting.h"

namespace lumatrove {

struct Profile {
  std::u16string id;        // ID
  std::u16string name;      // NAME
  std::u16string dateTime;  // DATATIME, held as text
  std::u16string hotkey;    // HOTKEY: its keyboard shortcut ("Ctrl+Alt+1"), "" for none
  std::vector<std::unique_ptr<ConnectionSetting>> connections;
  ProxySetting proxy;      // PROXY and its attributes; leave alone without them
  NetworkRules networks;   // NETWORKS and AUTOAPPLY: where it is switched to by itself
  std::u16string summary;  // what applying it would do, line by line
};

// The part of a profile's summary that one connection contributes.
std::u16string ConnectionSummary(const ConnectionSetting& connection);
void AppendConnectionSummary(std::u16string& summary, const ConnectionSetting& connection);

}  // namespace lumatrove
