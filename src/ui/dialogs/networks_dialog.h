// The networks a profile belongs to ("網路位置..." in the profile editor): the rules, a rule
// typed or taken from what the adapters see now, and "偵測到此網路時自動套用".
#pragma once

#include <windows.h>

#include <functional>

#include "store/network_rules.h"
#include "ui/model/auto_switch.h"

namespace lumatrove {

// Runs the dialog over `owner` on `networks`; `seeNow` reads what the adapters see (it may
// take seconds). True after OK, when the dialog's rules were stored into `networks`.
bool ShowNetworksDialog(HWND owner, NetworkRules& networks,
                        const std::function<NetworkSighting()>& seeNow);

}  // namespace lumatrove
