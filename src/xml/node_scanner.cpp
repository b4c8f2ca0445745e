#include "xml/node_scanner.h"

namespace lumatrove {

using scan_detail::FailNode;

namespace {

// Finds the first '>' at or after `from` that is preceded by `tail` (one or two characters
// that must lie at or after `earliest`). Returns the offset after it, or 0 when there is none.
uint32_t FindTerminator(const char16_t* s, uint32_t n, uint32_t from, uint32_t earliest,
                        char16_t tail, bool twice) {
  for (uint32_t i = from; i < n; ++i) {
    if (s[i] != u'>') continue;
    if (i - 1 < earliest || s[i - 1] != tail) continue;
    if (twice && (i - 2 < earliest || s[i - 2] != tail)) continue;
    return i + 1;
  }
  return 0;
}

// A '>' outside double-quote or apostrophe quotes, as in declarations.
uint32_t FindDeclarationEnd(const char16_t* s, uint32_t n, uint32_t from) {
  char16_t quote = 0;
  for (uint32_t i = from; i < n; ++i) {
    const char16_t c = s[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'>') {
      return i + 1;
    }
  }
  return 0;
}

// Tracks the quotes of a start tag: an '=' arms value mode, a quote in value mode opens a
// quoted value, any other non-blank disarms it.
struct TagQuotes {
  bool valueMode = false;
  char16_t quote = 0;

  // Returns true when `c` at `i` lies outside quotes and is not consumed by the tracking.
  bool Outside(const char16_t* s, uint32_t i) {
    const char16_t c = s[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
      return false;
    }
    if (c == u'=' && s[i - 1] != u'=') {
      valueMode = true;
      return false;
    }
    if (valueMode && !IsXmlBlank(c)) {
      valueMode = false;
      if (c == u'"' || c == u'\'') {
        quote = c;
        return false;
      }
    }
    return true;
  }
};

uint32_t ScanMalformed(const char16_t* s, uint32_t n, ScannedNode& node, ScanError error) {
  TagQuotes quotes;
  for (uint32_t i = node.start + 1; i < n; ++i) {
    if (!quotes.Outside(s, i)) continue;
    if (s[i] == u'<') return FailNode(node, kNodeMalformed, error, i);
    if (s[i] == u'>') return FailNode(node, kNodeMalformed, error, i + 1);
  }
  return FailNode(node, kNodeMalformed, ScanError::kUnterminatedTag, n);
}

uint32_t ScanDoctype(const char16_t* s, uint32_t n, ScannedNode& node) {
  uint32_t i = node.start + 3;
  while (i < n) {
    const char16_t c = s[i];
    if (c == u'>') {
      node.kind = kNodeDoctype;
      node.length = i + 1 - node.start;
      return i + 1;
    }
    if (c == u'<' && i + 1 < n && s[i + 1] == u'!') {
      // Comments and declarations inside are stepped over: their '>' does not end the DOCTYPE.
      uint32_t after;
      if (i + 3 < n && s[i + 2] == u'-' && s[i + 3] == u'-') {
        after = FindTerminator(s, n, i + 4, i + 2, u'-', true);
      } else {
        after = FindDeclarationEnd(s, n, i + 2);
      }
      if (after == 0) break;
      i = after;
      continue;
    }
    ++i;
  }
  return FailNode(node, kNodeMalformed, ScanError::kUnterminatedDoctype, n);
}

uint32_t ScanBang(const char16_t* s, uint32_t n, ScannedNode& node) {
  const uint32_t pos = node.start;
  if (pos + 2 >= n) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedTag, n);
  const char16_t c = s[pos + 2];
  if (c == u'-') {
    if (pos + 3 >= n) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedComment, n);
    if (s[pos + 3] != u'-') return ScanMalformed(s, n, node, ScanError::kIncorrectCommentTag);
    const uint32_t end = FindTerminator(s, n, pos + 4, pos + 2, u'-', true);
    if (end == 0) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedComment, n);
    node.kind = kNodeComment;
    node.length = end - pos;
    return end;
  }
  if (c == u'[') {
    if (pos + 3 >= n) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedCData, n);
    if (s[pos + 3] != u'C') return ScanMalformed(s, n, node, ScanError::kIncorrectTag);
    const uint32_t end = FindTerminator(s, n, pos + 4, pos + 3, u']', true);
    if (end == 0) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedCData, n);
    node.kind = kNodeCData;
    node.length = end - pos;
    return end;
  }
  if (c == u'D') return ScanDoctype(s, n, node);
  if (c == u'E' || c == u'A' || c == u'N') {
    const uint32_t end = FindDeclarationEnd(s, n, pos + 2);
    if (end == 0) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedDoctype, n);
    node.kind = kNodeDoctype;
    node.length = end - pos;
    return end;
  }
  return ScanMalformed(s, n, node, ScanError::kIncorrectBangTag);
}

}  // namespace

