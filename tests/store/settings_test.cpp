// System settings in SYSCONFIG, the Run value and the logon task.
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

// From Vista on, the logon task starts the program: registered when missing or when it starts
// another path, left alone when right, deleted on FALSE; the Run value of an older version goes.
TEST_F(Settings, LogonTaskFollowsTheProgramFromVistaOn) {
  MemoryLogonTasks& tasks = system_.tasks;
  tasks.available = true;
  computer_.memoryRegistry().SetString(kHklm, kRunKey, kRunValueName, u"\"C:\\Old\\x.exe\"");
  const std::filesystem::path folder = dir_ / "A & B";
  std::filesystem::create_directories(folder);
  WriteFile(folder / "lumatrove.cfg",
            "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>TRUE</AUTOEXEC></SYSCONFIG>"
            "</LUMATROVE>");
  system_.programPath = FromPath(folder / "lumatrove.exe");
  const std::u16string name(kLogonTaskName);
  ASSERT_EQ(store_.Open(), 1);
  EXPECT_EQ(Run(), nullptr);
  ASSERT_EQ(tasks.tasks.count(name), 1u);
  const std::string program = U8(system_.programPath);
  const std::string escaped =
      program.substr(0, program.find(" & ")) + " &amp; " + program.substr(program.find(" & ") + 3);
  for (const std::string& part :
       {std::string("<LogonTrigger><Enabled>true</Enabled><UserId>PC\\user</UserId>"),
        std::string("<RunLevel>HighestAvailable</RunLevel>"),
        std::string("<ExecutionTimeLimit>PT0S</ExecutionTimeLimit>"),
        std::string("<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"),
        std::string("<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"),
        "<Command>&quot;" + escaped + "&quot;</Command><Arguments>-hide</Arguments>"}) {
    EXPECT_NE(U8(tasks.tasks[name]).find(part), std::string::npos) << part;
  }
  EXPECT_TRUE(store_.autoRunFault.empty());

  // Right as it is, the task stays; starting another path (the program moved), it is replaced.
  ProfileStore same(system_);
  ASSERT_EQ(same.Open(), 1);
  EXPECT_EQ(tasks.registrations, 1);
  tasks.tasks[name] = LogonTaskXml(u"PC\\user", u"C:\\Old\\lumatrove.exe", u"C:\\Old");
  ProfileStore moved(system_);
  ASSERT_EQ(moved.Open(), 1);
  EXPECT_EQ(tasks.registrations, 2);
  EXPECT_TRUE(LogonTaskStarts(tasks.tasks[name], system_.programPath));

  // A task the Task Scheduler refuses leaves the setting on and says why.
  tasks.tasks.clear();
  tasks.registerResult = 0x80070005;
  ProfileStore refused(system_);
  ASSERT_EQ(refused.Open(), 1);
  EXPECT_TRUE(refused.autoRun);
  EXPECT_EQ(
      U8(refused.autoRunFault).rfind("無法建立開機時自動執行的工作排程（錯誤 0x80070005）", 0), 0u)
      << U8(refused.autoRunFault);

  tasks.tasks[name] = u"<Task/>";
  WriteFile(folder / "lumatrove.cfg",
            "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG><AUTOEXEC>FALSE</AUTOEXEC>"
            "</SYSCONFIG></LUMATROVE>");
  ProfileStore off(system_);
  ASSERT_EQ(off.Open(), 1);
  EXPECT_TRUE(tasks.tasks.empty());
  EXPECT_EQ(Run(), nullptr);
}

// What a registered task must say to be left as it is; Windows may write the XML its own way.
TEST(LogonTask, RegisteredXmlIsReadForWhatItStarts) {
  const std::u16string program = u"C:\\Program Files\\Lumatrove\\lumatrove.exe";
  const std::u16string ours = LogonTaskXml(u"PC\\user", program, u"C:\\Program Files\\Lumatrove");
  struct Case {
    std::u16string xml;
    bool starts;
  };
  const Case cases[] = {
      {ours, true},
      {u"<Task><Triggers><LogonTrigger/></Triggers><Principals><Principal><RunLevel>"
       u"HighestAvailable</RunLevel></Principal></Principals><Actions><Exec><Command>"
       u"c:\\program files\\lumatrove\\LUMATROVE.EXE</Command><Arguments> -hide </Arguments>"
       u"</Exec></Actions></Task>",
       true},
      {LogonTaskXml(u"PC\\user", u"C:\\Other\\lumatrove.exe", u"C:\\Other"), false},
      {u"<Task><Triggers/><Actions/></Task>", false},  // what Wine keeps
      {std::u16string(ours).replace(ours.find(u"HighestAvailable"), 16, u"LeastPrivilege"), false},
      {std::u16string(ours).replace(ours.find(u"-hide"), 5, u"-show"), false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LogonTaskStarts(c.xml, program), c.starts) << U8(c.xml);
}

}  // namespace
}  // namespace lumatrove
