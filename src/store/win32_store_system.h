// The store's system on Windows: GetModuleFileNameW, GetCurrentDirectoryW, GetLocalTime and
// MoveFileExW with replace-existing, and the Task Scheduler 2.0 through COM.
#pragma once

#include <memory>

#include "store/store_system.h"

namespace lumatrove {

std::unique_ptr<StoreSystem> MakeWin32StoreSystem(NetSystem& net);
// The Task Scheduler 2.0 (ITaskService), created at run time: not available before Vista.
std::unique_ptr<LogonTasks> MakeWin32LogonTasks();
// The current user's LAN proxy through WinINet.
std::unique_ptr<ProxyOptions> MakeWin32ProxyOptions();

}  // namespace lumatrove
