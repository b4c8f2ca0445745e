// Editing: the exact framing of every insertion case, escaping, removal, attributes,
// fragments, and the index after each edit.
#include <gtest/gtest.h>

#include "test_text.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

using test::U8;

void ExpectConsistent(const XmlDocument& doc) {
  std::string why;
  EXPECT_TRUE(doc.VerifyIndex(&why)) << why << " in " << U8(doc.GetDocument());
}

// Loads `text` and makes the element named `current` current (and `child` its child).
void Place(XmlDocument& doc, std::u16string_view text, std::u16string_view current,
           std::u16string_view child = {}) {
  doc.SetDocument(text);
  ASSERT_TRUE(doc.FindElement(current)) << U8(text);
  if (!child.empty()) {
    ASSERT_TRUE(doc.FindChildElement(child)) << U8(text);
  }
}

TEST(AddElement, IntoAnEmptyDocument) {
  XmlDocument doc;
  ASSERT_TRUE(doc.AddElement(u"LUMATROVE"));
  EXPECT_EQ(U8(doc.GetDocument()), "<LUMATROVE/>\r\n");
  EXPECT_EQ(U8(doc.GetTagName()), "LUMATROVE");
  ExpectConsistent(doc);
}

TEST(AddElement, AfterTheCurrentElement) {
  XmlDocument doc;
  Place(doc, u"<A/>\r\n<B/>", u"A");
  ASSERT_TRUE(doc.AddElement(u"N"));
  EXPECT_EQ(U8(doc.GetDocument()), "<A/>\r\n<N/>\r\n<B/>");
  EXPECT_EQ(U8(doc.GetTagName()), "N");
  EXPECT_EQ(doc.ChildIndex(), 0u);
  ExpectConsistent(doc);
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(U8(doc.GetTagName()), "B");

  Place(doc, u"<A/>xyz", u"A");
  ASSERT_TRUE(doc.AddElement(u"N"));
  EXPECT_EQ(U8(doc.GetDocument()), "<A/><N/>\r\nxyz");
  ExpectConsistent(doc);
}

struct ChildCase {
  std::u16string_view before;
  std::u16string_view child;  // the child position before the call, if any
  std::u16string_view text;
  std::string after;
};

TEST(AddChildElement, Framing) {
  const ChildCase cases[] = {
      {u"<P/>", {}, u"1", "<P>\r\n<C>1</C>\r\n</P>"},
      {u"<P />", {}, u"1", "<P >\r\n<C>1</C>\r\n</P>"},
      {u"<P></P>", {}, {}, "<P>\r\n<C/>\r\n</P>"},
      {u"<P>\r\n<A/>\r\n</P>", u"A", u"x", "<P>\r\n<A/>\r\n<B>x</B>\r\n</P>"},
      {u"<P>\r\n<A/>\r\n</P>", {}, u"x", "<P>\r\n<A/>\r\n<B>x</B>\r\n</P>"},
      {u"<P><A/>t</P>", u"A", u"x", "<P><A/><B>x</B>\r\nt</P>"},
      {u"<P>text</P>", {}, u"x", "<P>text<B>x</B>\r\n</P>"},
      // Never ended: the start tag is turned into the element's frame.
      {u"<R><P></R>", {}, u"x", "<R><P>\r\n<B>x</B>\r\n</P></R>"},
  };
  for (const ChildCase& c : cases) {
    XmlDocument doc;
    doc.SetDocument(c.before);
    doc.FindElement();
    if (c.before.substr(0, 3) == u"<R>") {
      doc.EnterElement();
      ASSERT_TRUE(doc.FindElement(u"P"));
    }
    if (!c.child.empty()) {
      ASSERT_TRUE(doc.FindChildElement(c.child));
    }
    const std::u16string_view name = c.after.find("<C") != std::string::npos ? u"C" : u"B";
    ASSERT_TRUE(doc.AddChildElement(name, c.text)) << U8(c.before);
    EXPECT_EQ(U8(doc.GetDocument()), c.after) << U8(c.before);
    EXPECT_EQ(U8(doc.GetChildTagName()), U8(name));
    EXPECT_EQ(U8(doc.GetChildText()), U8(c.text));
    ExpectConsistent(doc);
  }
}

