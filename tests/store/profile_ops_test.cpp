// Profile operations: IDs, copy, modify, delete, the layout of what is written, and summaries.
#include "store_test_util.h"

namespace lumatrove {
namespace {

using test::StoreTest;
using test::U8;

ConnectionSetting Fixed(std::u16string name, std::u16string ip) {
  ConnectionSetting c;
  c.connectionName = std::move(name);
  c.instanceId = u"{G}";
  c.description = u"NIC";
  c.macAddress = u"00:0c:29:3a:5b:7c";
  c.statusEnabled = 1;
  c.dhcpEnabled = CodeOf(ConnectionMode::kManual);
  c.ipAddressText = std::move(ip);
  c.subnetMaskText = u"255.255.255.0";
  c.gatewayText = u"192.168.1.1";
  c.primaryDns = u"168.95.1.1";
  return c;
}

class Profiles : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    store_.Open();
  }
  void Reopen() {
    ASSERT_TRUE(store_.Save());
    ASSERT_EQ(store_.Open(), 1);
  }
  std::string Ids() {
    std::string ids;
    for (const auto& p : store_.profiles)
      ids += U8(p->id) + ",";
    return ids;
  }
  ProfileStore store_{system_};
};

TEST_F(Profiles, IdsOnlyGrow) {
  ASSERT_TRUE(store_.AddProfile(u"A", {}));
  Reopen();
  EXPECT_EQ(Ids(), "1,");
  EXPECT_EQ(U8(store_.GetLastIdText()), "1");
  EXPECT_TRUE(store_.DeleteProfile(u"1"));
  ASSERT_TRUE(store_.AddProfile(u"B", {}));
  Reopen();
  EXPECT_EQ(Ids(), "2,");
  store_.CopyProfile(u"2", u"複製-B");
  Reopen();
  EXPECT_EQ(Ids(), "2,3,");
  EXPECT_EQ(U8(store_.profiles[1]->name), "複製-B");
  EXPECT_FALSE(store_.DeleteProfile(u"9"));
}

TEST_F(Profiles, AddWritesTheFixedLayout) {
  const ConnectionSetting c = Fixed(u"A", u"192.168.1.10");
  ASSERT_TRUE(store_.AddProfile(u"Office", {&c}));
  const std::string text = Text(store_.document);
  EXPECT_NE(text.find("<CONFIG LASTID=\"1\" VERSION=\"2.0\" >\n"
                      "<NETSETING NAME=\"Office\" DATATIME=\"08-06-15 14:03:09\" ID=\"1\">\n"
                      "<CONNECTION NAME=\"A\" GUID=\"{G}\" NETCARD=\"NIC\" "
                      "MACCODE=\"00:0c:29:3a:5b:7c\" EnableCheck=\"1\" TYPE=\"0\">\n"
                      "<IPADD>\n<IP>192.168.1.10</IP>\n</IPADD>\n"
                      "<MASKADD>\n<IP>255.255.255.0</IP>\n</MASKADD>\n"
                      "<GATEWAY>\n<IP>192.168.1.1</IP>\n</GATEWAY>\n"
                      "<DNSADD>\n<IP>168.95.1.1</IP>\n<IP/>\n</DNSADD>\n"
                      "</CONNECTION>\n"
                      "</NETSETING>\n"
                      "</CONFIG>\n"),
            std::string::npos)
      << text;
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 1u);
  EXPECT_EQ(U8(store_.profiles[0]->summary),
            "【A】\n[IP]192.168.1.10\n[掩码]"
            "255.255.255.0\n[网关]192.168.1.1\n[DNS1]168.95.1.1\n[DNS2]\n");
}

