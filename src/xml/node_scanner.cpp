#include "xml/node_scanner.h"

#include "xml/element_index.h"

namespace lumatrove {

namespace {

uint32_t Fail(ScannedNode& node, int kind, ScanError error, uint32_t end) {
  node.kind = kind;
  node.error = error;
  node.length = end - node.start;
  return end;
}

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
    if (s[i] == u'<') return Fail(node, kNodeMalformed, error, i);
    if (s[i] == u'>') return Fail(node, kNodeMalformed, error, i + 1);
  }
  return Fail(node, kNodeMalformed, ScanError::kUnterminatedTag, n);
}

// Scans the attributes of a start tag from `i` (just after its name) to its closing '>' and
// returns that offset, or 0 when the text ends inside the tag. Only '=' and '>' matter
// outside quotes: an '=' (not directly after another '=') followed by blanks and a quote
// opens a quoted value; any other character after it starts an unquoted value, which is
// scanned like the rest of the tag.
uint32_t ScanAttributesTo(const char16_t* s, uint32_t i, uint32_t n) {
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

uint32_t ScanStartTag(const char16_t* s, uint32_t n, ScannedNode& node) {
  const uint32_t nameEnd = FindClass(s, node.start + 1, n, kNodeNameEnd);
  node.nameStart = node.start + 1;
  node.nameLength = nameEnd - node.nameStart;
  const uint32_t close = nameEnd < n && s[nameEnd] == u'>' ? nameEnd : ScanAttributesTo(s, nameEnd, n);
  if (close == 0) return Fail(node, kNodeMalformed, ScanError::kUnterminatedElementTag, n);
  const uint32_t end = close + 1;
  node.kind = kNodeStartTag;
  node.length = end - node.start;
  // "<a/>", "<a />", "<a x='1'/>": the '/' ends the name or follows a blank or a quote.
  if (s[close - 1] == u'/') {
    const uint32_t slash = close - 1;
    const char16_t before = s[slash - 1];
    node.emptyElement =
        slash == nameEnd || IsXmlBlank(before) || before == u'"' || before == u'\'';
  }
  if (node.length > ElementRecord::kMaxStartTag) {
    return Fail(node, kNodeMalformed, ScanError::kElementTagTooLong, end);
  }
  return end;
}

uint32_t ScanEndTag(const char16_t* s, uint32_t n, ScannedNode& node) {
  const uint32_t nameEnd = FindClass(s, node.start + 2, n, kNodeNameEnd);
  node.nameStart = node.start + 2;
  node.nameLength = nameEnd - node.nameStart;
  const uint32_t close = FindChar(s, nameEnd, n, u'>');
  if (close >= n) return Fail(node, kNodeMalformed, ScanError::kUnterminatedEndTag, n);
  const uint32_t end = close + 1;
  node.kind = kNodeEndTag;
  node.length = end - node.start;
  if (node.length > ElementRecord::kMaxEndTag) {
    return Fail(node, kNodeMalformed, ScanError::kElementTagTooLong, end);
  }
  return end;
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
  return Fail(node, kNodeMalformed, ScanError::kUnterminatedDoctype, n);
}

uint32_t ScanBang(const char16_t* s, uint32_t n, ScannedNode& node) {
  const uint32_t pos = node.start;
  if (pos + 2 >= n) return Fail(node, kNodeMalformed, ScanError::kUnterminatedTag, n);
  const char16_t c = s[pos + 2];
  if (c == u'-') {
    if (pos + 3 >= n) return Fail(node, kNodeMalformed, ScanError::kUnterminatedComment, n);
    if (s[pos + 3] != u'-') return ScanMalformed(s, n, node, ScanError::kIncorrectCommentTag);
    const uint32_t end = FindTerminator(s, n, pos + 4, pos + 2, u'-', true);
    if (end == 0) return Fail(node, kNodeMalformed, ScanError::kUnterminatedComment, n);
    node.kind = kNodeComment;
    node.length = end - pos;
    return end;
  }
  if (c == u'[') {
    if (pos + 3 >= n) return Fail(node, kNodeMalformed, ScanError::kUnterminatedCData, n);
    if (s[pos + 3] != u'C') return ScanMalformed(s, n, node, ScanError::kIncorrectTag);
    const uint32_t end = FindTerminator(s, n, pos + 4, pos + 3, u']', true);
    if (end == 0) return Fail(node, kNodeMalformed, ScanError::kUnterminatedCData, n);
    node.kind = kNodeCData;
    node.length = end - pos;
    return end;
  }
  if (c == u'D') return ScanDoctype(s, n, node);
  if (c == u'E' || c == u'A' || c == u'N') {
    const uint32_t end = FindDeclarationEnd(s, n, pos + 2);
    if (end == 0) return Fail(node, kNodeMalformed, ScanError::kUnterminatedDoctype, n);
    node.kind = kNodeDoctype;
    node.length = end - pos;
    return end;
  }
  return ScanMalformed(s, n, node, ScanError::kIncorrectBangTag);
}

}  // namespace

uint32_t ScanNode(std::u16string_view text, uint32_t pos, ScannedNode& node) {
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

  if (pos + 1 >= n) return Fail(node, kNodeMalformed, ScanError::kUnterminatedTag, n);
  const char16_t c = s[pos + 1];
  if (StartsTagName(c)) return ScanStartTag(s, n, node);
  if (c == u'/') {
    if (pos + 2 >= n) return Fail(node, kNodeMalformed, ScanError::kUnterminatedEndTag, n);
    return ScanEndTag(s, n, node);
  }
  if (c == u'?') {
    node.nameStart = pos + 2;
    node.nameLength = FindClass(s, pos + 2, n, kNodeNameEnd) - node.nameStart;
    const uint32_t end = FindTerminator(s, n, pos + 2, pos + 1, u'?', false);
    if (end == 0) {
      return Fail(node, kNodeMalformed, ScanError::kUnterminatedProcessingInstruction, n);
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
