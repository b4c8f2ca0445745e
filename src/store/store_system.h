// What the profile store needs from the system besides the adapter layer's interface: the
// program's own path, the current directory, local time, replacing one file by another and the
// Task Scheduler's logon task.
#pragma once

#include <memory>
#include <string>

#include "base/file_path.h"
#include "netcfg/net_system.h"
#include "store/logon_task.h"
#include "store/proxy_setting.h"

namespace lumatrove {

struct LocalTime {
  int year = 2000;  // four digits
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class StoreSystem {
 public:
  virtual ~StoreSystem() = default;
  // The registry, message boxes, the application name and the ANSI code page; also what
  // ApplyProfile hands to the adapter layer it makes.
  virtual NetSystem& net() = 0;
  // The full path of the running executable (GetModuleFileNameW, 260 characters).
  virtual std::u16string ModuleFileName() = 0;
  // GetCurrentDirectoryW (260 characters).
  virtual std::u16string CurrentDirectory() = 0;
  virtual LocalTime Now() = 0;
  // Replaces `to` by `from` in one step (the old `to`, if any, is gone only when `from`
  // takes its place); false when that is not possible.
  virtual bool ReplaceFile(const FilePath& from, const FilePath& to) = 0;
  virtual LogonTasks& logonTasks() = 0;
  // The current user's browser proxy (WinINet).
  virtual ProxyOptions& proxyOptions() = 0;
};

// "%y-%m-%d %H:%M:%S" (two-digit year).
std::u16string FormatTime(const LocalTime& t);

}  // namespace lumatrove
