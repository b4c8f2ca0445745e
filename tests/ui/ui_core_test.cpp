// What the program computes outside its windows: the command line, the action log, the main
// window's texts, shortened cell texts and the rows' tooltips.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "netcfg/code_page.h"
#include "test_text.h"
#include "texts.h"
#include "ui/model/action_log.h"
#include "ui/model/command_line.h"
#include "ui/model/current_config_model.h"
#include "ui/model/main_window_model.h"
#include "ui/model/startup.h"

namespace lumatrove {
namespace {

using test::U8;
namespace fs = std::filesystem;

TEST(CommandLine, ProfileIdAndHide) {
  struct Case {
    std::u16string_view arguments;
    std::string id;
    bool hide;
  };
  const Case cases[] = {
      {u"-n7", "7", false},     {u"-N7", "7", false},     {u"-n12 -hide", "12", true},
      {u"-n", "", false},       {u"-n 7", "", false},     {u"", "", false},
      {u"-HiDe", "", true},     {u"x -n42", "42", false}, {u"-hide -n3", "3", true},
      {u"-nAbC", "abc", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(U8(ProfileIdArgument(c.arguments)), c.id) << U8(c.arguments);
    EXPECT_EQ(HasHideSwitch(c.arguments), c.hide) << U8(c.arguments);
  }
}

TEST(CommandLine, ArgumentsAfterTheProgramName) {
  EXPECT_EQ(U8(std::u16string(ArgumentsOf(u"\"C:\\Program Files\\L\\lumatrove.exe\" -n7"))), "-n7");
  EXPECT_EQ(U8(std::u16string(ArgumentsOf(u"lumatrove.exe   -hide"))), "-hide");
  EXPECT_EQ(U8(std::u16string(ArgumentsOf(u"lumatrove.exe"))), "");
  EXPECT_EQ(U8(std::u16string(ArgumentsOf(u"\"unclosed -n7"))), "");
}

// Every combination of UAC, elevation and a running instance, with and without "-n".
TEST(Startup, DecisionTable) {
  using A = StartupAction;
  struct Case {
    bool uac, elevated, running;
    std::u16string_view arguments;
    A action;
  };
  const Case cases[] = {
      // XP (no UAC: always elevated): as the program always did.
      {false, true, false, u"", A::kRunWindow},
      {false, true, true, u"-hide", A::kBringForward},
      {false, true, false, u"-n7", A::kApplyHere},
      {false, true, true, u"-n7", A::kApplyHere},
      // Vista and later: the running instance takes every start, elevated or not.
      {true, false, true, u"-n7", A::kHandOff},
      {true, true, true, u"-n7", A::kHandOff},
      {true, false, true, u"", A::kHandOff},
      {true, true, true, u"-hide", A::kHandOff},
      // Without an instance, only an elevated process goes on.
      {true, false, false, u"-n7", A::kElevate},
      {true, false, false, u"-hide", A::kElevate},
      {true, true, false, u"-n7", A::kApplyHere},
      {true, true, false, u"-hide", A::kRunWindow},
      // An ID that is no number is refused before anything else happens.
      {true, false, true, u"-nabc", A::kRejectProfile},
      {false, true, false, u"-n1234567890", A::kRejectProfile},
  };
  for (const Case& c : cases) {
    const StartupDecision d = DecideStartup({c.uac, c.elevated, c.running}, c.arguments);
    EXPECT_EQ(d.action, c.action) << c.uac << c.elevated << c.running << " " << U8(c.arguments);
  }
  EXPECT_EQ(U8(HandOffText(DecideStartup({true, false, true}, u"-N42 -hide"))), "-n42");
  EXPECT_EQ(U8(HandOffText(DecideStartup({true, false, true}, u"-hide"))), "show");
}

// Only the forms of the current version pass; nothing else reaches the window.
TEST(Startup, HandOffMessageIsStrict) {
  struct Case {
    uintptr_t tag;
    std::u16string text;
    std::optional<std::string> id;
    std::string flags = "";  // q(uiet) f(orce) n(owait) u(ndo)
  };
  const Case cases[] = {
      {kHandOffTag, u"show", ""},
      {kHandOffTag, u"-n42", "42"},
      {kHandOffTag, u"-n123456789", "123456789"},
      {kHandOffTag + 1, u"-n42", std::nullopt},  // another version
      {kHandOffTag, u"-n", std::nullopt},
      {kHandOffTag, u"-n4 2", std::nullopt},
      {kHandOffTag, u"-N42", std::nullopt},
      {kHandOffTag, u"-n1234567890", std::nullopt},
      {kHandOffTag, std::u16string(u"show\0", 5), std::nullopt},
      {kHandOffTag, u"-n42 -x", std::nullopt},
      {kHandOffTag, u"", std::nullopt},
      {kHandOffTag, std::u16string(40, u'1'), std::nullopt},  // over the size limit
      {kHandOffTag, u"-n7 quiet", "7", "q"},
      {kHandOffTag, u"-n7 quiet force", "7", "qf"},
      {kHandOffTag, u"-n7 quiet nowait", "7", "qn"},
      {kHandOffTag, u"-n123456789 quiet force nowait", "123456789", "qfn"},
      {kHandOffTag, u"undo quiet", "", "qu"},
      {kHandOffTag, u"undo quiet force", "", "qfu"},
      {kHandOffTag, u"-n7 quiet nowait force", std::nullopt},
      {kHandOffTag, u"-n7 quiet quiet", std::nullopt},
      {kHandOffTag, u"-n7 force", std::nullopt},
      {kHandOffTag, u"-n7 quiet ", std::nullopt},
      {kHandOffTag, u"undo", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<HandOff> h = ReadHandOff(c.tag, c.text.data(), c.text.size() * 2);
    EXPECT_EQ(h.has_value(), c.id.has_value()) << U8(c.text);
    if (h && c.id) {
      EXPECT_EQ(U8(h->profileId), *c.id);
      std::string flags;
      if (h->quiet) flags += 'q';
      if (h->force) flags += 'f';
      if (h->noWait) flags += 'n';
      if (h->undo) flags += 'u';
      EXPECT_EQ(flags, c.flags) << U8(c.text);
      // What the console program sends reads back the same.
      EXPECT_EQ(U8(HandOffText(*h)), U8(c.text));
    }
  }
  const char16_t odd[] = u"show";
  EXPECT_FALSE(ReadHandOff(kHandOffTag, odd, 7));
  EXPECT_FALSE(ReadHandOff(kHandOffTag, nullptr, 8));
}

class Log : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("lumatrove_log_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    page_ = MakeCodePage(950);
    ASSERT_NE(page_, nullptr);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Read() {
    std::ifstream in(dir_ / "system.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Utf16(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
      out += c;
      out += '\0';
    }
    return out;
  }
  ActionLog Make() { return ActionLog(dir_ / "system.log", *page_); }

  fs::path dir_;
  std::unique_ptr<AnsiCodePage> page_;
  const LocalTime when_{2008, 6, 15, 14, 3, 9};
};

TEST_F(Log, EntryFormat) {
  EXPECT_EQ(U8(ActionLog::Entry(u"套用網路組態[辦公室]成功!", when_)),
            "08-06-15 14:03:09\xe5\xa5\x97\xe7\x94\xa8\xe7\xb6\xb2\xe8\xb7\xaf\xe7\xb5\x84\xe6\x85"
            "\x8b[辦公室]成功!\r\n" +
                std::string(80, '=') + "\r\n");
}

TEST_F(Log, FirstAppendWritesTheMarkAndOneEntry) {
  ActionLog log = Make();
  ASSERT_TRUE(log.Append(u"a", when_));
  const std::string entry = Utf16("08-06-15 14:03:09a\r\n" + std::string(80, '=') + "\r\n");
  EXPECT_EQ(Read(), "\xff\xfe" + entry);
  ASSERT_TRUE(log.Append(u"a", when_));
  EXPECT_EQ(Read(), "\xff\xfe" + entry + entry);  // one mark only
}

TEST_F(Log, OldAnsiLogIsConvertedOnce) {
  std::ofstream(dir_ / "system.log", std::ios::binary) << "abc\xbf\xec";  // "abc辦" in Big5
  ActionLog log = Make();
  ASSERT_TRUE(log.Append(u"x", when_));
  const std::string entry = Utf16("08-06-15 14:03:09x\r\n" + std::string(80, '=') + "\r\n");
  EXPECT_EQ(Read(), "\xff\xfe" + Utf16("abc") + std::string("\xa6\x8f", 2) + entry);
  ASSERT_TRUE(log.Append(u"x", when_));
  EXPECT_EQ(Read(), "\xff\xfe" + Utf16("abc") + std::string("\xa6\x8f", 2) + entry + entry);
}

TEST_F(Log, OldLogWhoseSecondByteIsFeIsConvertedToo) {
  // A Big5 character may end with the byte FE; only the mark FF FE says "already UTF-16".
  std::ofstream(dir_ / "system.log", std::ios::binary) << "\xa4\xfe";
  ActionLog log = Make();
  ASSERT_TRUE(log.Append(u"", when_));
  EXPECT_EQ(Read().substr(0, 2), "\xff\xfe");
  EXPECT_NE(Read().substr(2, 2), "\xa4\xfe");
}

TEST_F(Log, ClearThenAppend) {
  ActionLog log = Make();
  ASSERT_TRUE(log.Append(u"a", when_));
  ASSERT_TRUE(log.Clear());
  EXPECT_TRUE(fs::exists(dir_ / "system.log"));
  EXPECT_EQ(fs::file_size(dir_ / "system.log"), 0u);
  ASSERT_TRUE(log.Append(u"b", when_));
  EXPECT_EQ(Read().substr(0, 2), "\xff\xfe");
  ActionLog missingFolder(dir_ / "none" / "system.log", *page_);
  EXPECT_FALSE(missingFolder.Append(u"c", when_));
  EXPECT_FALSE(missingFolder.Clear());
}

TEST(MainWindowModel, PromptsAndTooltips) {
  EXPECT_EQ(U8(PromptPart(u"修改\n修改選中的IP專案")), "修改");
  EXPECT_EQ(U8(TooltipPart(u"a\nb")), "b");
  EXPECT_EQ(U8(TooltipPart(u"both")), "both");
  EXPECT_EQ(U8(PromptPart(u"\nonly tip")), "");
  EXPECT_EQ(ControlPrompt(100, u"x"), texts::kDefaultPrompt);
  EXPECT_EQ(ControlPrompt(1007, u""), texts::kDefaultPrompt);
  EXPECT_EQ(U8(ControlPrompt(32777, u"apply\ntip")), "apply");
}

TEST(MainWindowModel, ShortenText) {
  auto extent = [](std::u16string_view t) { return static_cast<int>(t.size()) * 10; };
  EXPECT_EQ(U8(ShortenText(u"abcdef", 64, 4, extent)), "abcdef");    // 60 + 4 fits
  EXPECT_EQ(U8(ShortenText(u"abcdefgh", 64, 4, extent)), "abc...");  // 30 + 4 + 30
  EXPECT_EQ(U8(ShortenText(u"abcdefgh", 10, 4, extent)), "a...");    // never fits
  EXPECT_EQ(U8(ShortenText(u"", 0, 4, extent)), "");
  EXPECT_EQ(ShortenText(std::u16string(600, u'x'), 100000, 0, extent).size(), 600u);
  EXPECT_EQ(ShortenText(std::u16string(600, u'x'), 5000, 0, extent).size(), 500u);
}

TEST(MainWindowModel, ProfileRows) {
  std::vector<std::unique_ptr<Profile>> profiles;
  for (const char16_t* name : {u"Office", u"Home"}) {
    auto p = std::make_unique<Profile>();
    p->name = name;
    p->id = name == std::u16string_view(u"Office") ? u"7" : u"3";
    p->dateTime = u"08-06-15 14:03:09";
    p->summary = name == std::u16string_view(u"Office") ? std::u16string(900, u't') : u"one";
    profiles.push_back(std::move(p));
  }
  ProfileRows rows;
  rows.Fill(profiles);
  ASSERT_EQ(rows.Count(), 2);
  EXPECT_EQ(U8(rows.CellText(1, 1)), "2");
  EXPECT_EQ(U8(rows.CellText(1, 2)), "Home");
  EXPECT_EQ(U8(rows.Name(1)), "Home");
  EXPECT_EQ(U8(rows.Id(1)), "3");
  EXPECT_EQ(U8(rows.CellText(0, 3)), "08-06-15 14:03:09");
  EXPECT_EQ(U8(rows.CellText(0, 0)), "");
  EXPECT_EQ(rows.LongestToolTip(), 900u);
  EXPECT_EQ(rows.ToolTip(0, 800).size(), 800u);
  EXPECT_EQ(U8(rows.ToolTip(1, 800)), "one");
  EXPECT_EQ(U8(rows.ToolTip(1, 0)), "");  // no profiles: length 0
  // The rows stay as filled while the store's list changes, and know no row beyond them.
  profiles.clear();
  EXPECT_EQ(U8(rows.CellText(1, 2)), "Home");
  for (int row : {-1, 2, 1000000}) {
    EXPECT_EQ(U8(rows.CellText(row, 2)), "") << row;
    EXPECT_EQ(U8(rows.Id(row)), "") << row;
    EXPECT_EQ(U8(rows.ToolTip(row, 800)), "") << row;
  }
  rows.Clear();
  EXPECT_EQ(rows.Count(), 0);
  EXPECT_EQ(rows.LongestToolTip(), 0u);
}

TEST(MainWindowModel, CurrentRowAfterARemoval) {
  struct Case {
    int removed, rowsLeft, current;
  };
  // The row above the removed one; the new first row; no row when the list is empty.
  const Case cases[] = {{2, 2, 1}, {1, 2, 0}, {0, 2, 0}, {0, 0, -1}, {5, 5, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(CurrentRowAfterRemove(c.removed, c.rowsLeft), c.current)
        << c.removed << " of " << c.rowsLeft + 1;
  }
}

TEST(MainWindowModel, TextsAboutOpeningTheStore) {
  EXPECT_EQ(U8(OpenFailedMessage({})), "開啟組態系統組態檔案錯誤！");
  EXPECT_EQ(U8(OpenFailedMessage(std::filesystem::path("dir") / "lumatrove.cfg.bad.2")),
            "開啟組態系統組態檔案錯誤！\n原檔案已另存為 lumatrove.cfg.bad.2");
  IdRepairs repairs;
  EXPECT_TRUE(IdRepairLogLines(repairs).empty());
  repairs.renumbered = {{u"Office", u"", u"8"}, {u"Home", u"3", u"9"}};
  repairs.oldLastId = u"abc";
  repairs.newLastId = u"9";
  const std::vector<std::u16string> lines = IdRepairLogLines(repairs);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(U8(lines[0]), "組態[Office]缺少ID,已指定新ID 8");
  EXPECT_EQ(U8(lines[1]), "組態[Home]的ID 3 與前面的組態重複,已改為新ID 9");
  EXPECT_EQ(U8(lines[2]), "組態檔的LASTID已由 abc 調整為 9");
  repairs.renumbered.clear();
  repairs.oldLastId.clear();
  EXPECT_EQ(U8(IdRepairLogLines(repairs).at(0)), "組態檔的LASTID已設為 9");
}

}  // namespace
}  // namespace lumatrove

namespace lumatrove {
namespace {

std::unique_ptr<AdapterInfo> Adapter(std::u16string name, std::u16string description, int dhcp,
                                     int status) {
  auto a = std::make_unique<AdapterInfo>();
  a->connectionName = std::move(name);
  a->description = std::move(description);
  a->dhcpEnabled = dhcp;
  a->statusEnabled = status;
  return a;
}

// Pixel sizes laid out for 96 DPI at 120 and 144 DPI; the icon of the nearest size held.
TEST(MainWindowModel, SizesFollowTheDpi) {
  struct Case {
    int dpi, available;
    std::array<int, 4> columns;
    int icon;
  };
  const Case cases[] = {
      {96, 1000, {37, 40, 225, 120}, 32},
      {120, 1000, {46, 50, 281, 150}, 32},  // 40 lies between 32 and 48: the smaller fits
      {144, 1000, {56, 60, 338, 180}, 48},
      {192, 1000, {74, 80, 450, 240}, 48},
      {120, 502, {46, 50, 256, 150}, 32},  // the name column gives way
      {96, 100, {37, 40, 112, 120}, 32},   // but keeps half its width
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProfileColumnWidths(c.dpi, c.available), c.columns) << c.dpi << " " << c.available;
    EXPECT_EQ(NearestIconSize(ScaleToDpi(32, c.dpi), {16, 32, 48}), c.icon) << c.dpi;
  }
  EXPECT_EQ(ScaleToDpi(36, 144), 54);
  EXPECT_EQ(ScaleToDpi(37, 144), 56);  // rounded
}

TEST(Texts, FillPutsEachValueInItsPlaceOnce) {
  EXPECT_EQ(U8(texts::Fill(u"[%s] %s.", {u"%s", u"b"})), "[%s] b.");  // values are not rescanned
  EXPECT_EQ(U8(texts::Fill(u"%s and %s", {u"a"})), "a and %s");       // too few values
  EXPECT_EQ(U8(texts::Fill(u"100%", {u"a"})), "100%");
}

TEST(CurrentSettings, TextOfEachKindOfAdapter) {
  std::vector<std::unique_ptr<AdapterInfo>> adapters;
  adapters.push_back(Adapter(u"Wi-Fi", u"Realtek", 1, 1));
  auto fixed = Adapter(u"區域連線", u"Intel", 0, 1);
  fixed->ipAddresses = {u"192.168.1.10"};
  fixed->subnetMasks = {u"255.255.255.0"};
  fixed->gateways = {u"192.168.1.1"};
  fixed->dnsServers = {u"168.95.1.1", u"8.8.8.8"};
  adapters.push_back(std::move(fixed));
  auto emptyDns = Adapter(u"LAN 2", u"NIC", 0, 1);
  emptyDns->dnsServers = {u""};  // a NameServer value that exists but is empty
  adapters.push_back(std::move(emptyDns));
  adapters.push_back(Adapter(u"", u"No identifier", 0, 0));
  const std::string separator = "\r\n" + std::string(40, '=') + "\r\n";
  EXPECT_EQ(U8(CurrentSettingsText(adapters)),
            "Wi-Fi-->Realtek\r\n自動取得IP組態！\r\n\r\n網路狀態:啟用" + separator +
                "區域連線-->Intel\r\n預設IP位址:192.168.1.10\r\n\r\n子网掩码:255.255.255.0\r\n"
                "\r\n預設網關:192.168.1.1\r\n\r\n預設DNS伺服器:168.95.1.1\r\n"
                "\r\n預設DNS伺服器:8.8.8.8\r\n\r\n網路狀態:啟用" +
                separator + "LAN 2-->NIC\r\n預設DNS伺服器:\r\n\r\n網路狀態:啟用" + separator +
                "-->No identifier\r\n網路狀態:禁用" + separator);
  EXPECT_EQ(U8(CurrentSettingsText({})), "");
}

TEST(CurrentSettings, BackupNeedsANameWithMoreThanBlanks) {
  EXPECT_TRUE(IsUsableProfileName(u"家裡"));
  EXPECT_TRUE(IsUsableProfileName(u" <a & \"b\"> "));
  EXPECT_FALSE(IsUsableProfileName(u""));
  EXPECT_FALSE(IsUsableProfileName(u"  \t "));
  EXPECT_FALSE(IsUsableProfileName(u"\u3000"));
}

}  // namespace
}  // namespace lumatrove
