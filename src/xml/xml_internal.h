// Character classes and limits shared by the parts of XmlDocument.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "xml/node_scanner.h"

namespace lumatrove {

// Offsets in the element index are 32-bit; documents stay below this many units.
constexpr uint32_t kMaxDocumentUnits = 0xFFFFFF00u;

// Equality of two texts by memory comparison (char_traits<char16_t> compares unit by unit).
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || (a[0] == b[0] && std::memcmp(a.data(), b.data(), a.size() * 2) == 0));
}

// Tag names as read for navigation end at these characters.
inline bool IsTagNameEnd(char16_t c) {
  constexpr uint64_t kLow = (1ull << ' ') | (1ull << '\t') | (1ull << '\n') | (1ull << '\r') |
                            (1ull << '<') | (1ull << '>') | (1ull << '=') | (1ull << '/') |
                            (1ull << '?') | (1ull << '!');
  return c < 64 ? ((kLow >> c) & 1) != 0 : c == u'\\';
}

// Attribute names in the attribute lookup end at these characters.
inline bool IsAttributeNameEnd(char16_t c) {
  constexpr uint64_t kEnds = (1ull << '=') | (1ull << ' ') | (1ull << '\t') | (1ull << '\n') |
                             (1ull << '\r') | (1ull << '>') | (1ull << '/') | (1ull << '?');
  return c < 64 && ((kEnds >> c) & 1) != 0;
}

#if defined(__SSE2__)
// One bit pair per unit of the eight at `p` that is at most `upTo`, equals `a` or `b`, or lies
// in [low, low + span]: a superset of a name-ending class, checked exactly afterwards.
inline unsigned NameEndCandidates(const char16_t* p, char16_t upTo, char16_t a, char16_t b,
                                  char16_t low, char16_t span) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i zero = _mm_setzero_si128();
  const __m128i small =
      _mm_cmpeq_epi16(_mm_subs_epu16(v, _mm_set1_epi16(static_cast<short>(upTo))), zero);
  const __m128i range =
      _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, _mm_set1_epi16(static_cast<short>(low))),
                                     _mm_set1_epi16(static_cast<short>(span))),
                      zero);
  const __m128i either = _mm_or_si128(_mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(a))),
                                      _mm_cmpeq_epi16(v, _mm_set1_epi16(static_cast<short>(b))));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(small, range), either)));
}
#endif

// The first offset in [i, n) whose unit `ends` accepts, eight units at a time where SSE2 is
// available: the units that NameEndCandidates reports for the class's parameters (a superset
// of the class) are checked with `ends` one by one.
template <char16_t UpTo, char16_t A, char16_t B, char16_t Low, char16_t Span, typename Ends>
inline uint32_t FindNameEndBy(const char16_t* s, uint32_t i, uint32_t n, Ends ends) {
#if defined(__SSE2__)
  while (i + 8 <= n) {
    unsigned mask = NameEndCandidates(s + i, UpTo, A, B, Low, Span);
    while (mask != 0) {
      const uint32_t j = i + (static_cast<uint32_t>(__builtin_ctz(mask)) >> 1);
      if (ends(s[j])) return j;
      mask &= ~(3u << (2 * (j - i)));
    }
    i += 8;
  }
#endif
  while (i < n && !ends(s[i]))
    ++i;
  return i;
}

// Where a tag name read for navigation ends: blanks, < > = / ? ! and the backslash
// (candidates: units up to '!', '/', the backslash and '<'..'?').
inline uint32_t FindTagNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
  return FindNameEndBy<u'!', u'/', u'\\', u'<', 3>(s, i, n, IsTagNameEnd);
}

// Where an attribute name ends: blanks, = > / ? (candidates: up to ' ', '/' and '='..'?').
inline uint32_t FindAttributeNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
  return FindNameEndBy<u' ', u'/', u'/', u'=', 2>(s, i, n, IsAttributeNameEnd);
}

}  // namespace lumatrove
