// What the backup dialog computes, free of any window: an adapter's entry and details texts
// and the connections that a backup stores.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "netcfg/adapter_info.h"
#include "store/profile_store.h"

namespace lumatrove {

// The adapter's entry in the list: "connection name-->description".
std::u16string BackupEntryText(const AdapterInfo& adapter);
// Whether the adapter obtains its addresses automatically or which ones it has, and its
// state; CR LF line breaks.
std::u16string BackupDetailsText(const AdapterInfo& adapter);

// What a backup stores: every adapter in list order (`all`), or the adapter at `selected`,
// or, with `othersAutomatic`, the selected adapter as it is and every other adapter set to
// obtain its addresses and DNS servers automatically, in list order. Nothing for a
// selection out of range.
std::vector<ConnectionSetting> BackupConnections(
    const std::vector<std::unique_ptr<AdapterInfo>>& adapters, int selected, bool all,
    bool othersAutomatic);

}  // namespace lumatrove
