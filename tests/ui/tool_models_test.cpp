// The models of the tool commands: the desktop shortcut's file name and properties, and the
// settings stored with the start-with-Windows value.
#include <gtest/gtest.h>

#include "store/store_test_util.h"
#include "test_text.h"
#include "ui/model/settings_model.h"
#include "ui/model/shortcut_model.h"

namespace lumatrove {
namespace {

using test::U8;

TEST(Shortcut, FileNameIsSafeForAnyProfileName) {
  struct Case {
    std::u16string_view name;
    const char* file;
  };
  const Case cases[] = {
      {u"家裡", "家裡"},
      {u"a\\b/c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {u"..\\..\\Windows\\x", ".._.._Windows_x"},  // never a path out of the desktop
      {u"tab\there\x01", "tab_here_"},
      {u"name. . ", "name"},
      {u"...", "_"},
      {u"", "_"},
      {u"CON", "_CON"},
      {u"con.txt", "_con.txt"},
      {u"LPT9 ", "_LPT9"},
      {u"COM0", "COM0"},
      {u"CONSOLE", "CONSOLE"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(U8(ShortcutFileName(c.name)), c.file) << U8(c.name);
}

TEST(Shortcut, StartsTheProgramWithTheProfileId) {
  const std::optional<DesktopShortcut> s =
      MakeShortcut(u"C:\\Users\\me\\Desktop", u"C:\\Tools\\Lumatrove\\lumatrove.exe",
                   u"C:\\Tools\\Lumatrove", u"家裡", u"7");
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(U8(s->path), "C:\\Users\\me\\Desktop\\家裡.lnk");
  EXPECT_EQ(U8(s->target), "C:\\Tools\\Lumatrove\\lumatrove.exe");
  EXPECT_EQ(U8(s->workDir), "C:\\Tools\\Lumatrove");
  EXPECT_EQ(U8(s->arguments), " -n7");
  EXPECT_EQ(s->iconPath, s->target);
  EXPECT_EQ(s->iconIndex, 2);

  // A path beyond MAX_PATH is no shortcut.
  const std::u16string desktop = u"C:\\" + std::u16string(240, u'd');
  EXPECT_TRUE(MakeShortcut(desktop, u"p", u"w", std::u16string(10, u'n'), u"1").has_value());
  EXPECT_FALSE(MakeShortcut(desktop, u"p", u"w", std::u16string(20, u'n'), u"1").has_value());
}

class SettingsModel : public test::StoreTest {
 protected:
  std::string RunValue() {
    return U8(
        computer_.memoryRegistry().StringValue(RegRoot::kLocalMachine, kRunKey, kRunValueName));
  }
  ProfileStore store_{system_};
};

TEST_F(SettingsModel, OkStoresFlagsFileAndRunValue) {
  system_.currentDirectory = u"C:\\Program Files\\Lumatrove";
  store_.Open();
  EXPECT_EQ(SettingsOf(store_), (SettingsChoice{false, false, false}));

  ASSERT_TRUE(StoreSettings(store_, {true, false, true}));
  EXPECT_EQ(RunValue(), "\"C:\\Program Files\\Lumatrove\\lumatrove.exe\" -hide");
  const std::string file = ReadFile(ConfigFile());
  EXPECT_NE(file.find("<AUTOEXEC>TRUE</AUTOEXEC>"), std::string::npos) << file;
  EXPECT_NE(file.find("<AUTOUPDATE>FALSE</AUTOUPDATE>"), std::string::npos);
  EXPECT_NE(file.find("<LOGFLAG>TRUE</LOGFLAG>"), std::string::npos);
  ProfileStore reopened(system_);
  reopened.Open();
  EXPECT_EQ(SettingsOf(reopened), (SettingsChoice{true, false, true}));

  // Off again removes the value.
  ASSERT_TRUE(StoreSettings(store_, {false, true, false}));
  EXPECT_EQ(computer_.memoryRegistry().FindValue(RegRoot::kLocalMachine, kRunKey, kRunValueName),
            nullptr);
  EXPECT_NE(ReadFile(ConfigFile()).find("<AUTOUPDATE>TRUE</AUTOUPDATE>"), std::string::npos);
}

TEST_F(SettingsModel, FailedUpdateCheckSwitchesItselfOffAndLogs) {
  for (const bool logging : {true, false}) {
    SCOPED_TRACE(logging ? "logging on" : "logging off");
    std::filesystem::remove(dir_ / "system.log");
    store_.Open();
    StoreSettings(store_, {false, true, logging});
    ActionLog log(dir_ / "system.log", computer_.codePage());
    SwitchOffAfterFailedCheck(store_, log, {});
    EXPECT_FALSE(store_.autoUpdate);
    EXPECT_NE(ReadFile(ConfigFile()).find("<AUTOUPDATE>FALSE</AUTOUPDATE>"), std::string::npos);
    EXPECT_EQ(std::filesystem::exists(dir_ / "system.log"), logging);
    if (logging) {
      const std::string bytes = ReadFile(dir_ / "system.log");
      std::u16string text;
      for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
      }
      EXPECT_NE(U8(text).find("自動更新失敗！"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace lumatrove
