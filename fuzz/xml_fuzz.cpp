// Drives XmlDocument with arbitrary bytes: a document, then a sequence of navigation, reading
// and editing calls. After every edit the index must still match the string.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "xml/xml_document.h"

using lumatrove::XmlDocument;

namespace {

std::u16string TakeText(FuzzedDataProvider& in, size_t max) {
  const std::string bytes = in.ConsumeRandomLengthString(max);
  std::u16string text;
  if (in.ConsumeBool()) {
    text.resize(XmlDocument::Utf8ToUtf16(bytes.data(), bytes.size(), nullptr));
    std::u16string out(text.size() + 1, u'\0');
    XmlDocument::Utf8ToUtf16(bytes.data(), bytes.size(), out.data());
    out.resize(text.size());
    return out;
  }
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                         static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  return text;
}

std::u16string TakeName(FuzzedDataProvider& in) {
  static const char16_t* const kNames[] = {u"LUMATROVE", u"CONFIG",     u"NETSETING", u"IP",  u"a",
                                           u"b",         u"CONNECTION", u"ID",        u"NAME"};
  if (in.ConsumeBool()) return kNames[in.ConsumeIntegralInRange<size_t>(0, 8)];
  return TakeText(in, 8);
}

int g_step = -1;
const bool g_trace = std::getenv("XML_FUZZ_TRACE") != nullptr;

// Prints the document with every unit outside printable ASCII as \uXXXX.
void Dump(const char* what, std::u16string_view text) {
  std::fprintf(stderr, "%s [", what);
  for (const char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      std::fputc(static_cast<int>(c), stderr);
    } else {
      std::fprintf(stderr, "\\u%04X", static_cast<unsigned>(c));
    }
  }
  std::fprintf(stderr, "]\n");
}

void Check(const XmlDocument& doc) {
  std::string why;
  if (doc.VerifyIndex(&why)) return;
  std::fprintf(stderr, "index does not match the text after step %d: %s\n", g_step, why.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  XmlDocument doc;
  doc.SetDocument(TakeText(in, 4096));
  Check(doc);

  // The conversions agree with themselves on whatever the document holds.
  const std::u16string& text = doc.GetDocument();
  const size_t bytes = XmlDocument::Utf16ToUtf8(text.c_str(), nullptr, 0);
  std::string utf8(bytes + 1, '\0');
  if (XmlDocument::Utf16ToUtf8(text.c_str(), utf8.data(), utf8.size()) != bytes) std::abort();

  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    g_step = step;
    const bool small = doc.GetDocument().size() < (1u << 20);
    const int op = in.ConsumeIntegralInRange<int>(0, 23);
    if (g_trace) std::fprintf(stderr, "op %d\n", op);
    switch (op) {
      case 0:
        doc.FindElement(TakeName(in));
        break;
      case 1:
        doc.FindElement();
        break;
      case 2:
        doc.FindChildElement(TakeName(in));
        break;
      case 3:
        doc.FindChildElement();
        break;
      case 4:
        doc.EnterElement();
        break;
      case 5:
        doc.LeaveElement();
        break;
      case 6:
        doc.ResetPosition();
        break;
      case 7:
        doc.ResetChildPosition();
        break;
      case 8:
        doc.SavePosition(TakeName(in));
        break;
      case 9:
        doc.RestorePosition(TakeName(in));
        break;
      case 10: {
        const std::u16string a = TakeName(in), b = TakeName(in);
        std::u16string va, vb;
        doc.GetAttributes({a, b}, {&va, &vb});
        // Reading several attributes in one scan gives what reading each one gives.
        if (va != doc.GetAttribute(a) || (b != a && vb != doc.GetAttribute(b))) std::abort();
        doc.GetChildAttribute(TakeName(in));
        doc.GetTagName();
        break;
      }
      case 11:
        doc.GetText();
        doc.GetChildText();
        doc.GetElementContent();
        break;
      case 12:
        if (small) doc.AddElement(TakeName(in), TakeText(in, 64), in.ConsumeIntegral<uint16_t>());
        break;
      case 13:
        if (small) {
          doc.AddChildElement(TakeName(in), TakeText(in, 64), in.ConsumeIntegral<uint16_t>());
        }
        break;
      case 14:
        if (small) doc.AddSubDocument(TakeText(in, 512), in.ConsumeIntegral<uint8_t>() & 2);
        break;
      case 15:
        if (small) doc.AddSubDocument(doc.GetElementContent());
        break;
      case 16:
        doc.RemoveElement();
        break;
      case 17:
        doc.RemoveChildElement();
        break;
      case 18: {
        const std::u16string name = TakeName(in), value = TakeText(in, 32);
        if (g_trace) {
          Dump("name", name);
          Dump("value", value);
        }
        doc.SetAttribute(name, value);
        break;
      }
      case 19:
        doc.SetChildAttribute(TakeName(in), TakeText(in, 32));
        break;
      case 20:
        XmlDocument::UnescapeText(TakeText(in, 64));
        break;
      case 21:
      case 22: {
        // A new document taken from a piece of the document itself.
        const std::u16string_view all = doc.GetDocument();
        const size_t from = in.ConsumeIntegralInRange<size_t>(0, all.size());
        doc.SetDocument(all.substr(from, in.ConsumeIntegralInRange<size_t>(0, all.size() - from)));
        break;
      }
      default:
        XmlDocument::EscapeText(TakeText(in, 64), in.ConsumeIntegral<uint16_t>());
        break;
    }
    if (g_trace) Dump("document", doc.GetDocument());
    Check(doc);
  }
  doc.SetDocument(doc.GetDocument());
  Check(doc);
  return 0;
}
