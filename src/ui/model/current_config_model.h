// What the current-settings view computes: the text that describes every adapter's TCP/IP
// settings as they are now, and which names a profile may be stored under.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/adapter_info.h"

namespace lumatrove {

// One block per adapter in list order: its name and description, its addresses (or that it
// obtains them automatically), its state, and a line of forty '='; CR LF line breaks.
std::u16string CurrentSettingsText(const std::vector<std::unique_ptr<AdapterInfo>>& adapters);

// A profile may be stored under `name` when the name has more than blanks in it.
bool IsUsableProfileName(std::u16string_view name);

}  // namespace lumatrove
