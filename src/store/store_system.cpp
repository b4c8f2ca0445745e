#include "store/store_system.h"

#include "base/ascii_text.h"

namespace lumatrove {

std::u16string FormatTime(const LocalTime& t) {
  std::u16string text;
  const int parts[] = {t.year % 100, t.month, t.day, t.hour, t.minute, t.second};
  const char16_t separators[] = u"-- ::";
  for (int i = 0; i < 6; ++i) {
    if (i > 0) text += separators[i - 1];
    AppendTwoDigits(text, parts[i]);
  }
  return text;
}

}  // namespace lumatrove
