// The console program's commands on the in-memory computer: what each prints, its exit code,
// and what it leaves in the configuration file and on the adapters.
#include <gtest/gtest.h>

#include "../store/store_test_util.h"
#include "console/console_session.h"
#include "console/json_text.h"
#include "console/utf8_prefix.h"
#include "netcfg/net_adapter_layer.h"
#include "store/logon_task.h"
#include "store/system_path.h"

namespace lumatrove {
namespace {

using test::U8;

constexpr char kWifi[] = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

std::string Connection(const char* type, const char* ip, const char* gateway = "") {
  return std::string("<CONNECTION NAME=\"Wi-Fi\" GUID=\"") + kWifi + "\" TYPE=\"" + type +
         "\" EnableCheck=\"1\"><IPADD><IP>" + ip + "</IP></IPADD><MASKADD><IP>" +
         (*ip != 0 ? "255.255.255.0" : "") + "</IP></MASKADD><GATEWAY><IP>" + gateway +
         "</IP></GATEWAY><DNSADD><IP/><IP/></DNSADD></CONNECTION>";
}
std::string Profile(const char* id, const char* name, const std::string& connection) {
  return std::string("<NETSETING NAME=\"") + name + "\" ID=\"" + id + "\">" + connection +
         "</NETSETING>";
}
const std::string kSettings =
    "<SYSCONFIG VERSION=\"2.0\"><AUTOEXEC>FALSE</AUTOEXEC><AUTOUPDATE>FALSE</AUTOUPDATE>"
    "<LOGFLAG>TRUE</LOGFLAG></SYSCONFIG>";

class Console : public test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    computer_.AddAdapter({.guid = u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}",
                          .description = u"WIFI",
                          .connectionName = u"Wi-Fi",
                          .mac = "00:0c:29:00:00:02",
                          .dhcp = true});
    WriteFile(ConfigFile(),
              "<LUMATROVE><CONFIG LASTID=\"5\">" +
                  Profile("1", "辦公室", Connection("0", "192.168.1.20", "192.168.1.1")) +
                  Profile("2", "家裡", Connection("1", "")) +
                  Profile("3", "lab", Connection("0", "10.0.0.7")) +
                  Profile("4", "lab", Connection("1", "")) +
                  Profile("5", "broken", Connection("0", "127.0.0.1")) + "</CONFIG>" + kSettings +
                  "</LUMATROVE>");
    layer_.DetectWindowsVersion();
    host_.out = [this](std::u16string_view line) { out_ += U8(line) + "\n"; };
    host_.err = [this](std::u16string_view line) { err_ += U8(line) + "\n"; };
    host_.apply.askArp = [this](const std::vector<ArpQuestion>& questions) {
      std::vector<ArpAnswer> answers(questions.size());
      for (size_t i = 0; i < questions.size(); ++i) {
        answers[i].answered = true;
        answers[i].result =
            computer_.SendArp(questions[i].target, answers[i].mac, &answers[i].length);
      }
      return answers;
    };
    host_.apply.sleep = [this](unsigned ms) { slept_ += ms; };
    host_.apply.runNetsh = [this](uint32_t index, const Ipv4Settings& settings) {
      return layer_.ApplyWithNetsh(index, settings);
    };
  }

  ExitCode Run(std::vector<std::u16string> arguments) {
    out_.clear();
    err_.clear();
    const ParsedArguments parsed = ParseConsoleArguments(arguments);
    if (!parsed.command) {
      err_ = U8(parsed.error);
      return ExitCode::kUsage;
    }
    ProfileStore store(system_);
    NetAdapterLayer layer(computer_);
    layer.DetectWindowsVersion();
    ConsoleSession session(store, layer, system_, host_);
    return session.Run(*parsed.command);
  }
  std::string LiveAddress() {
    layer_.DiscoverAdapters();
    return U8(layer_.ReadLiveAdapters().at(0).addresses.at(0));
  }

  NetAdapterLayer layer_{computer_};
  ConsoleHost host_;
  std::string out_, err_;
  unsigned slept_ = 0;
};

