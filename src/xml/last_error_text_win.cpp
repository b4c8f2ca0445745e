#include <windows.h>

#include "xml/last_error_text.h"

namespace lumatrove {

std::u16string LastSystemErrorText() {
  const DWORD code = GetLastError();
  wchar_t* buffer = nullptr;
  // The system allocates, so a long message is cut to 100 characters rather than lost.
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer),
      0, nullptr);
  std::u16string out;
  if (n != 0 && buffer != nullptr) out.assign(reinterpret_cast<const char16_t*>(buffer), n);
  if (buffer != nullptr) LocalFree(buffer);
  const size_t cut = out.find_first_of(u"\r\n");
  if (cut != std::u16string::npos) out.resize(cut);
  if (out.size() > 100) out.resize(100);
  return out;
}

}  // namespace lumatrove
