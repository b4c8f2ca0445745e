#include "ui/model/shortcut_model.h"

#include <algorithm>
#include <array>

namespace lumatrove {
namespace {

constexpr size_t kMaxPath = 260;  // characters, the terminating NUL included

bool IsDeviceName(std::u16string_view name) {
  // The part before the first dot decides: "CON.txt" is the console too.
  std::u16string stem(name.substr(0, name.find(u'.')));
  while (!stem.empty() && stem.back() == u' ')
    stem.pop_back();
  for (char16_t& c : stem)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  constexpr std::array<std::u16string_view, 4> kDevices = {u"CON", u"PRN", u"AUX", u"NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), stem) != kDevices.end()) return true;
  return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) &&
         stem[3] >= u'1' && stem[3] <= u'9';
}

}  // namespace

std::u16string ShortcutFileName(std::u16string_view profileName) {
  std::u16string name;
  for (char16_t c : profileName) {
    const bool forbidden = c < 0x20 || c == u'\\' || c == u'/' || c == u':' || c == u'*' ||
                           c == u'?' || c == u'"' || c == u'<' || c == u'>' || c == u'|';
    name.push_back(forbidden ? u'_' : c);
  }
  while (!name.empty() && (name.back() == u'.' || name.back() == u' '))
    name.pop_back();
  if (name.empty() || IsDeviceName(name)) name.insert(0, u"_");
  return name;
}

std::optional<DesktopShortcut> MakeShortcut(std::u16string_view desktop,
                                            std::u16string_view program,
                                            std::u16string_view workDir, std::u16string_view name,
                                            std::u16string_view id) {
  DesktopShortcut s;
  s.path = std::u16string(desktop) + u"\\" + ShortcutFileName(name) + u".lnk";
  if (s.path.size() >= kMaxPath) return std::nullopt;
  s.target = program;
  s.workDir = workDir;
  s.arguments = u" -n" + std::u16string(id);
  s.iconPath = program;
  return s;
}

}  // namespace lumatrove
