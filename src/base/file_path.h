// Files named by UTF-16 path texts, opened through the C runtime's wide functions on Windows
// and by their UTF-8 names elsewhere. The program needs nothing more of the file system, and
// this keeps the C++ library's path, locale and stream code out of it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace lumatrove {

class FilePath {
 public:
  FilePath() = default;
  FilePath(std::u16string text) : text_(std::move(text)) {}  // NOLINT: a path is its text
  FilePath(const char16_t* text) : text_(text) {}            // NOLINT
  explicit FilePath(std::u16string_view text) : text_(text) {}
  // Any path type that can say itself in UTF-16 (std::filesystem::path in tests and tools).
  template <typename Path, typename = decltype(std::declval<const Path&>().u16string())>
  FilePath(const Path& path) : text_(path.u16string()) {}  // NOLINT

  const std::u16string& Text() const { return text_; }
  bool empty() const { return text_.empty(); }
  // The last component: what follows the last '\' or '/'.
  std::u16string FileName() const;
  // What precedes the last '\' or '/' (the folder, without its separator); "" without one.
  FilePath Folder() const;
  // The file `name` in the same folder.
  FilePath Sibling(std::u16string_view name) const;
  FilePath& operator+=(std::u16string_view suffix) {
    text_ += suffix;
    return *this;
  }
  friend FilePath operator+(FilePath path, std::u16string_view suffix) { return path += suffix; }
  bool operator==(const FilePath&) const = default;

 private:
  std::u16string text_;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// fopen with an ASCII mode ("rb", "wb", "ab", ...); `shareDenyAll` asks Windows to let no one
// else open the file meanwhile.
UniqueFile OpenFile(const FilePath& path, const char* mode, bool shareDenyAll = false);
bool FileExists(const FilePath& path);
bool RemoveFile(const FilePath& path);
// Renames `from` to `to`, replacing `to` in one step.
bool RenameFile(const FilePath& from, const FilePath& to);
std::optional<uint64_t> FileSize(const FilePath& path);
// The whole file, when it exists and holds at most `limit` bytes.
std::optional<std::string> ReadWholeFile(const FilePath& path, uint64_t limit);
bool WriteWholeFile(const FilePath& path, std::string_view bytes);

// Saves through "<path>.tmp": `write` writes the temporary file, then `replace` puts it in
// the place of `path` in one step, so that a failed or interrupted save leaves the old file
// whole. False, with the temporary file removed, when either fails.
bool SaveReplacing(const FilePath& path, const std::function<bool(const FilePath&)>& write,
                   const std::function<bool(const FilePath&, const FilePath&)>& replace);

}  // namespace lumatrove