// Further entries follow the first ones, so that a version that reads only the first entry
// (and every DNS server) finds the same first pair, gateway and servers; a file of such a
// version reads back with no further entries.
TEST_F(Profiles, FurtherEntriesFollowTheFirstAndReadBack) {
  ConnectionSetting c = Fixed(u"A", u"192.168.1.10");
  c.moreAddresses = {u"10.1.0.5", u"10.2.0.5"};
  c.moreMasks = {u"255.255.0.0"};  // the third address has no mask of its own
  c.moreGateways = {u"192.168.1.254"};
  c.gatewayMetrics = {0, 20};
  c.secondaryDns = u"8.8.8.8";
  c.moreDnsServers = {u"1.1.1.1"};
  ASSERT_TRUE(store_.AddProfile(u"Office", {&c}));
  const std::string text = Text(store_.document);
  EXPECT_NE(text.find("<IPADD>\n<IP>192.168.1.10</IP>\n<IP>10.1.0.5</IP>\n<IP>10.2.0.5</IP>\n"
                      "</IPADD>\n<MASKADD>\n<IP>255.255.255.0</IP>\n<IP>255.255.0.0</IP>\n"
                      "</MASKADD>\n<GATEWAY>\n<IP>192.168.1.1</IP>\n"
                      "<IP METRIC=\"20\">192.168.1.254</IP>\n</GATEWAY>\n<DNSADD>\n"
                      "<IP>168.95.1.1</IP>\n<IP>8.8.8.8</IP>\n<IP>1.1.1.1</IP>\n</DNSADD>\n"),
            std::string::npos)
      << text;
  Reopen();
  const ConnectionSetting& r = *store_.profiles.at(0)->connections.at(0);
  EXPECT_EQ(U8(r.ipAddressText), "192.168.1.10");
  EXPECT_EQ(r.moreAddresses, c.moreAddresses);
  EXPECT_EQ(r.moreMasks, c.moreMasks);
  EXPECT_EQ(U8(r.gatewayText), "192.168.1.1");
  EXPECT_EQ(r.moreGateways, c.moreGateways);
  EXPECT_EQ(r.gatewayMetrics, (std::vector<uint32_t>{0, 20}));
  EXPECT_EQ(U8(r.secondaryDns), "8.8.8.8");
  EXPECT_EQ(r.moreDnsServers, c.moreDnsServers);

  // Metrics outside 1 to 9999 are automatic; a file with single entries has no further ones.
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"1\"><NETSETING NAME=\"Old\" ID=\"1\">"
            "<CONNECTION NAME=\"A\" GUID=\"{G}\" TYPE=\"0\"><IPADD><IP>1.2.3.4</IP></IPADD>"
            "<MASKADD><IP>255.0.0.0</IP></MASKADD><GATEWAY><IP METRIC=\"10000\">1.0.0.1</IP>"
            "<IP METRIC=\"x\">1.0.0.2</IP></GATEWAY><DNSADD><IP/><IP>9.9.9.9</IP></DNSADD>"
            "</CONNECTION></NETSETING></CONFIG></LUMATROVE>");
  ASSERT_EQ(store_.Open(), 1);
  const ConnectionSetting& old = *store_.profiles.at(0)->connections.at(0);
  EXPECT_TRUE(old.moreAddresses.empty() && old.moreMasks.empty() && old.moreDnsServers.empty());
  EXPECT_EQ(old.gatewayMetrics, (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(U8(old.primaryDns), "9.9.9.9");
}

TEST_F(Profiles, CopyTakesTheConnectionsAndTheNextId) {
  const ConnectionSetting a = Fixed(u"A", u"10.0.0.1");
  const ConnectionSetting b = Fixed(u"B", u"10.0.0.2");
  for (int i = 0; i < 4; ++i)
    store_.AddProfile(u"filler", {});
  ASSERT_TRUE(store_.AddProfile(u"Office", {&a, &b}));  // ID 5
  store_.DeleteProfile(u"1");
  Reopen();
  store_.CopyProfile(u"5", u"複製-Office");
  EXPECT_EQ(store_.lastId, 6);
  Reopen();
  const Profile& copy = *store_.profiles.back();
  EXPECT_EQ(U8(copy.id), "6");
  EXPECT_EQ(U8(copy.name), "複製-Office");
  ASSERT_EQ(copy.connections.size(), 2u);
  EXPECT_EQ(U8(copy.connections[1]->ipAddressText), "10.0.0.2");
  EXPECT_EQ(copy.summary, store_.profiles[3]->summary);
  std::string why;
  EXPECT_TRUE(store_.document.VerifyIndex(&why)) << why;
}

TEST_F(Profiles, CopyOfAnEmptyProfileHasAnEndTag) {
  store_.AddProfile(u"Empty", {});
  store_.CopyProfile(u"1", u"copy");
  EXPECT_NE(
      Text(store_.document)
          .find("<NETSETING NAME=\"copy\" DATATIME=\"08-06-15 14:03:09\" ID=\"2\"></NETSETING>"),
      std::string::npos)
      << Text(store_.document);
  // A source that does not exist still gives an empty profile.
  store_.CopyProfile(u"77", u"nothing");
  Reopen();
  EXPECT_EQ(Ids(), "1,2,3,");
  EXPECT_TRUE(store_.profiles[2]->connections.empty());
}

TEST_F(Profiles, ModifyKeepsTheIdAndRewritesTheConnections) {
  const ConnectionSetting a = Fixed(u"A", u"10.0.0.1");
  store_.AddProfile(u"Office", {&a, &a});
  store_.AddProfile(u"Home", {});
  Reopen();
  system_.now = {2009, 1, 2, 3, 4, 5};
  const ConnectionSetting b = Fixed(u"B", u"10.0.0.9");
  ASSERT_TRUE(store_.ModifyProfile(u"1", u"Office 2", {&b}));
  Reopen();
  const Profile& p = *store_.profiles[0];
  EXPECT_EQ(U8(p.id), "1");
  EXPECT_EQ(U8(p.name), "Office 2");
  EXPECT_EQ(U8(p.dateTime), "09-01-02 03:04:05");
  ASSERT_EQ(p.connections.size(), 1u);
  EXPECT_EQ(U8(p.connections[0]->connectionName), "B");
  // Attributes keep their places.
  EXPECT_NE(Text(store_.document)
                .find("<NETSETING NAME=\"Office 2\" DATATIME=\"09-01-02 03:04:05\" ID=\"1\">"),
            std::string::npos);
  ASSERT_TRUE(store_.ModifyProfile(u"1", u"Office 2", {}));
  EXPECT_FALSE(store_.ModifyProfile(u"42", u"none", {}));  // no such profile: nothing stored
  Reopen();
  EXPECT_TRUE(store_.profiles[0]->connections.empty());
  EXPECT_EQ(U8(store_.profiles[1]->name), "Home");
}

TEST_F(Profiles, DeleteRemovesOnlyTheFirstOfASharedId) {
  // Opening a store gives every profile an ID of its own; a document edited in memory can
  // still hold a shared one.
  store_.document.SetDocument(
      u"<LUMATROVE><CONFIG LASTID=\"2\"><NETSETING NAME=\"a\" ID=\"2\"/>"
      u"<NETSETING NAME=\"b\" ID=\"2\"/></CONFIG></LUMATROVE>");
  EXPECT_TRUE(store_.DeleteProfile(u"2"));
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 1u);
  EXPECT_EQ(U8(store_.profiles[0]->name), "b");
}

