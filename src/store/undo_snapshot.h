// The settings a profile is about to change, kept before it is applied so that one command
// can go back to them: one NETSETING, as in the configuration file, in "lumatrove.undo" beside
// it.
#pragma once

#include <memory>
#include <optional>
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

// Writes the snapshot, named `name`, to `file` through a temporary file that replaces it in
// one step, with the proxy to go back to (leave alone for none); false when it was not
// written (an older snapshot then stays as it was).
bool SaveUndoSnapshot(StoreSystem& system, const FilePath& file,
                      const std::vector<ConnectionSetting>& connections,
                      std::u16string_view name = u"undo", const ProxySetting& proxy = {});

// The snapshot in `file` as a profile, and its NETSETING's content as a stored profile's
// content is applied; nothing when there is none, it cannot be read or it has neither a
// connection nor a proxy.
struct UndoSnapshot {
  std::unique_ptr<Profile> profile;
  std::u16string content;
};
std::unique_ptr<Profile> LoadUndoSnapshot(const FilePath& file);
std::optional<UndoSnapshot> LoadUndoSnapshotToApply(const FilePath& file);

}  // namespace lumatrove
