#include "xml/xml_document.h"

#include <algorithm>
#include <cstring>

#include "xml/node_scanner.h"
#include "xml/xml_internal.h"

namespace lumatrove {

XmlDocument::XmlDocument() {
  Parse();
}

XmlDocument::~XmlDocument() = default;

bool XmlDocument::SetDocument(std::u16string_view text) {
  status_.clear();
  if (text.size() > kMaxDocumentUnits) {
    // Offsets in the index are 32-bit; such a text cannot be indexed.
    doc_.clear();
    doc_.shrink_to_fit();
    Parse();
    status_ = u"Document too large";
    return false;
  }
  // assign() copies correctly even when the text is a piece of the document itself.
  doc_.assign(text.data(), text.size());
  Parse();
  return IsWellFormed();
}

bool XmlDocument::IsWellFormed() const {
  if (!index_.HasStorage()) return false;
  const ElementRecord& root = index_[0];
  if (root.Has(kFlagIllFormed) || root.firstChild == 0) return false;
  return index_[root.firstChild].next == 0;
}

namespace {

// The records a parse of `text` will probably need: the start tags of its first 32,768 units
// (a '<' that does not begin an end tag, comment, declaration or processing instruction),
// scaled to its whole length with an eighth more, but no more than an element can take (three
// units each), and never less than one record per 64 units plus 8. Above one page, whole
// pages, so that the index grows by opening new pages and never copies a partly filled one.
uint32_t InitialCapacity(const std::u16string& text) {
  const uint64_t n = text.size();
  const uint32_t sample = static_cast<uint32_t>(std::min<uint64_t>(n, 32768));
  uint64_t tags = 0;
  for (uint32_t i = FindChar(text.data(), 0, sample, u'<'); i < sample;
       i = FindChar(text.data(), i + 1, sample, u'<')) {
    const char16_t c = i + 1 < n ? text[i + 1] : u'/';
    tags += c != u'/' && c != u'!' && c != u'?';
  }
  const uint64_t scaled = sample == 0 ? 0 : tags * n / sample;
  uint64_t capacity = std::max(n / 64, std::min(scaled + scaled / 8, n / 3)) + 8;
  constexpr uint64_t kPage = ElementIndex::kPageSize;
  if (capacity > kPage) capacity = (capacity + kPage - 1) / kPage * kPage;
  return static_cast<uint32_t>(std::min<uint64_t>(capacity, UINT32_MAX));
}

}  // namespace

void XmlDocument::Parse() {
  const std::u16string kept = status_;
  ResetPosition();
  ClearNamedPositions();
  index_.Reset(InitialCapacity(doc_));

  std::u16string message;
  if (doc_.empty()) {
    message = u"Empty document";
  } else {
    std::u16string buildMessage;
    const uint32_t first = BuildTree(doc_, 0, buildMessage);
    index_[0].length = static_cast<uint32_t>(doc_.size());
    message = std::move(buildMessage);
    if (first == 0) {
      message = u"No root element";
    } else if (index_[index_[0].firstChild].next != 0 && message.empty()) {
      // A build message (an element not ended, say) names the cause of the extra top-level
      // element better than this one, so it is kept.
      message = u"Root element has sibling";
    }
  }
  ResetPosition();

  if (!kept.empty()) {
    status_ = kept;
    if (!message.empty()) {
      status_ += u", ";
      status_ += message;
    }
  } else {
    status_ = std::move(message);
  }
}

// Closes openStack_[from..] as unended, innermost first. Each closed element keeps only its
// start tag and its children move up to its parent's level as its following siblings; since
// every open element is the last child of the one below it, the whole run flattens into one
// chain of siblings, which is linked in a single pass so that deep unended nesting costs
// linear time. Returns the last element of the chain, now the parent's last child.
uint32_t XmlDocument::CloseOpenElements(size_t from) {
  const size_t top = openStack_.size();
  const uint32_t outer = openStack_[from].record;
  const uint32_t parent = index_[outer].parent;
  const uint32_t depth = index_[outer].Depth();

  bool errorInside = false;
  for (size_t j = top; j-- > from;) {
    ElementRecord& r = index_[openStack_[j].record];
    r.length = r.StartTagLength();
    r.SetEndTagLength(0);
    r.flags |= kFlagNotEnded;
    if (r.Has(kFlagErrorInside)) {
      r.flags &= ~kFlagErrorInside;
      errorInside = true;  // moves outward until it rests on the parent of the run
    }
  }
  if (errorInside) index_[parent].flags |= kFlagErrorInside;

  uint32_t tail = outer;
  for (size_t j = from; j < top; ++j) {
    ElementRecord& r = index_[openStack_[j].record];
    uint32_t c = r.firstChild;
    r.firstChild = 0;
    while (c != 0) {
      ElementRecord& child = index_[c];
      const uint32_t following = child.next;
      child.parent = parent;
      child.flags &= ~kFlagFirstChild;
      child.SetDepth(depth);
      index_[tail].next = c;
      child.prev = tail;
      tail = c;
      c = following;
    }
  }
  index_[tail].next = 0;
  index_[index_[parent].firstChild].prev = tail;
  openStack_.resize(from);
  return tail;
}

// Builds the elements of `text` under record `given`. While the build runs, the last child of
// every open element is kept on the stack, and the first child's link to the last child is
// written when the element's children are complete.
uint32_t XmlDocument::BuildTree(std::u16string_view text, uint32_t given, std::u16string& message) {
  openStack_.clear();
  if (openStack_.capacity() < 6) openStack_.reserve(6);
  const char16_t* s = text.data();
  const uint32_t base = index_[given].Depth();
  uint32_t parent = given;
  uint32_t lastOfGiven = LastChild(given);
  uint32_t result = 0;
  uint32_t pos = 0;
  ScannedNode node;

  auto finish = [&](uint32_t element, uint32_t last) {
    if (last != 0) index_[index_[element].firstChild].prev = last;
  };
  auto startTag = [&](uint32_t start, uint32_t length, bool empty, uint32_t nameStart,
                      uint32_t nameLength) {
    const uint32_t e = index_.Take();
    uint32_t& last = openStack_.empty() ? lastOfGiven : openStack_.back().lastChild;
    ElementRecord& r = index_[e];
    r.parent = parent;
    r.start = start;
    r.SetStartTagLength(length);
    r.SetDepth(base + static_cast<uint32_t>(openStack_.size()));
    if (last == 0) {
      index_[parent].firstChild = e;
      r.flags |= kFlagFirstChild;
      r.prev = e;
    } else {
      index_[last].next = e;
      r.prev = last;
    }
    last = e;
    if (result == 0) result = e;
    if (empty) {
      r.length = length;
      return;
    }
    if (openStack_.size() == openStack_.capacity()) {
      openStack_.reserve(2 * openStack_.capacity() + 6);
    }
    openStack_.push_back({e, nameStart, nameLength, 0});
    parent = e;
  };
  // The common case of an end tag: the innermost element ends.
  auto closeInnermost = [&](uint32_t start, uint32_t length) {
    const OpenElement& open = openStack_.back();
    ElementRecord& m = index_[open.record];
    m.length = start + length - m.start;
    m.SetEndTagLength(length);
    finish(open.record, open.lastChild);
    openStack_.pop_back();
    parent = m.parent;
  };
  auto endTag = [&](uint32_t start, uint32_t length, uint32_t nameStart, uint32_t nameLength) {
    const std::u16string_view name(s + nameStart, nameLength);
    size_t k = openStack_.size();
    const auto openName = [&](size_t j) {
      return std::u16string_view(s + openStack_[j].nameStart, openStack_[j].nameLength);
    };
    if (k > 0 && SameText(openName(k - 1), name)) {
      closeInnermost(start, length);
      return;
    }
    while (k > 0 && !SameText(openName(k - 1), name)) --k;
    if (k == 0) {
      index_[parent].flags |= kFlagErrorInside;
      index_[given].flags |= kFlagIllFormed;
      if (message.empty()) {
        AppendAscii(message, "No start tag for end tag '");
        message.append(name);
        AppendAscii(message, "' at offset ");
        AppendNumber(message, start);
      }
      return;
    }
    const OpenElement& inner = openStack_.back();
    if (message.empty()) {
      AppendAscii(message, "End tag '");
      message.append(name);
      AppendAscii(message, "' at offset ");
      AppendNumber(message, start + 1);
      AppendAscii(message, " does not match start tag '");
      message.append(text.substr(inner.nameStart, inner.nameLength));
      AppendAscii(message, "' at offset ");
      AppendNumber(message, index_[inner.record].start);
    }
    index_[given].flags |= kFlagIllFormed;
    CloseOpenElements(k);  // also completes the matched element's children
    const uint32_t matched = openStack_.back().record;
    ElementRecord& m = index_[matched];
    m.length = start + length - m.start;
    m.SetEndTagLength(length);
    openStack_.pop_back();
    parent = m.parent;
  };

  for (;;) {
    // Text and blanks are not indexed: the scan goes straight on to the next '<'.
    if (pos < text.size() && text[pos] != u'<') pos = FindChar(text.data(), pos, static_cast<uint32_t>(text.size()), u'<');
    pos = ScanNode(text, pos, node);
    switch (node.kind) {
      case kNodeStartTag:
        startTag(node.start, node.length, node.emptyElement, node.nameStart, node.nameLength);
        break;
      case kNodeEndTag:
        endTag(node.start, node.length, node.nameStart, node.nameLength);
        break;
      case kNodeMalformed:
        index_[parent].flags |= kFlagErrorInside;
        index_[given].flags |= kFlagIllFormed;
        if (message.empty()) message = ScanErrorMessage(node.error, node.start);
        break;
      case kNodeNothingLeft:
        if (!openStack_.empty()) {
          const OpenElement& inner = openStack_.back();
          if (message.empty()) {
            AppendAscii(message, "Element '");
            message.append(text.substr(inner.nameStart, inner.nameLength));
            AppendAscii(message, "' at offset ");
            AppendNumber(message, index_[inner.record].start);
            AppendAscii(message, " not ended");
          }
          index_[given].flags |= kFlagIllFormed;
          CloseOpenElements(0);
        } else {
          finish(given, lastOfGiven);
        }
        return result;
      default:
        break;
    }
  }
}

// ---- names and navigation ----

std::u16string_view XmlDocument::TagName(uint32_t element) const {
  const ElementRecord& r = index_[element];
  const uint32_t end = r.start + r.StartTagLength();
  const uint32_t i = FindTagNameEnd(doc_.data(), r.start + 1, end);
  return std::u16string_view(doc_).substr(r.start + 1, i - r.start - 1);
}

bool XmlDocument::NameMatches(uint32_t element, std::u16string_view name) const {
  if (name.empty()) return true;
  const std::u16string_view tag = TagName(element);
  if (name.size() < tag.size() || name.compare(0, tag.size(), tag) != 0) return false;
  if (name.size() == tag.size()) return true;
  const char16_t c = name[tag.size()];
  return IsXmlBlank(c) || c == u'=' || c == u'/' || c == u'[' || c == u']';
}

uint32_t XmlDocument::LastChild(uint32_t element) const {
  const uint32_t first = index_[element].firstChild;
  return first == 0 ? 0 : index_[first].prev;
}

uint32_t XmlDocument::PreviousSibling(uint32_t element) const {
  const ElementRecord& r = index_[element];
  return r.Has(kFlagFirstChild) ? 0 : r.prev;
}

bool XmlDocument::FindAmong(uint32_t first, std::u16string_view name, uint32_t& found) const {
  for (uint32_t e = first; e != 0; e = index_[e].next) {
    if (NameMatches(e, name)) {
      found = e;
      return true;
    }
  }
  return false;
}

void XmlDocument::ResetPosition() {
  parent_ = current_ = child_ = 0;
}

bool XmlDocument::FindElement(std::u16string_view name) {
  const uint32_t first = current_ != 0 ? index_[current_].next : FirstChild(parent_);
  uint32_t found = 0;
  if (!FindAmong(first, name, found)) return false;
  current_ = found;
  parent_ = index_[found].parent;
  child_ = 0;
  return true;
}

bool XmlDocument::FindChildElement(std::u16string_view name) {
  if (current_ == 0) FindElement();
  const uint32_t first = child_ != 0 ? index_[child_].next : FirstChild(current_);
  uint32_t found = 0;
  if (!FindAmong(first, name, found)) return false;
  child_ = found;
  // Still no current element: the child was found among the top-level elements.
  if (current_ == 0) parent_ = 0;
  return true;
}

bool XmlDocument::EnterElement() {
  if (current_ == 0) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  return true;
}

bool XmlDocument::LeaveElement() {
  if (parent_ == 0) return false;
  child_ = current_;
  current_ = parent_;
  parent_ = index_[current_].parent;
  return true;
}

// ---- named positions ----

namespace {
size_t BucketOf(std::u16string_view name) {
  size_t sum = 0;
  for (char16_t c : name)
    sum += c;
  return sum % 7;
}
}  // namespace

bool XmlDocument::SavePosition(std::u16string_view name) {
  if (name.empty()) return false;
  NamedPosition entry;
  entry.name.assign(name.data(), name.size());
  if (child_ != 0) {
    entry.element = child_;
    entry.kind = 2;
  } else if (current_ != 0) {
    entry.element = current_;
    entry.kind = 1;
  } else {
    entry.element = parent_;
    entry.kind = 0;
  }
  std::vector<NamedPosition>& bucket = buckets_[BucketOf(name)];
  if (bucket.empty()) bucket.resize(2);
  NamedPosition* free = nullptr;
  for (NamedPosition& slot : bucket) {
    if (slot.name == name) {
      slot = std::move(entry);
      return true;
    }
    if (free == nullptr && slot.name.empty()) free = &slot;
  }
  if (free == nullptr) {
    const size_t used = bucket.size();
    bucket.resize(2 * (used - 1) + 12);
    free = &bucket[used];
  }
  *free = std::move(entry);
  return true;
}

bool XmlDocument::RestorePosition(std::u16string_view name) {
  if (name.empty()) return false;
  for (const NamedPosition& slot : buckets_[BucketOf(name)]) {
    if (slot.name != name) continue;
    const uint32_t e = slot.element;
    if (slot.kind == 2) {
      child_ = e;
      current_ = index_[e].parent;
      parent_ = current_ != 0 ? index_[current_].parent : 0;
    } else if (slot.kind == 1) {
      current_ = e;
      parent_ = index_[e].parent;
      child_ = 0;
    } else {
      parent_ = e;
      current_ = child_ = 0;
    }
    return true;
  }
  return false;
}

void XmlDocument::DropNamedPositions() {
  for (std::vector<NamedPosition>& bucket : buckets_) {
    size_t kept = 0;
    for (size_t i = 0; i < bucket.size(); ++i) {
      if (bucket[i].name.empty()) continue;
      if (bucket[i].element != 0 && index_[bucket[i].element].Has(kFlagDeleted)) continue;
      if (kept != i) bucket[kept] = std::move(bucket[i]);
      ++kept;
    }
    for (size_t i = kept; i < bucket.size(); ++i)
      bucket[i] = NamedPosition{};
  }
}

void XmlDocument::ClearNamedPositions() {
  for (std::vector<NamedPosition>& bucket : buckets_) {
    for (NamedPosition& slot : bucket)
      slot = NamedPosition{};
  }
}

// ---- reading ----

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
    uint32_t j = i;
    if (value) {
      while (j < close && !IsXmlBlank(s[j]) && s[j] != u'>')
        ++j;
    } else {
      j = FindAttributeNameEnd(s, j, close);
    }
    return Token{i, j == i ? 1u : j - i, false};
  };
  auto skipBlanks = [&](uint32_t i) {
    while (i < end && IsXmlBlank(s[i]))
      ++i;
    return i;
  };

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

  ScanAttributes(current_, match, [&](const AttributeSpot& spot, int which) {
    return take(which, ValueOf(spot));
  });
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

