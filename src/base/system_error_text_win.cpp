#include <windows.h>

#include "base/system_error_text.h"

namespace lumatrove {

std::u16string SystemErrorText(uint32_t code) {
  wchar_t* buffer = nullptr;
  // The system allocates, so a long message is never cut by a buffer of ours.
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer),
      0, nullptr);
  std::u16string out;
  if (n != 0 && buffer != nullptr) out.assign(reinterpret_cast<const char16_t*>(buffer), n);
  if (buffer != nullptr) LocalFree(buffer);
  return out;
}

uint32_t LastErrorCode() {
  return GetLastError();
}

}  // namespace lumatrove