TEST(DecimalValue, ReadsLikeA32BitStrtol) {
  const std::pair<std::u16string_view, int32_t> cases[] = {
      {u"12", 12},
      {u" \t12", 12},
      {u"+5", 5},
      {u"-3", -3},
      {u"12abc", 12},
      {u"abc", 0},
      {u"", 0},
      {u"- 3", 0},
      {u"2147483647", INT32_MAX},
      {u"2147483648", INT32_MAX},
      {u"99999999999999999999999", INT32_MAX},
      {u"-2147483648", INT32_MIN},
      {u"-99999999999", INT32_MIN},
      {u"\uff11", 0},  // a full-width digit is no digit
  };
  for (const auto& [text, value] : cases)
    EXPECT_EQ(DecimalValue(text), value) << U8(text);
}

// Opening a file repairs its IDs, so that a row, a shortcut and the store always mean the
// same profile; the first holder of an ID keeps it, as desktop shortcuts name it.
class IdRepair : public StoreTest {
 protected:
  void OpenFile(const std::string& config, const std::string& profiles) {
    WriteFile(ConfigFile(), "<LUMATROVE><CONFIG" + config + ">" + profiles +
                                "</CONFIG><SYSCONFIG><LOGFLAG>TRUE</LOGFLAG></SYSCONFIG>"
                                "</LUMATROVE>");
    ASSERT_EQ(store_.Open(), 1);
  }
  std::string Ids() {
    std::string ids;
    for (const auto& p : store_.profiles)
      ids += U8(p->name) + "=" + U8(p->id) + ",";
    return ids;
  }
  std::string Renumbered() {
    std::string out;
    for (const RenumberedProfile& r : store_.idRepairs.renumbered)
      out += U8(r.name) + ":" + U8(r.oldId) + ">" + U8(r.newId) + ",";
    return out;
  }
  std::string LastIdAttribute() {
    const std::string text = ReadFile(ConfigFile());
    const size_t at = text.find("LASTID=\"");
    return text.substr(at + 8, text.find('"', at + 8) - at - 8);
  }
  ProfileStore store_{system_};
};