TEST(AddChildElement, EmptyParentBecomesFramed) {
  XmlDocument doc;
  Place(doc, u"<P/>", u"P");
  ASSERT_TRUE(doc.AddChildElement(u"C", u"1"));
  const ElementRecord& p = doc.Record(doc.CurrentIndex());
  EXPECT_EQ(p.StartTagLength(), 3u);  // "<P>"
  EXPECT_EQ(p.EndTagLength(), 4u);    // "</P>"
  EXPECT_EQ(p.length, doc.GetDocument().size());
  // Successive children append in order.
  ASSERT_TRUE(doc.AddChildElement(u"D", u"2"));
  EXPECT_EQ(U8(doc.GetDocument()), "<P>\r\n<C>1</C>\r\n<D>2</D>\r\n</P>");
  ExpectConsistent(doc);
}

TEST(AddChildElement, RequiresACurrentElement) {
  XmlDocument doc;
  doc.SetDocument(u"<P/>");
  EXPECT_FALSE(doc.AddChildElement(u"C"));
  EXPECT_EQ(U8(doc.GetDocument()), "<P/>");
}

TEST(AddElement, FollowingElementsMove) {
  XmlDocument doc;
  doc.SetDocument(u"<r>\r\n<a><x>1</x></a>\r\n<b y='2'><z/></b>\r\n</r>\r\n<!-- tail -->");
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"a");
  ASSERT_TRUE(doc.AddElement(u"n", u"t"));
  ExpectConsistent(doc);
  doc.FindElement(u"b");
  EXPECT_EQ(U8(doc.GetAttribute(u"y")), "2");
  ASSERT_TRUE(doc.FindChildElement(u"z"));
}

TEST(AddElement, Options) {
  struct Case {
    int options;
    std::u16string_view text;
    std::string after;
    bool ok;
  };
  const Case cases[] = {
      {kXmlCData, u"a]]>b", "<P>\r\n<N><![CDATA[a]]]]><![CDATA[>b]]></N>\r\n</P>", true},
      {kXmlNoLineBreaks, u"x", "<P><N>x</N></P>", true},
      {kXmlSpaceBeforeSlash, {}, "<P>\r\n<N />\r\n</P>", true},
      {kXmlKeepReferences, u"&amp;&#65;&x", "<P>\r\n<N>&amp;&#65;&amp;x</N>\r\n</P>", true},
      {kXmlEscapeQuotes, u"'\"", "<P>\r\n<N>&apos;&quot;</N>\r\n</P>", true},
      {kXmlStartTagOnly, {}, "<P>\r\n<N>\r\n</P>", true},
      {kXmlStartTagOnly, u"x", "<P/>", false},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    Place(doc, u"<P/>", u"P");
    EXPECT_EQ(doc.AddChildElement(u"N", c.text, c.options), c.ok) << c.options;
    EXPECT_EQ(U8(doc.GetDocument()), c.after) << c.options;
    ExpectConsistent(doc);
  }
  // A CDATA text reads back whole.
  XmlDocument doc;
  Place(doc, u"<P/>", u"P");
  doc.AddChildElement(u"N", u"a]]>b<", kXmlCData);
  EXPECT_EQ(U8(doc.GetChildText()), "a]]>b<");
}

TEST(Escape, BothWays) {
  XmlDocument doc;
  Place(doc, u"<P/>", u"P");
  ASSERT_TRUE(doc.AddChildElement(u"N", u"a&b<c>'\""));
  EXPECT_EQ(U8(doc.GetDocument()), "<P>\r\n<N>a&amp;b&lt;c&gt;'\"</N>\r\n</P>");
  EXPECT_EQ(U8(doc.GetChildText()), "a&b<c>'\"");
  ASSERT_TRUE(doc.SetChildAttribute(u"V", u"a&b<c>'\""));
  EXPECT_NE(U8(doc.GetDocument()).find("V=\"a&amp;b&lt;c&gt;&apos;&quot;\""), std::string::npos);
  EXPECT_EQ(U8(doc.GetChildAttribute(u"V")), "a&b<c>'\"");
  EXPECT_EQ(U8(XmlDocument::EscapeText(u"<&>'\"")), "&lt;&amp;&gt;'\"");
  EXPECT_EQ(U8(XmlDocument::EscapeText(u"<&>'\"", kXmlEscapeQuotes)), "&lt;&amp;&gt;&apos;&quot;");
}

