// Which profiles Windows uses now, and the tray tooltip that says what it uses.
#include <gtest/gtest.h>

#include "test_text.h"
#include "ui/model/auto_switch.h"
#include "ui/model/live_state.h"

namespace lumatrove {
namespace {

using test::U8;

constexpr char16_t kLan[] = u"{00000004-0000-0000-0000-4E6574446576}";
constexpr char16_t kWifi[] = u"{9A3B5C7D-1E2F-4A5B-8C9D-0E1F2A3B4C5D}";

std::unique_ptr<ConnectionSetting> Connection(std::u16string id, ConnectionMode mode,
                                              std::u16string address = {}, std::u16string mask = {},
                                              std::u16string gateway = {},
                                              std::u16string dns = {}) {
  auto c = std::make_unique<ConnectionSetting>();
  c->instanceId = std::move(id);
  c->dhcpEnabled = CodeOf(mode);
  c->ipAddressText = std::move(address);
  c->subnetMaskText = std::move(mask);
  c->gatewayText = std::move(gateway);
  c->primaryDns = std::move(dns);
  return c;
}

std::unique_ptr<Profile> ProfileOf(std::vector<std::unique_ptr<ConnectionSetting>> connections) {
  auto p = std::make_unique<Profile>();
  p->connections = std::move(connections);
  return p;
}

std::vector<LiveAdapter> Now() {
  LiveAdapter lan{kLan,
                  u"區域連線",
                  true,
                  {u"192.168.0.23"},
                  {u"255.255.255.0"},
                  {u"192.168.0.1"},
                  {u"192.168.0.1"}};
  LiveAdapter wifi{u"{9a3b5c7d-1e2f-4a5b-8c9d-0e1f2a3b4c5d}",
                   u"Wi-Fi",
                   false,
                   {u"10.0.5.77", u"10.0.6.1"},
                   {u"255.255.0.0", u"255.255.255.0"},
                   {u"10.0.0.1"},
                   {u"10.0.0.53", u"8.8.8.8"}};
  return {lan, wifi};
}

TEST(LiveState, ProfilesWhoseEveryConfiguredConnectionIsLive) {
  std::vector<std::unique_ptr<Profile>> profiles;
  auto add = [&](auto... connections) {
    std::vector<std::unique_ptr<ConnectionSetting>> list;
    (list.push_back(std::move(connections)), ...);
    profiles.push_back(ProfileOf(std::move(list)));
  };
  add(Connection(kLan, ConnectionMode::kAutomatic));  // 0 live
  // 1 and 2: one of Wi-Fi's two addresses is not the whole set Windows shows.
  add(Connection(kWifi, ConnectionMode::kManual, u"10.0.5.77", u"255.255.0.0", u"10.0.0.1",
                 u"10.0.0.53"));
  add(Connection(kWifi, ConnectionMode::kManual, u"10.0.6.1", u"255.255.255.0"),
      Connection(kLan, ConnectionMode::kLeaveAlone));
  add(Connection(kWifi, ConnectionMode::kManual, u"10.0.6.1", u"255.255.0.0"));  // 3 wrong mask
  add(Connection(kWifi, ConnectionMode::kAutomatic));                            // 4 not DHCP
  add(Connection(kLan, ConnectionMode::kManual, u"192.168.0.23", u"255.255.255.0"));  // 5 on DHCP
  add(Connection(kLan, ConnectionMode::kAutomatic, {}, {}, {}, u"1.1.1.1"));          // 6 other DNS
  add(Connection(kLan, ConnectionMode::kLeaveAlone));      // 7 nothing set
  add(Connection(u"{GONE}", ConnectionMode::kAutomatic));  // 8 no adapter
  add(Connection(kWifi, ConnectionMode::kManual, u"10.0.5.77", u"255.255.0.0",
                 u"10.0.0.254"));  // 9
  add();                           // 10 empty
  // 11: both pairs in the other order, the gateway, the servers in order: live. 12: the same
  // with the servers swapped. 13: a gateway Windows does not show besides the one it does.
  auto both = [](std::u16string dns1, std::u16string dns2, std::u16string moreGateway) {
    auto c = Connection(kWifi, ConnectionMode::kManual, u"10.0.6.1", u"255.255.255.0", u"10.0.0.1",
                        std::move(dns1));
    c->secondaryDns = std::move(dns2);
    c->moreAddresses = {u"10.0.5.77"};
    c->moreMasks = {u"255.255.0.0"};
    if (!moreGateway.empty()) c->moreGateways = {std::move(moreGateway)};
    return c;
  };
  add(both(u"10.0.0.53", u"8.8.8.8", u""));
  add(both(u"8.8.8.8", u"10.0.0.53", u""));
  add(both(u"10.0.0.53", u"8.8.8.8", u"10.0.6.254"));
  const std::vector<bool> live = LiveProfiles(profiles, Now());
  const std::vector<bool> expected = {true,  false, false, false, false, false, false,
                                      false, false, false, false, true,  false, false};
  EXPECT_EQ(live, expected);
}

TEST(LiveState, TooltipNamesEachAdapterWithinTheLimit) {
  EXPECT_EQ(U8(TrayToolTip(Now())),
            "Torvane（Lumatrove）\n區域連線 DHCP 192.168.0.23\nWi-Fi 10.0.5.77 +1");
  EXPECT_EQ(U8(TrayToolTip({})), "Torvane（Lumatrove）");
  std::vector<LiveAdapter> many;
  for (int i = 0; i < 12; ++i) {
    many.push_back({u"{X}",
                    u"乙太網路 " + test::U16(std::to_string(i)),
                    i % 2 == 0,
                    {u"172.16.100." + test::U16(std::to_string(i))},
                    {},
                    {},
                    {}});
  }
  many.push_back({u"{Y}", u"No address", false, {}, {}, {}, {}});
  const std::u16string tip = TrayToolTip(many);
  EXPECT_LE(tip.size(), kTrayTipLimit);
  EXPECT_TRUE(tip.ends_with(u"\n…")) << U8(tip);
  EXPECT_NE(U8(tip).find("\n乙太網路 0 DHCP 172.16.100.0\n乙太網路 1 172.16.100.1"),
            std::string::npos);
  EXPECT_EQ(U8(TrayToolTip({many.back()})), "Torvane（Lumatrove）\nNo address -");
}

}  // namespace
}  // namespace lumatrove