TEST(ConsoleArguments, OneCommandWithTheOptionsItTakes) {
  struct Case {
    std::vector<std::u16string> arguments;
    const char* error;  // "" when the arguments are a command
  };
  const Case cases[] = {
      {{u"--list", u"--json"}, ""},
      {{u"--apply", u"辦公室", u"--force", u"--no-wait"}, ""},
      {{u"--export", u"out.cfg", u"1", u"3"}, ""},
      {{u"/?"}, ""},
      {{}, "缺少命令"},
      {{u"--apply"}, "--apply 缺少參數"},
      {{u"--apply", u"1", u"2"}, "--apply 缺少參數"},
      {{u"--list", u"--force"}, "無法識別的參數：--force"},
      {{u"--list", u"extra"}, "無法識別的參數：extra"},
      {{u"--frobnicate"}, "無法識別的參數：--frobnicate"},
      {{u"list"}, "無法識別的參數：list"},
      {{u"--settings", u"autostart=1", u"path=0"}, ""},
      {{u"--settings"}, "--settings 缺少參數"},
      {{u"--settings", u"autostart=2"}, "無法識別的參數：autostart=2"},
      {{u"--settings", u"proxy=1"}, "無法識別的參數：proxy=1"},
  };
  for (const Case& c : cases) {
    const ParsedArguments parsed = ParseConsoleArguments(c.arguments);
    EXPECT_EQ(parsed.command.has_value(), *c.error == 0) << c.error;
    EXPECT_NE(U8(parsed.error).find(c.error), std::string::npos) << U8(parsed.error);
  }
  const ConsoleCommand apply =
      *ParseConsoleArguments({u"--apply", u"辦公室", u"--force", u"--no-wait"}).command;
  EXPECT_EQ(U8(apply.target), "辦公室");
  EXPECT_TRUE(apply.force && apply.noWait && !apply.json);
  const ConsoleCommand out = *ParseConsoleArguments({u"--export", u"o.cfg", u"1", u"3"}).command;
  EXPECT_EQ(U8(out.file), "o.cfg");
  EXPECT_EQ(out.ids, (std::vector<std::u16string>{u"1", u"3"}));
}

TEST(JsonText, EscapesAndSeparates) {
  JsonText j;
  j.BeginObject().Key(u"a").String(u"引號\"\\\n\x01").Key(u"b").BeginArray();
  j.Number(-3).Bool(true).BeginObject().EndObject().Strings({u"x", u"y"}).EndArray();
  j.Key(u"c").Strings({}).EndObject();
  EXPECT_EQ(U8(j.Text()), R"({"a":"引號\"\\\n\u0001","b":[-3,true,{},["x","y"]],"c":[]})");
}

TEST(Utf8Prefix, ACharacterCutShortWaitsForTheRest) {
  const std::string text = "a實";  // 'a' and three bytes
  for (size_t cut = 0; cut <= text.size(); ++cut)
    EXPECT_EQ(WholeUtf8Prefix(text.substr(0, cut)), cut == 4 ? 4u : cut == 0 ? 0u : 1u) << cut;
  EXPECT_EQ(WholeUtf8Prefix("\xF0\x9F\x98"), 0u);       // three of a four-byte character
  EXPECT_EQ(WholeUtf8Prefix("\xF0\x9F\x98\x80"), 4u);   // all four
  EXPECT_EQ(WholeUtf8Prefix("x\x80\x80\x80\x80"), 5u);  // stray continuations: no wait
}

TEST_F(Console, ListShowAndCurrentAsTextAndJson) {
  ASSERT_EQ(Run({u"--apply", u"2"}), ExitCode::kDone);
  EXPECT_EQ(Run({u"--list"}), ExitCode::kDone);
  EXPECT_EQ(out_, "  1\t辦公室\n* 2\t家裡\n  3\tlab\n* 4\tlab\n  5\tbroken\n");
  EXPECT_EQ(Run({u"--list", u"--json"}), ExitCode::kDone);
  EXPECT_EQ(
      out_.rfind(
          R"([{"id":"1","name":"辦公室","active":false},{"id":"2","name":"家裡","active":true},)",
          0),
      0u)
      << out_;
  EXPECT_EQ(Run({u"--show", u"辦公室", u"--json"}), ExitCode::kDone);
  EXPECT_NE(
      out_.find(
          R"("mode":"manual","addresses":[{"address":"192.168.1.20","mask":"255.255.255.0"}],)"
          R"("gateways":[{"address":"192.168.1.1","metric":0}],"dnsServers":[]})"),
      std::string::npos)
      << out_;
  EXPECT_EQ(Run({u"--show", u"1"}), ExitCode::kDone);
  EXPECT_EQ(out_.rfind("1\t辦公室\n", 0), 0u) << out_;
  EXPECT_NE(out_.find("192.168.1.20"), std::string::npos);
  EXPECT_EQ(Run({u"--current", u"--json"}), ExitCode::kDone);
  EXPECT_NE(out_.find(R"("connection":"Wi-Fi","adapter":"WIFI")"), std::string::npos) << out_;
  EXPECT_NE(out_.find(R"("dhcp":true,"addresses":[{"address":"192.168.1.100")"), std::string::npos);
  EXPECT_EQ(Run({u"--current"}), ExitCode::kDone);
  EXPECT_NE(out_.find("IP 位址：192.168.1.100 / 255.255.255.0"), std::string::npos) << out_;
}

