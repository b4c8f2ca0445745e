// NodeScanner: classifies the next markup node of a UTF-16 text. Used by the parse, by GetText
// and by the fragment parse of AddSubDocument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// The first offset in [i, n) holding `c`, or n.
inline uint32_t FindChar(const char16_t* s, uint32_t i, uint32_t n, char16_t c) {
#if defined(__SSE2__)
  const __m128i vc = _mm_set1_epi16(static_cast<short>(c));
  while (i + 8 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(v, vc));
    if (mask != 0) {
      return i + (static_cast<uint32_t>(__builtin_ctz(static_cast<unsigned>(mask))) >> 1);
    }
    i += 8;
  }
#endif
  while (i < n && s[i] != c)
    ++i;
  return i;
}

// Space, tab, LF and CR.
inline bool IsXmlBlank(char16_t c) {
  return c <= 0x20 &&
         ((uint64_t{1} << c) & ((1ull << 0x20) | (1ull << 9) | (1ull << 10) | (1ull << 13))) != 0;
}

// The first offset in [i, n) holding `a` or `b`, or n. Runs of markup and text are scanned
// eight units at a time where SSE2 is available.
inline uint32_t FindEither(const char16_t* s, uint32_t i, uint32_t n, char16_t a, char16_t b) {
#if defined(__SSE2__)
  const __m128i va = _mm_set1_epi16(static_cast<short>(a));
  const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
  while (i + 8 <= n) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb)));
    if (mask != 0) {
      return i + (static_cast<uint32_t>(__builtin_ctz(static_cast<unsigned>(mask))) >> 1);
    }
    i += 8;
  }
#endif
  while (i < n && s[i] != a && s[i] != b)
    ++i;
  return i;
}

inline bool StartsTagName(char16_t c) {
  return (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c > 0x60;
}

// Blank, '/' or '>' end the name of a node; all are below 64, so one mask decides.
inline bool EndsNodeName(char16_t c) {
  constexpr uint64_t kEnds =
      (1ull << 0x20) | (1ull << 9) | (1ull << 10) | (1ull << 13) | (1ull << '/') | (1ull << '>');
  return c < 64 && ((kEnds >> c) & 1) != 0;
}

// The first offset in [i, n) where a node name ends, or n.
inline uint32_t FindNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi16(0x20);
  const __m128i slash = _mm_set1_epi16(u'/');
  const __m128i gt = _mm_set1_epi16(u'>');
  const __m128i zero = _mm_setzero_si128();
  // Units up to 0x20 (blanks and other controls), '/' and '>'; controls are sorted out below.
  auto candidates = [&](const char16_t* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(v, space), zero);
    return static_cast<unsigned>(_mm_movemask_epi8(
        _mm_or_si128(low, _mm_or_si128(_mm_cmpeq_epi16(v, slash), _mm_cmpeq_epi16(v, gt)))));
  };
  while (i + 16 <= n) {
    unsigned mask = candidates(s + i) | (candidates(s + i + 8) << 16);
    while (mask != 0) {
      const uint32_t j = i + (static_cast<uint32_t>(__builtin_ctz(mask)) >> 1);
      if (EndsNodeName(s[j])) return j;
      mask &= ~(3u << (2 * (j - i)));
    }
    i += 16;
  }
#endif
  while (i < n && !EndsNodeName(s[i]))
    ++i;
  return i;
}

#if defined(__SSE2__)
// The 32 units at `p` narrowed to bytes: ASCII units keep their value, every other unit
// becomes 0 or 0xFF, neither of which the scans look for.
struct Bytes32 {
  __m128i low, high;
  explicit Bytes32(const char16_t* p) {
    const __m128i* v = reinterpret_cast<const __m128i*>(p);
    low = _mm_packus_epi16(_mm_loadu_si128(v), _mm_loadu_si128(v + 1));
    high = _mm_packus_epi16(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3));
  }
  // One bit per unit that equals `c`.
  uint32_t Mask(char c) const {
    const __m128i v = _mm_set1_epi8(c);
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, v))) |
           (static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, v))) << 16);
  }
};

