// Files and encodings: status texts, byte-order marks, invalid and truncated UTF-8,
// surrogates, zero bytes, and failing paths.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "test_text.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

using test::U8;
namespace fs = std::filesystem;

class XmlFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("lumatrove_xml_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& bytes) {
    const fs::path p = dir_ / "doc.xml";
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
};

TEST_F(XmlFile, StatusTexts) {
  XmlDocument doc;
  EXPECT_FALSE(doc.LoadFile(Write("")));
  EXPECT_EQ(U8(doc.GetError()), "0 bytes to 0 wide chars, Empty document");

  EXPECT_FALSE(doc.LoadFile(Write("<!-- a comment of 30 bytes -->")));
  EXPECT_EQ(U8(doc.GetError()), "30 bytes to 30 wide chars, No root element");

  EXPECT_TRUE(doc.LoadFile(Write("<a>\xe4\xb8\xad</a>")));
  EXPECT_EQ(U8(doc.GetError()), "10 bytes to 8 wide chars");

  doc.SetDocument();
  EXPECT_TRUE(doc.SaveFile(dir_ / "empty.xml"));
  EXPECT_EQ(U8(doc.GetError()), "0 wide chars to 0 bytes");
  EXPECT_EQ(fs::file_size(dir_ / "empty.xml"), 0u);

  doc.SetDocument(u"<a>\u4e2d</a>");
  EXPECT_TRUE(doc.SaveFile(dir_ / "one.xml"));
  EXPECT_EQ(U8(doc.GetError()), "8 wide chars to 10 bytes");
  EXPECT_EQ(Read(dir_ / "one.xml"), "<a>\xe4\xb8\xad</a>");
}

TEST_F(XmlFile, RoundTripKeepsEveryByte) {
  const std::string text =
      "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<R a=\"\xe8\xbe\xa6\">"
      "\xf0\x9f\x98\x80 &amp; <![CDATA[x]]></R>\r\n";
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(Write(text)));
  EXPECT_EQ(doc.GetDocument()[0], u'\xFEFF');  // the byte-order mark is text before the root
  ASSERT_TRUE(doc.SaveFile(dir_ / "out.xml"));
  EXPECT_EQ(Read(dir_ / "out.xml"), text);
}

TEST_F(XmlFile, Utf16FileReadsAsQuestionMarks) {
  XmlDocument doc;
  EXPECT_FALSE(doc.LoadFile(Write(std::string("\xff\xfe<\0a\0/\0>\0", 10))));
  EXPECT_EQ(U8(doc.GetDocument()), "?\?<");
  EXPECT_EQ(U8(doc.GetError()), "10 bytes to 3 wide chars, No root element");
}

TEST_F(XmlFile, MissingFileLeavesTheDocument) {
  XmlDocument doc;
  doc.SetDocument(u"<keep/>");
  EXPECT_FALSE(doc.LoadFile(dir_ / "missing.xml"));
  EXPECT_FALSE(doc.GetError().empty());
  EXPECT_EQ(U8(doc.GetDocument()), "<keep/>");
  EXPECT_TRUE(doc.FindElement(u"keep"));
}

// A file that cannot be opened leaves the document as it was; one that is read replaces it,
// whatever its parse finds.
TEST_F(XmlFile, OnlyAFileThatIsReadReplacesTheDocument) {
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(Write("<first><a/></first>")));
  EXPECT_FALSE(doc.LoadFile(dir_ / "missing.xml"));
  EXPECT_EQ(U8(doc.GetDocument()), "<first><a/></first>");
  EXPECT_FALSE(doc.LoadFile(Write("")));
  EXPECT_EQ(U8(doc.GetDocument()), "");
}

TEST_F(XmlFile, SaveIntoAMissingFolderFails) {
  XmlDocument doc;
  doc.SetDocument(u"<a/>");
  EXPECT_FALSE(doc.SaveFile(dir_ / "no" / "such" / "a.xml"));
  EXPECT_FALSE(doc.GetError().empty());
  EXPECT_EQ(doc.GetError().find(u"wide chars"), std::u16string::npos);
  EXPECT_EQ(U8(doc.GetDocument()), "<a/>");
}

struct Utf8Case {
  std::string bytes;
  std::u16string text;
};

// The file helpers under the documents: any name, sizes and limits, replacing renames.
TEST_F(XmlFile, FilesByUtf16Names) {
  const FilePath name = (dir_ / "x").u16string();
  const FilePath file = name.Sibling(u"組態 \u00e9 ✓.cfg");
  EXPECT_EQ(file.FileName(), u"組態 \u00e9 ✓.cfg");
  EXPECT_EQ(FilePath(u"C:\\a\\b.txt").Sibling(u"c.log"), FilePath(u"C:\\a\\c.log"));
  EXPECT_EQ(FilePath(u"plain").Sibling(u"c.log"), FilePath(u"c.log"));

  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(FileSize(file).has_value());
  ASSERT_TRUE(WriteWholeFile(file, "twelve bytes"));
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(FileSize(file), 12u);
  EXPECT_EQ(ReadWholeFile(file, 12), "twelve bytes");
  EXPECT_FALSE(ReadWholeFile(file, 11).has_value());  // over the limit: not read at all
  EXPECT_FALSE(ReadWholeFile(dir_.u16string(), 100).has_value());  // a folder is no file

  // A rename replaces the file that is there.
  const FilePath other = file + u".new";
  ASSERT_TRUE(WriteWholeFile(other, "new"));
  ASSERT_TRUE(RenameFile(other, file));
  EXPECT_EQ(ReadWholeFile(file, 100), "new");
  EXPECT_FALSE(FileExists(other));
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_FALSE(RemoveFile(file));
  EXPECT_FALSE(WriteWholeFile(name.Sibling(u"missing/x"), "x"));
}

