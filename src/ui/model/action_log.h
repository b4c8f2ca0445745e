// The action log "system.log": UTF-16LE with a byte-order mark, one entry per action
// (timestamp, text, CR LF, 80 '=', CR LF). A log of an older version, in the ANSI code page,
// is converted once before the first new entry.
#pragma once

#include <string>
#include <string_view>

#include "netcfg/code_page.h"
#include "store/store_system.h"

namespace lumatrove {

inline constexpr std::u16string_view kActionLogFile = u"system.log";

class ActionLog {
 public:
  ActionLog(FilePath file, const AnsiCodePage& codePage)
      : file_(std::move(file)), codePage_(codePage) {}

  // Appends one entry; false when the file could not be opened (the entry is dropped).
  bool Append(std::u16string_view text, const LocalTime& now);
  // Empties the file, creating it when missing; false when it cannot be opened.
  bool Clear();
  // "yy-mm-dd HH:MM:SS" + text + CR LF + 80 '=' + CR LF.
  static std::u16string Entry(std::u16string_view text, const LocalTime& now);

  const FilePath& File() const { return file_; }

 private:
  bool ConvertLegacyLog();

  FilePath file_;
  const AnsiCodePage& codePage_;
};

}  // namespace lumatrove