// The offset of the closing '>' of a start tag whose attributes from `from` on are all
// written name="value" (no blanks around '=', double quotes), found 32 units at a time:
// with that shape every '"' opens or closes a value, so a running parity of quotes tells
// which units lie inside values. Returns 0 when the tag has another shape or the text ends
// first; the caller then scans the tag unit by unit.
inline uint32_t FindQuotedTagEnd(const char16_t* s, uint32_t from, uint32_t n) {
  uint32_t insideIn = 0;  // all ones when a value runs on from the previous block
  uint32_t equalsIn = 0;  // 1 when the previous block ended with an '=' outside values
  for (uint32_t i = from; i + 32 <= n; i += 32) {
    const Bytes32 block(s + i);
    const uint32_t quotes = block.Mask('"');
    uint32_t inside = quotes;  // parity of the quotes up to and including each unit
    inside ^= inside << 1;
    inside ^= inside << 2;
    inside ^= inside << 4;
    inside ^= inside << 8;
    inside ^= inside << 16;
    inside ^= insideIn;
    const uint32_t opening = quotes & inside;
    const uint32_t eq = block.Mask('=') & ~inside;
    const uint32_t end = block.Mask('>') & ~inside;
    // Units up to and including the first '>' outside values.
    const uint32_t upto = end == 0 ? ~0u : (end ^ (end - 1));
    // Every '=' must be followed directly by an opening quote and every opening quote must
    // follow an '='; anything else (blanks, apostrophes, unquoted values) is left to the
    // exact scan.
    if (((((eq << 1) | equalsIn) ^ opening) & upto) != 0) return 0;
    if (end != 0) return i + static_cast<uint32_t>(__builtin_ctz(end));
    insideIn = static_cast<uint32_t>(static_cast<int32_t>(inside) >> 31);
    equalsIn = eq >> 31;
  }
  return 0;
}
#endif

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
    ++i;
    while (i < n && IsXmlBlank(s[i]))
      ++i;
    if (i < n && (s[i] == u'"' || s[i] == u'\'')) {
      i = FindChar(s, i + 1, n, s[i]);
      if (i >= n) return 0;
      ++i;
    }
  }
}

// Scans the start tag whose '<' is at `pos` (a name character follows it). Returns the offset
// after its closing '>', or 0 when the text ends inside it; `nameEnd` is where the name ends,
// `empty` tells an empty-element tag.
inline uint32_t ScanStartTagAt(const char16_t* s, uint32_t pos, uint32_t n, uint32_t& nameEnd,
                               bool& empty) {
  uint32_t i = FindNameEnd(s, pos + 1, n);
  nameEnd = i;
  if (i < n && s[i] == u'>') {  // no attributes: the common case
    empty = false;
    return i + 1;
  }
#if defined(__SSE2__)
  if (const uint32_t close = FindQuotedTagEnd(s, i, n); close != 0) {
    i = close;
  } else
#endif
  {
    i = ScanAttributesTo(s, i, n);
    if (i == 0) return 0;
  }
  empty = false;
  if (s[i - 1] == u'/') {
    const uint32_t slash = i - 1;
    const char16_t before = s[slash - 1];
    empty = slash == nameEnd || IsXmlBlank(before) || before == u'"' || before == u'\'';
  }
  return i + 1;
}

// Scans the end tag whose '<' is at `pos` (s[pos + 1] is '/', and pos + 2 < n). Returns the
// offset after its '>', or 0 when the text ends inside it.
inline uint32_t ScanEndTagAt(const char16_t* s, uint32_t pos, uint32_t n, uint32_t& nameEnd) {
  uint32_t i = FindNameEnd(s, pos + 2, n);
  nameEnd = i;
  if (i < n && s[i] != u'>') i = FindChar(s, i, n, u'>');
  return i < n ? i + 1 : 0;
}

// Scans the node that begins at `pos` of `text` and returns the offset after it.
uint32_t ScanNode(std::u16string_view text, uint32_t pos, ScannedNode& node);

// The status text of a scan error, with the offset of the node.
std::u16string ScanErrorMessage(ScanError error, uint32_t offset);

// Small helpers for status texts: ASCII literal and decimal number to UTF-16.
void AppendAscii(std::u16string& out, std::string_view ascii);
void AppendNumber(std::u16string& out, uint64_t value);

}  // namespace lumatrove
