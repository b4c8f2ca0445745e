// The update check over an in-memory web server: which versions are offered, what the request
// carries, what is stored, and every way it can fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fakes/memory_http.h"
#include "services/update_check.h"
#include "test_text.h"

namespace lumatrove {
namespace {

using test::U8;
using Kind = UpdateOutcome::Kind;
namespace fs = std::filesystem;

class UpdateCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           (std::string("lumatrove_update_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code e;
    fs::remove_all(dir_, e);
  }
  UpdateOutcome Check(const std::string& reply) {
    http_.bodies[std::u16string(kVersionUrl)] = reply;
    return RunUpdateCheck(http_, kVersionUrl, File(), u"2.0.0");
  }
  fs::path File() const { return dir_ / "lumatrove.version"; }

  fs::path dir_;
  MemoryHttp http_;
};

std::string Reply(const std::string& version, const std::string& page = "http://example.com/") {
  return "<UPDATE><VERSION>" + version + "</VERSION><UPDATE_WEB>" + page +
         "</UPDATE_WEB><UPDATE_PATH>x</UPDATE_PATH></UPDATE>";
}

TEST_F(UpdateCheck, NewerVersionsAsTextAreOffered) {
  struct Case {
    const char* version;
    bool offered;
  };
  const Case cases[] = {{"2.0.1", true},  {"2.1", true},     {"3", true},
                        {"2.0.0", false}, {"10.0.0", false}, {"1.9.9", false},
                        {"", false},      {"2.0.0 ", true},  {"2.0", false}};
  for (const Case& c : cases) {
    const UpdateOutcome o = Check(Reply(c.version));
    EXPECT_EQ(o.kind == Kind::kNewer, c.offered) << c.version;
    EXPECT_EQ(U8(o.version), c.version);
  }
  const UpdateOutcome o = Check(Reply("2.0.1", "http://korvalworks.com/lumatrove/"));
  EXPECT_EQ(U8(o.page), "http://korvalworks.com/lumatrove/");
}

TEST_F(UpdateCheck, RequestAndStoredReply) {
  Check(Reply("2.0.1"));
  ASSERT_EQ(http_.requests.size(), 1u);
  EXPECT_EQ(U8(http_.requests[0].url),
            "http://korvalworks.com/lumatrove/download.asp?FileName=lumatrove.ver");
  EXPECT_EQ(U8(http_.requests[0].headers), "Accept: text/*\r\nUser-Agent:HttpClient\r\n");
  std::ifstream in(File(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), Reply("2.0.1"));

  // A hostile or broken server cannot fill the disk: only the first 64 KiB are stored.
  Check(std::string(200 * 1024, 'x'));
  EXPECT_EQ(fs::file_size(File()), kVersionBodyLimit);
}

TEST_F(UpdateCheck, DocumentsWithoutAnOffer) {
  EXPECT_EQ(Check("<html><body>404 Not Found</body></html>").kind, Kind::kUpToDate);
  EXPECT_EQ(Check("").kind, Kind::kUpToDate);
  EXPECT_EQ(Check("<UPDATE><UPDATE_WEB>http://x/</UPDATE_WEB></UPDATE>").kind, Kind::kUpToDate);
  EXPECT_EQ(Check("<OTHER><VERSION>9</VERSION></OTHER>").kind, Kind::kUpToDate);
  // Without a page the offer is made; the page is then no web page and is never opened.
  const UpdateOutcome noPage = Check("<UPDATE><VERSION>2.0.1</VERSION></UPDATE>");
  EXPECT_EQ(noPage.kind, Kind::kNewer);
  EXPECT_FALSE(IsWebPage(noPage.page));
}

TEST_F(UpdateCheck, Failures) {
  // Nothing answers.
  EXPECT_EQ(RunUpdateCheck(http_, kVersionUrl, File(), u"2.0.0").kind, Kind::kDownloadFailed);
  EXPECT_EQ(RunUpdateCheck(http_, u"ftp://host/x", File(), u"2.0.0").kind, Kind::kBadUrl);
  http_.bodies[std::u16string(kVersionUrl)] = Reply("2.0.1");
  EXPECT_EQ(RunUpdateCheck(http_, kVersionUrl, dir_ / "missing" / "v", u"2.0.0").kind,
            Kind::kCannotWriteFile);
}

TEST(UpdatePage, OnlyWebAddressesAreOpened) {
  struct Case {
    std::u16string_view page;
    bool opened;
  };
  const Case cases[] = {
      {u"http://korvalworks.com/lumatrove/", true},
      {u"HTTPS://example.com/a?b=c", true},
      {u"", false},
      {u"C:\\Windows\\System32\\calc.exe", false},
      {u"calc.exe", false},
      {u"file:///C:/Windows/System32/calc.exe", false},
      {u"\\\\server\\share\\setup.exe", false},
      {u"javascript:alert(1)", false},
      {u"http://example.com/ x.exe", false},
      {u"http://example.com/\nx", false},
      {u"ftp://example.com/", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsWebPage(c.page), c.opened) << U8(c.page);
}

}  // namespace
}  // namespace lumatrove
