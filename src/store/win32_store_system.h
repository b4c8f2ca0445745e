// The store's system on Windows: GetModuleFileNameW, GetCurrentDirectoryW, GetLocalTime and
// MoveFileExW with replace-existing.
#pragma once

#include <memory>

#include "store/store_system.h"

namespace lumatrove {

std::unique_ptr<StoreSystem> MakeWin32StoreSystem(NetSystem& net);

}  // namespace lumatrove
