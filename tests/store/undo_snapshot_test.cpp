// The snapshot kept before an apply: what it holds, that it is written in one step, and that
// it reads back as a profile.
#include "store/undo_snapshot.h"
#include "store_test_util.h"

namespace lumatrove {
namespace {

using test::StoreTest;
using test::U8;

std::unique_ptr<AdapterInfo> Adapter(std::u16string id, int32_t dhcp, std::u16string address) {
  auto a = std::make_unique<AdapterInfo>();
  a->instanceId = std::move(id);
  a->connectionName = u"連線 " + a->instanceId;
  a->description = u"NIC";
  a->macAddress = u"00:11:22:33:44:55";
  a->statusEnabled = 1;
  a->dhcpEnabled = dhcp;
  a->ipAddressText = address;
  a->ipAddresses = {address, u"10.9.9.9", u"10.8.8.8"};  // the third has no mask
  a->subnetMaskText = u"255.255.255.0";
  a->subnetMasks = {u"255.255.255.0", u"255.0.0.0"};
  a->gatewayText = u"192.168.1.1";
  a->gateways = {u"192.168.1.1", u"192.168.1.254"};
  a->gatewayMetrics = {0, 30};
  a->primaryDns = u"168.95.1.1";
  a->secondaryDns = u"8.8.8.8";
  a->dnsServers = {u"168.95.1.1", u"8.8.8.8", u"9.9.9.9"};
  return a;
}

std::unique_ptr<ConnectionSetting> Configured(std::u16string id, ConnectionMode mode) {
  auto c = std::make_unique<ConnectionSetting>();
  c->instanceId = std::move(id);
  c->dhcpEnabled = CodeOf(mode);
  c->ipAddressText = u"10.0.0.5";
  return c;
}

class Undo : public StoreTest {};

TEST_F(Undo, SnapshotHoldsTheAdaptersTheProfileChangesAsTheyAreNow) {
  std::vector<std::unique_ptr<AdapterInfo>> adapters;
  adapters.push_back(Adapter(u"{A}", 1, u""));
  adapters.push_back(Adapter(u"{B}", 0, u"192.168.1.10"));
  adapters.push_back(Adapter(u"{C}", 0, u"192.168.2.10"));
  Profile profile;
  profile.connections.push_back(
      Configured(u"{b}", ConnectionMode::kAutomatic));  // GUID in other case
  profile.connections.push_back(Configured(u"{C}", ConnectionMode::kLeaveAlone));  // not changed
  profile.connections.push_back(Configured(u"{A}", ConnectionMode::kManual));
  profile.connections.push_back(Configured(u"{GONE}", ConnectionMode::kManual));  // no such adapter

  const std::vector<ConnectionSetting> kept = UndoConnections(profile, adapters);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].instanceId, u"{B}");
  EXPECT_EQ(ModeOf(kept[0]), ConnectionMode::kManual);  // as it is now, not as the profile wants
  EXPECT_EQ(kept[0].ipAddressText, u"192.168.1.10");
  EXPECT_EQ(kept[1].instanceId, u"{A}");
  EXPECT_EQ(ModeOf(kept[1]), ConnectionMode::kAutomatic);

  const FilePath file = (dir_ / "lumatrove.undo").u16string();
  ASSERT_TRUE(SaveUndoSnapshot(system_, file, kept));
  const std::string text = ReadFile(dir_ / "lumatrove.undo");
  EXPECT_EQ(text.find("<?xml"), 0u);
  EXPECT_NE(text.find("<NETSETING NAME=\"undo\" DATATIME=\"08-06-15 14:03:09\" ID=\"0\">"),
            std::string::npos)
      << text;
  const std::unique_ptr<Profile> back = LoadUndoSnapshot(file);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->connections.size(), 2u);
  EXPECT_EQ(back->connections[0]->ipAddressText, u"192.168.1.10");
  EXPECT_EQ(back->connections[0]->gatewayText, u"192.168.1.1");
  EXPECT_EQ(back->connections[0]->primaryDns, u"168.95.1.1");
  EXPECT_EQ(back->connections[0]->macAddress, u"00:11:22:33:44:55");
  // Every further entry Windows keeps goes back too.
  EXPECT_EQ(back->connections[0]->moreAddresses, std::vector<std::u16string>{u"10.9.9.9"});
  EXPECT_EQ(back->connections[0]->moreMasks, std::vector<std::u16string>{u"255.0.0.0"});
  EXPECT_EQ(back->connections[0]->moreGateways, std::vector<std::u16string>{u"192.168.1.254"});
  EXPECT_EQ(back->connections[0]->gatewayMetrics, (std::vector<uint32_t>{0, 30}));
  EXPECT_EQ(back->connections[0]->moreDnsServers, std::vector<std::u16string>{u"9.9.9.9"});
  EXPECT_EQ(ModeOf(*back->connections[1]), ConnectionMode::kAutomatic);
  EXPECT_EQ(U8(back->connections[1]->connectionName), "連線 {A}");
}

TEST_F(Undo, AFailedWriteKeepsTheOlderSnapshotAndNoneReadsAsNone) {
  const FilePath file = (dir_ / "lumatrove.undo").u16string();
  EXPECT_EQ(LoadUndoSnapshot(file), nullptr);
  ASSERT_TRUE(SaveUndoSnapshot(system_, file, {}));
  const std::string before = ReadFile(dir_ / "lumatrove.undo");
  system_.failReplaces = 1;
  std::vector<ConnectionSetting> one(1);
  EXPECT_FALSE(SaveUndoSnapshot(system_, file, one));
  EXPECT_EQ(ReadFile(dir_ / "lumatrove.undo"), before);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.undo.tmp"));
  const std::unique_ptr<Profile> empty = LoadUndoSnapshot(file);
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->connections.empty());
  WriteFile(dir_ / "lumatrove.undo", "<OTHER/>");
  EXPECT_EQ(LoadUndoSnapshot(file), nullptr);
}

}  // namespace
}  // namespace lumatrove