namespace lumatrove {
namespace {

using Kind = NetworkRule::Kind;

TEST(NetworkRules, MatchWhatTheAdaptersSee) {
  const NetworkSighting seen{{u"00:11:22:AA:BB:CC"}, {u"Office Wi-Fi"}, {u"Corp.Example."}};
  struct Case {
    NetworkRule rule;
    bool matches;
  };
  const Case cases[] = {
      {{Kind::kGatewayMac, u"00-11-22-aa-bb-cc"}, true},  // another case, another separator
      {{Kind::kGatewayMac, u"00-11-22-aa-bb-cd"}, false},
      {{Kind::kSsid, u"Office Wi-Fi"}, true},
      {{Kind::kSsid, u"office wi-fi"}, false},  // an SSID is bytes: case counts
      {{Kind::kDnsSuffix, u"corp.example"}, true},
      {{Kind::kDnsSuffix, u"example"}, false},
      {{Kind::kDnsSuffix, u"."}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RulesMatch({c.rule}, seen), c.matches) << test::U8(c.rule.value);
  EXPECT_FALSE(RulesMatch({}, seen));
  EXPECT_EQ(RulesOf(seen), (std::vector<NetworkRule>{{Kind::kGatewayMac, u"00-11-22-aa-bb-cc"},
                                                     {Kind::kSsid, u"Office Wi-Fi"},
                                                     {Kind::kDnsSuffix, u"Corp.Example."}}));
}

// A sequence of changes as the address watch reports them, each with what it leads to: one
// matching profile is applied once; its own address change, a change within 30 s, the same
// network again, a network it is live on already, several matches and a pause apply nothing.
TEST(NetworkRules, AutoSwitchAppliesOnceAndNeverChasesItself) {
  const NetworkRule office{Kind::kSsid, u"Office"};
  const NetworkRule home{Kind::kSsid, u"Home"};
  std::vector<std::unique_ptr<Profile>> profiles;
  for (const NetworkRules& networks :
       {NetworkRules{{office}, true}, NetworkRules{{home}, true}, NetworkRules{{home}, false},
        NetworkRules{{{Kind::kSsid, u"Lab"}}, true}, NetworkRules{{{Kind::kSsid, u"Lab"}}, true}}) {
    profiles.push_back(std::make_unique<Profile>());
    profiles.back()->networks = networks;
  }
  const NetworkSighting atOffice{{}, {u"Office"}, {}};
  const NetworkSighting atHome{{}, {u"Home"}, {}};
  const NetworkSighting inLab{{}, {u"Lab"}, {}};
  const NetworkSighting nowhere{};
  const std::vector<bool> none(5, false);
  const std::vector<bool> homeLive = {false, true, false, false, false};
  using Action = AutoSwitch::Action;
  struct Step {
    const NetworkSighting& seen;
    const std::vector<bool>& live;
    uint64_t nowMs;
    bool paused;
    Action action;
    size_t profile;
  };
  const Step steps[] = {
      {atOffice, none, 1000, false, Action::kApply, 0},
      {atOffice, none, 1500, false, Action::kNothing, 0},        // its own change: the same network
      {atHome, none, 1000 + 29999, false, Action::kNothing, 0},  // too soon after the last
      {atHome, none, 1000 + 60000, false, Action::kNothing, 0},  // no longer new
      {nowhere, none, 1000 + 61000, false, Action::kNothing, 0},
      {atHome, homeLive, 1000 + 62000, false, Action::kNothing, 0},  // live already
      {nowhere, none, 1000 + 63000, false, Action::kNothing, 0},
      {atHome, none, 1000 + 64000, false, Action::kApply, 1},  // not the third: no check box
      {inLab, none, 1000 + 100000, false, Action::kSeveral, 0},
      {atOffice, none, 1000 + 200000, true, Action::kNothing, 0},  // paused
  };
  AutoSwitchGuard guard;
  for (size_t i = 0; i < std::size(steps); ++i) {
    const Step& step = steps[i];
    guard.paused = step.paused;
    const AutoSwitch d = guard.Decide(profiles, step.live, step.seen, step.nowMs);
    EXPECT_EQ(d.action, step.action) << "step " << i;
    const size_t applied = d.action == Action::kApply ? d.profile : 0;
    EXPECT_EQ(applied, step.profile) << "step " << i;
    const std::vector<size_t> named =
        d.action == Action::kSeveral ? d.candidates : std::vector<size_t>{};
    EXPECT_EQ(named, (step.action == Action::kSeveral ? std::vector<size_t>{3, 4} : named));
  }
}

}  // namespace
}  // namespace lumatrove
