// The store's system for tests and demos: a chosen program path, current directory and clock,
// on top of a MemoryComputer. Files are real files.
#pragma once

#include <map>

#include "fakes/memory_computer.h"
#include "store/store_system.h"

namespace lumatrove {

// A Task Scheduler in memory: the tasks by name, as registered.
class MemoryLogonTasks : public LogonTasks {
 public:
  bool Available() override { return available; }
  std::u16string UserId() override { return userId; }
  std::optional<std::u16string> Find(std::u16string_view name) override;
  uint32_t Register(std::u16string_view name, std::u16string_view xml) override;
  uint32_t Delete(std::u16string_view name) override;

  bool available = false;  // as on XP, the computer's default
  std::u16string userId = u"PC\\user";
  uint32_t registerResult = 0;  // what Register answers; the task is kept only on 0
  std::map<std::u16string, std::u16string> tasks;
  int registrations = 0;
};

// The browser proxy in memory: what was written last.
class MemoryProxyOptions : public ProxyOptions {
 public:
  std::optional<ProxySetting> Read() override {
    if (!readable) return std::nullopt;
    return setting;
  }
  bool Write(const ProxySetting& proxy) override {
    if (refuses) return false;
    setting = proxy;
    ++writes;
    return true;
  }

  ProxySetting setting{ProxySetting::Mode::kOff};
  bool readable = true;
  bool refuses = false;
  int writes = 0;
};

class MemoryStoreSystem : public StoreSystem {
 public:
  explicit MemoryStoreSystem(MemoryComputer& computer) : computer_(computer) {}

  NetSystem& net() override { return computer_; }
  std::u16string ModuleFileName() override { return programPath; }
  std::u16string CurrentDirectory() override { return currentDirectory; }
  LocalTime Now() override { return now; }
  bool ReplaceFile(const FilePath& from, const FilePath& to) override;
  LogonTasks& logonTasks() override { return tasks; }
  ProxyOptions& proxyOptions() override { return proxy; }

  std::u16string programPath = u"C:\\Lumatrove\\lumatrove.exe";
  std::u16string currentDirectory = u"C:\\Lumatrove";
  LocalTime now{2008, 6, 15, 14, 3, 9};
  int failReplaces = 0;  // the next this many replacements fail
  MemoryLogonTasks tasks;
  MemoryProxyOptions proxy;

 private:
  MemoryComputer& computer_;
};

}  // namespace lumatrove
