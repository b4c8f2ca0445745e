// Small conversions between UTF-16 and ASCII text used by several parts of the program.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumatrove {

// The text in 8-bit form for messages and journals: every unit outside ASCII becomes '?'.
inline std::string NarrowAscii(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text)
    out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

// A number as decimal text, as "%ld" writes it.
inline std::u16string DecimalText(int64_t value) {
  const std::string s = std::to_string(value);
  return std::u16string(s.begin(), s.end());
}

}  // namespace lumatrove
