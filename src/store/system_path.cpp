#include "store/system_path.h"

#include <vector>

#include "base/ascii_text.h"

namespace lumatrove {
namespace {

bool SameFolder(std::u16string_view a, std::u16string_view b) {
  while (a.size() > 1 && (a.back() == u'\\' || a.back() == u'/'))
    a.remove_suffix(1);
  while (b.size() > 1 && (b.back() == u'\\' || b.back() == u'/'))
    b.remove_suffix(1);
  return !a.empty() && EqualsIgnoringAsciiCase(a, b);
}

}  // namespace

std::u16string PathListWith(std::u16string_view list, std::u16string_view folder, bool present) {
  std::u16string result;
  bool found = false;
  bool first = true;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(u';', start);
    if (end == std::u16string_view::npos) end = list.size();
    const std::u16string_view entry = list.substr(start, end - start);
    const bool named = SameFolder(entry, folder);
    found = found || named;
    // A trailing ';' is an empty last entry: kept, so the text stays as it was.
    if (present || !named) {
      if (!first) result += u';';
      result += entry;
      first = false;
    }
    start = end + 1;
  }
  if (present && !found) {
    if (!result.empty() && result.back() != u';') result += u';';
    result += folder;
  }
  return result;
}

long SetFolderOnSystemPath(Registry& registry, std::u16string_view folder, bool present,
                           bool* changed) {
  if (changed != nullptr) *changed = false;
  RegKey key(registry);
  long error = key.Open(RegRoot::kLocalMachine, kEnvironmentKey, RegAccess::kRead);
  if (error != kErrorSuccess) return error;
  // A Path that is there but cannot be read whole is never written over.
  uint32_t type = kRegExpandSz;
  uint32_t size = 0;
  std::u16string list;
  error = registry.QueryValue(key.Handle(), u"Path", &type, nullptr, &size);
  if (error == kErrorFileNotFound) {
    type = kRegExpandSz;
  } else if (error != kErrorSuccess) {
    return error;
  } else {
    std::vector<uint8_t> bytes;
    if ((type != kRegSz && type != kRegExpandSz) || !key.Read(u"Path", size, bytes, &type))
      return kErrorInvalidData;
    list = RegText(bytes);
  }
  const std::u16string edited = PathListWith(list, folder, present);
  if (edited == list) return kErrorSuccess;
  const std::vector<uint8_t> image = RegSzImage(edited);
  error = key.Open(RegRoot::kLocalMachine, kEnvironmentKey, RegAccess::kWrite);
  if (error != kErrorSuccess) return error;
  error = key.Set(u"Path", type, image.data(), static_cast<uint32_t>(image.size()));
  if (error == kErrorSuccess && changed != nullptr) *changed = true;
  return error;
}

}  // namespace lumatrove
