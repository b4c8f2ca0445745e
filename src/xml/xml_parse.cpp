// XmlDocument's parse: a new text, the index sized from it, and the tree built from the
// nodes the scanner reports, with the recovery from unended and stray tags.
#include <algorithm>

#include "xml/node_scanner.h"
#include "xml/xml_document.h"
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

// The records a parse of `text` will probably need: the start tags of its head (a '<' that
// does not begin an end tag, comment, declaration or processing instruction), scaled to its
// whole length with an eighth more, but no more than an element can take (three units each),
// and never less than one record per 64 units plus 8. Above one page, whole pages, so that the
// index grows by opening new pages and never copies a partly filled one.
constexpr uint32_t kCapacitySampleUnits = 32768;  // the head: 64 KiB, a few dozen profiles

uint32_t InitialCapacity(const std::u16string& text) {
  const uint64_t n = text.size();
  const uint32_t sample = static_cast<uint32_t>(std::min<uint64_t>(n, kCapacitySampleUnits));
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
    while (k > 0 && !SameText(openName(k - 1), name))
      --k;
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
    if (pos < text.size() && text[pos] != u'<')
      pos = FindChar(text.data(), pos, static_cast<uint32_t>(text.size()), u'<');
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

}  // namespace lumatrove
