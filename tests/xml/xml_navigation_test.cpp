// Navigation, name matching, attribute lookup, text reading, unescaping and named positions.
#include <gtest/gtest.h>

#include <random>

#include "test_text.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

using test::U8;

constexpr std::u16string_view kConfig =
    u"<LUMATROVE>\r\n"
    u"<CONFIG LASTID=\"2\">\r\n"
    u"<NETSETING NAME=\"A\" ID=\"1\"><CONNECTION><IPADD><IP>1.1.1.1</IP><IP>2.2.2.2</IP></IPADD>"
    u"</CONNECTION></NETSETING>\r\n"
    u"<config/>\r\n"
    u"<NETSETING NAME=\"B\" ID=\"2\"/>\r\n"
    u"</CONFIG>\r\n"
    u"</LUMATROVE>";

TEST(Navigation, FindEnterLeave) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(kConfig));
  EXPECT_FALSE(doc.EnterElement());  // no current element
  EXPECT_FALSE(doc.LeaveElement());  // no parent
  ASSERT_TRUE(doc.FindElement(u"LUMATROVE"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(u"CONFIG"));
  EXPECT_EQ(U8(doc.GetAttribute(u"LASTID")), "2");
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindElement(u"NETSETING"));
  EXPECT_EQ(U8(doc.GetAttribute(u"NAME")), "A");
  ASSERT_TRUE(doc.FindElement(u"NETSETING"));  // skips <config/>: names are case-sensitive
  EXPECT_EQ(U8(doc.GetAttribute(u"NAME")), "B");
  EXPECT_FALSE(doc.FindElement(u"NETSETING"));
  EXPECT_EQ(U8(doc.GetAttribute(u"NAME")), "B");  // unchanged after a failed find
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(U8(doc.GetTagName()), "CONFIG");
}

TEST(Navigation, FindWithoutNameTakesTheNextElement) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r><a/><b/><c/></r>"));
  ASSERT_TRUE(doc.FindElement());
  ASSERT_TRUE(doc.EnterElement());
  std::string names;
  while (doc.FindElement({}))
    names += U8(doc.GetTagName());
  EXPECT_EQ(names, "abc");
  doc.ResetPosition();
  ASSERT_TRUE(doc.FindElement(u""));
  EXPECT_EQ(U8(doc.GetTagName()), "r");
}

TEST(Navigation, ChildPositionContinuesAndEnterLeaveRoundTrips) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(kConfig));
  doc.FindElement(u"LUMATROVE");
  doc.EnterElement();
  doc.FindElement(u"CONFIG");
  doc.EnterElement();
  doc.FindElement(u"NETSETING");
  doc.EnterElement();
  doc.FindElement(u"CONNECTION");
  ASSERT_TRUE(doc.FindChildElement(u"IPADD"));
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.FindChildElement(u"IP"));
  EXPECT_EQ(U8(doc.GetChildText()), "1.1.1.1");
  ASSERT_TRUE(doc.FindChildElement(u"IP"));  // continues after the first match
  EXPECT_EQ(U8(doc.GetChildText()), "2.2.2.2");
  EXPECT_FALSE(doc.FindChildElement(u"IP"));
  EXPECT_EQ(U8(doc.GetChildText()), "2.2.2.2");

  const uint32_t p = doc.ParentIndex(), c = doc.CurrentIndex(), ch = doc.ChildIndex();
  ASSERT_TRUE(doc.EnterElement());
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.ParentIndex(), p);
  EXPECT_EQ(doc.CurrentIndex(), c);
  EXPECT_EQ(doc.ChildIndex(), ch);

  doc.ResetChildPosition();
  ASSERT_TRUE(doc.FindChildElement());
  EXPECT_EQ(U8(doc.GetChildText()), "1.1.1.1");
}

TEST(Navigation, FindChildWithoutCurrentStartsWithTheFirstElement) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r><a/></r>"));
  ASSERT_TRUE(doc.FindChildElement(u"a"));
  EXPECT_EQ(U8(doc.GetTagName()), "r");
  EXPECT_EQ(U8(doc.GetChildTagName()), "a");
}

