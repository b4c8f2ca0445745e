// The program's folder on the system's PATH, so that "lumatrove" works in every prompt: the
// Path value of the machine's environment, edited entry by entry.
#pragma once

#include <string>
#include <string_view>

#include "netcfg/registry.h"

namespace lumatrove {

inline constexpr std::u16string_view kEnvironmentKey =
    u"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";

// `list` (entries separated by ';') with `folder` at its end when `present`, or without any
// entry that names it when not. Entries are compared without regard to ASCII case or a final
// backslash; every other entry, empty ones too, stays as it was.
std::u16string PathListWith(std::u16string_view list, std::u16string_view folder, bool present);

// Puts `folder` on the machine's Path or takes it off, keeping the value's type (REG_EXPAND_SZ
// as Windows has it); 0, or the registry's error. Nothing is written when nothing changes.
long SetFolderOnSystemPath(Registry& registry, std::u16string_view folder, bool present,
                           bool* changed = nullptr);

}  // namespace lumatrove
