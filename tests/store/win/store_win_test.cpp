// The store on Windows (under Wine): the real file system with MoveFileExW, the real
// registry for the Run value and the adapters, the Task Scheduler for the logon task, and the
// recording stand-in for "dhcpcsvc".
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "netcfg/net_adapter_layer.h"
#include "netcfg/win32_net_system.h"
#include "store/profile_store.h"
#include "store/win32_store_system.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::U8;
namespace fs = std::filesystem;

// A system without the Task Scheduler 2.0, as XP is.
class NoTaskScheduler : public LogonTasks {
 public:
  bool Available() override { return false; }
  std::u16string UserId() override { return {}; }
  std::optional<std::u16string> Find(std::u16string_view) override { return std::nullopt; }
  uint32_t Register(std::u16string_view, std::u16string_view) override { return 1; }
  uint32_t Delete(std::u16string_view) override { return 1; }
};

// The real store system, with the program placed in a folder of the test's own.
class TestStoreSystem : public StoreSystem {
 public:
  TestStoreSystem(NetSystem& net, fs::path program)
      : real_(MakeWin32StoreSystem(net)), program_(std::move(program)) {}
  LogonTasks& logonTasks() override {
    return xp ? static_cast<LogonTasks&>(xp_) : real_->logonTasks();
  }
  bool xp = false;
  NetSystem& net() override { return real_->net(); }
  std::u16string ModuleFileName() override { return program_.u16string(); }
  std::u16string CurrentDirectory() override { return program_.parent_path().u16string(); }
  LocalTime Now() override { return real_->Now(); }
  bool ReplaceFile(const FilePath& from, const FilePath& to) override {
    return real_->ReplaceFile(from, to);
  }
  ProxyOptions& proxyOptions() override { return real_->proxyOptions(); }

 private:
  std::unique_ptr<StoreSystem> real_;
  fs::path program_;
  NoTaskScheduler xp_;
};

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::u16string RegString(HKEY root, const wchar_t* key, const wchar_t* name, bool* found) {
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  HKEY h = nullptr;
  *found = false;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return {};
  *found = RegQueryValueExW(h, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
           ERROR_SUCCESS;
  RegCloseKey(h);
  return std::u16string(reinterpret_cast<const char16_t*>(data));
}

class WineStore : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("lumatrove_store_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    net_ = MakeWin32NetSystem();
    system_ = std::make_unique<TestStoreSystem>(*net_, dir_ / "lumatrove.exe");
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path dir_;
  std::unique_ptr<NetSystem> net_;
  std::unique_ptr<TestStoreSystem> system_;
};

TEST_F(WineStore, OpenCreatesSavesAndReplaces) {
  {
    ProfileStore store(*system_);
    EXPECT_EQ(store.Open(), 0);
    EXPECT_EQ(Read(dir_ / "lumatrove.cfg").substr(0, 53),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<LUMATROVE>\r\n");
    ASSERT_TRUE(store.AddProfile(u"辦公室", {}));
    ASSERT_TRUE(store.Save());  // replaces the existing file
    EXPECT_FALSE(fs::exists(dir_ / "lumatrove.cfg.tmp"));
  }
  ProfileStore store(*system_);
  ASSERT_EQ(store.Open(), 1);
  ASSERT_EQ(store.profiles.size(), 1u);
  EXPECT_EQ(U8(store.profiles[0]->name), "辦公室");
  EXPECT_EQ(store.profiles[0]->dateTime.size(), 17u);  // yy-mm-dd hh:mm:ss, from the clock
}

TEST_F(WineStore, DamagedFileIsKept) {
  std::ofstream(dir_ / "lumatrove.cfg", std::ios::binary) << "<LUMATROVE><CONFIG>";
  ProfileStore store(*system_);
  EXPECT_EQ(store.Open(), 0);
  EXPECT_EQ(Read(dir_ / "lumatrove.cfg.bad"), "<LUMATROVE><CONFIG>");
  EXPECT_NE(Read(dir_ / "lumatrove.cfg").find("<SYSCONFIG VERSION=\"2.0\">"), std::string::npos);
}

TEST_F(WineStore, AutorunValueFollowsTheFileOnXp) {
  system_->xp = true;
  std::ofstream(dir_ / "lumatrove.cfg", std::ios::binary)
      << "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>TRUE</AUTOEXEC></SYSCONFIG>"
         "</LUMATROVE>";
  const wchar_t* run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  {
    ProfileStore store(*system_);
    ASSERT_EQ(store.Open(), 1);
  }
  bool found = false;
  const std::u16string value =
      RegString(HKEY_LOCAL_MACHINE, run, L"Lumatrove(KORVAL WORKS)", &found);
  ASSERT_TRUE(found);
  EXPECT_EQ(value, u"\"" + dir_.u16string() + u"\\lumatrove.exe\" -hide");

  std::ofstream(dir_ / "lumatrove.cfg", std::ios::binary)
      << "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>FALSE</AUTOEXEC></SYSCONFIG>"
         "</LUMATROVE>";
  ProfileStore store(*system_);
  ASSERT_EQ(store.Open(), 1);
  RegString(HKEY_LOCAL_MACHINE, run, L"Lumatrove(KORVAL WORKS)", &found);
  EXPECT_FALSE(found);
}

// From Vista on, the Task Scheduler's task starts the program (Wine keeps only that it
// exists, not what it holds); a Run value of an older version is removed.
TEST_F(WineStore, LogonTaskFollowsTheFile) {
  const wchar_t* run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, run, &key), ERROR_SUCCESS);
  const wchar_t old[] = L"\"C:\\old\\lumatrove.exe\" -hide";
  RegSetValueExW(key, L"Lumatrove(KORVAL WORKS)", 0, REG_SZ, reinterpret_cast<const BYTE*>(old),
                 sizeof old);
  RegCloseKey(key);
  LogonTasks& tasks = system_->logonTasks();
  ASSERT_TRUE(tasks.Available());
  std::ofstream(dir_ / "lumatrove.cfg", std::ios::binary)
      << "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>TRUE</AUTOEXEC></SYSCONFIG>"
         "</LUMATROVE>";
  {
    ProfileStore store(*system_);
    ASSERT_EQ(store.Open(), 1);
    EXPECT_EQ(U8(store.autoRunFault), "");
  }
  EXPECT_TRUE(tasks.Find(kLogonTaskName).has_value());
  bool found = true;
  RegString(HKEY_LOCAL_MACHINE, run, L"Lumatrove(KORVAL WORKS)", &found);
  EXPECT_FALSE(found);

  std::ofstream(dir_ / "lumatrove.cfg", std::ios::binary)
      << "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>FALSE</AUTOEXEC></SYSCONFIG>"
         "</LUMATROVE>";
  ProfileStore store(*system_);
  ASSERT_EQ(store.Open(), 1);
  EXPECT_FALSE(tasks.Find(kLogonTaskName).has_value());
  EXPECT_EQ(tasks.Delete(kLogonTaskName), 0u);  // none there: nothing to say
}

