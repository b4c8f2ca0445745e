#include <windows.h>

#include "store/win32_store_system.h"

namespace lumatrove {
namespace {

class Win32StoreSystem : public StoreSystem {
 public:
  explicit Win32StoreSystem(NetSystem& net)
      : net_(net), tasks_(MakeWin32LogonTasks()), proxy_(MakeWin32ProxyOptions()) {}
  NetSystem& net() override { return net_; }
  std::u16string ModuleFileName() override {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::u16string(reinterpret_cast<const char16_t*>(path), n);
  }
  std::u16string CurrentDirectory() override {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, path);
    return std::u16string(reinterpret_cast<const char16_t*>(path), n < MAX_PATH ? n : 0);
  }
  LocalTime Now() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
  }
  bool ReplaceFile(const FilePath& from, const FilePath& to) override {
    return RenameFile(from, to);
  }
  LogonTasks& logonTasks() override { return *tasks_; }
  ProxyOptions& proxyOptions() override { return *proxy_; }

 private:
  NetSystem& net_;
  std::unique_ptr<LogonTasks> tasks_;
  std::unique_ptr<ProxyOptions> proxy_;
};

}  // namespace

std::unique_ptr<StoreSystem> MakeWin32StoreSystem(NetSystem& net) {
  return std::make_unique<Win32StoreSystem>(net);
}

}  // namespace lumatrove
