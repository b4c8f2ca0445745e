// UTF-8 that arrives in pieces: how much of it can be converted now.
#pragma once

#include <cstddef>
#include <string_view>

namespace lumatrove {

// How many bytes at the start of `bytes` are whole UTF-8 characters: a sequence that the end
// cuts short waits for its other bytes. Bytes that are no UTF-8 count as whole (the converter
// replaces them).
inline size_t WholeUtf8Prefix(std::string_view bytes) {
  const size_t n = bytes.size();
  for (size_t back = 1; back <= 3 && back <= n; ++back) {
    const auto c = static_cast<unsigned char>(bytes[n - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? n - back : n;
  }
  return n;
}

}  // namespace lumatrove
