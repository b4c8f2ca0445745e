// Character classes and limits shared by the parts of XmlDocument.
#pragma once

#include <cstdint>

#include "xml/node_scanner.h"

namespace lumatrove {

// Offsets in the element index are 32-bit; documents stay below this many units.
constexpr uint32_t kMaxDocumentUnits = 0xFFFFFF00u;

// Tag names as read for navigation end at these characters.
inline bool IsTagNameEnd(char16_t c) {
  return IsXmlBlank(c) || c == u'<' || c == u'>' || c == u'=' || c == u'\\' || c == u'/' ||
         c == u'?' || c == u'!';
}

// Attribute names in the attribute lookup end at these characters.
inline bool IsAttributeNameEnd(char16_t c) {
  constexpr uint64_t kEnds = (1ull << '=') | (1ull << ' ') | (1ull << '\t') | (1ull << '\n') |
                             (1ull << '\r') | (1ull << '>') | (1ull << '/') | (1ull << '?');
  return c < 64 && ((kEnds >> c) & 1) != 0;
}

}  // namespace lumatrove
