// Limits and small helpers shared by the parts of XmlDocument.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "xml/char_scan.h"
#include "xml/node_scanner.h"

namespace lumatrove {

// Offsets in the element index are 32-bit; documents stay below this many units.
constexpr uint32_t kMaxDocumentUnits = 0xFFFFFF00u;

// Equality of two texts by memory comparison (char_traits<char16_t> compares unit by unit).
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0);
}

inline bool IsTagNameEnd(char16_t c) { return InClass(c, kTagNameEnd); }

// Where a tag name read for navigation, or an attribute name, ends.
inline uint32_t FindTagNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
  return FindClass(s, i, n, kTagNameEnd);
}
inline uint32_t FindAttributeNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
  return FindClass(s, i, n, kAttributeNameEnd);
}

}  // namespace lumatrove