TEST_F(IdRepair, SharedAndMissingIdsGetFreshOnesAndTheFileIsSaved) {
  OpenFile(" LASTID=\"3\"",
           "<NETSETING NAME=\"a\" ID=\"1\"/><NETSETING NAME=\"b\" ID=\"3\"/>"
           "<NETSETING NAME=\"c\" ID=\"1\"/><NETSETING NAME=\"d\"/>"
           "<NETSETING NAME=\"e\" ID=\"\"/><NETSETING NAME=\"f\" ID=\"3\"/>");
  EXPECT_EQ(Ids(), "a=1,b=3,c=4,d=5,e=6,f=7,");
  EXPECT_EQ(Renumbered(), "c:1>4,d:>5,e:>6,f:3>7,");
  EXPECT_EQ(store_.lastId, 7);
  EXPECT_EQ(LastIdAttribute(), "7");
  EXPECT_EQ(U8(store_.idRepairs.oldLastId), "3");
  EXPECT_EQ(U8(store_.idRepairs.newLastId), "7");
  // Saved: the next start finds nothing to repair and the same IDs.
  ProfileStore again(system_);
  ASSERT_EQ(again.Open(), 1);
  EXPECT_TRUE(again.idRepairs.Empty());
  EXPECT_EQ(U8(again.profiles[2]->id), "4");
}

TEST_F(IdRepair, EachIdNamesTheProfileOfItsRow) {
  auto profile = [](const char* name, const char* id, const char* ip) {
    return std::string("<NETSETING NAME=\"") + name + "\" ID=\"" + id +
           "\"><CONNECTION NAME=\"LAN\" GUID=\"{G}\" TYPE=\"0\"><IPADD><IP>" + ip +
           "</IP></IPADD></CONNECTION></NETSETING>";
  };
  OpenFile(" LASTID=\"2\"", profile("one", "1", "10.0.0.1") + profile("two", "2", "10.0.0.2") +
                                profile("three", "1", "10.0.0.3"));
  for (size_t row = 0; row < store_.profiles.size(); ++row) {
    const std::string content = U8(store_.GetProfileContent(store_.profiles[row]->id));
    EXPECT_NE(content.find("10.0.0." + std::to_string(row + 1)), std::string::npos) << row;
  }
  // A desktop shortcut to ID 1 still means the first profile.
  EXPECT_NE(U8(store_.GetProfileContent(u"1")).find("10.0.0.1"), std::string::npos);
}

TEST_F(IdRepair, LastIdIsRaisedToTheHighestId) {
  struct Case {
    const char* config;
    const char* lastIdAfter;  // "" when the file is left as it was
    const char* nextId;
  };
  const Case cases[] = {
      {" LASTID=\"abc\"", "9", "10"},  // not a number counts as 0
      {" LASTID=\"2\"", "9", "10"},    // below the highest ID
      {"", "9", "10"},                 // missing
      {" LASTID=\"9\"", "", "10"},
      {" LASTID=\"40\"", "", "41"},  // above: IDs only grow
  };
  for (const Case& c : cases) {
    const std::string profiles =
        "<NETSETING NAME=\"a\" ID=\"4\"/><NETSETING NAME=\"b\" ID=\"9\"/>"
        "<NETSETING NAME=\"c\" ID=\"x7\"/><NETSETING NAME=\"d\" ID=\"-20\"/>";
    OpenFile(c.config, profiles);
    const std::string before = ReadFile(ConfigFile());
    if (*c.lastIdAfter == '\0') {
      EXPECT_TRUE(store_.idRepairs.Empty()) << c.config;
    } else {
      EXPECT_EQ(LastIdAttribute(), c.lastIdAfter) << c.config;
      EXPECT_EQ(U8(store_.idRepairs.newLastId), c.lastIdAfter);
      EXPECT_TRUE(store_.idRepairs.renumbered.empty());
    }
    // IDs that are not numbers are IDs all the same, and kept.
    EXPECT_EQ(Ids(), "a=4,b=9,c=x7,d=-20,") << c.config;
    ASSERT_TRUE(store_.AddProfile(u"new", {}));
    ASSERT_TRUE(store_.Save());
    ASSERT_EQ(store_.Open(), 1);
    EXPECT_EQ(U8(store_.profiles.back()->id), c.nextId) << c.config;
  }
}

