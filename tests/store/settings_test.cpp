// System settings in SYSCONFIG and the Run value.
#include "store_test_util.h"

namespace lumatrove {
namespace {

using test::StoreTest;
using test::U8;

constexpr RegRoot kHklm = RegRoot::kLocalMachine;

class Settings : public StoreTest {
 protected:
  std::string RunValue() {
    return U8(computer_.memoryRegistry().StringValue(kHklm, kRunKey, kRunValueName));
  }
  const MemoryRegistry::Value* Run() {
    return computer_.memoryRegistry().FindValue(kHklm, kRunKey, kRunValueName);
  }
  ProfileStore store_{system_};
};

TEST_F(Settings, ReadingAndTheRunValue) {
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>TRUE</AUTOEXEC>"
            "<AUTOUPDATE>0</AUTOUPDATE><LOGFLAG>false</LOGFLAG></SYSCONFIG></LUMATROVE>");
  system_.currentDirectory = u"C:\\Program Files\\Lumatrove";
  system_.programPath = FromPath(dir_ / "Lumatrove.EXE");
  ASSERT_EQ(store_.Open(), 1);
  EXPECT_TRUE(store_.autoRun);
  EXPECT_TRUE(store_.logEnabled);  // only "FALSE" is false
  EXPECT_TRUE(store_.autoUpdate);
  // Quoted, "-hide" outside the quotes, the terminating NUL counted.
  EXPECT_EQ(RunValue(), "\"C:\\Program Files\\Lumatrove\\Lumatrove.exe\" -hide");
  ASSERT_NE(Run(), nullptr);
  EXPECT_EQ(Run()->type, kRegSz);
  EXPECT_EQ(Run()->data.size(), 2 * RunValue().size() + 2);

  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>FALSE</AUTOEXEC>"
            "</SYSCONFIG></LUMATROVE>");
  ProfileStore again(system_);
  ASSERT_EQ(again.Open(), 1);
  EXPECT_FALSE(again.autoRun);
  EXPECT_FALSE(again.logEnabled);  // missing: as constructed
  EXPECT_EQ(Run(), nullptr);       // the file says FALSE: the value is deleted
}

TEST_F(Settings, WithoutSysconfigNothingIsRead) {
  WriteFile(ConfigFile(), "<LUMATROVE><CONFIG LASTID=\"0\"/></LUMATROVE>");
  ASSERT_EQ(store_.Open(), 1);
  EXPECT_FALSE(store_.autoRun || store_.logEnabled || store_.autoUpdate);
  EXPECT_TRUE(computer_.memoryRegistry().Changes().empty());
  // The next write adds the section.
  store_.logEnabled = true;
  ASSERT_TRUE(store_.WriteSystemSettings());
  EXPECT_NE(ReadFile(ConfigFile()).find("<LOGFLAG>TRUE</LOGFLAG>"), std::string::npos);
}

TEST_F(Settings, WriteKeepsThePlaceAndTheOrder) {
  WriteFile(ConfigFile(),
            "<LUMATROVE>\r\n<CONFIG LASTID=\"0\"/>\r\n<SYSCONFIG VERSION=\"2.0\">"
            "<LOGFLAG>TRUE</LOGFLAG></SYSCONFIG>\r\n<DNS VERSION=\"2.0\"/>\r\n</LUMATROVE>");
  ASSERT_EQ(store_.Open(), 1);
  store_.autoUpdate = true;
  ASSERT_TRUE(store_.WriteSystemSettings());
  EXPECT_EQ(ReadFile(ConfigFile()),
            "<LUMATROVE>\r\n<CONFIG LASTID=\"0\"/>\r\n<SYSCONFIG VERSION=\"2.0\">\r\n"
            "<AUTOEXEC>FALSE</AUTOEXEC>\r\n<AUTOUPDATE>TRUE</AUTOUPDATE>\r\n"
            "<LOGFLAG>TRUE</LOGFLAG>\r\n</SYSCONFIG>\r\n<DNS VERSION=\"2.0\"/>\r\n</LUMATROVE>");
}

TEST_F(Settings, WriteWithoutRootSavesNothing) {
  WriteFile(ConfigFile(), "<OTHER/>");
  store_.document.SetDocument(u"<OTHER/>");
  EXPECT_FALSE(store_.WriteSystemSettings());
  EXPECT_EQ(ReadFile(ConfigFile()), "<OTHER/>");
}

TEST_F(Settings, RegistryRefusalIsSilent) {
  computer_.memoryRegistry().WriteProtect(kHklm, kRunKey);
  store_.Open();
  EXPECT_TRUE(store_.SetAutoRun(true));
  EXPECT_EQ(Run(), nullptr);
}

}  // namespace
}  // namespace lumatrove