TEST(Navigation, ChildFoundAtTheTopLevelClearsTheParent) {
  // Inside an element without children there is no current element to find; the child is
  // then taken from the top level, with current and parent none.
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r><e/></r>"));
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"e");
  doc.EnterElement();
  ASSERT_TRUE(doc.FindChildElement(u"r"));
  EXPECT_EQ(doc.ParentIndex(), 0u);
  EXPECT_EQ(doc.CurrentIndex(), 0u);
  ASSERT_TRUE(doc.RemoveChildElement());
  EXPECT_EQ(U8(doc.GetDocument()), "");
  std::string why;
  EXPECT_TRUE(doc.VerifyIndex(&why)) << why;
}

TEST(Navigation, NameMatchingRules) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r><CONFIG/><CONF/><CONFIGX/></r>"));
  doc.FindElement();
  struct Case {
    std::u16string_view requested;
    std::string found;
  };
  for (const Case& c :
       {Case{u"CONFIG", "CONFIG"}, Case{u"CONF", "CONF"}, Case{u"CONFIG x", "CONFIG"},
        Case{u"CONFIG=", "CONFIG"}, Case{u"CONFIG/", "CONFIG"}, Case{u"CONFIG[", "CONFIG"},
        Case{u"CONFIG]", "CONFIG"}, Case{u"CONFIGX", "CONFIGX"}, Case{u"CONFIGY", ""},
        Case{u"config", ""}}) {
    doc.ResetChildPosition();
    const bool found = doc.FindChildElement(c.requested);
    EXPECT_EQ(found ? U8(doc.GetChildTagName()) : "", c.found) << U8(c.requested);
  }
}

TEST(Navigation, TagNameStopsAtDelimiters) {
  XmlDocument doc;
  for (auto [text, name] :
       {std::pair{u"<a\tb='1'/>", "a"}, std::pair{u"<a?x/>", "a"}, std::pair{u"<a!/>", "a"},
        std::pair{u"<ns:a/>", "ns:a"}, std::pair{u"<中/>", "中"}}) {
    doc.SetDocument(text);
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(U8(doc.GetTagName()), name);
  }
}

struct AttributeCase {
  std::u16string_view tag;
  std::u16string_view name;
  std::string value;
};

TEST(Attributes, Lookup) {
  const AttributeCase cases[] = {
      {u"<X ID = '7'/>", u"ID", "7"},
      {u"<X ID=7>t</X>", u"ID", "7"},
      {u"<X ID>t</X>", u"ID", "ID"},
      {u"<X A='&lt;1&gt;'/>", u"A", "<1>"},
      {u"<X A=\"x\" B=\"y\"/>", u"B", "y"},
      {u"<X A=\"B\" B=\"y\"/>", u"B", "y"},  // a value is never taken as a name
      {u"<X 'B' B=\"y\"/>", u"B", "y"},      // a quoted token that is not a value is skipped
      {u"<X A=\"x\"/>", u"a", ""},           // case-sensitive
      {u"<X A=\"x\"/>", u"C", ""},
      {u"<X A=\"x\"/>", u"", ""},  // absent name
      {u"<X a=\"1\" a=\"2\"/>", u"a", "1"},
      {u"<X a=1/>", u"a", "1/"},  // '/' belongs to an unquoted value
      {u"<X a=''/>", u"a", ""},
      {u"<X a='&#65;&#x42;'/>", u"a", "AB"},
      {u"<?xml version=\"1.0\"?><X/>", u"version", ""},
  };
  for (const AttributeCase& c : cases) {
    XmlDocument doc;
    doc.SetDocument(c.tag);
    ASSERT_TRUE(doc.FindElement()) << U8(c.tag);
    EXPECT_EQ(U8(doc.GetAttribute(c.name)), c.value) << U8(c.tag) << " " << U8(c.name);
  }
}

TEST(Attributes, ReadingSeveralAtOnceAgreesWithOneByOne) {
  const std::u16string_view tags[] = {u"<X ID = '7' A=\"&lt;1\" B C=1/>",
                                      u"<X a=\"1\" a=\"2\" b='x'>t</X>",
                                      u"<X 'B' B=\"y\" A=\"B\"/>",
                                      u"<X A=/x B=\"1\">t</X>",
                                      u"<X A= >t</X>",
                                      u"<X/>"};
  for (std::u16string_view tag : tags) {
    XmlDocument doc;
    doc.SetDocument(tag);
    ASSERT_TRUE(doc.FindElement());
    std::u16string a, b, id, c, missing;
    doc.GetAttributes({u"A", u"B", u"ID", u"C", u"none"}, {&a, &b, &id, &c, &missing});
    EXPECT_EQ(a, doc.GetAttribute(u"A")) << U8(tag);
    EXPECT_EQ(b, doc.GetAttribute(u"B")) << U8(tag);
    EXPECT_EQ(id, doc.GetAttribute(u"ID")) << U8(tag);
    EXPECT_EQ(c, doc.GetAttribute(u"C")) << U8(tag);
    EXPECT_EQ(missing, u"");
    std::u16string first = u"stale";
    doc.GetAttributes({u"a"}, {&first});
    EXPECT_EQ(first, doc.GetAttribute(u"a")) << U8(tag);
  }
}