TEST_F(IdRepair, NothingToRepairLeavesTheFileAsItWas) {
  OpenFile(" LASTID=\"12\" VERSION=\"2.0\"",
           "<NETSETING NAME=\"a\" ID=\"3\"/><NETSETING NAME=\"b\" ID=\"12\"/>");
  const std::string text = ReadFile(ConfigFile());
  EXPECT_TRUE(store_.idRepairs.Empty());
  ASSERT_EQ(store_.Open(), 1);
  EXPECT_EQ(ReadFile(ConfigFile()), text);
}

TEST_F(IdRepair, ACounterAtTheTopOfItsRangeHandsOutUnusedIds) {
  OpenFile(" LASTID=\"5\"",
           "<NETSETING NAME=\"a\" ID=\"1\"/><NETSETING NAME=\"b\" ID=\"99999999999\"/>"
           "<NETSETING NAME=\"c\" ID=\"1\"/>");
  EXPECT_EQ(store_.lastId, INT32_MAX);
  EXPECT_EQ(Ids(), "a=1,b=99999999999,c=2,");
  ASSERT_TRUE(store_.AddProfile(u"d", {}));
  ASSERT_TRUE(store_.Save());
  ASSERT_EQ(store_.Open(), 1);
  EXPECT_EQ(Ids(), "a=1,b=99999999999,c=2,d=3,");
  EXPECT_TRUE(store_.idRepairs.Empty());
}

TEST_F(IdRepair, LookupsByIdSeeOnlyProfiles) {
  OpenFile(" LASTID=\"1\"",
           "<OTHER ID=\"1\"><CONNECTION NAME=\"x\"/></OTHER>"
           "<NETSETING NAME=\"a\" ID=\"1\"><CONNECTION NAME=\"LAN\"/></NETSETING>");
  EXPECT_EQ(U8(store_.GetProfileContent(u"1")), "<CONNECTION NAME=\"LAN\"/>");
  EXPECT_TRUE(store_.DeleteProfile(u"1"));
  ASSERT_TRUE(store_.Save());
  EXPECT_NE(ReadFile(ConfigFile()).find("<OTHER ID=\"1\">"), std::string::npos);
  EXPECT_EQ(ReadFile(ConfigFile()).find("NETSETING"), std::string::npos);
}

TEST_F(Profiles, NameExistsAndNextIdKeepsThePosition) {
  store_.AddProfile(u"Office", {});
  EXPECT_TRUE(store_.ProfileNameExists(u"Office"));
  EXPECT_FALSE(store_.ProfileNameExists(u"office"));
  XmlDocument& d = store_.document;
  d.ResetPosition();
  d.FindElement(u"LUMATROVE");
  d.EnterElement();
  d.FindElement(u"DNS");
  EXPECT_EQ(U8(store_.NextId()), "2");
  EXPECT_EQ(U8(d.GetTagName()), "DNS");
}

TEST_F(Profiles, WithoutConfigEverythingRefuses) {
  // Opening such a file starts from the default document; one edited in memory can lack it.
  store_.document.SetDocument(u"<LUMATROVE><DNS/></LUMATROVE>");
  EXPECT_EQ(U8(store_.NextId()), "0");
  EXPECT_FALSE(store_.CopyProfile(u"1", u"x"));
  EXPECT_FALSE(store_.AddProfile(u"x", {}));
  EXPECT_FALSE(store_.ModifyProfile(u"1", u"x", {}));
  EXPECT_FALSE(store_.DeleteProfile(u"1"));
  EXPECT_EQ(U8(store_.GetProfileContent(u"1")), "");
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
}

TEST(Summary, Modes) {
  ConnectionSetting a;
  a.connectionName = u"A";
  a.dhcpEnabled = CodeOf(ConnectionMode::kAutomatic);
  ConnectionSetting b;
  b.connectionName = u"B";
  b.dhcpEnabled = CodeOf(ConnectionMode::kLeaveAlone);
  EXPECT_EQ(U8(ConnectionSummary(a) + ConnectionSummary(b)),
            "【A】-自動取得IP\n"
            "【B】-不配置\n");
}

}  // namespace
}  // namespace lumatrove
