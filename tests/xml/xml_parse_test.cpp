// Parsing: status messages with their offsets, well-formedness, the shape of the index after
// error recovery, and the growth of the index.
#include <gtest/gtest.h>

#include <random>

#include "test_text.h"
#include "xml/node_scanner.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

using test::U8;

struct ParseCase {
  std::u16string_view text;
  bool wellFormed;
  std::u16string_view status;
};

class ParseStatus : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseStatus, MessageAndResult) {
  const ParseCase& c = GetParam();
  XmlDocument doc;
  EXPECT_EQ(doc.SetDocument(c.text), c.wellFormed) << U8(c.text);
  EXPECT_EQ(U8(doc.GetError()), U8(c.status)) << U8(c.text);
  EXPECT_EQ(doc.IsWellFormed(), c.wellFormed);
  std::string why;
  EXPECT_TRUE(doc.VerifyIndex(&why)) << why << " in " << U8(c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ParseStatus,
    ::testing::Values(
        ParseCase{u"", false, u"Empty document"},
        ParseCase{u"   \r\n\t", false, u"No root element"},
        ParseCase{u"<!-- only a comment -->", false, u"No root element"},
        ParseCase{u"<?xml version=\"1.0\"?>", false, u"No root element"},
        ParseCase{u"just text", false, u"No root element"}, ParseCase{u"<a/>", true, u""},
        ParseCase{u"<a></a>", true, u""},
        ParseCase{u"<?xml version=\"1.0\"?>\r\n<a x='1' y=\"2\">t</a>\r\n", true, u""},
        ParseCase{u"<a/><b/>", false, u"Root element has sibling"},
        ParseCase{u"<a><b></a>", false,
                  u"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
        ParseCase{u"<a><b>", false, u"Element 'b' at offset 3 not ended"},
        ParseCase{u"<a></b></a>", false, u"No start tag for end tag 'b' at offset 3"},
        ParseCase{u"<a><1/></a>", false, u"Incorrect tag name character at offset 3"},
        ParseCase{u"<a>< b/></a>", false, u"Incorrect tag name character at offset 3"},
        ParseCase{u"<a><!-- x", false, u"Comment at offset 3 unterminated"},
        ParseCase{u"<a><!-x--></a>", false, u"Incorrect comment tag at offset 3"},
        ParseCase{u"<a><![x]></a>", false, u"Incorrect tag at offset 3"},
        ParseCase{u"<a><!x></a>", false, u"Incorrect ! tag at offset 3"},
        ParseCase{u"<!doctype x><x/>", false, u"Incorrect ! tag at offset 0"},
        ParseCase{u"<!DOCTYPE x [<!ELEMENT x ANY>]><x/>", true, u""},
        ParseCase{u"<!DOCTYPE x [<!-- > -->]><x/>", true, u""},
        ParseCase{u"<a/><!DOCTYPE x [<!ELEMENT x ANY>", false, u"Doctype at offset 4 unterminated"},
        ParseCase{u"<!DOCTYPE x [<!ELEMENT x ANY>", false, u"No root element"},
        ParseCase{u"<a><!ENTITY e 'a>b'></a>", true, u""},
        ParseCase{u"<a><!ENTITY e 'x", false, u"Doctype at offset 3 unterminated"},
        ParseCase{u"<r><a x='1", false, u"Element tag at offset 3 unterminated"},
        ParseCase{u"<1/>", false, u"No root element"},
        ParseCase{u"<a></a", false, u"Element end tag at offset 3 unterminated"},
        ParseCase{u"<a><![CDATA[x]]", false, u"CDATA Section at offset 3 unterminated"},
        ParseCase{u"<a><?pi x", false, u"Processing instruction at offset 3 unterminated"},
        ParseCase{u"<a><", false, u"tag at offset 3 unterminated"},
        ParseCase{u"<a><1 x", false, u"tag at offset 3 unterminated"},
        ParseCase{u"<a><!-->t</a>", true, u""}, ParseCase{u"<a><?>t</a>", true, u""},
        ParseCase{u"<a><![CDATA[<b>]]></a>", true, u""},
        ParseCase{u"<a x=\"<b>\" y='>'/>", true, u""}, ParseCase{u"\xFEFF<a/>", true, u""},
        // Stray '>' in text is text, not an error.
        ParseCase{u"<a>1 > 0</a>", true, u""}),
    [](const ::testing::TestParamInfo<ParseCase>& p) { return std::to_string(p.index); });

TEST(Parse, MessageOfBuildWinsOverRootSibling) {
  // "<a><b>" leaves b lifted beside a, but the message names the element that was not ended.
  XmlDocument doc;
  EXPECT_FALSE(doc.SetDocument(u"<a><b>"));
  EXPECT_EQ(U8(doc.GetError()), "Element 'b' at offset 3 not ended");
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(U8(doc.GetTagName()), "a");
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(U8(doc.GetTagName()), "b");
}

TEST(Parse, NewDocumentIsEmptyAndNotWellFormed) {
  XmlDocument doc;
  EXPECT_EQ(U8(doc.GetError()), "Empty document");
  EXPECT_FALSE(doc.IsWellFormed());
  EXPECT_TRUE(doc.Index().HasStorage());
  EXPECT_FALSE(doc.FindElement());
}

TEST(Parse, UnendedElementKeepsItsStartTagAndLosesItsChildren) {
  XmlDocument doc;
  ASSERT_FALSE(doc.SetDocument(u"<a><b><c/></a>"));
  ASSERT_TRUE(doc.FindElement(u"a"));
  const ElementRecord& a = doc.Record(doc.CurrentIndex());
  EXPECT_EQ(a.length, 14u);
  EXPECT_EQ(a.EndTagLength(), 4u);
  ASSERT_TRUE(doc.FindChildElement());
  const ElementRecord& b = doc.Record(doc.ChildIndex());
  EXPECT_EQ(U8(doc.GetChildTagName()), "b");
  EXPECT_EQ(b.length, 3u);
  EXPECT_TRUE(b.Has(kFlagNotEnded));
  EXPECT_EQ(b.firstChild, 0u);
  // c was lifted to b's level: the next child of a.
  ASSERT_TRUE(doc.FindChildElement());
  EXPECT_EQ(U8(doc.GetChildTagName()), "c");
  EXPECT_FALSE(doc.FindChildElement());
  EXPECT_TRUE(doc.Record(0).Has(kFlagIllFormed));
}

TEST(Parse, ErrorInsideMarksTheOpenElement) {
  XmlDocument doc;
  doc.SetDocument(u"<r><a></x></a><b/></r>");
  ASSERT_TRUE(doc.FindElement());
  ASSERT_TRUE(doc.FindChildElement(u"a"));
  EXPECT_TRUE(doc.Record(doc.ChildIndex()).Has(kFlagErrorInside));
  ASSERT_TRUE(doc.FindChildElement(u"b"));
  EXPECT_FALSE(doc.Record(doc.ChildIndex()).Has(kFlagErrorInside));
}

TEST(Parse, ErrorInsideMovesOutOfAnUnendedElement) {
  XmlDocument doc;
  doc.SetDocument(u"<r><a><1></r>");
  ASSERT_TRUE(doc.FindElement(u"r"));
  EXPECT_TRUE(doc.Record(doc.CurrentIndex()).Has(kFlagErrorInside));
  ASSERT_TRUE(doc.FindChildElement(u"a"));
  EXPECT_FALSE(doc.Record(doc.ChildIndex()).Has(kFlagErrorInside));
}

TEST(Parse, EmptyElementMark) {
  struct Case {
    std::u16string_view text;
    bool empty;
  };
  for (const Case& c : {Case{u"<a/>", true}, Case{u"<a />", true}, Case{u"<a x='1'/>", true},
                        Case{u"<a x=\"1\"/>", true}, Case{u"<a x=1/>", false}}) {
    XmlDocument doc;
    doc.SetDocument(c.text);
    ASSERT_TRUE(doc.FindElement()) << U8(c.text);
    const ElementRecord& r = doc.Record(doc.CurrentIndex());
    EXPECT_EQ(r.Has(kFlagNotEnded), !c.empty) << U8(c.text);
    EXPECT_EQ(doc.IsWellFormed(), c.empty) << U8(c.text);
  }
}

TEST(Parse, QuotesInsideStartTag) {
  // '>' inside a quoted value does not end the tag; a quote outside value mode is plain text.
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<a x='>' y=\"/>\">t</a>"));
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(U8(doc.GetAttribute(u"x")), ">");
  EXPECT_EQ(U8(doc.GetAttribute(u"y")), "/>");
  EXPECT_EQ(U8(doc.GetText()), "t");
  ASSERT_TRUE(doc.SetDocument(u"<a b\"c>t</a>"));
}