TEST(SetAttribute, Placement) {
  struct Case {
    std::u16string_view before;
    std::u16string_view name;
    std::u16string_view value;
    std::string after;
  };
  const Case cases[] = {
      {u"<E/>", u"X", u"a<b", "<E X=\"a&lt;b\"/>"},
      {u"<E />", u"X", u"a<b", "<E X=\"a&lt;b\" />"},
      {u"<E X='1'/>", u"X", u"2", "<E X=\"2\"/>"},
      {u"<E X=1>t</E>", u"X", u"22", "<E X=\"22\">t</E>"},
      {u"<E A=\"1\">t</E>", u"B", u"2", "<E A=\"1\" B=\"2\">t</E>"},
      {u"<E A=\"1\"  >t</E>", u"B", u"2", "<E A=\"1\" B=\"2\"  >t</E>"},
      {u"<E X>t</E>", u"X", u"v", "<E X=\"v\">t</E>"},
      {u"<E X=''/>", u"X", u"", "<E X=\"\"/>"},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    Place(doc, c.before, u"E");
    ASSERT_TRUE(doc.SetAttribute(c.name, c.value)) << U8(c.before);
    EXPECT_EQ(U8(doc.GetDocument()), c.after) << U8(c.before);
    EXPECT_EQ(U8(doc.GetAttribute(c.name)), U8(c.value));
    ExpectConsistent(doc);
  }
}

// A name with a quote in it leaves a start tag whose quote never ends; setting that attribute
// replaces the value up to the end of the tag but never the '>' or "/>" itself.
TEST(SetAttribute, UnendedQuoteKeepsTheEndOfTheTag) {
  XmlDocument doc;
  doc.SetDocument(u"<r/>");
  ASSERT_TRUE(doc.FindElement());
  ASSERT_TRUE(doc.AddChildElement(u"E X=\"1", u"t"));
  ASSERT_TRUE(doc.SetChildAttribute(u"X", u"2"));
  EXPECT_EQ(U8(doc.GetDocument()), "<r>\r\n<E X=\"2\">t</E X=\"1>\r\n</r>");
  EXPECT_EQ(U8(doc.GetChildAttribute(u"X")), "2");
  ExpectConsistent(doc);

  ASSERT_TRUE(doc.AddChildElement(u"F Y='"));
  ASSERT_TRUE(doc.SetChildAttribute(u"Y", u"3"));
  EXPECT_NE(U8(doc.GetDocument()).find("<F Y=\"3\"/>"), std::string::npos) << U8(doc.GetDocument());
  ExpectConsistent(doc);
}

TEST(SetAttribute, MovesChildrenAndFollowingElements) {
  XmlDocument doc;
  doc.SetDocument(u"<r><E><c>1</c></E><d>2</d></r>");
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"E");
  ASSERT_TRUE(doc.SetAttribute(u"NAME", u"long value"));
  ExpectConsistent(doc);
  ASSERT_TRUE(doc.FindChildElement(u"c"));
  EXPECT_EQ(U8(doc.GetChildText()), "1");
  ASSERT_TRUE(doc.FindElement(u"d"));
  EXPECT_EQ(U8(doc.GetText()), "2");
}

TEST(SetAttribute, NeedsItsElement) {
  XmlDocument doc;
  doc.SetDocument(u"<E/>");
  EXPECT_FALSE(doc.SetAttribute(u"X", u"1"));
  EXPECT_FALSE(doc.SetChildAttribute(u"X", u"1"));
  doc.FindElement();
  EXPECT_FALSE(doc.SetChildAttribute(u"X", u"1"));
  EXPECT_FALSE(doc.SetAttribute({}, u"1"));
  EXPECT_EQ(U8(doc.GetDocument()), "<E/>");
}

TEST(Remove, ChildAndItsBlanks) {
  XmlDocument doc;
  Place(doc, u"<P>\r\n<A/>\r\n<B/>\r\n</P>", u"P", u"A");
  ASSERT_TRUE(doc.RemoveChildElement());
  EXPECT_EQ(U8(doc.GetDocument()), "<P>\r\n<B/>\r\n</P>");
  EXPECT_EQ(doc.ChildIndex(), 0u);
  ExpectConsistent(doc);

  Place(doc, u"<P>\r\n<A/>\r\n<B/>\r\n</P>", u"P", u"B");
  ASSERT_TRUE(doc.RemoveChildElement());
  EXPECT_EQ(U8(doc.GetDocument()), "<P>\r\n<A/>\r\n</P>");
  EXPECT_EQ(U8(doc.GetChildTagName()), "A");
  ExpectConsistent(doc);
}

