// An apply followed through what Windows shows, on the in-memory computer: the live adapters
// read through the IP Helper, the wait after an apply, the conflict check before it, the
// undo snapshot taken before it and applied back, and the keep-the-settings countdown.
#include <gtest/gtest.h>

#include "../store/store_test_util.h"
#include "netcfg/net_adapter_layer.h"
#include "store/address_conflict.h"
#include "store/connection_check.h"
#include "store/undo_snapshot.h"
#include "texts.h"
#include "ui/model/auto_switch.h"
#include "ui/model/keep_settings_model.h"
#include "ui/model/live_state.h"
#include "ui/model/settings_model.h"

namespace lumatrove {
namespace {

using test::U8;

constexpr char kLan[] = "{11111111-2222-3333-4444-555555555555}";
constexpr char kWifi[] = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

std::string Connection(const char* guid, const char* name, const char* type, const char* ip,
                       const char* mask, const char* gateway, const char* dns) {
  return std::string("<CONNECTION NAME=\"") + name + "\" GUID=\"" + guid + "\" TYPE=\"" + type +
         "\" EnableCheck=\"1\"><IPADD><IP>" + ip + "</IP></IPADD><MASKADD><IP>" + mask +
         "</IP></MASKADD><GATEWAY><IP>" + gateway + "</IP></GATEWAY><DNSADD><IP>" + dns +
         "</IP><IP/></DNSADD></CONNECTION>";
}

// Two profiles: 1 puts the wireless adapter on 192.168.1.20, 2 puts the wired one on DHCP
// and leaves the wireless one alone.
const std::string kProfiles =
    "<NETSETING NAME=\"office\" ID=\"1\">" +
    Connection(kWifi, "Wi-Fi", "0", "192.168.1.20", "255.255.255.0", "192.168.1.1", "192.168.1.1") +
    "</NETSETING><NETSETING NAME=\"home\" ID=\"2\">" +
    Connection(kLan, "LAN", "1", "", "", "", "") + Connection(kWifi, "Wi-Fi", "2", "", "", "", "") +
    "</NETSETING>";

class ApplyFollow : public test::StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    // The wired adapter starts fixed, the wireless one fixed on the office network.
    computer_.AddAdapter({.guid = u"{11111111-2222-3333-4444-555555555555}",
                          .description = u"LAN",
                          .connectionName = u"LAN",
                          .mac = "00:0c:29:00:00:01",
                          .dhcp = false,
                          .ip = u"10.1.1.5",
                          .mask = u"255.255.255.0",
                          .gateway = u"10.1.1.1",
                          .nameServer = u"10.1.1.1"});
    computer_.AddAdapter({.guid = u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}",
                          .description = u"WIFI",
                          .connectionName = u"Wi-Fi",
                          .mac = "00:0c:29:00:00:02",
                          .dhcp = false,
                          .ip = u"192.168.1.10",
                          .mask = u"255.255.255.0",
                          .gateway = u"192.168.1.1",
                          .nameServer = u"192.168.1.1"});
    WriteFile(ConfigFile(), "<LUMATROVE><CONFIG LASTID=\"2\">" + kProfiles +
                                "</CONFIG><SYSCONFIG VERSION=\"2.0\"><AUTOEXEC>FALSE</AUTOEXEC>"
                                "<AUTOUPDATE>FALSE</AUTOUPDATE><LOGFLAG>FALSE</LOGFLAG>"
                                "</SYSCONFIG></LUMATROVE>");
    ASSERT_EQ(store_.Open(), 1);
    layer_.DetectWindowsVersion();
    ASSERT_EQ(layer_.DiscoverAdapters(), 2);
  }

  const Profile& ProfileAt(size_t i) const { return *store_.profiles.at(i); }
  std::vector<LiveAdapter> Live() { return layer_.ReadLiveAdapters(); }
  // Waits as the window does, counting the polls instead of sleeping.
  ApplyWaitOutcome Wait(const Profile& p) {
    sleeps_.clear();
    return WaitUntilApplied(
        p, [this] { return Live(); }, [this](unsigned ms) { sleeps_.push_back(ms); });
  }

  ProfileStore store_{system_};
  NetAdapterLayer layer_{computer_};
  std::vector<unsigned> sleeps_;
};

