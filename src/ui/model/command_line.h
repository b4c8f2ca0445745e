// Reading the program's command line: "-n" followed by a profile ID, and "-hide".
#pragma once

#include <string>
#include <string_view>

namespace lumatrove {

// The command line as a program receives it in its entry point: without the program's own
// name (quoted or not) and the blanks after it.
std::u16string_view ArgumentsOf(std::u16string_view fullCommandLine);
// Lower case of the ASCII and Latin-1 letters (the switches and IDs are ASCII).
std::u16string LowerCase(std::u16string_view text);
// The ID after the first "-n" (in any case): the text two characters after it up to the next
// blank or the end; "" when there is none.
std::u16string ProfileIdArgument(std::u16string_view arguments);
// True when "-hide", in any mix of case, appears anywhere in the arguments.
bool HasHideSwitch(std::u16string_view arguments);

}  // namespace lumatrove
