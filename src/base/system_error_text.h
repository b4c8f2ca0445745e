// The operating system's text for an error code.
#pragma once

#include <cstdint>
#include <string>

namespace lumatrove {

// The system's whole message for `code` (FormatMessageW on Windows, strerror elsewhere), in
// the system's language; empty when it has none.
std::u16string SystemErrorText(uint32_t code);

// The calling thread's last error (GetLastError on Windows, errno elsewhere).
uint32_t LastErrorCode();

// The message for the calling thread's last error, cut before its first CR or LF and to at
// most 100 characters.
std::u16string LastSystemErrorText();

}  // namespace lumatrove
