#include <cerrno>
#include <cstring>

#include "base/system_error_text.h"

namespace lumatrove {

std::u16string SystemErrorText(uint32_t code) {
  const char* text = std::strerror(static_cast<int>(code));
  if (text == nullptr) return {};
  // The C locale's messages are ASCII; anything else is shown as '?'.
  std::u16string out;
  for (const char* c = text; *c != '\0'; ++c)
    out.push_back(static_cast<unsigned char>(*c) < 0x80 ? static_cast<char16_t>(*c) : u'?');
  return out;
}

uint32_t LastErrorCode() {
  return static_cast<uint32_t>(errno);
}

}  // namespace lumatrove
