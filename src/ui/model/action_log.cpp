#include "ui/model/action_log.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace lumatrove {
namespace {

using LogFile = UniqueFile;

// Opens with exclusive access where the platform offers it: while another thread holds the
// log, the open fails and that entry is dropped.
LogFile OpenExclusive(const FilePath& path, const char* mode) {
  return OpenFile(path, mode, true);
}

bool Truncate(std::FILE* f) {
  std::fflush(f);
#ifdef _WIN32
  return _chsize(_fileno(f), 0) == 0;
#else
  return ftruncate(fileno(f), 0) == 0;
#endif
}

std::string Utf16Le(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace

std::u16string ActionLog::Entry(std::u16string_view text, const LocalTime& now) {
  std::u16string entry = FormatTime(now);
  entry += text;
  entry += u"\r\n";
  entry.append(80, u'=');
  entry += u"\r\n";
  return entry;
}

bool ActionLog::ConvertLegacyLog() {
  LogFile f = OpenExclusive(file_, "r+b");
  if (!f) return false;
  unsigned char mark[2];
  if (std::fread(mark, 1, 2, f.get()) < 2) return true;  // empty: nothing to convert
  // Only a file that starts with the mark FF FE is already UTF-16; anything else is an old
  // log in the ANSI code page.
  if (mark[0] == 0xFF && mark[1] == 0xFE) return true;
  std::fseek(f.get(), 0, SEEK_SET);
  std::string old;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
    old.append(buffer, n);
  const std::string converted = "\xFF\xFE" + Utf16Le(codePage_.ToUtf16(old));
  if (!Truncate(f.get())) return false;
  std::fseek(f.get(), 0, SEEK_SET);
  return std::fwrite(converted.data(), 1, converted.size(), f.get()) == converted.size();
}

bool ActionLog::Append(std::u16string_view text, const LocalTime& now) {
  ConvertLegacyLog();
  LogFile f = OpenExclusive(file_, "a+b");  // created when missing, content kept
  if (!f) return false;
  std::fseek(f.get(), 0, SEEK_END);
  std::string bytes;
  if (std::ftell(f.get()) == 0) bytes = "\xFF\xFE";
  bytes += Utf16Le(Entry(text, now));
  return std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

bool ActionLog::Clear() {
  LogFile f = OpenExclusive(file_, "wb");
  return f != nullptr;
}

}  // namespace lumatrove
