// Repair against the adapters present now, and import of 1.x files.
#include <cstring>

#include "netcfg/net_adapter_layer.h"
#include "store_test_util.h"

namespace lumatrove {
namespace {

using test::StoreTest;
using test::U8;

AdapterInfo Adapter(const char* mac, const char* description, const char* name, const char* guid) {
  AdapterInfo a;
  a.macAddress = std::u16string(mac, mac + std::char_traits<char>::length(mac));
  a.description = std::u16string(description, description + std::strlen(description));
  a.connectionName = std::u16string(name, name + std::strlen(name));
  a.instanceId = std::u16string(guid, guid + std::strlen(guid));
  a.statusEnabled = 1;
  a.dhcpEnabled = 1;
  a.ipAddressText = u"0.0.0.0";
  return a;
}

std::string Entry(const char* mac, const char* netcard, const char* name, const char* type) {
  return std::string("<CONNECTION NAME=\"") + name + "\" GUID=\"{old}\" NETCARD=\"" + netcard +
         "\" MACCODE=\"" + mac + "\" EnableCheck=\"1\" TYPE=\"" + type +
         "\" MACCODEN=\"kept\"><IPADD><IP>10.0.0.9</IP></IPADD></CONNECTION>";
}

class Repair : public StoreTest {
 protected:
  void Load(const std::string& profiles, const char* lastId = "5") {
    WriteFile(ConfigFile(), std::string("<LUMATROVE><CONFIG LASTID=\"") + lastId + "\">" +
                                profiles + "</CONFIG></LUMATROVE>");
    ASSERT_EQ(store_.Open(), 1);
  }
  void Reopen() {
    ASSERT_TRUE(store_.Save());
    ASSERT_EQ(store_.Open(), 1);
  }
  ProfileStore store_{system_};
};

TEST(FindAdapterIndex, AnyOfThreeEqualities) {
  const AdapterInfo a = Adapter("00:00:00:00:00:0a", "NIC A", "LAN", "{A}");
  const AdapterInfo c = Adapter("", "NIC C", "WIFI", "{C}");
  const std::vector<const AdapterInfo*> list{&a, &c};
  EXPECT_EQ(ProfileStore::FindAdapterIndex(u"00:00:00:00:00:0a", u"x", u"y", list), 0);
  EXPECT_EQ(ProfileStore::FindAdapterIndex(u"x", u"NIC C", u"y", list), 1);
  EXPECT_EQ(ProfileStore::FindAdapterIndex(u"x", u"y", u"WIFI", list), 1);
  EXPECT_EQ(ProfileStore::FindAdapterIndex(u"", u"y", u"z", list), 1);  // empty equals empty
  EXPECT_EQ(ProfileStore::FindAdapterIndex(u"x", u"nic c", u"wifi", list), -1);
  EXPECT_EQ(ProfileStore::FindAdapterIndex(u"x", u"y", u"z", {}), -1);
}

TEST_F(Repair, GoneRenamedAndNewAdapters) {
  Load("<NETSETING NAME=\"P\" ID=\"1\">" + Entry("00:00:00:00:00:0a", "NIC A", "LAN", "0") +
       Entry("00:00:00:00:00:0b", "NIC B", "OLD", "1") + "</NETSETING>");
  // A is still there under another connection name; B is gone; C is new.
  const AdapterInfo a = Adapter("00:00:00:00:00:0a", "NIC A", "LAN 2", "{A}");
  const AdapterInfo c = Adapter("00:00:00:00:00:0c", "NIC C", "WIFI", "{C}");
  ASSERT_TRUE(store_.RepairProfiles({&a, &c}));
  Reopen();
  const Profile& p = *store_.profiles[0];
  ASSERT_EQ(p.connections.size(), 2u);
  const ConnectionSetting& kept = *p.connections[0];
  EXPECT_EQ(U8(kept.connectionName), "LAN 2");
  EXPECT_EQ(U8(kept.instanceId), "{A}");
  EXPECT_EQ(ModeOf(kept), ConnectionMode::kManual);  // mode and addresses stay
  EXPECT_EQ(U8(kept.ipAddressText), "10.0.0.9");
  EXPECT_EQ(U8(kept.networkAddress), "kept");  // refreshed in place
  // C's entry shows what C has now, and leaves C alone.
  const ConnectionSetting& added = *p.connections[1];
  EXPECT_EQ(U8(added.instanceId), "{C}");
  EXPECT_EQ(ModeOf(added), ConnectionMode::kLeaveAlone);
  EXPECT_EQ(U8(added.ipAddressText), "0.0.0.0");
}

TEST_F(Repair, MarksAreResetBetweenProfilesAndIdsAreGiven) {
  Load("<NETSETING NAME=\"P\" ID=\"\"/><NETSETING NAME=\"Q\"/>");
  const AdapterInfo a = Adapter("a", "A", "A", "{A}");
  ASSERT_TRUE(store_.RepairProfiles({&a}));
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 2u);
  EXPECT_EQ(U8(store_.profiles[0]->id), "6");
  EXPECT_EQ(U8(store_.profiles[1]->id), "7");
  EXPECT_EQ(store_.lastId, 7);
  EXPECT_EQ(store_.profiles[0]->connections.size(), 1u);
  EXPECT_EQ(store_.profiles[1]->connections.size(), 1u);
}

TEST_F(Repair, AnAdapterFoundInOneProfileIsStillAddedToTheNext) {
  Load("<NETSETING NAME=\"P\" ID=\"1\">" + Entry("a", "A", "A", "0") +
       "</NETSETING><NETSETING NAME=\"Q\" ID=\"2\"/>");
  const AdapterInfo a = Adapter("a", "A", "A", "{A}");
  ASSERT_TRUE(store_.RepairProfiles({&a}));
  Reopen();
  EXPECT_EQ(store_.profiles[0]->connections.size(), 1u);
  ASSERT_EQ(store_.profiles[1]->connections.size(), 1u);
  EXPECT_EQ(U8(store_.profiles[1]->connections[0]->instanceId), "{A}");
}

TEST_F(Repair, ManyAdaptersAllGetMarks) {
  Load("<NETSETING NAME=\"P\" ID=\"1\"/>");
  std::vector<AdapterInfo> adapters;
  for (int i = 0; i < 300; ++i) {
    const std::string n = std::to_string(i);
    adapters.push_back(Adapter(n.c_str(), n.c_str(), n.c_str(), n.c_str()));
  }
  std::vector<const AdapterInfo*> list;
  for (const auto& a : adapters)
    list.push_back(&a);
  ASSERT_TRUE(store_.RepairProfiles(list));
  ASSERT_TRUE(store_.RepairProfiles(list));  // the second repair adds nothing more
  Reopen();
  EXPECT_EQ(store_.profiles[0]->connections.size(), 300u);
}

TEST_F(Repair, EntryWithoutMaccodeMatchesAnAdapterWithoutAddress) {
  Load(
      "<NETSETING NAME=\"P\" ID=\"1\"><CONNECTION NAME=\"x\" NETCARD=\"y\" TYPE=\"2\"/>"
      "</NETSETING>");
  const AdapterInfo a = Adapter("", "A", "A", "{A}");
  ASSERT_TRUE(store_.RepairProfiles({&a}));
  Reopen();
  ASSERT_EQ(store_.profiles[0]->connections.size(), 1u);
  EXPECT_EQ(ModeOf(*store_.profiles[0]->connections[0]), ConnectionMode::kLeaveAlone);
  EXPECT_EQ(U8(store_.profiles[0]->connections[0]->instanceId), "{A}");
}

TEST_F(Repair, WithoutConfigNothingChanges) {
  store_.document.SetDocument(u"<LUMATROVE/>");
  EXPECT_FALSE(store_.RepairProfiles({}));
  EXPECT_EQ(U8(store_.document.GetDocument()), "<LUMATROVE/>");
}

TEST_F(Repair, ImportBig5File) {
  Load("<NETSETING NAME=\"mine\" ID=\"4\"/>", "4");
  // A 1.x file in the ANSI code page (Big5): 辦公室 is B f0 a4 bd ab c7.
  const std::string old =
      "<?xml version=\"1.0\" encoding=\"big5\"?>\r\n<CONFIG>"
      "<NETSETING NAME=\"\xbf\xec\xa4\xbd\xab\xc7\" ID=\"1\" DATATIME=\"05-01-01 00:00:00\">"
      "<CONNECTION NAME=\"A\" TYPE=\"1\"/></NETSETING>"
      "<NETSETING NAME=\"b\" ID=\"2\"/><NETSETING NAME=\"c\" ID=\"3\"/></CONFIG>";
  WriteFile(dir_ / "ipconfig.xml", old);
  ASSERT_TRUE(store_.ImportOldConfig(dir_ / "ipconfig.xml"));
  EXPECT_EQ(store_.lastId, 7);
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 4u);
  EXPECT_EQ(U8(store_.profiles[1]->name), "辦公室");
  EXPECT_EQ(U8(store_.profiles[1]->id), "5");
  EXPECT_EQ(U8(store_.profiles[1]->dateTime), "05-01-01 00:00:00");
  EXPECT_EQ(U8(store_.profiles[2]->id), "6");
  EXPECT_EQ(U8(store_.profiles[3]->id), "7");
  EXPECT_EQ(store_.profiles[1]->connections.size(), 1u);
}