uint32_t ScanOtherNode(std::u16string_view text, uint32_t pos, ScannedNode& node) {
  const char16_t* s = text.data();
  const uint32_t n = static_cast<uint32_t>(text.size());
  node = ScannedNode{};
  node.start = pos;
  if (pos >= n) return pos;

  uint32_t i = pos;
  if (s[i] != u'<') {
    if (IsXmlBlank(s[i])) {
      i = SkipBlanks(s, i, n);
      if (i >= n || s[i] == u'<') {
        node.kind = kNodeBlank;
        node.length = i - pos;
        return i;
      }
    }
    i = FindEither(s, i, n, u'<', u'>');
    if (i < n && s[i] == u'>') ++i;
    node.kind = kNodeText;
    node.length = i - pos;
    return i;
  }

  if (pos + 1 >= n) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedTag, n);
  const char16_t c = s[pos + 1];
  if (StartsTagName(c)) return scan_detail::ScanStartTag(s, n, node);
  if (c == u'/') {
    if (pos + 2 >= n) return FailNode(node, kNodeMalformed, ScanError::kUnterminatedEndTag, n);
    return scan_detail::ScanEndTag(s, n, node);
  }
  if (c == u'?') {
    node.nameStart = pos + 2;
    node.nameLength = FindClass(s, pos + 2, n, kNodeNameEnd) - node.nameStart;
    const uint32_t end = FindTerminator(s, n, pos + 2, pos + 1, u'?', false);
    if (end == 0) {
      return FailNode(node, kNodeMalformed, ScanError::kUnterminatedProcessingInstruction, n);
    }
    node.kind = kNodeProcessingInstruction;
    node.length = end - pos;
    return end;
  }
  if (c == u'!') return ScanBang(s, n, node);
  return ScanMalformed(s, n, node, ScanError::kIncorrectTagNameCharacter);
}

void AppendAscii(std::u16string& out, std::string_view ascii) {
  for (char c : ascii)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
}

void AppendNumber(std::u16string& out, uint64_t value) {
  char digits[24];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0)
    out.push_back(static_cast<char16_t>(digits[--n]));
}

std::u16string ScanErrorMessage(ScanError error, uint32_t offset) {
  std::string_view incorrect;
  std::string_view unterminated;
  switch (error) {
    case ScanError::kNone:
      return {};
    case ScanError::kIncorrectTagNameCharacter:
      incorrect = "tag name character";
      break;
    case ScanError::kIncorrectCommentTag:
      incorrect = "comment tag";
      break;
    case ScanError::kIncorrectTag:
      incorrect = "tag";
      break;
    case ScanError::kIncorrectBangTag:
      incorrect = "! tag";
      break;
    case ScanError::kUnterminatedDoctype:
      unterminated = "Doctype";
      break;
    case ScanError::kUnterminatedElementTag:
      unterminated = "Element tag";
      break;
    case ScanError::kUnterminatedEndTag:
      unterminated = "Element end tag";
      break;
    case ScanError::kUnterminatedCData:
      unterminated = "CDATA Section";
      break;
    case ScanError::kUnterminatedProcessingInstruction:
      unterminated = "Processing instruction";
      break;
    case ScanError::kUnterminatedComment:
      unterminated = "Comment";
      break;
    case ScanError::kUnterminatedTag:
      unterminated = "tag";
      break;
    case ScanError::kElementTagTooLong: {
      std::u16string m = u"Element tag at offset ";
      AppendNumber(m, offset);
      AppendAscii(m, " too long");
      return m;
    }
  }
  std::u16string m;
  if (!incorrect.empty()) {
    AppendAscii(m, "Incorrect ");
    AppendAscii(m, incorrect);
    AppendAscii(m, " at offset ");
    AppendNumber(m, offset);
  } else {
    AppendAscii(m, unterminated);
    AppendAscii(m, " at offset ");
    AppendNumber(m, offset);
    AppendAscii(m, " unterminated");
  }
  return m;
}

}  // namespace lumatrove
