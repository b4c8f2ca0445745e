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
// or "-n" and the ID's digits; the console program's quiet forms are "-n<ID> quiet", with
// " force" and then " nowait" if given, and "undo quiet" (" force"). Anything else is no hand-off.
// The window answers a start's hand-off with 1, a quiet one with kQuietAnswer plus the
// console program's exit code (or kQuietAnswerBusy while it applies another).
inline constexpr uintptr_t kHandOffTag = 0x4C4D5401;
inline constexpr size_t kHandOffMaxBytes = 64;
inline constexpr intptr_t kQuietAnswer = 0x100;
inline constexpr intptr_t kQuietAnswerBusy = kQuietAnswer + 0xFF;
struct HandOff {
  std::u16string profileId;  // "" for "show" and "undo"
  bool undo = false;
  bool quiet = false;   // no window, no message: the outcome is the answer
  bool force = false;   // quiet: apply although another device holds an address
  bool noWait = false;  // quiet: do not wait for Windows to show the settings
};
std::u16string HandOffText(const StartupDecision& decision);
std::u16string HandOffText(const HandOff& handOff);
std::optional<HandOff> ReadHandOff(uintptr_t tag, const void* data, size_t bytes);

}  // namespace lumatrove
