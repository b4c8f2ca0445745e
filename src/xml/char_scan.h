// The character classes of the XML engine and every scan of a text for a character or a class
// of characters. The parser, the navigation and the readers call these plain functions only;
// where SSE2 is available (and the build does not switch it off with LUMATROVE_NO_SIMD), the
// searches for one or two characters and the run of ASCII bytes in a UTF-8 file go eight or
// sixteen units at a time, with the same results as the plain loops below them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) && !defined(LUMATROVE_NO_SIMD)
#define LUMATROVE_XML_SSE2 1
#include <emmintrin.h>
#endif

namespace lumatrove {

// Classes of the units below 128; a unit from 128 up belongs to kNameStart only.
enum CharClass : uint8_t {
  kBlank = 1,             // space, tab, LF, CR
  kNodeNameEnd = 2,       // ends a tag's name in the parse: blanks, '/', '>'
  kTagNameEnd = 4,        // ends a tag name read for navigation: blanks, < > = / ? ! '\'
  kAttributeNameEnd = 8,  // ends an attribute name: blanks, = > / ?
  kNameStart = 16,        // may follow '<' to begin a start tag: A-Z, '_', ':', from 'a' up
  kValueEnd = 32,         // ends an unquoted attribute value: blanks, '>'
};

// The table of the classes, one entry per unit below 128.
constexpr std::array<uint8_t, 128> MakeCharClasses() {
  std::array<uint8_t, 128> t{};
  auto add = [&t](const char* units, uint8_t classes) {
    for (; *units != '\0'; ++units)
      t[static_cast<unsigned char>(*units)] |= classes;
  };
  add(" \t\n\r", kBlank | kNodeNameEnd | kTagNameEnd | kAttributeNameEnd | kValueEnd);
  add(">", kValueEnd);
  add("/>", kNodeNameEnd);
  add("<>=/?!\\", kTagNameEnd);
  add("=>/?", kAttributeNameEnd);
  for (char c = 'A'; c <= 'Z'; ++c)
    t[static_cast<unsigned char>(c)] |= kNameStart;
  add("_:", kNameStart);
  for (int c = 'a'; c < 128; ++c)
    t[static_cast<size_t>(c)] |= kNameStart;
  return t;
}
inline constexpr std::array<uint8_t, 128> kCharClasses = MakeCharClasses();

inline bool InClass(char16_t c, CharClass k) {
  return c < 128 ? (kCharClasses[c] & k) != 0 : k == kNameStart;
}
inline bool IsXmlBlank(char16_t c) {
  return InClass(c, kBlank);
}
inline bool StartsTagName(char16_t c) {
  return InClass(c, kNameStart);
}

// Every class but kNameStart lies below '@' (0x40) or is the backslash, so that a search for
// one passes over any other unit, such as the letters of a name, without a look at the table.
constexpr bool OtherClassesLieLow() {
  for (size_t c = 0x40; c < kCharClasses.size(); ++c) {
    if ((kCharClasses[c] & ~kNameStart) != 0 && c != '\\') return false;
  }
  return true;
}
static_assert(OtherClassesLieLow());

// The first offset in [i, n) whose unit is in class `k` (not kNameStart), or n.
inline uint32_t FindClass(const char16_t* s, uint32_t i, uint32_t n, CharClass k) {
  for (; i < n; ++i) {
    const char16_t c = s[i];
    if ((c < 0x40 || c == u'\\') && InClass(c, k)) break;
  }
  return i;
}

// The first offset in [i, n) that is not a blank, or n.
inline uint32_t SkipBlanks(const char16_t* s, uint32_t i, uint32_t n) {
  while (i < n && IsXmlBlank(s[i]))
    ++i;
  return i;
}

// How many units the searches below look at one by one before they go block by block: what
// they look for is often that close (the '<' after a line break, the end of a short name).
inline constexpr uint32_t kNearUnits = 4;

// The first offset in [i, n) holding `c`, or n.
inline uint32_t FindChar(const char16_t* s, uint32_t i, uint32_t n, char16_t c) {
#if LUMATROVE_XML_SSE2
  for (const uint32_t near = n - i < kNearUnits ? n : i + kNearUnits; i < near; ++i) {
    if (s[i] == c) return i;
  }
  const __m128i vc = _mm_set1_epi16(static_cast<short>(c));
  for (; i + 8 <= n; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, vc)));
    if (mask != 0) return i + (static_cast<uint32_t>(__builtin_ctz(mask)) >> 1);
  }
#endif
  while (i < n && s[i] != c)
    ++i;
  return i;
}

// The first offset in [i, n) holding `a` or `b`, or n.
inline uint32_t FindEither(const char16_t* s, uint32_t i, uint32_t n, char16_t a, char16_t b) {
#if LUMATROVE_XML_SSE2
  for (const uint32_t near = n - i < kNearUnits ? n : i + kNearUnits; i < near; ++i) {
    if (s[i] == a || s[i] == b) return i;
  }
  const __m128i va = _mm_set1_epi16(static_cast<short>(a));
  const __m128i vb = _mm_set1_epi16(static_cast<short>(b));
  for (; i + 8 <= n; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb))));
    if (mask != 0) return i + (static_cast<uint32_t>(__builtin_ctz(mask)) >> 1);
  }
#endif
  while (i < n && s[i] != a && s[i] != b)
    ++i;
  return i;
}

// How many of the `count` bytes are ASCII other than the zero byte before the first byte that
// is not; with `out`, they are also written there as UTF-16 units.
inline size_t WidenAsciiRun(const unsigned char* bytes, size_t count, char16_t* out) {
  size_t i = 0;
#if LUMATROVE_XML_SSE2
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= count; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
    if ((_mm_movemask_epi8(v) | _mm_movemask_epi8(_mm_cmpeq_epi8(v, zero))) != 0) break;
    if (out != nullptr) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
    }
  }
#endif
  for (; i < count && bytes[i] != 0 && bytes[i] < 0x80; ++i) {
    if (out != nullptr) out[i] = bytes[i];
  }
  return i;
}

}  // namespace lumatrove
