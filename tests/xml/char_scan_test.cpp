// The character classes and the scans: the searches that go several units at a time give the
// same answer as a plain loop, wherever the blocks fall.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "xml/char_scan.h"

namespace lumatrove {
namespace {

TEST(CharScan, ClassesOfEveryUnit) {
  const std::u16string_view blanks = u" \t\n\r";
  for (uint32_t c = 0; c < 0x10000; ++c) {
    const auto u = static_cast<char16_t>(c);
    const bool blank = blanks.find(u) != blanks.npos;
    EXPECT_EQ(IsXmlBlank(u), blank) << c;
    EXPECT_EQ(InClass(u, kNodeNameEnd), blank || u == u'/' || u == u'>') << c;
    EXPECT_EQ(InClass(u, kTagNameEnd),
              blank || std::u16string_view(u"<>=/?!\\").find(u) != std::u16string_view::npos)
        << c;
    EXPECT_EQ(InClass(u, kAttributeNameEnd),
              blank || std::u16string_view(u"=>/?").find(u) != std::u16string_view::npos)
        << c;
    EXPECT_EQ(StartsTagName(u), (u >= u'A' && u <= u'Z') || u == u'_' || u == u':' || u > 0x60)
        << c;
    EXPECT_EQ(InClass(u, kValueEnd), blank || u == u'>') << c;
  }
}

TEST(CharScan, SearchesAgreeWithAPlainLoop) {
  std::mt19937 rng(20261208);
  // Units whose low or high byte equals a searched character must not be taken for it.
  const char16_t alphabet[] = {u'a',      u'<',      u'>',      u'=',      u'"', u' ',
                               u'\u3c00', u'\u003c', u'\u3e3e', u'\uff3c', 0};
  for (int round = 0; round < 20000; ++round) {
    std::u16string text(rng() % 40, u'x');
    for (char16_t& c : text) {
      if (rng() % 5 == 0) c = alphabet[rng() % std::size(alphabet)];
    }
    const auto n = static_cast<uint32_t>(text.size());
    const uint32_t from = n == 0 ? 0 : static_cast<uint32_t>(rng() % (n + 1));
    const char16_t* s = text.data();
    uint32_t plain = from;
    while (plain < n && s[plain] != u'<')
      ++plain;
    ASSERT_EQ(FindChar(s, from, n, u'<'), plain);
    plain = from;
    while (plain < n && s[plain] != u'=' && s[plain] != u'>')
      ++plain;
    ASSERT_EQ(FindEither(s, from, n, u'=', u'>'), plain);

    std::string bytes(rng() % 40, 'b');
    for (char& b : bytes) {
      if (rng() % 9 == 0) b = static_cast<char>(rng() % 3 == 0 ? 0 : 0x80 + rng() % 0x80);
    }
    size_t run = 0;
    while (run < bytes.size() && bytes[run] != 0 && static_cast<unsigned char>(bytes[run]) < 0x80)
      ++run;
    const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
    ASSERT_EQ(WidenAsciiRun(raw, bytes.size(), nullptr), run);
    std::u16string wide(bytes.size(), u'#');
    ASSERT_EQ(WidenAsciiRun(raw, bytes.size(), wide.data()), run);
    ASSERT_EQ(wide.substr(0, run), std::u16string(bytes.begin(), bytes.begin() + run));
    ASSERT_EQ(wide.substr(run), std::u16string(bytes.size() - run, u'#'));  // nothing more
  }
}

}  // namespace
}  // namespace lumatrove