// What applying a profile does, as the registry and the DHCP client see it.
std::string WhatApplyDoes(ProfileStore& store, MemoryComputer& computer, std::u16string_view id) {
  computer.memoryRegistry().ClearChanges();
  computer.notifications.clear();
  std::string seen = store.ApplyProfile(id) ? "applied" : "refused";
  for (const MemoryRegistry::Change& c : computer.memoryRegistry().Changes()) {
    seen += "\n" + c.kind + " " + U8(c.key) + " " + U8(c.value) + " " +
            std::string(c.data.begin(), c.data.end());
  }
  for (const MemoryComputer::DhcpNotification& n : computer.notifications)
    seen += "\nnotify " + U8(n.adapterName) + " " + std::to_string(n.action);
  return seen;
}

// A repair, and an import (which repairs every profile), keep what each profile does to
// every adapter: the entries they add leave their adapters alone, and an entry whose GUID
// names a present adapter stays with it, even when a card of the same model (the same
// description) comes first.
TEST_F(Repair, RepairAndImportNeverChangeWhatAProfileDoes) {
  computer_.AddAdapter({.guid = u"{LAN1}",
                        .description = u"Intel PRO/1000",
                        .connectionName = u"區域連線",
                        .mac = "00:0c:29:00:00:01",
                        .dhcp = false,
                        .ip = u"10.0.0.2",
                        .mask = u"255.255.255.0"});
  computer_.AddAdapter({.guid = u"{LAN2}",
                        .description = u"Intel PRO/1000",
                        .connectionName = u"區域連線 2",
                        .mac = "00:0c:29:00:00:02"});
  computer_.AddAdapter({.guid = u"{WIFI}",
                        .description = u"Wireless",
                        .connectionName = u"無線網路連線",
                        .mac = "00:0c:29:00:00:03"});
  NetAdapterLayer layer(computer_);
  ASSERT_EQ(layer.DiscoverAdapters(), 3);
  std::vector<const AdapterInfo*> adapters;
  for (const auto& a : layer.adapters)
    adapters.push_back(a.get());

  auto entry = [](const char* guid, const char* netcard, const char* name, const char* mac,
                  const char* type, const char* ip) {
    return std::string("<CONNECTION NAME=\"") + name + "\" GUID=\"" + guid + "\" NETCARD=\"" +
           netcard + "\" MACCODE=\"" + mac + "\" EnableCheck=\"1\" TYPE=\"" + type +
           "\"><IPADD><IP>" + ip +
           "</IP></IPADD><MASKADD><IP>255.255.255.0</IP></MASKADD>"
           "<GATEWAY><IP></IP></GATEWAY><DNSADD><IP>8.8.8.8</IP><IP></IP></DNSADD></CONNECTION>";
  };
  Load("<NETSETING NAME=\"實驗室\" ID=\"1\">" +
       entry("{WIFI}", "Wireless", "無線網路連線", "00:0c:29:00:00:03", "0", "10.1.1.5") +
       "</NETSETING><NETSETING NAME=\"second card\" ID=\"2\">" +
       entry("{LAN2}", "Intel PRO/1000", "區域連線 2", "00:0c:29:00:00:02", "0", "10.2.2.5") +
       "</NETSETING><NETSETING NAME=\"dhcp\" ID=\"3\">" +
       entry("{LAN1}", "Intel PRO/1000", "區域連線", "00:0c:29:00:00:01", "1", "") +
       "</NETSETING>");
  std::vector<std::string> before;
  for (const char16_t* id : {u"1", u"2", u"3"})
    before.push_back(WhatApplyDoes(store_, computer_, id));
  EXPECT_NE(before[0].find("{WIFI}"), std::string::npos);
  EXPECT_EQ(before[0].find("{LAN1}"), std::string::npos);

  ASSERT_TRUE(store_.RepairProfiles(adapters));
  Reopen();
  WriteFile(dir_ / "ipconfig.xml", "<CONFIG><NETSETING NAME=\"old\" ID=\"1\">" +
                                       entry("{X}", "Wireless", "x", "x", "0", "10.3.3.5") +
                                       "</NETSETING></CONFIG>");
  ASSERT_TRUE(store_.ImportOldConfig(dir_ / "ipconfig.xml"));
  ASSERT_TRUE(store_.RepairProfiles(adapters));
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 4u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(store_.profiles[i]->connections.size(), 3u);  // a tab for every adapter
    EXPECT_EQ(WhatApplyDoes(store_, computer_, store_.profiles[i]->id), before[i]) << i;
  }
  // The imported entry is bound to this computer's Wi-Fi; nothing else is touched.
  const std::string imported = WhatApplyDoes(store_, computer_, store_.profiles[3]->id);
  EXPECT_NE(imported.find("{WIFI}"), std::string::npos);
  EXPECT_EQ(imported.find("{LAN"), std::string::npos);
}

