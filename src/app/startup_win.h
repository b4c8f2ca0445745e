// Start-up on Windows: the facts the start-up decision needs, handing a command line to the
// running instance, and starting again elevated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/model/startup.h"

namespace lumatrove {

// Reads whether UAC is on (Vista and later, EnableLUA not 0), whether this process is
// elevated (always so where the system cannot say) and whether an instance runs in this logon
// session (its mutex exists, also when this process may not open it).
StartupFacts ReadStartupFacts();

// Sends `text` to the running instance's window (waiting a few seconds for a window that is
// still being made); true when the window took it.
bool HandOffToRunningInstance(std::u16string_view text);
// The same for any hand-off, waiting up to `timeoutMs` for the answer: the window's answer
// (0 when it did not take it), or nothing when no window was there or it did not answer.
std::optional<intptr_t> SendToRunningInstance(std::u16string_view text, unsigned timeoutMs);

// Ends the running instance as its Exit command does and waits up to `timeoutMs` for it to
// end; true when none runs any more.
bool EndRunningInstance(unsigned timeoutMs);

enum class ElevatedStart { kStarted, kRefused, kFailed };
// Starts this program again through the "runas" verb with `arguments`, in the current folder.
ElevatedStart StartElevated(std::u16string_view arguments);

}  // namespace lumatrove