TEST(Utf8ToUtf16, Decoding) {
  const Utf8Case cases[] = {
      {"abc", u"abc"},
      {"\xe4\xb8\xad", u"\u4e2d"},
      {"\xf0\x9f\x98\x80", u"\xD83D\xDE00"},
      {"\xc3\xa9", u"\u00e9"},
      {"a\xe4\xb8", u"a"},            // truncated at the end: dropped
      {"a\xf0\x9f\x98", u"a"},        // truncated four-byte sequence
      {"a\xc3", u"a"},                // truncated two-byte sequence
      {"\xe4\x41\x42\x43", u"?ABC"},  // continuation missing: the byte is read again
      {"\xff\xfe", u"??"},
      {"\xf8\x41", u"?A"},          // a lead byte with bits 5, 4 and 3 set fails
      {"\xc0\xaf", u"/"},           // overlong forms are not rejected
      {"\xed\xa0\x80", u"\xD800"},  // nor encoded surrogates
      {std::string("ab\0cd", 5), u"ab"},
      {"0123456789abcdef\xe4\xb8\xad"
       "0123456789",
       u"0123456789abcdef\u4e2d0123456789"},
  };
  for (const Utf8Case& c : cases) {
    const size_t units = XmlDocument::Utf8ToUtf16(c.bytes.data(), c.bytes.size(), nullptr);
    std::u16string out(units + 1, u'#');
    XmlDocument::Utf8ToUtf16(c.bytes.data(), c.bytes.size(), out.data());
    out.resize(units);
    EXPECT_EQ(out, c.text) << c.bytes;
  }
}

TEST(Utf16ToUtf8, Encoding) {
  struct Case {
    std::u16string text;
    std::string bytes;
  };
  const Case cases[] = {
      {u"abc", "abc"},
      {u"\u00e9\u4e2d", "\xc3\xa9\xe4\xb8\xad"},
      {u"\xD83D\xDE00", "\xf0\x9f\x98\x80"},
      {u"a\xD83D", "a?"},                     // a surrogate as the last unit
      {u"\xDE00\xD83D", "\xf2\x90\x80\xbd"},  // combined without checking the second unit
      {u"\xDBFF\xDFFF", "\xf4\x8f\xbf\xbf"},
  };
  for (const Case& c : cases) {
    const size_t n = XmlDocument::Utf16ToUtf8(c.text.c_str(), nullptr, 0);
    EXPECT_EQ(n, c.bytes.size());
    std::string out(n + 1, '#');
    EXPECT_EQ(XmlDocument::Utf16ToUtf8(c.text.c_str(), out.data(), n + 1), n);
    EXPECT_EQ(out[n], '\0');
    out.resize(n);
    EXPECT_EQ(out, c.bytes);
  }
}

TEST(Utf16ToUtf8, StopsWhenTheRoomIsFull) {
  char out[4] = {'#', '#', '#', '#'};
  // "a" + U+4E2D needs four bytes; with room 3 the second character does not fit.
  EXPECT_EQ(XmlDocument::Utf16ToUtf8(u"a\u4e2d", out, 3), 1u);
  EXPECT_EQ(out[0], 'a');
  EXPECT_EQ(out[1], '\0');
  EXPECT_EQ(out[3], '#');
  EXPECT_EQ(XmlDocument::Utf16ToUtf8(u"abc", out, 3), 3u);  // exactly full: no terminator
  EXPECT_EQ(out[3], '#');
}

TEST_F(XmlFile, LargeDocumentLoads) {
  // About 100 MB of configuration-like text.
  std::string text = "<LUMATROVE><CONFIG>";
  const std::string profile =
      "<NETSETING NAME=\"\xe8\xbe\xa6\xe5\x85\xac\xe5\xae\xa4\" DATATIME=\"08-06-15 14:03:09\" "
      "ID=\"1\"><CONNECTION><IPADD><IP>192.168.1.10</IP></IPADD></CONNECTION></NETSETING>\r\n";
  size_t profiles = 0;
  for (; text.size() < 100'000'000; ++profiles)
    text += profile;
  text += "</CONFIG></LUMATROVE>";
  XmlDocument doc;
  ASSERT_TRUE(doc.LoadFile(Write(text)));
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement();
  doc.EnterElement();
  size_t count = 0;
  while (doc.FindElement(u"NETSETING"))
    ++count;
  EXPECT_EQ(count, profiles);
}

}  // namespace
}  // namespace lumatrove
