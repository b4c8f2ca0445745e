// What the current-settings view computes: the text that describes every adapter's TCP/IP
// settings as they are now, and which names a profile may be stored under.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"

namespace lumatrove {

// Every address, mask, gateway and DNS server of the adapter, each on a line of its own
// with its label ("\r\n預設IP位址:" ...) and a line break after it.
std::u16string AddressLines(const AdapterInfo& adapter);

// One block per adapter in list order: its name and description, its addresses (or that it
// obtains them automatically), its state, and a line of forty '='; CR LF line breaks.
std::u16string CurrentSettingsText(const std::vector<std::unique_ptr<AdapterInfo>>& adapters);

// A profile may be stored under `name` when the name has more than blanks in it.
bool IsUsableProfileName(std::u16string_view name);

}  // namespace lumatrove
