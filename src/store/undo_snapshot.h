// The settings a profile is about to change, kept before it is applied so that one command
// can go back to them: one NETSETING, as in the configuration file, in "lumatrove.undo" beside
// it.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "store/profile.h"
#include "store/store_system.h"

namespace lumatrove {

inline constexpr std::u16string_view kUndoFileName = u"lumatrove.undo";

// For every connection that `profile` configures (fixed or automatic), its adapter's current
// settings as a connection, in the profile's order; adapters that are not there are left out.
std::vector<ConnectionSetting> UndoConnections(
    const Profile& profile, const std::vector<std::unique_ptr<AdapterInfo>>& adapters);

// Writes the snapshot to `file` through a temporary file that replaces it in one step; false
// when it was not written (an older snapshot then stays as it was).
bool SaveUndoSnapshot(StoreSystem& system, const FilePath& file,
                      const std::vector<ConnectionSetting>& connections);

// The snapshot in `file` as a profile; nothing when there is none or it cannot be read.
std::unique_ptr<Profile> LoadUndoSnapshot(const FilePath& file);

}  // namespace lumatrove
