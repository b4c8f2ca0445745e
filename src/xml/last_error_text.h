// The operating system's text for the last error of the calling thread.
#pragma once

#include <string>

namespace lumatrove {

// At most 100 characters, cut before the first CR or LF; empty when the system has none.
std::u16string LastSystemErrorText();

}  // namespace lumatrove