// Every way an apply can end, with its exit code and the line that says why.
TEST_F(Console, ApplyEndsInTheCodeThatSaysWhatHappened) {
  struct Case {
    std::vector<std::u16string> arguments;
    ExitCode code;
    const char* says;  // in standard output for 0, else in standard error
    const char* live;  // the Wi-Fi adapter's live address afterwards
  };
  computer_.arpAnswers["192.168.1.20"] = "00:11:22:33:44:55";
  const Case cases[] = {
      {{u"--apply", u"9"}, ExitCode::kNoProfile, "沒有這個組態：9", "192.168.1.100"},
      {{u"--apply", u"lab"}, ExitCode::kUsage, "（ID：3, 4）", "192.168.1.100"},
      {{u"--apply", u"broken"}, ExitCode::kInvalidAddress, "127.0.0.1", "192.168.1.100"},
      {{u"--apply", u"辦公室"}, ExitCode::kAddressInUse, "00-11-22-33-44-55", "192.168.1.100"},
      {{u"--apply", u"辦公室", u"--force"},
       ExitCode::kDone,
       "套用網路組態[辦公室]成功!",
       "192.168.1.20"},
      {{u"--apply", u"3"}, ExitCode::kDone, "套用網路組態[lab]成功!", "10.0.0.7"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.arguments), c.code) << c.says;
    EXPECT_NE((c.code == ExitCode::kDone ? out_ : err_).find(c.says), std::string::npos)
        << out_ << err_;
    EXPECT_EQ(LiveAddress(), c.live) << c.says;
  }
  // The log beside the program has the applies, as the window's would (UTF-16).
  const std::string log = ReadFile(dir_ / "system.log");
  EXPECT_NE(log.find(std::string("[\0l\0a\0b\0]\0", 10)), std::string::npos);

  // Windows that shows nothing in time, even after netsh: 4, after the whole wait.
  computer_.tableFollowsNotifications = false;
  computer_.netshResult = 1;
  computer_.version = {10, 0, 19045, 2};
  slept_ = 0;
  EXPECT_EQ(Run({u"--apply", u"2"}), ExitCode::kNotShown);
  EXPECT_EQ(slept_, kApplyWaitMs);
  EXPECT_NE(err_.find("Wi-Fi"), std::string::npos) << err_;
  // Without waiting, the same apply is done as far as the console can tell.
  EXPECT_EQ(Run({u"--apply", u"2", u"--no-wait"}), ExitCode::kDone);
  // An adapter that is not there cannot be written.
  computer_.tableFollowsNotifications = true;
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"1\">" +
                Profile("1", "gone", "<CONNECTION NAME=\"x\" GUID=\"{0}\" TYPE=\"1\"/>") +
                "</CONFIG>" + kSettings + "</LUMATROVE>");
  EXPECT_EQ(Run({u"--apply", u"gone"}), ExitCode::kWriteFailed);
}

TEST_F(Console, UndoGoesBackAndSaysSoWhenThereIsNothing) {
  EXPECT_EQ(Run({u"--undo"}), ExitCode::kNoProfile);
  EXPECT_NE(err_.find("沒有可還原的設定"), std::string::npos);
  ASSERT_EQ(Run({u"--apply", u"3"}), ExitCode::kDone);
  ASSERT_EQ(LiveAddress(), "10.0.0.7");
  EXPECT_EQ(Run({u"--undo"}), ExitCode::kDone);
  EXPECT_EQ(LiveAddress(), "192.168.1.100");
}

