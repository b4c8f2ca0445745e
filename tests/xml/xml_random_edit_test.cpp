// Long random edit sequences: after every edit the index matches the string, and navigating
// the edited document gives the same result as a fresh parse of its text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "test_text.h"
#include "xml/xml_document.h"

namespace lumatrove {
namespace {

using test::U8;

// Describes the children of the current element (or the top level) through the public API.
std::string DescribeChildren(XmlDocument& doc) {
  std::string out;
  doc.ResetChildPosition();
  while (doc.FindChildElement()) {
    const ElementRecord& r = doc.Record(doc.ChildIndex());
    out += "<" + U8(doc.GetChildTagName()) + " @" + std::to_string(r.start) + "+" +
           std::to_string(r.length) + " " + std::to_string(r.StartTagLength()) + "/" +
           std::to_string(r.EndTagLength()) + " k=" + U8(doc.GetChildAttribute(u"k")) +
           " t=" + U8(doc.GetChildText()) + ">";
    doc.EnterElement();
    out += DescribeChildren(doc);
    doc.LeaveElement();
    out += "</>";
  }
  return out;
}

std::string Describe(XmlDocument& doc) {
  std::string out;
  doc.ResetPosition();
  while (doc.FindElement()) {
    out += "[" + U8(doc.GetTagName()) + " k=" + U8(doc.GetAttribute(u"k")) + "]";
    out += DescribeChildren(doc);
    doc.ResetChildPosition();
  }
  return out;
}

class RandomEditor {
 public:
  explicit RandomEditor(unsigned seed) : rng_(seed) {}

  // Moves to a random element: descends from the top level, stopping at random.
  void Wander(XmlDocument& doc) {
    doc.ResetPosition();
    if (!doc.FindElement()) return;
    for (int skip = Pick(3); skip > 0 && doc.FindElement(); --skip) {
    }
    while (Pick(3) != 0) {
      doc.ResetChildPosition();
      int children = 0;
      while (doc.FindChildElement())
        ++children;
      if (children == 0) break;
      doc.ResetChildPosition();
      for (int k = Pick(children); k >= 0; --k)
        doc.FindChildElement();
      if (Pick(4) == 0) break;  // stay with a child position
      doc.EnterElement();
    }
  }

  std::u16string Name() { return std::u16string(kNames[Pick(std::size(kNames))]); }
  std::u16string Text() { return std::u16string(kTexts[Pick(std::size(kTexts))]); }

  std::u16string Fragment(int depth = 0) {
    std::u16string f;
    if (depth == 0 && Pick(3) == 0) f += u"  lead ";
    const std::u16string name = Name();
    f += u"<" + name;
    if (Pick(2) == 0) f += u" k=\"" + XmlDocument::EscapeText(Text(), kXmlEscapeQuotes) + u"\"";
    const int kind = depth > 2 ? Pick(2) : Pick(4);
    if (kind == 0) {
      f += u"/>";
    } else if (kind == 1) {
      f += u">" + XmlDocument::EscapeText(Text()) + u"</" + name + u">";
    } else {
      f += u">\r\n";
      for (int n = Pick(3); n >= 0; --n)
        f += Fragment(depth + 1) + u"\r\n";
      f += u"</" + name + u">";
    }
    if (depth == 0 && Pick(3) == 0) f += u" trail\r\n";
    return f;
  }

  int Pick(size_t n) { return static_cast<int>(rng_() % n); }

 private:
  static constexpr std::u16string_view kNames[] = {u"a", u"b", u"NETSETING", u"IP", u"CONNECTION"};
  static constexpr std::u16string_view kTexts[] = {u"",     u"1.2.3.4", u"<&>'\"", u"x y",
                                                   u"中文", u"]]>",     u"&amp;",  u"a\r\nb"};
  std::mt19937 rng_;
};

void Edit(XmlDocument& doc, RandomEditor& r, std::string& log) {
  r.Wander(doc);
  switch (r.Pick(9)) {
    case 0:
      log += "AddElement ";
      doc.AddElement(r.Name(), r.Text(), r.Pick(3) == 0 ? kXmlCData : 0);
      break;
    case 1:
    case 2:
      log += "AddChildElement ";
      doc.AddChildElement(r.Name(), r.Text(), r.Pick(4) == 0 ? kXmlNoLineBreaks : 0);
      break;
    case 3:
      log += "AddSubDocument ";
      if (r.Pick(2) == 0 && doc.CurrentIndex() != 0) {
        doc.ResetChildPosition();
        doc.EnterElement();  // no current element: appended as the last child
      }
      doc.AddSubDocument(r.Fragment());
      break;
    case 4:
      if (doc.ParentIndex() != 0) {
        log += "RemoveElement ";
        doc.RemoveElement();
      }
      break;
    case 5:
      log += "RemoveChildElement ";
      doc.RemoveChildElement();
      break;
    case 6:
      log += "SetAttribute ";
      doc.SetAttribute(r.Pick(2) == 0 ? u"k" : u"z", r.Text());
      break;
    case 7:
      log += "SetChildAttribute ";
      doc.SetChildAttribute(u"k", r.Text());
      break;
    default:
      log += "Copy ";
      if (doc.CurrentIndex() != 0) {
        const std::u16string content = doc.GetElementContent();
        doc.ResetChildPosition();
        doc.EnterElement();
        doc.AddSubDocument(content);
      }
  }
}

TEST(RandomEdits, IndexMatchesAFreshParse) {
  for (unsigned seed = 1; seed <= 25; ++seed) {
    RandomEditor editor(seed);
    XmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(
        u"<?xml version=\"1.0\"?>\r\n<LUMATROVE>\r\n<CONFIG LASTID=\"0\" />\r\n<DNS/>\r\n"
        u"</LUMATROVE>"));
    std::string log;
    for (int step = 0; step < 250; ++step) {
      Edit(doc, editor, log);
      std::string why;
      ASSERT_TRUE(doc.VerifyIndex(&why))
          << "seed " << seed << " step " << step << ": " << why << "\n"
          << log << "\n"
          << U8(doc.GetDocument());
      if (step % 10 == 9) {
        XmlDocument fresh;
        fresh.SetDocument(doc.GetDocument());
        ASSERT_EQ(Describe(doc), Describe(fresh)) << "seed " << seed << " step " << step << "\n"
                                                  << log << "\n"
                                                  << U8(doc.GetDocument());
      }
    }
  }
}

}  // namespace
}  // namespace lumatrove