TEST_F(ApplyFollow, LiveAdaptersComeFromTheAdapterTableInDiscoveryOrder) {
  std::vector<LiveAdapter> live = Live();
  ASSERT_EQ(live.size(), 2u);
  EXPECT_EQ(U8(live[0].connectionName), "LAN");
  EXPECT_FALSE(live[0].dhcp);
  EXPECT_EQ(U8(live[1].addresses.at(0)), "192.168.1.10");
  EXPECT_EQ(U8(live[1].masks.at(0)), "255.255.255.0");
  EXPECT_EQ(U8(live[1].gateways.at(0)), "192.168.1.1");
  EXPECT_EQ(U8(live[1].dnsServers.at(0)), "192.168.1.1");

  // An adapter the IP Helper does not report is not live; a table that cannot be read
  // leaves nothing live.
  computer_.adapterTable.erase(computer_.adapterTable.begin());
  live = Live();
  ASSERT_EQ(live.size(), 1u);
  EXPECT_EQ(U8(live[0].connectionName), "Wi-Fi");
  computer_.adapterTableError = 1;
  EXPECT_TRUE(Live().empty());
}

TEST_F(ApplyFollow, WaitEndsAsSoonAsWindowsShowsTheProfile) {
  EXPECT_EQ(LiveProfiles(store_.profiles, Live()), (std::vector<bool>{false, false}));

  ASSERT_TRUE(store_.ApplyProfile(u"1"));
  ApplyWaitOutcome outcome = Wait(ProfileAt(0));
  EXPECT_TRUE(outcome.Settled());
  EXPECT_TRUE(sleeps_.empty());
  EXPECT_EQ(ApplyWaitMessage(outcome), u"");
  EXPECT_EQ(LiveProfiles(store_.profiles, Live()), (std::vector<bool>{true, false}));

  // DHCP on the wired adapter: live once it has a lease; the office profile stays live
  // because the wireless adapter is left alone.
  ASSERT_TRUE(store_.ApplyProfile(u"2"));
  EXPECT_TRUE(Wait(ProfileAt(1)).Settled());
  LiveState state;
  state.Refresh(layer_);
  EXPECT_EQ(state.LiveRows(store_.profiles), (std::vector<bool>{true, true}));
  EXPECT_EQ(U8(state.ToolTip()),
            "Torvane（Lumatrove）\nLAN DHCP 192.168.1.100\nWi-Fi 192.168.1.20");
}

