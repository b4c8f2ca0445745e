#include "store/store_system.h"

#include <cstdio>
#include <system_error>

#include "store/memory_store_system.h"

namespace lumatrove {

std::u16string FormatTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", t.year % 100, t.month, t.day,
                t.hour, t.minute, t.second);
  return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::filesystem::path ToPath(std::u16string_view text) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
#else
  return std::filesystem::path(std::u16string(text));
#endif
}

std::u16string FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring w = path.wstring();
  return std::u16string(w.begin(), w.end());
#else
  return path.u16string();
#endif
}

bool MemoryStoreSystem::ReplaceFile(const std::filesystem::path& from,
                                    const std::filesystem::path& to) {
  if (failReplaces > 0) {
    --failReplaces;
    return false;
  }
  std::error_code error;
  std::filesystem::rename(from, to, error);  // rename(2) replaces in one step
  return !error;
}

}  // namespace lumatrove
