// What a start of the program does, decided from a few facts about the system and the
// command line, and the message by which a start hands its command line to the instance that
// runs already (which may run elevated while the new start does not).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumatrove {

struct StartupFacts {
  bool uac = false;              // Vista or later with User Account Control on
  bool elevated = false;         // this process has administrator rights (always so without UAC)
  bool instanceRunning = false;  // the instance mutex exists in this logon session
};

enum class StartupAction {
  kHandOff,        // hand the command line to the running instance and end
  kElevate,        // start again elevated, with the same arguments, and end
  kApplyHere,      // apply the profile of "-n" in this process and end
  kRejectProfile,  // "-n" names no profile ID: say so and end
  kBringForward,   // bring the running instance's window forward and end
  kRunWindow,      // run the main window
};

struct StartupDecision {
  StartupAction action = StartupAction::kRunWindow;
  std::u16string profileId;  // the ID after "-n"; "" for a start without one
};

// In this order: with UAC, a running instance takes the command line; with UAC and without
// elevation, the program starts again elevated; otherwise "-n" applies in this process (as
// it always did without UAC), a second start brings the running window forward, and a first
// start runs the window. An ID is one to nine digits.
StartupDecision DecideStartup(const StartupFacts& facts, std::u16string_view arguments);

// The hand-off is a WM_COPYDATA whose dwData is kHandOffTag (the format's version in its low
// byte) and whose data is UTF-16 text without terminator, at most kHandOffMaxBytes: "show",
// or "-n" and the ID's digits. Anything else is no hand-off.
inline constexpr uintptr_t kHandOffTag = 0x4C4D5401;
inline constexpr size_t kHandOffMaxBytes = 64;
struct HandOff {
  std::u16string profileId;  // "" for "show"
};
std::u16string HandOffText(const StartupDecision& decision);
std::optional<HandOff> ReadHandOff(uintptr_t tag, const void* data, size_t bytes);

}  // namespace lumatrove
