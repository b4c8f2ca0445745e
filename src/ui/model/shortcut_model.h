// The desktop shortcut that applies one profile: its file name made safe from the profile's
// name, and what it starts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumatrove {

struct DesktopShortcut {
  std::u16string path;       // the .lnk file
  std::u16string target;     // the program
  std::u16string workDir;    // the program folder
  std::u16string arguments;  // " -n<ID>"
  std::u16string iconPath;   // the program, whose third icon is the shortcut's
  int iconIndex = 2;
};

// A file name for a profile's name: every character Windows forbids in file names (\ / : * ?
// " < > | and control characters) becomes "_", trailing dots and blanks go, and a name left
// empty or naming a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9) gets a "_" in front.
std::u16string ShortcutFileName(std::u16string_view profileName);

// The shortcut on `desktop` for profile `id` named `name`; nothing when its path would not
// fit MAX_PATH.
std::optional<DesktopShortcut> MakeShortcut(std::u16string_view desktop,
                                            std::u16string_view program,
                                            std::u16string_view workDir, std::u16string_view name,
                                            std::u16string_view id);

}  // namespace lumatrove