// A profile's proxy is applied with its connections, kept in the undo snapshot, part of what
// makes the profile live, and checked before anything is written.
TEST_F(Console, TheProxyGoesWithTheProfileAndComesBackWithUndo) {
  auto withProxy = [](const char* id, const char* name, const char* attributes) {
    return std::string("<NETSETING NAME=\"") + name + "\" ID=\"" + id + "\" " + attributes + ">" +
           Connection("1", "") + "</NETSETING>";
  };
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"3\">" +
                withProxy("1", "office",
                          "PROXY=\"server\" PROXYSERVER=\"proxy.corp:8080\" "
                          "PROXYBYPASS=\"*.corp\" PROXYLOCAL=\"1\"") +
                withProxy("2", "broken", "PROXY=\"server\" PROXYSERVER=\"proxy.corp\"") +
                withProxy("3", "plain", "") + "</CONFIG>" + kSettings + "</LUMATROVE>");
  EXPECT_EQ(Run({u"--apply", u"broken"}), ExitCode::kInvalidAddress);
  EXPECT_NE(err_.find("「proxy.corp」"), std::string::npos) << err_;
  EXPECT_EQ(system_.proxy.writes, 0);

  ASSERT_EQ(Run({u"--apply", u"office"}), ExitCode::kDone);
  EXPECT_EQ(system_.proxy.setting,
            (ProxySetting{ProxySetting::Mode::kServer, u"proxy.corp:8080", u"*.corp", true, u""}));
  EXPECT_EQ(Run({u"--list"}), ExitCode::kDone);
  EXPECT_EQ(out_, "* 1\toffice\n  2\tbroken\n* 3\tplain\n");
  EXPECT_EQ(Run({u"--show", u"1"}), ExitCode::kDone);
  EXPECT_NE(out_.find("Proxy：proxy.corp:8080（例外：*.corp;<local>）"), std::string::npos) << out_;

  ASSERT_EQ(Run({u"--undo"}), ExitCode::kDone);
  EXPECT_EQ(system_.proxy.setting, (ProxySetting{ProxySetting::Mode::kOff}));
  EXPECT_EQ(Run({u"--list"}), ExitCode::kDone);
  EXPECT_EQ(out_.substr(0, 10), "  1\toffice");
  // A proxy that WinINet refuses is a write that failed.
  system_.proxy.refuses = true;
  EXPECT_EQ(Run({u"--apply", u"office"}), ExitCode::kWriteFailed);
}

// Without elevation the instance in the tray applies; its answer is the exit code. Without
// an instance that takes it, the console says to use an elevated prompt.
TEST_F(Console, WithoutElevationTheInstanceInTheTrayApplies) {
  host_.elevated = false;
  EXPECT_EQ(Run({u"--apply", u"家裡"}), ExitCode::kNeedsAdministrator);
  EXPECT_NE(err_.find("系統管理員"), std::string::npos);
  std::vector<std::string> sent;
  intptr_t answer = kQuietAnswer;
  host_.forward = [&](const HandOff& handOff) -> std::optional<intptr_t> {
    sent.push_back(U8(HandOffText(handOff)));
    return answer;
  };
  EXPECT_EQ(Run({u"--apply", u"家裡", u"--force"}), ExitCode::kDone);
  EXPECT_NE(out_.find("套用網路組態[家裡]成功!"), std::string::npos);
  answer = kQuietAnswer + static_cast<int>(ExitCode::kAddressInUse);
  EXPECT_EQ(Run({u"--apply", u"1", u"--no-wait"}), ExitCode::kAddressInUse);
  answer = kQuietAnswerBusy;
  EXPECT_EQ(Run({u"--undo"}), ExitCode::kWriteFailed);
  EXPECT_NE(err_.find("正在套用另一個組態"), std::string::npos);
  EXPECT_EQ(sent, (std::vector<std::string>{"-n2 quiet force", "-n1 quiet nowait", "undo quiet"}));
  // Nothing was written here: the tray did it.
  EXPECT_EQ(LiveAddress(), "192.168.1.100");
  // Looking needs no instance and no elevation.
  EXPECT_EQ(Run({u"--list"}), ExitCode::kDone);
}

