// Editing operations of XmlDocument. Every edit is one replacement in the document string
// followed by an adjustment of the index, so the index matches the string afterwards.
#include <algorithm>

#include "xml/node_scanner.h"
#include "xml/xml_document.h"
#include "xml/xml_internal.h"

namespace lumatrove {
namespace {

constexpr std::u16string_view kLineBreak = u"\r\n";

bool IsNameStartOfReference(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'#' || c == u'_' ||
         c == u':' || c > 0x7F;
}

bool IsNameCharOfReference(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'-' || c == u'.' || c == u':' || c == u'_' || c > 0x7F;
}

// Length of a well-formed reference starting with the '&' at `i`, or 0.
size_t ReferenceLength(std::u16string_view text, size_t i) {
  size_t j = i + 1;
  if (j >= text.size() || !IsNameStartOfReference(text[j])) return 0;
  ++j;
  while (j < text.size() && IsNameCharOfReference(text[j]))
    ++j;
  return j < text.size() && text[j] == u';' ? j + 1 - i : 0;
}

std::u16string CDataSection(std::u16string_view text) {
  std::u16string out = u"<![CDATA[";
  size_t from = 0;
  for (size_t at = text.find(u"]]>"); at != std::u16string_view::npos;
       at = text.find(u"]]>", from)) {
    out.append(text.substr(from, at - from));
    out += u"]]]]><![CDATA[>";
    from = at + 3;
  }
  out.append(text.substr(from));
  out += u"]]>";
  return out;
}

}  // namespace

std::u16string XmlDocument::EscapeText(std::u16string_view text, int options) {
  std::u16string out;
  out.reserve(text.size() + 8);
  const bool quotes = (options & kXmlEscapeQuotes) != 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'<':
        out += u"&lt;";
        break;
      case u'>':
        out += u"&gt;";
        break;
      case u'&': {
        const size_t ref = (options & kXmlKeepReferences) != 0 ? ReferenceLength(text, i) : 0;
        if (ref != 0) {
          out.append(text.substr(i, ref));
          i += ref - 1;
        } else {
          out += u"&amp;";
        }
        break;
      }
      case u'\'':
        if (quotes) {
          out += u"&apos;";
        } else {
          out.push_back(c);
        }
        break;
      case u'"':
        if (quotes) {
          out += u"&quot;";
        } else {
          out.push_back(c);
        }
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

bool XmlDocument::ReplaceText(uint32_t offset, uint32_t removed, std::u16string_view text) {
  const uint64_t length = uint64_t{doc_.size()} - removed + text.size();
  if (length > kMaxDocumentUnits) return false;
  if (length > doc_.capacity()) doc_.reserve(static_cast<size_t>(length + length / 2 + 128));
  doc_.replace(offset, removed, text.data(), text.size());
  return true;
}

namespace {

// Adds `delta` to the start of `root` and of every element below it.
void ShiftSubtree(ElementIndex& index, uint32_t root, int64_t delta) {
  ForEachInSubtree(index, root, [delta](ElementRecord& r) {
    r.start = static_cast<uint32_t>(int64_t{r.start} + delta);
  });
}

void MarkSubtreeDeleted(ElementIndex& index, uint32_t root) {
  ForEachInSubtree(index, root, [](ElementRecord& r) { r.flags |= kFlagDeleted; });
}

}  // namespace

void XmlDocument::Adjust(uint32_t element, int64_t delta, bool skipChildren) {
  if (delta == 0) return;
  if (!skipChildren) {
    for (uint32_t c = index_[element].firstChild; c != 0; c = index_[c].next) {
      ShiftSubtree(index_, c, delta);
    }
  }
  uint32_t e = element;
  for (;;) {
    for (uint32_t s = index_[e].next; s != 0; s = index_[s].next)
      ShiftSubtree(index_, s, delta);
    const uint32_t up = index_[e].parent;
    ElementRecord& a = index_[up];
    a.length = static_cast<uint32_t>(int64_t{a.length} + delta);
    if (a.StartTagLength() == 0) return;  // the document record
    e = up;
  }
}

// Text was inserted inside `element`, after its children; it and its ancestors grow and
// everything after it moves.
void XmlDocument::GrowInside(uint32_t element, int64_t delta, uint32_t after) {
  if (after != 0) {
    Adjust(after, delta, true);
    return;
  }
  ElementRecord& r = index_[element];
  r.length = static_cast<uint32_t>(int64_t{r.length} + delta);
  if (element != 0) Adjust(element, delta, true);
}

void XmlDocument::LinkElement(uint32_t parent, uint32_t after, uint32_t element) {
  ElementRecord& n = index_[element];
  ElementRecord& p = index_[parent];
  n.parent = parent;
  if (after != 0) {
    ElementRecord& a = index_[after];
    n.flags &= ~kFlagFirstChild;
    n.next = a.next;
    if (a.next != 0) {
      index_[a.next].prev = element;
    } else {
      index_[p.firstChild].prev = element;
    }
    a.next = element;
    n.prev = after;
  } else {
    const uint32_t old = p.firstChild;
    n.flags |= kFlagFirstChild;
    n.next = old;
    if (old != 0) {
      ElementRecord& o = index_[old];
      n.prev = o.prev;
      o.prev = element;
      o.flags &= ~kFlagFirstChild;
    } else {
      n.prev = element;
    }
    p.firstChild = element;
  }
  n.SetDepth(parent != 0 ? p.Depth() + 1 : 0);
}

bool XmlDocument::InsertNew(uint32_t parent, uint32_t& reference, std::u16string_view markup,
                            int options, Insertion& result) {
  const bool breaks = (options & kXmlNoLineBreaks) == 0;
  const std::u16string_view lineBreak = breaks ? kLineBreak : std::u16string_view();
  const uint32_t n = static_cast<uint32_t>(doc_.size());
  const ElementRecord& p = index_[parent];
  const bool isElement = parent != 0;
  const uint32_t stl = p.StartTagLength();
  const bool empty = isElement && p.length == stl;
  const bool withoutContent = isElement && !empty && p.length - p.EndTagLength() == stl;

  uint32_t pos = isElement ? p.start + p.length - p.EndTagLength() : n;
  if (reference != 0) {
    pos = index_[reference].End();
    if (breaks) {
      const uint32_t j = SkipBlanks(doc_.data(), pos, n);
      if (j >= n || doc_[j] == u'<') pos = j;
    }
  } else {
    reference = LastChild(parent);
  }

  std::u16string text;
  uint32_t at = pos;
  uint32_t removed = 0;
  if (empty) {
    const std::u16string_view name = TagName(parent);
    if (name.size() + 3 > ElementRecord::kMaxEndTag) return false;
    const bool notEnded = p.Has(kFlagNotEnded);
    text.reserve(markup.size() + name.size() + 8);
    text += u">";
    text += lineBreak;
    text += markup;
    text += lineBreak;
    text += u"</";
    text += name;
    if (notEnded) {
      at = p.start + stl - 1;  // before the '>' of the start tag
      result.elementStart = p.start + stl + static_cast<uint32_t>(lineBreak.size());
    } else {
      at = p.start + stl - 2;  // the '/' of "<P/>"
      removed = 1;
      result.elementStart = p.start + stl - 1 + static_cast<uint32_t>(lineBreak.size());
    }
    const uint32_t endTag = static_cast<uint32_t>(name.size()) + 3;
    if (!ReplaceText(at, removed, text)) return false;
    ElementRecord& pm = index_[parent];
    if (notEnded) {
      pm.flags &= ~kFlagNotEnded;
    } else {
      pm.SetStartTagLength(stl - 1);
    }
    pm.SetEndTagLength(endTag);
  } else {
    if (withoutContent) {
      at = p.start + stl;
      text += lineBreak;
      result.elementStart = at + static_cast<uint32_t>(lineBreak.size());
    } else {
      result.elementStart = at;
    }
    text += markup;
    text += lineBreak;
    if (!ReplaceText(at, 0, text)) return false;
  }
  result.inserted = static_cast<uint32_t>(text.size());
  result.removed = removed;
  return true;
}

bool XmlDocument::AddNew(bool childMode, std::u16string_view name, std::u16string_view text,
                         int options) {
  if (childMode && current_ == 0) return false;
  if ((options & kXmlStartTagOnly) != 0 && !text.empty()) return false;
  // An empty name would write "</>", which is an end tag, not an element.
  if (name.empty() || name.size() + 3 > ElementRecord::kMaxEndTag) return false;

  std::u16string markup;
  uint32_t startTag;
  uint32_t endTag = 0;
  markup += u"<";
  markup += name;
  if (!text.empty()) {
    markup += u">";
    if ((options & kXmlCData) != 0) {
      markup += CDataSection(text);
    } else {
      markup += EscapeText(text, options & (kXmlKeepReferences | kXmlEscapeQuotes));
    }
    markup += u"</";
    markup += name;
    markup += u">";
    startTag = static_cast<uint32_t>(name.size()) + 2;
    endTag = static_cast<uint32_t>(name.size()) + 3;
  } else if ((options & kXmlStartTagOnly) != 0) {
    markup += u">";
    startTag = static_cast<uint32_t>(markup.size());
  } else {
    markup += (options & kXmlSpaceBeforeSlash) != 0 ? u" />" : u"/>";
    startTag = static_cast<uint32_t>(markup.size());
  }

  const uint32_t parent = childMode ? current_ : parent_;
  uint32_t reference = childMode ? child_ : current_;
  const uint32_t element = index_.Take();
  Insertion ins;
  if (!InsertNew(parent, reference, markup, options, ins)) {
    index_[element].flags |= kFlagDeleted;
    return false;
  }
  ElementRecord& r = index_[element];
  r.start = ins.elementStart;
  r.length = static_cast<uint32_t>(markup.size());
  r.SetStartTagLength(startTag);
  r.SetEndTagLength(endTag);
  if ((options & kXmlStartTagOnly) != 0) r.flags |= kFlagNotEnded;
  LinkElement(parent, reference, element);
  Adjust(element, int64_t{ins.inserted} - ins.removed, false);
  if (childMode) {
    child_ = element;
  } else {
    current_ = element;
    child_ = 0;
  }
  return true;
}

bool XmlDocument::AddElement(std::u16string_view name, std::u16string_view text, int options) {
  return AddNew(false, name, text, options);
}

bool XmlDocument::AddChildElement(std::u16string_view name, std::u16string_view text, int options) {
  return AddNew(true, name, text, options);
}

bool XmlDocument::AddSubDocument(std::u16string_view fragment, int options) {
  // The fragment may be a view into this document, which the edit is about to change.
  std::u16string copy;
  if (!doc_.empty() && fragment.data() >= doc_.data() &&
      fragment.data() < doc_.data() + doc_.size()) {
    copy.assign(fragment);
    fragment = copy;
  }
  if (fragment.size() > kMaxDocumentUnits) return false;

  const uint32_t parent = parent_;
  uint32_t reference = current_;
  const uint32_t temp = index_.Take();
  index_[temp].SetDepth(parent != 0 ? index_[parent].Depth() + 1 : 0);

  std::u16string message;
  const uint32_t first = BuildTree(fragment, temp, message);
  const bool wellFormed = first != 0 && !index_[temp].Has(kFlagIllFormed);
  if (index_[temp].Has(kFlagErrorInside)) index_[parent].flags |= kFlagErrorInside;

  bool result = wellFormed;
  uint32_t spanStart = 0;
  uint32_t spanLength = static_cast<uint32_t>(fragment.size());
  const uint32_t last = first != 0 ? LastChild(temp) : 0;
  if (wellFormed) {
    spanStart = index_[first].start;
    spanLength = index_[last].End() - spanStart;
    if (index_[first].next != 0) result = false;
  } else {
    options |= kXmlNoLineBreaks;
  }

  Insertion ins;
  const bool inserted =
      InsertNew(parent, reference, fragment.substr(spanStart, spanLength), options, ins);
  if (!inserted) {
    // Nothing changed in the string: the fragment's records are dropped with the temporary one.
    for (uint32_t c = first; c != 0; c = index_[c].next)
      MarkSubtreeDeleted(index_, c);
    index_[temp].flags |= kFlagDeleted;
    return false;
  }

  const int64_t shift = int64_t{ins.elementStart} - spanStart;
  uint32_t after = reference;
  for (uint32_t c = first; c != 0;) {
    const uint32_t following = index_[c].next;
    ShiftSubtree(index_, c, shift);
    LinkElement(parent, after, c);
    after = c;
    c = following;
  }
  index_[temp] = ElementRecord{};
  index_[temp].flags = kFlagDeleted;

  const int64_t delta = int64_t{ins.inserted} - ins.removed;
  if (last != 0) {
    Adjust(last, delta, true);
  } else {
    GrowInside(parent, delta, reference);
  }
  current_ = first;
  child_ = 0;
  return result;
}

bool XmlDocument::Remove(uint32_t element) {
  const ElementRecord& r = index_[element];
  const uint32_t n = static_cast<uint32_t>(doc_.size());
  const uint32_t j = SkipBlanks(doc_.data(), r.End(), n);
  const uint32_t count = (j >= n || doc_[j] == u'<') ? j - r.start : r.length;
  if (!ReplaceText(r.start, count, {})) return false;
  Adjust(element, -int64_t{count}, true);

  ElementRecord& e = index_[element];
  ElementRecord& p = index_[e.parent];
  if (e.Has(kFlagFirstChild)) {
    if (e.next != 0) {
      ElementRecord& nx = index_[e.next];
      nx.flags |= kFlagFirstChild;
      nx.prev = e.prev == e.next ? e.next : e.prev;
      p.firstChild = e.next;
    } else {
      p.firstChild = 0;
    }
  } else {
    index_[e.prev].next = e.next;
    if (e.next != 0) {
      index_[e.next].prev = e.prev;
    } else {
      index_[p.firstChild].prev = e.prev;
    }
  }
  MarkSubtreeDeleted(index_, element);
  e.next = 0;
  DropNamedPositions();
  return true;
}

bool XmlDocument::RemoveElement() {
  if (current_ == 0) return false;
  const uint32_t previous = PreviousSibling(current_);
  if (!Remove(current_)) return false;
  current_ = previous;
  child_ = 0;
  return true;
}

bool XmlDocument::RemoveChildElement() {
  if (child_ == 0) return false;
  const uint32_t previous = PreviousSibling(child_);
  if (!Remove(child_)) return false;
  child_ = previous;
  return true;
}

bool XmlDocument::SetAttributeOf(uint32_t element, std::u16string_view name,
                                 std::u16string_view value) {
  if (element == 0 || name.empty()) return false;
  const AttributeSpot spot = FindAttribute(element, name);
  std::u16string text;
  uint32_t at;
  uint32_t replaced = 0;
  const std::u16string quoted = u"\"" + EscapeText(value, kXmlEscapeQuotes) + u"\"";
  if (spot.found && spot.hasValue) {
    at = spot.valueStart;
    replaced = spot.valueLength;
    text = quoted;
  } else if (spot.found) {
    // A bare name: it gets the value it lacked.
    at = spot.nameEnd;
    text = u"=" + quoted;
  } else {
    at = spot.insertAt;
    text = u" ";
    text += name;
    text += u"=";
    text += quoted;
  }
  const int64_t delta = int64_t{static_cast<int64_t>(text.size())} - replaced;
  ElementRecord& r = index_[element];
  if (int64_t{r.StartTagLength()} + delta > ElementRecord::kMaxStartTag) return false;
  if (!ReplaceText(at, replaced, text)) return false;
  ElementRecord& w = index_[element];
  w.SetStartTagLength(static_cast<uint32_t>(int64_t{w.StartTagLength()} + delta));
  w.length = static_cast<uint32_t>(int64_t{w.length} + delta);
  Adjust(element, delta, false);
  return true;
}

bool XmlDocument::SetAttribute(std::u16string_view name, std::u16string_view value) {
  return SetAttributeOf(current_, name, value);
}

bool XmlDocument::SetChildAttribute(std::u16string_view name, std::u16string_view value) {
  return SetAttributeOf(child_, name, value);
}

}  // namespace lumatrove