TEST_F(Repair, ImportRefusesOtherFiles) {
  Load("", "4");
  WriteFile(dir_ / "current.cfg", ReadFile(ConfigFile()));
  EXPECT_FALSE(store_.ImportOldConfig(dir_ / "current.cfg"));  // a current-format file
  WriteFile(dir_ / "text.txt", "not xml at all");
  EXPECT_FALSE(store_.ImportOldConfig(dir_ / "text.txt"));
  EXPECT_FALSE(store_.ImportOldConfig(dir_ / "missing.xml"));
  EXPECT_EQ(store_.lastId, 4);
}

TEST_F(Repair, ImportOfAnythingButA1xFileChangesNothing) {
  Load("<NETSETING NAME=\"mine\" ID=\"4\"/>", "4");
  const std::u16string before = store_.document.GetDocument();
  const std::string good = "<CONFIG><NETSETING NAME=\"a\" ID=\"1\"/></CONFIG>";
  std::string utf16 = "\xff\xfe";
  for (char c : good)
    utf16 += std::string{c, '\0'};
  std::string huge = good;
  huge.resize(kImportSizeLimit + 1, ' ');
  const std::pair<const char*, std::string> files[] = {
      {"truncated.xml", good.substr(0, good.size() - 12)},
      {"utf16.xml", utf16},
      {"binary.xml", std::string("<CONFIG>\0\x01\x02</CONFIG>", 21)},
      {"huge.xml", huge},
      {"empty.xml", ""},
  };
  for (const auto& [name, bytes] : files) {
    WriteFile(dir_ / name, bytes);
    EXPECT_FALSE(store_.ImportOldConfig(dir_ / name)) << name;
    EXPECT_EQ(store_.document.GetDocument(), before) << name;
    EXPECT_EQ(store_.lastId, 4) << name;
  }
  // The same profile, whole, imports.
  WriteFile(dir_ / "whole.xml", good);
  EXPECT_TRUE(store_.ImportOldConfig(dir_ / "whole.xml"));
  Reopen();
  ASSERT_EQ(store_.profiles.size(), 2u);
  EXPECT_EQ(U8(store_.profiles[1]->id), "5");
}

}  // namespace
}  // namespace lumatrove
