// Shell shortcuts (.lnk files) and the user's desktop folder.
#pragma once

#include <string>

namespace lumatrove::win {

// The user's desktop folder; "" when the shell cannot say.
std::u16string DesktopFolder();

struct ShellLink {
  std::u16string target;
  std::u16string workDir;
  std::u16string arguments;
  std::u16string iconPath;
  int iconIndex = 0;
};

// Writes `link` to the file `path`, replacing one that is there; false on any failure.
bool SaveShellLink(const std::u16string& path, const ShellLink& link);

}  // namespace lumatrove::win
