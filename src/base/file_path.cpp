#include "base/file_path.h"

#ifdef _WIN32
#include <share.h>
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace lumatrove {
namespace {

#ifdef _WIN32
const wchar_t* Wide(const FilePath& path) {
  return reinterpret_cast<const wchar_t*>(path.Text().c_str());
}
#else
// The path in UTF-8, as Linux names files; a lone surrogate becomes U+FFFD.
std::string Narrow(const FilePath& path) {
  const std::u16string& text = path.Text();
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      bytes += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      bytes += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return bytes;
}
#endif

}  // namespace

std::u16string FilePath::FileName() const {
  const size_t cut = text_.find_last_of(u"\\/");
  return cut == std::u16string::npos ? text_ : text_.substr(cut + 1);
}

FilePath FilePath::Folder() const {
  const size_t cut = text_.find_last_of(u"\\/");
  return cut == std::u16string::npos ? std::u16string() : text_.substr(0, cut);
}

FilePath FilePath::Sibling(std::u16string_view name) const {
  const size_t cut = text_.find_last_of(u"\\/");
  std::u16string path = cut == std::u16string::npos ? std::u16string() : text_.substr(0, cut + 1);
  path += name;
  return path;
}

UniqueFile OpenFile(const FilePath& path, const char* mode, bool shareDenyAll) {
#ifdef _WIN32
  std::wstring wideMode;
  for (const char* m = mode; *m != '\0'; ++m)
    wideMode += static_cast<wchar_t>(*m);
  return UniqueFile(shareDenyAll ? _wfsopen(Wide(path), wideMode.c_str(), _SH_DENYRW)
                                 : _wfopen(Wide(path), wideMode.c_str()));
#else
  (void)shareDenyAll;
  return UniqueFile(std::fopen(Narrow(path).c_str(), mode));
#endif
}

bool FileExists(const FilePath& path) {
#ifdef _WIN32
  return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
#else
  struct stat s;
  return stat(Narrow(path).c_str(), &s) == 0;
#endif
}

bool RemoveFile(const FilePath& path) {
#ifdef _WIN32
  return DeleteFileW(Wide(path)) != FALSE;
#else
  return std::remove(Narrow(path).c_str()) == 0;
#endif
}

bool RenameFile(const FilePath& from, const FilePath& to) {
#ifdef _WIN32
  return MoveFileExW(Wide(from), Wide(to), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         FALSE;
#else
  return std::rename(Narrow(from).c_str(), Narrow(to).c_str()) == 0;  // replaces in one step
#endif
}

std::optional<uint64_t> FileSize(const FilePath& path) {
#ifdef _WIN32
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
#else
  struct stat s;
  if (stat(Narrow(path).c_str(), &s) != 0 || !S_ISREG(s.st_mode)) return std::nullopt;
  return static_cast<uint64_t>(s.st_size);
#endif
}

std::optional<std::string> ReadWholeFile(const FilePath& path, uint64_t limit) {
  const std::optional<uint64_t> size = FileSize(path);
  if (!size || *size > limit) return std::nullopt;
  UniqueFile f = OpenFile(path, "rb");
  if (!f) return std::nullopt;
  std::string bytes(static_cast<size_t>(*size), '\0');
  if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    return std::nullopt;
  }
  return bytes;
}

bool WriteWholeFile(const FilePath& path, std::string_view bytes) {
  UniqueFile f = OpenFile(path, "wb");
  if (!f) return false;
  const bool written =
      bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
  return std::fclose(f.release()) == 0 && written;
}

bool SaveReplacing(const FilePath& path, const std::function<bool(const FilePath&)>& write,
                   const std::function<bool(const FilePath&, const FilePath&)>& replace) {
  const FilePath temporary = path + u".tmp";
  if (write(temporary) && replace(temporary, path)) return true;
  RemoveFile(temporary);
  return false;
}

}  // namespace lumatrove