TEST(Remove, KeepsFollowingText) {
  XmlDocument doc;
  Place(doc, u"<P><A>1</A>  text<B/></P>", u"P", u"A");
  ASSERT_TRUE(doc.RemoveChildElement());
  EXPECT_EQ(U8(doc.GetDocument()), "<P>  text<B/></P>");
  ExpectConsistent(doc);
}

TEST(Remove, CurrentElementWithSubtree) {
  XmlDocument doc;
  doc.SetDocument(u"<r>\r\n<a/>\r\n<b><c><d/></c></b>\r\n<e/>\r\n</r>");
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"b");
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_EQ(U8(doc.GetDocument()), "<r>\r\n<a/>\r\n<e/>\r\n</r>");
  EXPECT_EQ(U8(doc.GetTagName()), "a");
  ExpectConsistent(doc);
  ASSERT_TRUE(doc.FindElement());
  EXPECT_EQ(U8(doc.GetTagName()), "e");
  // Removing the first element leaves no current element.
  doc.ResetPosition();
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement();
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_EQ(doc.CurrentIndex(), 0u);
  EXPECT_EQ(U8(doc.GetDocument()), "<r>\r\n<e/>\r\n</r>");
  ExpectConsistent(doc);
  EXPECT_FALSE(doc.RemoveElement());  // no current element now
  EXPECT_FALSE(doc.RemoveChildElement());
}

TEST(Remove, LastOfTheDocument) {
  XmlDocument doc;
  doc.SetDocument(u"<r/>\r\n");
  doc.FindElement();
  ASSERT_TRUE(doc.RemoveElement());
  EXPECT_EQ(U8(doc.GetDocument()), "");
  ExpectConsistent(doc);
  ASSERT_TRUE(doc.AddElement(u"n"));
  EXPECT_EQ(U8(doc.GetDocument()), "<n/>\r\n");
  ExpectConsistent(doc);
}

TEST(AddSubDocument, Fragments) {
  struct Case {
    std::u16string_view fragment;
    bool result;
    std::string after;
    std::string current;
  };
  const Case cases[] = {
      {u"<X a='1'><Y/></X>", true, "<P>\r\n<A/>\r\n<X a='1'><Y/></X>\r\n</P>", "X"},
      {u"  lead <X/> trail  ", true, "<P>\r\n<A/>\r\n<X/>\r\n</P>", "X"},
      {u"<X/><Z/>", false, "<P>\r\n<A/>\r\n<X/><Z/>\r\n</P>", "X"},
      {u"text only", false, "<P>\r\n<A/>text only\r\n</P>", ""},
      {u"<X><Y></X>", false, "<P>\r\n<A/><X><Y></X>\r\n</P>", "X"},
  };
  for (const Case& c : cases) {
    XmlDocument doc;
    doc.SetDocument(u"<P>\r\n<A/>\r\n</P>");
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement(u"A");
    EXPECT_EQ(doc.AddSubDocument(c.fragment), c.result) << U8(c.fragment);
    EXPECT_EQ(U8(doc.GetDocument()), c.after) << U8(c.fragment);
    EXPECT_EQ(U8(doc.GetTagName()), c.current) << U8(c.fragment);
    ExpectConsistent(doc);
  }
}

TEST(AddSubDocument, FragmentElementsAreNavigable) {
  XmlDocument doc;
  doc.SetDocument(u"<C>\r\n<N ID='1'/>\r\n</C>");
  doc.FindElement();
  doc.EnterElement();
  ASSERT_TRUE(doc.AddSubDocument(u"<N ID='2'><I>x</I></N>"));
  ASSERT_FALSE(doc.AddSubDocument(u"<N ID='3'/><N ID='4'/>"));
  ExpectConsistent(doc);
  doc.ResetPosition();
  doc.FindElement();
  doc.EnterElement();
  std::string ids;
  while (doc.FindElement(u"N"))
    ids += U8(doc.GetAttribute(u"ID"));
  EXPECT_EQ(ids, "1234");
  doc.ResetPosition();
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"N");
  doc.FindElement(u"N");
  ASSERT_TRUE(doc.FindChildElement(u"I"));
  EXPECT_EQ(U8(doc.GetChildText()), "x");
}

