#include "ui/model/command_line.h"

namespace lumatrove {

std::u16string_view ArgumentsOf(std::u16string_view line) {
  size_t i = 0;
  if (!line.empty() && line[0] == u'"') {
    const size_t close = line.find(u'"', 1);
    i = close == std::u16string_view::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && line[i] != u' ' && line[i] != u'\t')
      ++i;
  }
  while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
    ++i;
  return line.substr(i);
}

std::u16string LowerCase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 32;
  }
  return out;
}

std::u16string ProfileIdArgument(std::u16string_view arguments) {
  const std::u16string lower = LowerCase(arguments);
  const size_t at = lower.find(u"-n");
  if (at == std::u16string::npos) return {};
  const size_t start = at + 2;
  const size_t blank = lower.find(u' ', start);
  return lower.substr(start, blank == std::u16string::npos ? std::u16string::npos : blank - start);
}

bool HasHideSwitch(std::u16string_view arguments) {
  return LowerCase(arguments).find(u"-hide") != std::u16string::npos;
}

}  // namespace lumatrove