TEST_F(ApplyFollow, WindowsThatDoesNotFollowEndsInTheTimeoutMessage) {
  computer_.tableFollowsNotifications = false;
  ASSERT_TRUE(store_.ApplyProfile(u"1"));
  const ApplyWaitOutcome outcome = Wait(ProfileAt(0));
  ASSERT_EQ(outcome.notShown.size(), 1u);
  EXPECT_TRUE(outcome.privateAddress.empty());
  // Twenty polls of half a second: ten seconds.
  EXPECT_EQ(sleeps_.size(), 20u);
  unsigned total = 0;
  for (unsigned ms : sleeps_)
    total += ms;
  EXPECT_EQ(total, kApplyWaitMs);
  EXPECT_EQ(U8(ApplyWaitMessage(outcome)),
            U8(texts::NewSettingsNotShown(u"Wi-Fi", u"IP位址 192.168.1.10（應為 192.168.1.20）")));

  // Windows catches up during the wait: the wait ends there.
  int polls = 0;
  const ApplyWaitOutcome late = WaitUntilApplied(
      ProfileAt(0),
      [&] {
        if (++polls == 4) computer_.RefreshAdapterTable(u"{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
        return Live();
      },
      [](unsigned) {});
  EXPECT_TRUE(late.Settled());
  EXPECT_EQ(polls, 4);
}

// Windows that does not follow the notification within three seconds gets the profile's
// values through netsh once, and the wait ends as soon as it shows them.
TEST_F(ApplyFollow, LateWindowsGetsTheValuesThroughNetshOnce) {
  computer_.tableFollowsNotifications = false;
  computer_.version = {10, 0, 19045, 2};
  ASSERT_TRUE(store_.ApplyProfile(u"1"));
  std::vector<unsigned> lateAfter;
  unsigned waited = 0;
  auto late = [&](const ApplyWaitOutcome& o) {
    lateAfter.push_back(waited);
    ASSERT_EQ(o.notShown.size(), 1u);
    EXPECT_EQ(U8(o.notShown[0].instanceId), kWifi);
    const std::optional<Ipv4Settings> settings = SettingsOf(*ProfileAt(0).connections.at(0));
    ASSERT_TRUE(settings);
    EXPECT_TRUE(layer_.ApplyWithNetsh(Live().at(1).interfaceIndex, *settings));
  };
  const ApplyWaitOutcome outcome = WaitUntilApplied(
      ProfileAt(0), [&] { return Live(); }, [&](unsigned ms) { waited += ms; }, kApplyWaitMs,
      kApplyPollMs, late);
  EXPECT_TRUE(outcome.Settled());
  EXPECT_EQ(lateAfter, (std::vector<unsigned>{kApplyLateMs}));
  EXPECT_EQ(waited, kApplyLateMs);
  EXPECT_EQ(computer_.netshRuns,
            (std::vector<std::string>{
                "interface ipv4 set address name=17 source=static address=192.168.1.20 "
                "mask=255.255.255.0 gateway=192.168.1.1 gwmetric=1",
                "interface ipv4 set dnsservers name=17 source=static address=192.168.1.1 "
                "register=primary validate=no"}));

  // Where Windows follows in time, or falls back to a private address, netsh is not asked.
  computer_.tableFollowsNotifications = true;
  ASSERT_TRUE(store_.ApplyProfile(u"2"));
  lateAfter.clear();
  EXPECT_TRUE(
      WaitUntilApplied(
          ProfileAt(1), [&] { return Live(); }, [](unsigned) {}, kApplyWaitMs, kApplyPollMs, late)
          .Settled());
  EXPECT_TRUE(lateAfter.empty());
}

// The message after a wait names each setting that Windows does not show as the profile
// has it, and what it shows instead.
TEST(ApplyWaitOutcome, NamesWhatDiffers) {
  auto connection = [](ConnectionMode mode, std::u16string gateway, std::u16string dns) {
    auto c = std::make_unique<ConnectionSetting>();
    c->connectionName = u"LAN";
    c->instanceId = u"{A}";
    c->dhcpEnabled = CodeOf(mode);
    c->ipAddressText = u"6.6.6.6";
    c->subnetMaskText = u"255.255.255.0";
    c->gatewayText = std::move(gateway);
    c->primaryDns = std::move(dns);
    return c;
  };
  LiveAdapter fixed{u"{A}",
                    u"LAN",
                    false,
                    {u"6.6.6.6"},
                    {u"255.255.255.0"},
                    {u"6.6.6.1"},
                    {u"1.1.1.1", u"1.0.0.1"}};
  LiveAdapter otherMask = fixed;
  otherMask.masks = {u"255.255.0.0"};
  LiveAdapter dhcp{u"{A}", u"LAN", true, {u"192.168.1.100"}, {u"255.255.255.0"}, {}, {}};
  struct Case {
    ConnectionMode mode;
    std::u16string gateway, dns;
    LiveAdapter live;
    const char* shows;  // "" when Windows shows the connection
  };
  const Case cases[] = {
      {ConnectionMode::kManual, u"6.6.6.1", u"1.1.1.1", fixed, ""},
      {ConnectionMode::kManual, u"6.6.6.1", u"8.8.8.8", fixed,
       "DNS伺服器 1.1.1.1、1.0.0.1（應為 8.8.8.8）"},
      {ConnectionMode::kManual, u"6.6.6.254", u"", fixed, "預設通訊閘 6.6.6.1（應為 6.6.6.254）"},
      {ConnectionMode::kManual, u"", u"", otherMask, "子網遮罩 255.255.0.0（應為 255.255.255.0）"},
      {ConnectionMode::kManual, u"6.6.6.1", u"", dhcp,
       "DHCP 啟用（應為 停用）；IP位址 192.168.1.100（應為 6.6.6.6）；預設通訊閘 沒有（應為 "
       "6.6.6.1）"},
      {ConnectionMode::kAutomatic, u"", u"", fixed, "DHCP 停用（應為 啟用）"},
      {ConnectionMode::kAutomatic, u"", u"8.8.8.8", dhcp, "DNS伺服器 沒有（應為 8.8.8.8）"},
  };
  for (const Case& c : cases) {
    Profile p;
    p.connections.push_back(connection(c.mode, c.gateway, c.dns));
    const ApplyWaitOutcome outcome = CheckApplied(p, {c.live});
    if (*c.shows == 0) {
      EXPECT_TRUE(outcome.Settled()) << U8(c.dns);
      continue;
    }
    ASSERT_EQ(outcome.notShown.size(), 1u) << c.shows;
    EXPECT_EQ(U8(outcome.notShown[0].shows), c.shows);
  }
}

TEST_F(ApplyFollow, PrivateAddressEndsTheWaitAndSaysWhatItMeans) {
  computer_.dhcpAddresses["{11111111-2222-3333-4444-555555555555}"] = "169.254.17.3";
  ASSERT_TRUE(store_.ApplyProfile(u"2"));
  const ApplyWaitOutcome outcome = Wait(ProfileAt(1));
  EXPECT_TRUE(sleeps_.empty());
  ASSERT_EQ(outcome.privateAddress.size(), 1u);
  EXPECT_EQ(U8(outcome.privateAddress[0].shows), "DHCP 169.254.17.3 / 255.255.255.0");
  EXPECT_EQ(U8(ApplyWaitMessage(outcome)),
            U8(texts::PrivateAddressShown(u"LAN", u"DHCP 169.254.17.3 / 255.255.255.0")));

  // DHCP without a lease yet is waited for, and said as such at the end.
  computer_.dhcpAddresses["{11111111-2222-3333-4444-555555555555}"] = "";
  computer_.RefreshAdapterTable(u"{11111111-2222-3333-4444-555555555555}");
  const ApplyWaitOutcome noLease = Wait(ProfileAt(1));
  ASSERT_EQ(noLease.notShown.size(), 1u);
  EXPECT_EQ(U8(noLease.notShown[0].shows), "DHCP 沒有位址");
}

TEST_F(ApplyFollow, ConflictCheckAsksTheNetworkOnlyWhereItMeansSomething) {
  // Another device answers for the office address.
  computer_.arpAnswers["192.168.1.20"] = "00:11:22:33:44:55";
  auto conflict = FindAddressConflict(computer_, ProfileAt(0), Live());
  ASSERT_TRUE(conflict.has_value());
  EXPECT_EQ(U8(conflict->connectionName), "Wi-Fi");
  EXPECT_EQ(U8(conflict->address), "192.168.1.20");
  EXPECT_EQ(U8(conflict->hardwareAddress), "00-11-22-33-44-55");
  EXPECT_EQ(computer_.arpRequests, (std::vector<std::string>{"192.168.1.20"}));

  // A silent address, a system without SendARP, and a profile without fixed addresses pass.
  computer_.arpAnswers.clear();
  EXPECT_FALSE(FindAddressConflict(computer_, ProfileAt(0), Live()).has_value());
  computer_.arpSupported = false;
  EXPECT_FALSE(FindAddressConflict(computer_, ProfileAt(0), Live()).has_value());
  computer_.arpSupported = true;
  computer_.arpRequests.clear();
  EXPECT_FALSE(FindAddressConflict(computer_, ProfileAt(1), Live()).has_value());
  EXPECT_TRUE(computer_.arpRequests.empty());

  // The adapter's own address answers with the adapter itself: not asked. Neither is an
  // address on a network the adapter is not on, where the gateway would answer.
  ASSERT_TRUE(store_.ApplyProfile(u"1"));
  computer_.arpAnswers["192.168.1.20"] = "00:0c:29:00:00:02";
  EXPECT_FALSE(FindAddressConflict(computer_, ProfileAt(0), Live()).has_value());
  computer_.tableFollowsNotifications = false;
  WriteFile(ConfigFile(), "<LUMATROVE><CONFIG LASTID=\"3\"><NETSETING NAME=\"lab\" ID=\"3\">" +
                              Connection(kWifi, "Wi-Fi", "0", "10.9.0.7", "255.255.0.0", "", "") +
                              "</NETSETING></CONFIG></LUMATROVE>");
  ASSERT_EQ(store_.Open(), 1);
  computer_.arpAnswers["10.9.0.7"] = "00:11:22:33:44:55";
  computer_.arpRequests.clear();
  EXPECT_FALSE(FindAddressConflict(computer_, ProfileAt(0), Live()).has_value());
  EXPECT_TRUE(computer_.arpRequests.empty());

  // Every further address on the adapter's network is asked about too.
  Profile& lab = *store_.profiles.at(0);
  lab.connections.at(0)->ipAddressText = u"192.168.1.30";
  lab.connections.at(0)->moreAddresses = {u"192.168.1.31", u"10.9.0.8"};
  computer_.arpAnswers["192.168.1.31"] = "00:11:22:33:44:66";
  conflict = FindAddressConflict(computer_, lab, Live());
  ASSERT_TRUE(conflict.has_value());
  EXPECT_EQ(U8(conflict->address), "192.168.1.31");
  EXPECT_EQ(computer_.arpRequests, (std::vector<std::string>{"192.168.1.30", "192.168.1.31"}));
}

// What the adapters see, for the networks profiles belong to: each gateway that answers ARP,
// and the suffix DHCP handed out (else the one typed in).
TEST_F(ApplyFollow, SightingNamesGatewaysThatAnswerAndDnsSuffixes) {
  computer_.arpAnswers["192.168.1.1"] = "00:aa:bb:cc:dd:ee";
  auto setValue = [&](const char* guid, const char16_t* name, std::u16string_view text) {
    RegHandle key = 0;
    ASSERT_EQ(computer_.registry().CreateKey(
                  RegRoot::kLocalMachine,
                  std::u16string(kTcpipInterfacesKey) + std::u16string(guid, guid + 38), key),
              0);
    const std::vector<uint8_t> image = RegSzImage(text);
    computer_.registry().SetValue(key, name, kRegSz, image.data(),
                                  static_cast<uint32_t>(image.size()));
    computer_.registry().CloseKey(key);
  };
  setValue(kWifi, u"Domain", u"typed.example");
  setValue(kWifi, u"DhcpDomain", u"corp.example");
  setValue(kLan, u"Domain", u"lab.example");
  computer_.wifiNetworks = {u"Office", u"Office"};  // two interfaces on one network
  const NetworkSighting seen = ReadNetworkSighting(computer_, Live());
  EXPECT_EQ(seen.gatewayMacs, (std::vector<std::u16string>{u"00-aa-bb-cc-dd-ee"}));
  EXPECT_EQ(seen.dnsSuffixes, (std::vector<std::u16string>{u"lab.example", u"corp.example"}));
  EXPECT_EQ(seen.ssids, (std::vector<std::u16string>{u"Office"}));
}

TEST_F(ApplyFollow, UndoSnapshotGoesBackToWhatTheAdaptersHad) {
  const FilePath undo = store_.UndoPath();
  EXPECT_EQ(U8(undo.Text()), U8(FromPath(dir_ / "lumatrove.undo")));
  ASSERT_TRUE(SaveUndoSnapshot(system_, undo, UndoConnections(ProfileAt(1), layer_.adapters),
                               texts::UndoSnapshotName(u"home")));
  ASSERT_TRUE(store_.ApplyProfile(u"2"));
  EXPECT_TRUE(Live()[0].dhcp);

  const std::optional<UndoSnapshot> snapshot = LoadUndoSnapshotToApply(undo);
  ASSERT_TRUE(snapshot.has_value());
  EXPECT_EQ(U8(snapshot->profile->name), "套用【home】前的設定");
  // Only the adapter the profile changes is kept, with its fixed settings.
  ASSERT_EQ(snapshot->profile->connections.size(), 1u);
  EXPECT_EQ(U8(snapshot->profile->connections[0]->ipAddressText), "10.1.1.5");
  ASSERT_TRUE(store_.ApplyProfileContent(snapshot->content));
  const std::vector<LiveAdapter> live = Live();
  EXPECT_FALSE(live[0].dhcp);
  EXPECT_EQ(U8(live[0].addresses.at(0)), "10.1.1.5");
  EXPECT_EQ(U8(live[0].gateways.at(0)), "10.1.1.1");
  EXPECT_TRUE(ProfileIsLive(*snapshot->profile, live));

  // No snapshot, or one without connections, gives nothing to apply.
  EXPECT_FALSE(LoadUndoSnapshotToApply(FilePath(FromPath(dir_ / "none.undo"))).has_value());
  ASSERT_TRUE(SaveUndoSnapshot(system_, undo, {}));
  EXPECT_FALSE(LoadUndoSnapshotToApply(undo).has_value());
}

TEST(KeepSettings, CountdownRevertsAtZeroAndSaysTheSecondsLeft) {
  KeepSettingsCountdown countdown;
  EXPECT_EQ(U8(countdown.CountdownText()), "15 秒後將還原為套用前的設定。");
  for (int i = 0; i < 14; ++i)
    EXPECT_FALSE(countdown.Tick());
  EXPECT_EQ(U8(countdown.CountdownText()), "1 秒後將還原為套用前的設定。");
  EXPECT_TRUE(countdown.Tick());
  EXPECT_TRUE(countdown.Tick());  // stays up
  EXPECT_EQ(countdown.SecondsLeft(), 0);
}

TEST_F(ApplyFollow, ConfirmSettingRoundTripsAndOlderFilesDoNotHaveIt) {
  EXPECT_FALSE(SettingsOf(store_).confirmApply);
  SettingsChoice choice = SettingsOf(store_);
  choice.confirmApply = true;
  ASSERT_TRUE(StoreSettings(store_, choice));
  const std::string written = ReadFile(ConfigFile());
  EXPECT_NE(written.find("<LOGFLAG>FALSE</LOGFLAG>\r\n<CONFIRMAPPLY>TRUE</CONFIRMAPPLY>"),
            std::string::npos)
      << written;
  ProfileStore again(system_);
  ASSERT_EQ(again.Open(), 1);
  EXPECT_TRUE(SettingsOf(again).confirmApply);
  // Switched off, the element goes: the file is as older versions write it.
  choice.confirmApply = false;
  ASSERT_TRUE(StoreSettings(again, choice));
  EXPECT_EQ(ReadFile(ConfigFile()).find("CONFIRMAPPLY"), std::string::npos);
  // A file with settings this version does not know opens with the ones it knows.
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"0\"/><SYSCONFIG VERSION=\"3.0\">"
            "<LOGFLAG>TRUE</LOGFLAG><CONFIRMAPPLY>TRUE</CONFIRMAPPLY>"
            "<NEWER>1</NEWER></SYSCONFIG></LUMATROVE>");
  ProfileStore newer(system_);
  ASSERT_EQ(newer.Open(), 1);
  EXPECT_TRUE(SettingsOf(newer).logEnabled);
  EXPECT_TRUE(SettingsOf(newer).confirmApply);
}

}  // namespace
}  // namespace lumatrove
