// The console program's commands, run by lumatrove.exe for lumatrove.com: the console program
// starts the window program with kConsoleModeArgument and its own arguments, hands it pipes
// for standard output and error and ends with its exit code.
#pragma once

#include <string_view>

namespace lumatrove {

inline constexpr std::wstring_view kConsoleModeArgument = L"--console";

// Runs the command of `argv` (after the program's name and kConsoleModeArgument), writing
// UTF-8 to the standard handles; the exit code.
int RunConsoleMode(int argc, wchar_t** argv);

}  // namespace lumatrove
