// Small helpers between UTF-16 text and ASCII that several parts of the program use: numbers
// as text, blanks taken off, and comparisons that fold the case of ASCII letters only.
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

// `text` without the blanks and tabs around it.
inline std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
    text.remove_suffix(1);
  return text;
}

// A number as decimal text, as "%ld" writes it.
inline std::u16string DecimalText(int64_t value) {
  const std::string s = std::to_string(value);
  return std::u16string(s.begin(), s.end());
}

// Six bytes as "%02x" joined by `separator` ("00:0c:29:4c:00:01"): a hardware address.
inline std::u16string HardwareAddressText(const uint8_t* bytes, char16_t separator) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text;
  for (int i = 0; i < 6; ++i) {
    if (i > 0) text += separator;
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0xF];
  }
  return text;
}

// The last two decimal digits of a number from 0 up, as "%02d" writes numbers below 100.
inline void AppendTwoDigits(std::u16string& text, int value) {
  text += static_cast<char16_t>(u'0' + value / 10 % 10);
  text += static_cast<char16_t>(u'0' + value % 10);
}

// An ASCII capital letter as its small letter; every other unit as it is.
inline char16_t LowerAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Equal but for the case of ASCII letters (adapter GUIDs are written in either case).
inline bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// `text` begins with `prefix`, but for the case of ASCII letters ("HTTP://" is "http://").
inline bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace lumatrove