TEST(Parse, DeepNestingIsIndexedWithoutRecursion) {
  constexpr int kDepth = 100000;
  std::u16string text;
  for (int i = 0; i < kDepth; ++i)
    text += u"<e>";
  for (int i = 0; i < kDepth; ++i)
    text += u"</e>";
  XmlDocument doc;
  EXPECT_TRUE(doc.SetDocument(text));
  std::string why;
  EXPECT_TRUE(doc.VerifyIndex(&why)) << why;
  int depth = 0;
  while (doc.FindChildElement()) {
    doc.EnterElement();
    ++depth;
  }
  EXPECT_EQ(depth, kDepth - 1);
}

TEST(Parse, DeepUnendedNestingFlattensInLinearTime) {
  // Every element unended: all of them become siblings; a quadratic lift would time out.
  constexpr int kDepth = 100000;
  std::u16string text;
  for (int i = 0; i < kDepth; ++i)
    text += u"<e>";
  XmlDocument doc;
  EXPECT_FALSE(doc.SetDocument(text));
  EXPECT_EQ(U8(doc.GetError()), "Element 'e' at offset 299997 not ended");
  std::string why;
  EXPECT_TRUE(doc.VerifyIndex(&why)) << why;
  int count = 0;
  while (doc.FindElement())
    ++count;
  EXPECT_EQ(count, kDepth);
}