TEST(AddSubDocument, EmptyFragmentIntoAnEmptyParent) {
  XmlDocument doc;
  doc.SetDocument(u"<C><P/>\r\n<Q/></C>");
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement(u"P");
  doc.EnterElement();
  EXPECT_FALSE(doc.AddSubDocument({}));
  EXPECT_EQ(U8(doc.GetDocument()), "<C><P></P>\r\n<Q/></C>");
  EXPECT_EQ(doc.CurrentIndex(), 0u);
  ExpectConsistent(doc);
  ASSERT_TRUE(doc.LeaveElement());
  EXPECT_EQ(doc.Record(doc.CurrentIndex()).length, 7u);
  ASSERT_TRUE(doc.FindElement(u"Q"));
}

TEST(AddSubDocument, ErrorInsideReachesTheParentLevel) {
  XmlDocument doc;
  doc.SetDocument(u"<C/>");
  doc.FindElement();
  doc.EnterElement();
  EXPECT_FALSE(doc.AddSubDocument(u"<1/><X/>"));
  EXPECT_EQ(U8(doc.GetDocument()), "<C><1/><X/></C>");
  EXPECT_TRUE(doc.Record(doc.ParentIndex()).Has(kFlagErrorInside));
  ExpectConsistent(doc);
}

TEST(AddSubDocument, FragmentTakenFromTheDocumentItself) {
  XmlDocument doc;
  doc.SetDocument(u"<C><N>1</N></C>");
  doc.FindElement();
  doc.EnterElement();
  doc.FindElement();
  const std::u16string_view self(doc.GetDocument().data() + 3, 8);  // "<N>1</N>"
  ASSERT_TRUE(doc.AddSubDocument(self));
  EXPECT_EQ(U8(doc.GetDocument()), "<C><N>1</N><N>1</N>\r\n</C>");
  ExpectConsistent(doc);
}

// A new document taken from a piece of the document itself, short enough to live inside the
// string object or not.
TEST(SetDocument, FromAPieceOfItsOwnText) {
  for (const std::u16string& text :
       {std::u16string(u"<a/><b/"),
        std::u16string(u"<r><a x=\"1\"/><b>text of some length</b></r>")}) {
    XmlDocument doc;
    doc.SetDocument(text);
    doc.SetDocument(std::u16string_view(doc.GetDocument()).substr(0, 4));
    EXPECT_EQ(doc.GetDocument(), text.substr(0, 4));
    ExpectConsistent(doc);
  }
}

TEST(GetElementContent, RawMarkup) {
  XmlDocument doc;
  EXPECT_EQ(U8(doc.GetElementContent()), "");
  doc.SetDocument(u"<N a='1'>\r\n<C>&amp;</C>\r\n</N>");
  doc.FindElement();
  EXPECT_EQ(U8(doc.GetElementContent()), "\r\n<C>&amp;</C>\r\n");
  doc.SetDocument(u"<N/>");
  doc.FindElement();
  EXPECT_EQ(U8(doc.GetElementContent()), "");
}

TEST(Editing, RefusesNamesThatCannotBeIndexed) {
  XmlDocument doc;
  doc.SetDocument(u"<P/>");
  doc.FindElement();
  EXPECT_FALSE(doc.AddChildElement({}));
  EXPECT_FALSE(doc.AddChildElement(std::u16string(2000, u'n')));
  EXPECT_EQ(U8(doc.GetDocument()), "<P/>");
  ExpectConsistent(doc);
}

TEST(Editing, TextRoomGrowsByHalfPlus128) {
  XmlDocument doc;
  doc.SetDocument(u"<P/>");
  doc.FindElement();
  doc.AddChildElement(u"C", u"x");
  const size_t length = doc.GetDocument().size();
  EXPECT_GE(doc.TextCapacity(), length + length / 2 + 128);
  const size_t room = doc.TextCapacity();
  doc.AddChildElement(u"D", u"y");
  EXPECT_EQ(doc.TextCapacity(), room);  // no reallocation while the room lasts
}

}  // namespace
}  // namespace lumatrove
