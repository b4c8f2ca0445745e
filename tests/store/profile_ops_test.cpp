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
  c.dhcpEnabled = kModeManual;
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
  store_.CopyProfile(u"2", u"\u8907\u88fd-B");
  Reopen();
  EXPECT_EQ(Ids(), "2,3,");
  EXPECT_EQ(U8(store_.profiles[1]->name), "\xe8\xa4\x87\xe8\xa3\xbd-B");
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
            "\xe3\x80\x90"
            "A\xe3\x80\x91\n[IP]192.168.1.10\n[\xe6\x8e\xa9\xe7\xa0\x81]"
            "255.255.255.0\n[\xe7\xbd\x91\xe5\x85\xb3]192.168.1.1\n[DNS1]168.95.1.1\n[DNS2]\n");
}

TEST_F(Profiles, CopyTakesTheConnectionsAndTheNextId) {
  const ConnectionSetting a = Fixed(u"A", u"10.0.0.1");
  const ConnectionSetting b = Fixed(u"B", u"10.0.0.2");
  for (int i = 0; i < 4; ++i)
    store_.AddProfile(u"filler", {});
  ASSERT_TRUE(store_.AddProfile(u"Office", {&a, &b}));  // ID 5
  store_.DeleteProfile(u"1");
  Reopen();
  store_.CopyProfile(u"5", u"\u8907\u88fd-Office");
  EXPECT_EQ(store_.lastId, 6);
  Reopen();
  const Profile& copy = *store_.profiles.back();
  EXPECT_EQ(U8(copy.id), "6");
  EXPECT_EQ(U8(copy.name), "\xe8\xa4\x87\xe8\xa3\xbd-Office");
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
  ASSERT_TRUE(store_.ModifyProfile(u"42", u"none", {}));  // no such profile: nothing changes
  Reopen();
  EXPECT_TRUE(store_.profiles[0]->connections.empty());
  EXPECT_EQ(U8(store_.profiles[1]->name), "Home");
}

TEST_F(Profiles, DeleteRemovesOnlyTheFirstOfASharedId) {
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"2\"><NETSETING NAME=\"a\" ID=\"2\"/>"
            "<NETSETING NAME=\"b\" ID=\"2\"/></CONFIG></LUMATROVE>");
  ASSERT_EQ(store_.Open(), 1);
  EXPECT_TRUE(store_.DeleteProfile(u"2"));
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 1u);
  EXPECT_EQ(U8(store_.profiles[0]->name), "b");
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
  WriteFile(ConfigFile(), "<LUMATROVE><DNS/></LUMATROVE>");
  EXPECT_EQ(store_.Open(), 0);
  EXPECT_EQ(U8(store_.NextId()), "0");
  EXPECT_FALSE(store_.AddProfile(u"x", {}));
  EXPECT_FALSE(store_.ModifyProfile(u"1", u"x", {}));
  EXPECT_FALSE(store_.DeleteProfile(u"1"));
  EXPECT_EQ(U8(store_.GetProfileContent(u"1")), "");
  EXPECT_FALSE(store_.ApplyProfile(u"1"));
}

TEST(Summary, Modes) {
  ConnectionSetting a;
  a.connectionName = u"A";
  a.dhcpEnabled = kModeAutomatic;
  ConnectionSetting b;
  b.connectionName = u"B";
  b.dhcpEnabled = kModeLeaveAlone;
  EXPECT_EQ(U8(ConnectionSummary(a) + ConnectionSummary(b)),
            "\xe3\x80\x90"
            "A\xe3\x80\x91-\xe8\x87\xaa\xe5\x8b\x95\xe5\x8f\x96\xe5\xbe\x97IP\n"
            "\xe3\x80\x90"
            "B\xe3\x80\x91-\xe4\xb8\x8d\xe9\x85\x8d\xe7\xbd\xae\n");
}

}  // namespace
}  // namespace lumatrove
