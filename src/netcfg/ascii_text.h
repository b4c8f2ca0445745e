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

// Equal but for the case of ASCII letters (adapter GUIDs are written in either case).
inline bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  auto lower = [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

}  // namespace lumatrove