TEST_F(WineStore, ApplyWritesTheRealRegistry) {
  const std::u16string guid = u"{C0FFEE00-1111-2222-3333-444455556666}";
  const std::u16string key = std::u16string(kTcpipInterfacesKey) + guid;
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, reinterpret_cast<const wchar_t*>(key.c_str()), &h),
            ERROR_SUCCESS);
  RegCloseKey(h);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring log = std::wstring(temp) + L"lumatrove_store_dhcp.txt";
  DeleteFileW(log.c_str());
  SetEnvironmentVariableW(L"LUMATROVE_DHCP_LOG", log.c_str());

  std::ofstream(dir_ / "lumatrove.cfg", std::ios::binary)
      << "<LUMATROVE><CONFIG LASTID=\"1\"><NETSETING NAME=\"P\" ID=\"1\">"
         "<CONNECTION NAME=\"LAN\" GUID=\"{C0FFEE00-1111-2222-3333-444455556666}\" TYPE=\"0\">"
         "<IPADD><IP>192.168.7.20</IP></IPADD><MASKADD><IP>255.255.255.0</IP></MASKADD>"
         "<GATEWAY><IP>192.168.7.1</IP></GATEWAY><DNSADD><IP>168.95.1.1</IP><IP/></DNSADD>"
         "</CONNECTION></NETSETING></CONFIG></LUMATROVE>";
  ProfileStore store(*system_);
  ASSERT_EQ(store.Open(), 1);
  EXPECT_TRUE(store.ApplyProfile(u"1"));
  bool found = false;
  const auto* k = reinterpret_cast<const wchar_t*>(key.c_str());
  EXPECT_EQ(U8(RegString(HKEY_LOCAL_MACHINE, k, L"IPAddress", &found)), "192.168.7.20");
  EXPECT_EQ(U8(RegString(HKEY_LOCAL_MACHINE, k, L"DefaultGateway", &found)), "192.168.7.1");
  EXPECT_EQ(U8(RegString(HKEY_LOCAL_MACHINE, k, L"NameServer", &found)), "168.95.1.1,");
  EXPECT_EQ(Read(fs::path(log)), "(null)|" + U8(guid) + "|1|0|1407a8c0|00ffffff|2\n");
}

}  // namespace
}  // namespace lumatrove

namespace lumatrove {
namespace {

// The browser proxy through WinINet itself: a server and no proxy read back through
// InternetQueryOptionW as they were meant, and what was there before is put back. (Wine's
// WinINet keeps the server alone: the bypass list, the script and detection are checked on
// the in-memory side.)
TEST(WinInetProxy, WhatIsWrittenReadsBackAndTheOldOneReturns) {
  const std::unique_ptr<ProxyOptions> proxy = MakeWin32ProxyOptions();
  const std::optional<ProxySetting> before = proxy->Read();
  ASSERT_TRUE(before.has_value());
  using Mode = ProxySetting::Mode;
  const ProxySetting settings[] = {
      {Mode::kServer, u"proxy.corp.example:8080"},
      {Mode::kOff},
  };
  for (const ProxySetting& s : settings) {
    ASSERT_TRUE(proxy->Write(s));
    const std::optional<ProxySetting> read = proxy->Read();
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(SameProxy(*read, s))
        << test::U8(ProxySummary(s)) << " / " << test::U8(ProxySummary(*read));
  }
  ASSERT_TRUE(proxy->Write(*before));
  EXPECT_TRUE(SameProxy(*proxy->Read(), *before));
}

}  // namespace
}  // namespace lumatrove