// Start tags of the usual shape are read in one pass and all others by the general scan;
// whichever way a tag is read, and wherever its shape breaks, the values are those of the
// one-by-one lookup.
TEST(Attributes, ReadingSeveralAtOnceAgreesOnRandomTags) {
  std::mt19937 rng(7);
  const std::u16string_view pieces[] = {
      u" A=\"1\"", u" B='x&amp;y'", u" C=\"&lt;\"", u" A=\"2\"", u"\r\nID=\"12\"", u"B=\"q\"",
      u" D",       u" =",           u" E=5",        u" '",       u" \"",           u"=\"",
      u"/",        u" ?",           u" F = \"s\"",  u"==\"x\"",  u" C=\"a>b\"",    u" G=\"/>\"",
      u" A \"z\"", u" C =\"w\"",    u" B"};
  for (int round = 0; round < 4000; ++round) {
    std::u16string tag = u"<X";
    const int count = static_cast<int>(rng() % 7);
    for (int k = 0; k < count; ++k)
      tag += pieces[rng() % std::size(pieces)];
    tag += rng() % 3 == 0 ? u"/>" : u">t</X>";
    XmlDocument doc;
    doc.SetDocument(tag);
    if (!doc.FindElement()) continue;
    std::u16string a, b, c, id, a2, g;
    doc.GetAttributes({u"A", u"B", u"C", u"ID", u"A", u"G"}, {&a, &b, &c, &id, &a2, &g});
    EXPECT_EQ(U8(a), U8(doc.GetAttribute(u"A"))) << U8(tag);
    EXPECT_EQ(U8(b), U8(doc.GetAttribute(u"B"))) << U8(tag);
    EXPECT_EQ(U8(c), U8(doc.GetAttribute(u"C"))) << U8(tag);
    EXPECT_EQ(U8(id), U8(doc.GetAttribute(u"ID"))) << U8(tag);
    EXPECT_EQ(U8(a2), U8(a)) << U8(tag);
    EXPECT_EQ(U8(g), U8(doc.GetAttribute(u"G"))) << U8(tag);
  }
}

TEST(Attributes, ChildAttributeAndNoElement) {
  XmlDocument doc;
  EXPECT_EQ(U8(doc.GetAttribute(u"A")), "");
  EXPECT_EQ(U8(doc.GetChildAttribute(u"A")), "");
  ASSERT_TRUE(doc.SetDocument(u"<r A='r'><c A='c'/></r>"));
  EXPECT_EQ(U8(doc.GetAttribute(u"A")), "");  // no current element yet
  ASSERT_TRUE(doc.FindChildElement());
  EXPECT_EQ(U8(doc.GetAttribute(u"A")), "r");
  EXPECT_EQ(U8(doc.GetChildAttribute(u"A")), "c");
}

TEST(Text, Reading) {
  struct Case {
    std::u16string_view text;
    std::string expected;
  };
  const Case cases[] = {
      {u"<N>a &amp; b</N>", "a & b"},
      {u"<N><![CDATA[<x>]]></N>", "<x>"},
      {u"<N>a<![CDATA[&amp;]]>b</N>", "a&amp;b"},
      {u"<N>a<!-- c -->b<?p?></N>", "ab"},
      {u"<N>  spaced  </N>", "  spaced  "},
      {u"<N>\r\n  <!-- only -->\r\n</N>", ""},
      {u"<N><C/></N>", ""},
      {u"<N>x<C/>y</N>", ""},
      {u"<N/>", ""},
      {u"<N></N>", ""},
      {u"<N>1 &gt; 0</N>", "1 > 0"},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    doc.SetDocument(c.text);
    ASSERT_TRUE(doc.FindElement()) << U8(c.text);
    EXPECT_EQ(U8(doc.GetText()), c.expected) << U8(c.text);
  }
}