TEST_F(Console, ExportAndImportMoveProfilesWithFreshIds) {
  // The proxy and the networks go along; the keyboard shortcut stays.
  const NetworkRules networks{{{NetworkRule::Kind::kSsid, u"Office"}}, true};
  const ProxySetting proxy{ProxySetting::Mode::kServer, u"proxy.corp:8080"};
  {
    ProfileStore store(system_);
    ASSERT_EQ(store.Open(), 1);
    ASSERT_TRUE(store.SetProfileNetworks(u"1", networks) && store.SetProfileProxy(u"1", proxy) &&
                store.SetProfileHotkey(u"1", u"Ctrl+Alt+O") && store.Save());
  }
  const auto exported = dir_ / "two.cfg";
  EXPECT_EQ(Run({u"--export", FromPath(exported), u"1", u"9"}), ExitCode::kNoProfile);
  EXPECT_FALSE(std::filesystem::exists(exported));
  ASSERT_EQ(Run({u"--export", FromPath(exported), u"1", u"2"}), ExitCode::kDone);
  EXPECT_EQ(Run({u"--check", FromPath(exported)}), ExitCode::kDone);
  EXPECT_NE(out_.find("2 個組態"), std::string::npos) << out_;

  ASSERT_EQ(Run({u"--import", FromPath(exported)}), ExitCode::kDone);
  ProfileStore store(system_);
  ASSERT_EQ(store.Open(), 1);
  ASSERT_EQ(store.profiles.size(), 7u);
  EXPECT_EQ(U8(store.profiles[5]->id), "6");
  EXPECT_EQ(U8(store.profiles[5]->name), "辦公室");
  EXPECT_EQ(store.profiles[5]->networks, networks);
  EXPECT_EQ(store.profiles[5]->proxy, proxy);
  EXPECT_EQ(store.profiles[5]->hotkey, u"");
  EXPECT_EQ(U8(store.profiles[6]->id), "7");
  EXPECT_EQ(U8(store.profiles[6]->connections.at(0)->connectionName), "Wi-Fi");

  // A file with one profile that cannot be applied, one that is no configuration, one that
  // is not there: nothing changes.
  const std::string before = ReadFile(ConfigFile());
  const auto bad = dir_ / "bad.cfg";
  struct Case {
    std::string bytes;  // "" for no file at all
    ExitCode code;
    const char* says;
  };
  const Case cases[] = {
      {"<LUMATROVE><CONFIG>" + Profile("1", "ok", Connection("1", "")) +
           Profile("2", "bad", Connection("0", "10.0.0.1", "10.0.0.1")) + "</CONFIG></LUMATROVE>",
       ExitCode::kInvalidAddress, "10.0.0.1"},
      {"<LUMATROVE><CONFIG>" + Profile("1", "  ", Connection("1", "")) + "</CONFIG></LUMATROVE>",
       ExitCode::kInvalidAddress, "第 1 個組態沒有名稱"},
      {"<LUMATROVE><CONFIG><NETSETING NAME=\"x\" ID=\"1\" NETWORKS=\"gw:zz\">" +
           Connection("1", "") + "</NETSETING></CONFIG></LUMATROVE>",
       ExitCode::kInvalidAddress, "「zz」"},
      {"<html>", ExitCode::kInvalidAddress, "不是 Lumatrove 的組態檔"},
      {"<LUMATROVE><CONFIG/></LUMATROVE>", ExitCode::kInvalidAddress, "沒有任何組態"},
      {"", ExitCode::kUsage, "無法讀取檔案"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(bad);
    if (!c.bytes.empty()) WriteFile(bad, c.bytes);
    for (const char16_t* verb : {u"--check", u"--import"}) {
      EXPECT_EQ(Run({verb, FromPath(bad)}), c.code) << c.says;
      EXPECT_NE(err_.find(c.says), std::string::npos) << err_;
    }
    EXPECT_EQ(ReadFile(ConfigFile()), before) << c.says;
  }
}

TEST(SystemPath, TheFolderIsAddedOnceAndTakenOffWherever) {
  struct Case {
    std::u16string list;
    bool present;
    const char* result;
  };
  const std::u16string folder = u"C:\\Program Files\\Lumatrove";
  const Case cases[] = {
      {u"%SystemRoot%\\system32;C:\\Tools", true,
       "%SystemRoot%\\system32;C:\\Tools;C:\\Program Files\\Lumatrove"},
      {u"C:\\Tools;", true, "C:\\Tools;C:\\Program Files\\Lumatrove"},
      {u"", true, "C:\\Program Files\\Lumatrove"},
      {u"c:\\program files\\LUMATROVE\\;C:\\Tools", true,
       "c:\\program files\\LUMATROVE\\;C:\\Tools"},
      {u"C:\\Program Files\\Lumatrove;C:\\Tools;;c:\\program files\\lumatrove\\", false,
       "C:\\Tools;"},
      {u"C:\\Program Files\\Lumatrove Old;C:\\Tools", false,
       "C:\\Program Files\\Lumatrove Old;C:\\Tools"},
      {u"C:\\Program Files\\Lumatrove", false, ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(U8(PathListWith(c.list, folder, c.present)), c.result) << U8(c.list);
}

TEST_F(Console, SettingsForARollOut) {
  RegHandle key = 0;
  ASSERT_EQ(computer_.registry().CreateKey(RegRoot::kLocalMachine, kEnvironmentKey, key), 0);
  const std::vector<uint8_t> path = RegSzImage(u"%SystemRoot%\\system32");
  computer_.registry().SetValue(key, u"Path", kRegExpandSz, path.data(),
                                static_cast<uint32_t>(path.size()));
  // The console program registers the start of the window program beside it.
  system_.programPath = FromPath(dir_ / "lumatrove.com");
  system_.tasks.available = true;
  host_.elevated = false;
  EXPECT_EQ(Run({u"--settings", u"autostart=1"}), ExitCode::kNeedsAdministrator);
  host_.elevated = true;
  int broadcasts = 0;
  host_.environmentChanged = [&] { ++broadcasts; };
  ASSERT_EQ(Run({u"--settings", u"autostart=1", u"updatecheck=1", u"path=1"}), ExitCode::kDone);
  const std::string config = ReadFile(ConfigFile());
  EXPECT_NE(config.find("<AUTOEXEC>TRUE</AUTOEXEC>"), std::string::npos) << config;
  EXPECT_NE(config.find("<AUTOUPDATE>TRUE</AUTOUPDATE>"), std::string::npos);
  ASSERT_EQ(system_.tasks.tasks.count(std::u16string(kLogonTaskName)), 1u);
  EXPECT_TRUE(LogonTaskStarts(system_.tasks.tasks.at(std::u16string(kLogonTaskName)),
                              FromPath(dir_ / "lumatrove.exe")));
  std::vector<uint8_t> bytes;
  uint32_t type = 0;
  RegKey environment(computer_.registry());
  ASSERT_EQ(environment.Open(RegRoot::kLocalMachine, kEnvironmentKey, RegAccess::kRead), 0);
  ASSERT_TRUE(environment.Read(u"Path", 4096, bytes, &type));
  EXPECT_EQ(type, kRegExpandSz);
  EXPECT_EQ(U8(RegText(bytes)), "%SystemRoot%\\system32;" + U8(FromPath(dir_)));
  // Again: nothing changes, nothing is announced; then off, and the path is as it was.
  ASSERT_EQ(Run({u"--settings", u"path=1"}), ExitCode::kDone);
  EXPECT_EQ(broadcasts, 1);
  ASSERT_EQ(Run({u"--settings", u"path=0", u"autostart=0"}), ExitCode::kDone);
  ASSERT_TRUE(environment.Read(u"Path", 4096, bytes, &type));
  EXPECT_EQ(U8(RegText(bytes)), "%SystemRoot%\\system32");
  EXPECT_TRUE(system_.tasks.tasks.empty());

  // A Path that is no text is never written over.
  const uint8_t binary[] = {1, 2, 3, 4};
  computer_.registry().SetValue(key, u"Path", kRegBinary, binary, sizeof binary);
  EXPECT_EQ(Run({u"--settings", u"path=1"}), ExitCode::kWriteFailed);
  ASSERT_TRUE(environment.Read(u"Path", 4096, bytes, &type));
  EXPECT_EQ(type, kRegBinary);
  computer_.registry().CloseKey(key);
}

}  // namespace
}  // namespace lumatrove
