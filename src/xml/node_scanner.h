// NodeScanner: classifies the next markup node of a UTF-16 text. Used by the parse, by GetText
// and by the fragment parse of AddSubDocument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/char_scan.h"
#include "xml/element_index.h"

namespace lumatrove {

enum NodeKind : int {
  kNodeEndTag = 0,
  kNodeStartTag = 1,
  kNodeText = 2,
  kNodeBlank = 4,
  kNodeCData = 8,
  kNodeProcessingInstruction = 16,
  kNodeComment = 32,
  kNodeDoctype = 64,  // DOCTYPE or another <!X declaration
  kNodeMalformed = -1,
  kNodeNothingLeft = -2,
};

enum class ScanError : uint8_t {
  kNone,
  kIncorrectTagNameCharacter,  // "Incorrect tag name character at offset %d"
  kIncorrectCommentTag,        // "Incorrect comment tag at offset %d"
  kIncorrectTag,               // "Incorrect tag at offset %d"
  kIncorrectBangTag,           // "Incorrect ! tag at offset %d"
  kUnterminatedDoctype,
  kUnterminatedElementTag,
  kUnterminatedEndTag,
  kUnterminatedCData,
  kUnterminatedProcessingInstruction,
  kUnterminatedComment,
  kUnterminatedTag,
  kElementTagTooLong,  // a start tag or end tag too long for the element index
};

struct ScannedNode {
  int kind = kNodeNothingLeft;
  uint32_t start = 0;
  uint32_t length = 0;
  bool emptyElement = false;  // "<a/>", "<a />", "<a x='1'/>"
  uint32_t nameStart = 0;     // start tags, end tags and processing instructions
  uint32_t nameLength = 0;
  ScanError error = ScanError::kNone;
};

// Scans any node that begins at `pos` of `text` and returns the offset after it.
uint32_t ScanOtherNode(std::u16string_view text, uint32_t pos, ScannedNode& node);

// Start and end tags, the bulk of any document, are scanned inline in the parse.
namespace scan_detail {

inline uint32_t FailNode(ScannedNode& node, int kind, ScanError error, uint32_t end) {
  node.kind = kind;
  node.error = error;
  node.length = end - node.start;
  return end;
}

// Scans the attributes of a start tag from `i` (just after its name) to its closing '>' and
// returns that offset, or 0 when the text ends inside the tag. Only '=' and '>' matter
// outside quotes: an '=' (not directly after another '=') followed by blanks and a quote
// opens a quoted value; any other character after it starts an unquoted value, which is
// scanned like the rest of the tag.
inline uint32_t ScanAttributesTo(const char16_t* s, uint32_t i, uint32_t n) {
  for (;;) {
    i = FindEither(s, i, n, u'=', u'>');
    if (i >= n) return 0;
    if (s[i] == u'>') return i;
    if (s[i - 1] == u'=') {
      ++i;
      continue;
    }
    i = SkipBlanks(s, i + 1, n);
    if (i < n && (s[i] == u'"' || s[i] == u'\'')) {
      i = FindChar(s, i + 1, n, s[i]);
      if (i >= n) return 0;
      ++i;
    }
  }
}

inline uint32_t ScanStartTag(const char16_t* s, uint32_t n, ScannedNode& node) {
  const uint32_t nameEnd = FindClass(s, node.start + 1, n, kNodeNameEnd);
  node.nameStart = node.start + 1;
  node.nameLength = nameEnd - node.nameStart;
  const uint32_t close =
      nameEnd < n && s[nameEnd] == u'>' ? nameEnd : ScanAttributesTo(s, nameEnd, n);
  if (close == 0) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedElementTag, n);
  const uint32_t end = close + 1;
  node.kind = kNodeStartTag;
  node.length = end - node.start;
  // "<a/>", "<a />", "<a x='1'/>": the '/' ends the name or follows a blank or a quote.
  if (s[close - 1] == u'/') {
    const uint32_t slash = close - 1;
    const char16_t before = s[slash - 1];
    node.emptyElement = slash == nameEnd || IsXmlBlank(before) || before == u'"' || before == u'\'';
  }
  if (node.length > ElementRecord::kMaxStartTag) {
    return FailNode(node, kNodeMalformed, ScanError::kElementTagTooLong, end);
  }
  return end;
}

inline uint32_t ScanEndTag(const char16_t* s, uint32_t n, ScannedNode& node) {
  const uint32_t nameEnd = FindClass(s, node.start + 2, n, kNodeNameEnd);
  node.nameStart = node.start + 2;
  node.nameLength = nameEnd - node.nameStart;
  const uint32_t close =
      nameEnd < n && s[nameEnd] == u'>' ? nameEnd : FindChar(s, nameEnd, n, u'>');
  if (close >= n) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedEndTag, n);
  const uint32_t end = close + 1;
  node.kind = kNodeEndTag;
  node.length = end - node.start;
  if (node.length > ElementRecord::kMaxEndTag) {
    return FailNode(node, kNodeMalformed, ScanError::kElementTagTooLong, end);
  }
  return end;
}

}  // namespace scan_detail

// Scans the node that begins at `pos` of `text` and returns the offset after it.
[[gnu::always_inline]] inline uint32_t ScanNode(std::u16string_view text, uint32_t pos,
                                                ScannedNode& node) {
  const char16_t* s = text.data();
  const auto n = static_cast<uint32_t>(text.size());
  node = ScannedNode{};
  node.start = pos;
  if (pos + 2 < n && s[pos] == u'<') {
    if (StartsTagName(s[pos + 1])) return scan_detail::ScanStartTag(s, n, node);
    if (s[pos + 1] == u'/') return scan_detail::ScanEndTag(s, n, node);
  }
  return ScanOtherNode(text, pos, node);
}

// The status text of a scan error, with the offset of the node.
std::u16string ScanErrorMessage(ScanError error, uint32_t offset);

// Small helpers for status texts: ASCII literal and decimal number to UTF-16.
void AppendAscii(std::u16string& out, std::string_view ascii);
void AppendNumber(std::u16string& out, uint64_t value);

}  // namespace lumatrove