// ---- consistency check ----

bool XmlDocument::VerifyIndex(std::string* why) const {
  auto fail = [&](const char* what, uint32_t e) {
    if (why != nullptr) *why = std::string(what) + " (record " + std::to_string(e) + ")";
    return false;
  };
  if (!index_.HasStorage()) return fail("no storage", 0);
  const ElementRecord& root = index_[0];
  if (root.start != 0 || root.length != doc_.size()) return fail("document record length", 0);
  const uint32_t n = static_cast<uint32_t>(doc_.size());

  // Iterative pre-order walk; `limit` of a child is its parent's content end.
  struct Frame {
    uint32_t element;
    uint32_t cursor;  // where the next child may start
    uint32_t end;     // where the children must end
  };
  std::vector<Frame> stack;
  stack.push_back({0, 0, n});
  std::vector<uint32_t> children;
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    const ElementRecord& p = index_[frame.element];
    children.clear();
    uint32_t cursor = frame.cursor;
    for (uint32_t c = p.firstChild; c != 0; c = index_[c].next) {
      const ElementRecord& r = index_[c];
      if (children.size() > index_.NextFree()) return fail("sibling cycle", c);
      if (r.Has(kFlagDeleted)) return fail("deleted record linked", c);
      if (r.parent != frame.element) return fail("parent link", c);
      if (r.Has(kFlagFirstChild) != children.empty()) return fail("first-child flag", c);
      if (!children.empty() && r.prev != children.back()) return fail("previous link", c);
      if (r.start < cursor || r.End() > frame.end || r.End() < r.start) return fail("overlap", c);
      const uint32_t stl = r.StartTagLength();
      const uint32_t etl = r.EndTagLength();
      if (stl < 2 || r.start + stl > n || doc_[r.start] != u'<' || doc_[r.start + stl - 1] != u'>')
        return fail("start tag", c);
      if (r.length < stl + etl) return fail("length", c);
      if (etl != 0) {
        if (doc_[r.End() - etl] != u'<' || doc_[r.End() - etl + 1] != u'/' ||
            doc_[r.End() - 1] != u'>')
          return fail("end tag", c);
      } else if (r.length != stl) {
        return fail("unended element with content", c);
      }
      children.push_back(c);
      cursor = r.End();
    }
    if (!children.empty() && index_[p.firstChild].prev != children.back())
      return fail("last-child link", frame.element);
    for (uint32_t c : children) {
      const ElementRecord& r = index_[c];
      if (r.firstChild != 0) {
        stack.push_back({c, r.start + r.StartTagLength(), r.End() - r.EndTagLength()});
      }
    }
  }
  for (uint32_t e : {parent_, current_, child_}) {
    if (e >= index_.NextFree() || index_[e].Has(kFlagDeleted)) return fail("stale position", e);
  }
  return true;
}

}  // namespace lumatrove