TEST(Text, Unescape) {
  struct Case {
    std::u16string_view in;
    std::u16string_view out;
  };
  const Case cases[] = {
      {u"&lt;&amp;&gt;&apos;&quot;", u"<&>'\""},
      {u"&#65;", u"A"},
      {u"&#x41;", u"A"},
      {u"&#x4e2d;", u"中"},
      {u"&#X41;", u"&#X41;"},  // upper-case X is not hexadecimal
      {u"&#0;", u"&#0;"},
      {u"&#65", u"&#65"},
      {u"&#00000065;", u"&#00000065;"},  // the ';' lies beyond the eight characters after "&#"
      {u"&#0000065;", u"A"},
      {u"&#65x;", u"A"},  // the number stops at x, reading resumes after ';'
      {u"&#65536;", std::u16string_view(u"\0", 1)},
      {u"&#x1F600;", u"\xF600"},  // low 16 bits
      {u"&lt", u"&lt"},
      {u"&unknown;", u"&unknown;"},
      {u"a&", u"a&"},
      {u"&&amp;", u"&&"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(XmlDocument::UnescapeText(c.in), std::u16string(c.out)) << U8(c.in);
  }
}

TEST(NamedPositions, SaveRestoreAndKinds) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r><a><x/></a><b/></r>"));
  EXPECT_FALSE(doc.SavePosition({}));
  EXPECT_FALSE(doc.RestorePosition(u"none"));

  EXPECT_TRUE(doc.SavePosition(u"empty"));  // parent only, none
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"a");
  EXPECT_TRUE(doc.SavePosition(u"cur"));
  doc.FindChildElement(u"x");
  EXPECT_TRUE(doc.SavePosition(u"child"));
  const uint32_t a = doc.CurrentIndex(), x = doc.ChildIndex(), r = doc.ParentIndex();

  doc.ResetPosition();
  ASSERT_TRUE(doc.RestorePosition(u"child"));
  EXPECT_EQ(doc.ChildIndex(), x);
  EXPECT_EQ(doc.CurrentIndex(), a);
  EXPECT_EQ(doc.ParentIndex(), r);
  ASSERT_TRUE(doc.RestorePosition(u"cur"));
  EXPECT_EQ(doc.CurrentIndex(), a);
  EXPECT_EQ(doc.ParentIndex(), r);
  EXPECT_EQ(doc.ChildIndex(), 0u);
  ASSERT_TRUE(doc.RestorePosition(u"empty"));
  EXPECT_EQ(doc.CurrentIndex(), 0u);

  // Overwriting keeps one entry per name.
  doc.FindElement();
  EXPECT_TRUE(doc.SavePosition(u"cur"));
  doc.ResetPosition();
  ASSERT_TRUE(doc.RestorePosition(u"cur"));
  EXPECT_EQ(U8(doc.GetTagName()), "r");
}

TEST(NamedPositions, ManyNamesInOneBucketAndDiscardOnParse) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r/>"));
  doc.FindElement();
  // "a", "h", "o", ... share a bucket (sum of units mod 7); more than the first sizes hold.
  std::vector<std::u16string> names;
  for (char16_t c = u'a'; names.size() < 40; c = static_cast<char16_t>(c + 7)) {
    names.push_back(std::u16string(1, c));
  }
  for (const auto& n : names)
    ASSERT_TRUE(doc.SavePosition(n));
  for (const auto& n : names)
    ASSERT_TRUE(doc.RestorePosition(n)) << U8(n);
  doc.SetDocument(u"<r/>");
  for (const auto& n : names)
    EXPECT_FALSE(doc.RestorePosition(n));
}

TEST(NamedPositions, DroppedWhenTheirElementIsRemoved) {
  XmlDocument doc;
  ASSERT_TRUE(doc.SetDocument(u"<r><a><x/></a><b/></r>"));
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"a");
  doc.FindChildElement(u"x");
  doc.SavePosition(u"x");
  doc.ResetChildPosition();
  doc.SavePosition(u"a");
  doc.FindElement(u"b");
  doc.SavePosition(u"b");
  doc.RestorePosition(u"a");
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_FALSE(doc.RestorePosition(u"a"));
  EXPECT_FALSE(doc.RestorePosition(u"x"));
  ASSERT_TRUE(doc.RestorePosition(u"b"));
  EXPECT_EQ(U8(doc.GetTagName()), "b");
}

}  // namespace
}  // namespace lumatrove
