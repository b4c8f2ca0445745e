// Limits and small helpers shared by the parts of XmlDocument.
#pragma once

#include <cstdint>
#include <string_view>

#include "xml/char_scan.h"
#include "xml/node_scanner.h"

namespace lumatrove {

// Offsets in the element index are 32-bit; documents stay below this many units.
constexpr uint32_t kMaxDocumentUnits = 0xFFFFFF00u;

// Equality of two texts, such as a tag's name and an end tag's: the names are short, and a loop
// in place costs less than a call.
inline bool SameText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

inline bool IsTagNameEnd(char16_t c) {
  return InClass(c, kTagNameEnd);
}

// Where a tag name read for navigation, or an attribute name, ends.
inline uint32_t FindTagNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
  return FindClass(s, i, n, kTagNameEnd);
}
inline uint32_t FindAttributeNameEnd(const char16_t* s, uint32_t i, uint32_t n) {
  return FindClass(s, i, n, kAttributeNameEnd);
}

}  // namespace lumatrove
