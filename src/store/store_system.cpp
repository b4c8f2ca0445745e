#include "store/store_system.h"

#include <cstdio>

namespace lumatrove {

std::u16string FormatTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", t.year % 100, t.month, t.day,
                t.hour, t.minute, t.second);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

}  // namespace lumatrove