// A parse sizes the index from the start tags at the head of the text, never below one
// record per 64 units plus 8, and in whole pages once it needs more than one.
TEST(ElementIndex, ParseSizesTheIndexFromTheText) {
  auto repeat = [](std::u16string_view piece, size_t count) {
    std::u16string t;
    for (size_t i = 0; i < count; ++i)
      t += piece;
    return t;
  };
  XmlDocument doc;
  // Mostly text, and comments, declarations and end tags that need no records.
  const std::u16string text = u"<r>" + repeat(u"x", 100000) + u"<!--c--><?p?></r>";
  ASSERT_TRUE(doc.SetDocument(text));
  EXPECT_EQ(doc.Index().Capacity(), text.size() / 64 + 8);

  // Dense elements: room for all of them from the start, far above one per 64 units.
  const std::u16string dense = u"<r>" + repeat(u"<a/>", 2600) + u"</r>";
  ASSERT_TRUE(doc.SetDocument(dense));
  EXPECT_GE(doc.Index().Capacity(), 2602u);
  EXPECT_LE(doc.Index().Capacity(), 2602u + 2602u / 8 + 8);  // growing by halves overshoots

  // More than a page: whole pages, the last one full too.
  const std::u16string large = u"<r>" + repeat(u"<a>1</a>", 150000) + u"</r>";
  ASSERT_TRUE(doc.SetDocument(large));
  EXPECT_EQ(doc.Index().Capacity() % ElementIndex::kPageSize, 0u);
  EXPECT_EQ(doc.Index().LastPageRecords(), ElementIndex::kPageSize);
  EXPECT_GT(doc.Index().Capacity(), doc.Index().NextFree());

  // A text too short to hold an element, and one that ends in '<'.
  EXPECT_FALSE(doc.SetDocument(u"<"));
  EXPECT_GE(doc.Index().Capacity(), 8u);
}

TEST(ElementIndex, RecordsSurviveGrowthAcrossPages) {
  ElementIndex index;
  index.Reset(8);
  for (uint32_t i = 1; i < 3 * ElementIndex::kPageSize; ++i) {
    const uint32_t r = index.Take();
    ASSERT_EQ(r, i);
    index[r].start = i * 7;
  }
  for (uint32_t i = 1; i < 3 * ElementIndex::kPageSize; i += 997)
    EXPECT_EQ(index[i].start, i * 7);
}

}  // namespace
}  // namespace lumatrove
