// The configuration file: first start, loading, the kept copy of a damaged file, the atomic
// save, and the mapping between the file and the records.
#include "profile_list_text.h"
#include "store_test_util.h"

namespace lumatrove {
namespace {

using test::StoreTest;
using test::U8;

constexpr char kFirstStart[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<LUMATROVE>\r\n"
    "<CONFIG LASTID=\"0\" VERSION=\"2.0\" />\r\n"
    "<DNS VERSION=\"2.0\" />\r\n"
    "<SYSCONFIG VERSION=\"2.0\">\r\n"
    "<AUTOEXEC>FALSE</AUTOEXEC>\r\n"
    "<AUTOUPDATE>FALSE</AUTOUPDATE>\r\n"
    "<LOGFLAG>FALSE</LOGFLAG>\r\n"
    "</SYSCONFIG>\r\n"
    "</LUMATROVE>";

using StoreFile = StoreTest;

TEST_F(StoreFile, FirstStartWritesTheDefaultDocument) {
  ProfileStore store(system_);
  EXPECT_EQ(store.Open(), 0);
  EXPECT_EQ(ReadFile(ConfigFile()), kFirstStart);
  EXPECT_TRUE(store.profiles.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.cfg.tmp"));
  // The next start finds it.
  ProfileStore again(system_);
  EXPECT_EQ(again.Open(), 1);
  EXPECT_EQ(again.lastId, 0);
  EXPECT_FALSE(again.logEnabled);
}

TEST_F(StoreFile, ConfigPathFollowsTheProgramNotTheCurrentDirectory) {
  system_.currentDirectory = u"somewhere else";
  ProfileStore store(system_);
  EXPECT_EQ(store.ConfigPath(), ConfigFile());
}

TEST_F(StoreFile, DamagedFileIsKeptBeforeTheDefaultReplacesIt) {
  WriteFile(ConfigFile(), "<LUMATROVE><CONFIG LASTID=\"9\"><NETSETING NAME=\"x\"");
  ProfileStore store(system_);
  EXPECT_EQ(store.Open(), 0);
  EXPECT_EQ(ReadFile(dir_ / "lumatrove.cfg.bad"),
            "<LUMATROVE><CONFIG LASTID=\"9\"><NETSETING NAME=\"x\"");
  EXPECT_EQ(ReadFile(ConfigFile()), kFirstStart);
  EXPECT_EQ(store.keptCopy, dir_ / "lumatrove.cfg.bad");
  // A second damaged file does not overwrite the first copy.
  WriteFile(ConfigFile(), "second");
  ProfileStore again(system_);
  EXPECT_EQ(again.Open(), 0);
  EXPECT_EQ(again.keptCopy, dir_ / "lumatrove.cfg.bad.2");
  // Opened again without damage, nothing is said to be kept.
  EXPECT_EQ(again.Open(), 1);
  EXPECT_TRUE(again.keptCopy.empty());
  EXPECT_EQ(ReadFile(dir_ / "lumatrove.cfg.bad"),
            "<LUMATROVE><CONFIG LASTID=\"9\"><NETSETING NAME=\"x\"");
  EXPECT_EQ(ReadFile(dir_ / "lumatrove.cfg.bad.2"), "second");
}

TEST_F(StoreFile, DamagedFileThatCannotBeKeptIsNotOverwritten) {
  WriteFile(ConfigFile(), "<LUMATROVE><CONFIG");
  system_.failReplaces = 1;
  ProfileStore store(system_);
  EXPECT_EQ(store.Open(), 0);
  EXPECT_TRUE(store.keptCopy.empty());
  EXPECT_EQ(ReadFile(ConfigFile()), "<LUMATROVE><CONFIG");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.cfg.bad"));
  EXPECT_TRUE(store.profiles.empty());
  // A later save keeps it aside first, or writes nothing.
  ASSERT_TRUE(store.AddProfile(u"new", {}));
  system_.failReplaces = 1;
  EXPECT_FALSE(store.Save());
  EXPECT_EQ(ReadFile(ConfigFile()), "<LUMATROVE><CONFIG");
  EXPECT_TRUE(store.SaveAndReopen());
  EXPECT_EQ(ReadFile(dir_ / "lumatrove.cfg.bad"), "<LUMATROVE><CONFIG");
  ASSERT_EQ(store.profiles.size(), 1u);
  EXPECT_EQ(U8(store.profiles[0]->name), "new");
}

// A well-formed file that is no configuration is set aside like a damaged one; saves into
// the default document that replaces it reach the disk.
TEST_F(StoreFile, WellFormedFilesOfSomethingElseAreKeptAside) {
  std::string deep;
  for (int i = 0; i < 200000; ++i)
    deep += "<a>";
  for (int i = 0; i < 200000; ++i)
    deep += "</a>";
  const std::string files[] = {"<?xml version=\"1.0\"?><HELLO/>", "<LUMATROVE><DNS/></LUMATROVE>",
                               "<CONFIG LASTID=\"3\"/>", deep};
  for (const std::string& file : files) {
    std::filesystem::remove(dir_ / "lumatrove.cfg.bad");
    WriteFile(ConfigFile(), file);
    ProfileStore store(system_);
    EXPECT_EQ(store.Open(), 0) << file.substr(0, 40);
    EXPECT_EQ(store.keptCopy, dir_ / "lumatrove.cfg.bad");
    EXPECT_EQ(ReadFile(dir_ / "lumatrove.cfg.bad"), file);
    EXPECT_EQ(ReadFile(ConfigFile()), kFirstStart);
    ASSERT_TRUE(store.AddProfile(u"new", {}));
    ASSERT_TRUE(store.SaveAndReopen());
    ProfileStore next(system_);
    ASSERT_EQ(next.Open(), 1);
    ASSERT_EQ(next.profiles.size(), 1u);
    EXPECT_EQ(U8(next.profiles[0]->name), "new");
  }
}

TEST_F(StoreFile, ReopeningChecksWhatTheDiskHolds) {
  ProfileStore store(system_);
  store.Open();
  const std::u16string saved = store.document.GetDocument();
  EXPECT_EQ(store.Open(&saved), 1);
  WriteFile(ConfigFile(), ReadFile(ConfigFile()) + " ");
  EXPECT_EQ(store.Open(&saved), 0);  // well-formed, but not what was written
}

// Notepad's "Unicode" is read and saved back in UTF-8; a save cut short leaves nothing.
TEST_F(StoreFile, Utf16FileIsConvertedAndStaleTemporaryRemoved) {
  const std::u16string text =
      u"<LUMATROVE><CONFIG LASTID=\"1\"><NETSETING NAME=\"家裡\" ID=\"1\"/></CONFIG></LUMATROVE>";
  for (const bool little : {true, false}) {
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t c : text) {
      const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
      bytes += little ? std::string{low, high} : std::string{high, low};
    }
    WriteFile(ConfigFile(), bytes);
    WriteFile(dir_ / "lumatrove.cfg.tmp", "");
    WriteFile(dir_ / "lumatrove.undo.tmp", "");
    ProfileStore store(system_);
    ASSERT_EQ(store.Open(), 1);
    ASSERT_EQ(store.profiles.size(), 1u);
    EXPECT_EQ(U8(store.profiles[0]->name), "家裡");
    EXPECT_EQ(ReadFile(ConfigFile()), U8(text));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.cfg.bad"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.cfg.tmp"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.undo.tmp"));
  }
}

TEST_F(StoreFile, FailedSaveKeepsTheOldFile) {
  ProfileStore store(system_);
  store.Open();
  const std::string before = ReadFile(ConfigFile());
  store.AddProfile(u"new", {});
  system_.failReplaces = 1;
  EXPECT_FALSE(store.Save());
  EXPECT_EQ(ReadFile(ConfigFile()), before);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "lumatrove.cfg.tmp"));
  EXPECT_TRUE(store.Save());
  EXPECT_NE(ReadFile(ConfigFile()).find("NAME=\"new\""), std::string::npos);
}

TEST_F(StoreFile, ReloadAfterAFailedSaveAgreesWithTheFile) {
  ProfileStore store(system_);
  store.Open();
  store.AddProfile(u"kept", {});
  ASSERT_TRUE(store.Save());
  store.Open();
  store.AddProfile(u"lost", {});
  system_.failReplaces = 1;
  ASSERT_FALSE(store.Save());
  ASSERT_TRUE(store.Reload());
  ASSERT_EQ(store.profiles.size(), 1u);
  EXPECT_EQ(store.profiles[0]->name, u"kept");
  EXPECT_FALSE(store.ProfileNameExists(u"lost"));

  // Without a readable file the document stays as it is: it is all there is.
  std::filesystem::remove(ConfigFile());
  store.AddProfile(u"only in memory", {});
  EXPECT_FALSE(store.Reload());
  EXPECT_TRUE(store.ProfileNameExists(u"only in memory"));
}

TEST_F(StoreFile, SaveIntoAMissingFolderFails) {
  system_.programPath = FromPath(dir_ / "missing" / "lumatrove.exe");
  ProfileStore store(system_);
  EXPECT_EQ(store.Open(), 0);  // created in memory; the file could not be written
  EXPECT_FALSE(store.Save());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST_F(StoreFile, RecordsMirrorTheFile) {
  WriteFile(ConfigFile(),
            "<LUMATROVE><CONFIG LASTID=\"abc\"><NETSETING NAME=\"辦公室\" DATATIME=\"08-06-15 "
            "14:03:09\" ID=\"3\">"
            "<CONNECTION NAME=\"A\" GUID=\"{1}\" MACCODE=\"00:11:22:33:44:55\" MACCODEN=\"x\" "
            "EnableCheck=\"false\" TYPE=\"3\">"
            "<IPADD><IP>1.1.1.1</IP><IP>2.2.2.2</IP></IPADD>"
            "<DNSADD><IP></IP><IP>1.1.1.1</IP><IP>2.2.2.2</IP></DNSADD>"
            "</CONNECTION>"
            "<CONNECTION EnableCheck=\"0\"/>"
            "<NETSETING NAME=\"nested\"><CONNECTION/></NETSETING>"
            "</NETSETING></CONFIG></LUMATROVE>");
  ProfileStore store(system_);
  ASSERT_EQ(store.Open(), 1);
  EXPECT_EQ(store.lastId, 3);  // not a number: raised to the highest ID
  ASSERT_EQ(store.profiles.size(), 1u);
  const Profile& p = *store.profiles[0];
  EXPECT_EQ(U8(p.id), "3");
  EXPECT_EQ(U8(p.name), "辦公室");
  EXPECT_EQ(U8(p.dateTime), "08-06-15 14:03:09");
  ASSERT_EQ(p.connections.size(), 2u);  // the nested NETSETING is not a connection
  const ConnectionSetting& a = *p.connections[0];
  EXPECT_EQ(ModeOf(a), ConnectionMode::kUnknown);
  EXPECT_EQ(a.statusEnabled, 1);  // only "0" reads as 0
  EXPECT_EQ(U8(a.networkAddress), "x");
  EXPECT_EQ(U8(a.ipAddressText), "1.1.1.1");
  EXPECT_EQ(a.ipAddresses.size(), 1u);  // a second IP is ignored
  EXPECT_EQ(U8(a.primaryDns), "1.1.1.1");
  EXPECT_EQ(U8(a.secondaryDns), "2.2.2.2");
  EXPECT_EQ(a.dnsServers.size(), 3u);
  EXPECT_EQ(p.connections[1]->statusEnabled, 0);
  EXPECT_EQ(ModeOf(*p.connections[1]), ConnectionMode::kUnknown);  // no TYPE
  EXPECT_EQ(U8(p.summary), "【A】【】");

  // The next profile added gets ID 4; a mode -1 connection is written as TYPE 2.
  std::vector<const ConnectionSetting*> list{p.connections[0].get()};
  ASSERT_TRUE(store.AddProfile(u"added", list));
  EXPECT_NE(U8(store.document.GetDocument()).find("TYPE=\"2\""), std::string::npos);
  ASSERT_TRUE(store.Save());
  ASSERT_EQ(store.Open(), 1);
  EXPECT_EQ(U8(store.profiles[1]->id), "4");
  EXPECT_EQ(ModeOf(*store.profiles[1]->connections[0]), ConnectionMode::kLeaveAlone);
  EXPECT_EQ(U8(store.profiles[1]->connections[0]->networkAddress), "");  // never written
}

// Every field of every record, in order.
std::string Dump(const ProfileStore& store) {
  return U8(test::ProfileListText(store));
}

std::string ProfileText(int id, const std::string& ip, int connections) {
  std::string t = "<NETSETING NAME=\"p" + std::to_string(id) +
                  "\" DATATIME=\"08-06-15 14:03:09\" ID=\"" + std::to_string(id) + "\">\r\n";
  for (int k = 0; k < connections; ++k) {
    t += "<CONNECTION NAME=\"c" + std::to_string(k) + "\" GUID=\"{" + std::to_string(k) +
         "}\" MACCODE=\"00:11\" EnableCheck=\"1\" TYPE=\"" + std::to_string(k % 3) +
         "\">"
         "<IPADD><IP>" +
         ip +
         "</IP></IPADD><MASKADD><IP>255.0.0.0</IP></MASKADD>"
         "<GATEWAY><IP>10.0.0.1</IP></GATEWAY><DNSADD><IP>8.8.8.8</IP><IP>8.8.4.4</IP>"
         "<IP>1.1.1.1</IP></DNSADD></CONNECTION>\r\n";
  }
  return t + "</NETSETING>\r\n";
}

std::string ConfigText(const std::vector<std::string>& profiles) {
  std::string t = "<LUMATROVE><CONFIG LASTID=\"9\">\r\n";
  for (const std::string& p : profiles)
    t += p;
  return t + "</CONFIG></LUMATROVE>";
}

// Whatever changed in between, a store opened again lists what a store opening the file for
// the first time lists.
TEST_F(StoreFile, ListOpenedAgainEqualsAFreshOne) {
  std::vector<std::string> profiles{ProfileText(1, "10.0.0.1", 2), ProfileText(2, "10.0.0.2", 1),
                                    ProfileText(3, "10.0.0.3", 0), ProfileText(4, "10.0.0.4", 3)};
  WriteFile(ConfigFile(), ConfigText(profiles));
  ProfileStore store(system_);
  ASSERT_EQ(store.Open(), 1);
  auto check = [&](const char* step) {
    ProfileStore fresh(system_);
    ASSERT_EQ(fresh.Open(), 1) << step;
    EXPECT_EQ(Dump(store), Dump(fresh)) << step;
  };

  ASSERT_EQ(store.Open(), 1);
  check("unchanged");

  profiles[1] = ProfileText(2, "10.0.0.9", 1);   // an address changes, same length
  profiles[3] = ProfileText(4, "10.0.0.44", 3);  // and one of another length
  profiles[0] = ProfileText(1, "10.0.0.1", 1);   // a connection less
  profiles[2] = ProfileText(3, "10.0.0.3", 2);   // two connections more
  WriteFile(ConfigFile(), ConfigText(profiles));
  ASSERT_EQ(store.Open(), 1);
  check("edited");

  profiles.erase(profiles.begin());  // every profile moves up
  std::swap(profiles[0], profiles[2]);
  WriteFile(ConfigFile(), ConfigText(profiles));
  ASSERT_EQ(store.Open(), 1);
  check("moved");

  std::vector<const ConnectionSetting*> list{store.profiles[0]->connections[0].get()};
  ASSERT_TRUE(store.AddProfile(u"added", list));
  ASSERT_TRUE(store.Save());
  ASSERT_EQ(store.Open(), 1);
  check("added");
  ASSERT_TRUE(store.DeleteProfile(u"4"));
  ASSERT_TRUE(store.Save());
  ASSERT_EQ(store.Open(), 1);
  check("deleted");

  WriteFile(ConfigFile(), ConfigText({}));
  ASSERT_EQ(store.Open(), 1);
  EXPECT_TRUE(store.profiles.empty());
  WriteFile(ConfigFile(),
            ConfigText({ProfileText(7, "10.0.0.7", 2), ProfileText(8, "10.0.0.8", 1)}));
  ASSERT_EQ(store.Open(), 1);
  check("emptied and filled again");
}

}  // namespace
}  // namespace lumatrove
