// Registry files in the "Windows Registry Editor Version 5.00" format (and REGEDIT4): applied
// to any Registry, so the same description seeds the in-memory computer and a real one.
#pragma once

#include <string>
#include <string_view>

#include "netcfg/registry.h"

namespace lumatrove {

// Creates the keys and sets the values of `text`: [HKEY_LOCAL_MACHINE\...] and
// [HKEY_CURRENT_USER\...] sections with "name"="text", @="text", dword:, hex:, hex(2):,
// hex(7): and hex(N): values, "name"=- deletions, ';' comments and '\' line continuations.
// False at the first line it cannot take; `error` (when given) then says which and why.
bool ApplyRegText(Registry& registry, std::u16string_view text, std::string* error = nullptr);

// Reads a registry file: UTF-16LE with its byte-order mark, or UTF-8 (with or without one).
// False when the file cannot be read.
bool ReadRegFile(const std::string& path, std::u16string& text);

}  // namespace lumatrove
