// XmlDocument's readers: attributes of a start tag, element texts, raw content, and the
// unescaping of references.
#include <algorithm>

#include "xml/node_scanner.h"
#include "xml/xml_document.h"
#include "xml/xml_internal.h"

namespace lumatrove {

std::u16string XmlDocument::GetTagName() const {
  return current_ == 0 ? std::u16string() : std::u16string(TagName(current_));
}

std::u16string XmlDocument::GetChildTagName() const {
  return child_ == 0 ? std::u16string() : std::u16string(TagName(child_));
}

namespace {

// Where the attribute lookup of a start tag may reach. It stays inside the start tag, so a
// stray quote can never carry it past the tag. No token reaches over the tag's closing '>',
// and a quoted one not over its "/>" either: an unended quote (left by an edit with an odd
// name) stops there, so replacing a value never eats the end of the tag. A '/' before the
// '>' still belongs to an unquoted value.
struct TagBounds {
  uint32_t end;         // after the start tag
  uint32_t insertAt;    // where a new attribute goes: before the '>' or the "/>"
  uint32_t close;       // the closing '>' (end when there is none)
  uint32_t quoteLimit;  // where a quoted value ends at the latest
};

TagBounds BoundsOf(const ElementRecord& r, const char16_t* s) {
  TagBounds b;
  b.end = r.start + r.StartTagLength();
  b.insertAt = b.end - 1;
  if (b.end >= 2 && s[b.end - 2] == u'/' && r.length == r.StartTagLength()) b.insertAt = b.end - 2;
  b.close = b.end >= 1 && s[b.end - 1] == u'>' ? b.end - 1 : b.end;
  b.quoteLimit = b.close == b.end ? b.end : std::min(b.close, b.insertAt);
  return b;
}

}  // namespace

// Walks the attributes of an element's start tag token by token. For each attribute name
// that `wanted` accepts (by returning a number of its own, not below 0), `visit` receives the
// spot (its value looked up as for that name alone) and that number, and returns whether to
// go on. Returns the spot where a new attribute belongs.
template <typename Wanted, typename Visit>
uint32_t XmlDocument::ScanAttributes(uint32_t element, Wanted wanted, Visit visit) const {
  const ElementRecord& r = index_[element];
  const char16_t* s = doc_.data();
  const TagBounds bounds = BoundsOf(r, s);
  const uint32_t end = bounds.end;
  const uint32_t insertAt = bounds.insertAt;
  const uint32_t close = bounds.close;
  const uint32_t quoteLimit = bounds.quoteLimit;

  struct Token {
    uint32_t start, length;
    bool quoted;
  };
  auto read = [&](uint32_t i, bool value) {
    const char16_t c = s[i];
    if (c == u'"' || c == u'\'') {
      const uint32_t j = FindChar(s, i + 1, quoteLimit, c);
      return Token{i, (j < quoteLimit ? j + 1 : std::max(quoteLimit, i + 1)) - i, true};
    }
    const uint32_t j = FindClass(s, i, close, value ? kValueEnd : kAttributeNameEnd);
    return Token{i, j == i ? 1u : j - i, false};
  };
  auto skipBlanks = [&](uint32_t i) { return SkipBlanks(s, i, end); };

  uint32_t i = r.start + 1;
  i += read(i, false).length;  // the tag name
  bool expectValue = false;
  for (;;) {
    const uint32_t before = i;
    i = skipBlanks(i);
    if (i >= end) return insertAt;
    const Token t = read(i, expectValue);
    const char16_t first = s[t.start];
    if (!t.quoted && (first == u'/' || first == u'>' || first == u'?')) return before;
    i = t.start + t.length;
    if (expectValue) {
      expectValue = false;
      continue;
    }
    if (t.quoted) continue;
    if (t.length == 1 && first == u'=') {
      expectValue = true;
      continue;
    }
    const int which = wanted(std::u16string_view(s + t.start, t.length));
    if (which < 0) continue;

    AttributeSpot spot;
    spot.found = true;
    spot.nameStart = t.start;
    spot.nameEnd = i;
    uint32_t k = skipBlanks(i);
    if (k < end && s[k] == u'=') {
      spot.hasValue = true;
      k = skipBlanks(k + 1);
      if (k >= end || (s[k] == u'>' || (s[k] == u'/' && k + 1 < end && s[k + 1] == u'>'))) {
        spot.valueStart = k;  // "name=" with nothing after it
        spot.valueLength = 0;
      } else {
        const Token v = read(k, true);
        spot.valueStart = v.start;
        spot.valueLength = v.length;
        spot.quoted = v.quoted;
      }
    }
    if (!visit(spot, which)) return insertAt;
  }
}

XmlDocument::AttributeSpot XmlDocument::FindAttribute(uint32_t element,
                                                      std::u16string_view name) const {
  AttributeSpot found;
  const uint32_t insertAt = ScanAttributes(
      element, [&](std::u16string_view n) { return !name.empty() && SameText(n, name) ? 0 : -1; },
      [&](const AttributeSpot& spot, int) {
        found = spot;
        return false;
      });
  if (!found.found) found.insertAt = insertAt;
  return found;
}

// The raw value of an attribute found by the lookup, quotes dropped.
std::u16string_view XmlDocument::ValueOf(const AttributeSpot& spot) const {
  const std::u16string_view text(doc_);
  if (!spot.hasValue) return text.substr(spot.nameStart, spot.nameEnd - spot.nameStart);
  uint32_t start = spot.valueStart;
  uint32_t length = spot.valueLength;
  if (spot.quoted) {
    const char16_t quote = doc_[start];
    ++start;
    --length;
    if (length > 0 && doc_[start + length - 1] == quote) --length;
  }
  return text.substr(start, length);
}

void XmlDocument::AttributeInto(uint32_t element, std::u16string_view name,
                                std::u16string& value) const {
  value.clear();
  if (element == 0 || name.empty()) return;
  const AttributeSpot spot = FindAttribute(element, name);
  if (spot.found) UnescapeInto(ValueOf(spot), value);
}

std::u16string XmlDocument::AttributeOf(uint32_t element, std::u16string_view name) const {
  std::u16string value;
  AttributeInto(element, name, value);
  return value;
}

std::u16string XmlDocument::GetAttribute(std::u16string_view name) const {
  return AttributeOf(current_, name);
}

std::u16string XmlDocument::GetChildAttribute(std::u16string_view name) const {
  return AttributeOf(child_, name);
}

void XmlDocument::GetAttributes(std::initializer_list<std::u16string_view> names,
                                std::initializer_list<std::u16string*> values) const {
  // One scan of the start tag serves every name; the first attribute of a name wins, as
  // with GetAttribute.
  const std::u16string_view* wanted = names.begin();
  std::u16string* const* out = values.begin();
  const size_t n = std::min({names.size(), values.size(), size_t{32}});
  const uint32_t all = n == 32 ? ~0u : (1u << n) - 1;
  uint32_t found = 0;
  for (size_t i = 0; i < n; ++i)
    out[i]->clear();
  if (current_ == 0 || n == 0) return;

  auto match = [&](std::u16string_view name) {
    for (size_t i = 0; i < n; ++i) {
      if ((found & (1u << i)) == 0 && SameText(name, wanted[i])) return static_cast<int>(i);
    }
    return -1;
  };
  // Takes the raw value (quotes dropped) of the attribute asked for at `which`; false once
  // every name has its value.
  auto take = [&](int which, std::u16string_view raw) {
    UnescapeInto(raw, *out[which]);
    found |= 1u << which;
    // A name asked for twice gets the value in every place it was asked for.
    for (size_t i = static_cast<size_t>(which) + 1; i < n; ++i) {
      if ((found & (1u << i)) == 0 && SameText(wanted[i], wanted[which])) {
        found |= 1u << i;
        out[i]->assign(*out[which]);
      }
    }
    return found != all;
  };

  ScanAttributes(current_, match,
                 [&](const AttributeSpot& spot, int which) { return take(which, ValueOf(spot)); });
}

void XmlDocument::TextInto(uint32_t element, std::u16string& out) const {
  out.clear();
  if (element == 0) return;
  const ElementRecord& r = index_[element];
  if (r.firstChild != 0) return;
  const uint32_t inner = r.StartTagLength() + r.EndTagLength();
  if (r.length <= inner) return;
  const std::u16string_view content =
      std::u16string_view(doc_).substr(r.start + r.StartTagLength(), r.length - inner);
  const uint32_t size = static_cast<uint32_t>(content.size());
  const uint32_t hit = FindEither(content.data(), 0, size, u'<', u'&');
  if (hit == size) {  // plain text, the usual case
    out.assign(content.data(), size);
    return;
  }
  if (content[hit] == u'&' && FindChar(content.data(), hit, size, u'<') == size) {
    UnescapeInto(content, out);
    return;
  }
  ScannedNode node;
  uint32_t pos = 0;
  std::u16string piece;
  for (;;) {
    pos = ScanNode(content, pos, node);
    if (node.kind == kNodeNothingLeft) break;
    if (node.kind == kNodeText) {
      UnescapeInto(content.substr(node.start, node.length), piece);
      out += piece;
    } else if (node.kind == kNodeCData && node.length >= 12) {
      out.append(content.substr(node.start + 9, node.length - 12));
    }
  }
}

std::u16string XmlDocument::TextOf(uint32_t element) const {
  std::u16string out;
  TextInto(element, out);
  return out;
}

std::u16string XmlDocument::GetText() const {
  return TextOf(current_);
}

std::u16string XmlDocument::GetChildText() const {
  return TextOf(child_);
}

std::u16string XmlDocument::GetElementContent() const {
  if (current_ == 0) return {};
  const ElementRecord& r = index_[current_];
  const uint32_t inner = r.StartTagLength() + r.EndTagLength();
  if (r.length <= inner) return {};
  return doc_.substr(r.start + r.StartTagLength(), r.length - inner);
}

std::u16string XmlDocument::UnescapeText(std::u16string_view text) {
  std::u16string out;
  UnescapeInto(text, out);
  return out;
}

void XmlDocument::UnescapeInto(std::u16string_view text, std::u16string& out) {
  const size_t amp = text.size() <= kMaxDocumentUnits
                         ? FindChar(text.data(), 0, static_cast<uint32_t>(text.size()), u'&')
                         : std::min(text.find(u'&'), text.size());
  if (amp == text.size()) {
    out.assign(text.data(), text.size());
    return;
  }
  out.clear();
  out.reserve(text.size());
  out.append(text.substr(0, amp));
  const size_t n = text.size();
  for (size_t i = amp; i < n; ++i) {
    const char16_t c = text[i];
    if (c != u'&') {
      out.push_back(c);
      continue;
    }
    const std::u16string_view rest = text.substr(i);
    struct Named {
      std::u16string_view ref;
      char16_t ch;
    };
    static constexpr Named kNamed[] = {
        {u"&lt;", u'<'}, {u"&amp;", u'&'}, {u"&gt;", u'>'}, {u"&apos;", u'\''}, {u"&quot;", u'"'}};
    bool done = false;
    for (const Named& named : kNamed) {
      if (rest.substr(0, named.ref.size()) == named.ref) {
        out.push_back(named.ch);
        i += named.ref.size() - 1;
        done = true;
        break;
      }
    }
    if (done) continue;
    if (rest.size() > 1 && rest[1] == u'#') {
      const bool hex = rest.size() > 2 && rest[2] == u'x';
      const size_t digits = hex ? 3 : 2;
      const size_t reach = std::min(rest.size(), (hex ? 3 : 2) + size_t{8});
      size_t semi = digits;
      while (semi < reach && rest[semi] != u';')
        ++semi;
      if (semi < reach) {
        uint64_t value = 0;
        for (size_t k = digits; k < semi; ++k) {
          const char16_t d = rest[k];
          int v;
          if (d >= u'0' && d <= u'9') {
            v = d - u'0';
          } else if (hex && d >= u'a' && d <= u'f') {
            v = d - u'a' + 10;
          } else if (hex && d >= u'A' && d <= u'F') {
            v = d - u'A' + 10;
          } else {
            break;
          }
          value = value * (hex ? 16 : 10) + static_cast<uint64_t>(v);
        }
        if (value != 0) {
          out.push_back(static_cast<char16_t>(value & 0xFFFF));
          i += semi;
          continue;
        }
      }
    }
    out.push_back(u'&');
  }
}

}  // namespace lumatrove
