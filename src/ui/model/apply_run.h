// The steps of one apply that are the same whoever asks for it (the window, a shortcut's
// start, the console program): the check of the profile, the conflict check, the undo
// snapshot, the write, and the wait for Windows, with netsh where Windows did not take the
// DHCP client's notification. Who asks supplies the questions, the waiting and netsh.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "netcfg/net_adapter_layer.h"
#include "netcfg/netsh_commands.h"
#include "store/address_conflict.h"
#include "store/profile_store.h"
#include "ui/model/live_state.h"

namespace lumatrove {

// How far an apply came.
enum class ApplyStep {
  kApplied,          // written (and waited for, when that was asked)
  kNotUsable,        // a value cannot be written: nothing was
  kConflictRefused,  // another device holds an address and the apply was not wanted anyway
  kWriteFailed,      // writing the settings failed
};

struct ApplyRunResult {
  ApplyStep step = ApplyStep::kWriteFailed;
  std::u16string fault;      // for kNotUsable: the message naming the connection and the value
  AddressConflict conflict;  // for kConflictRefused: the address in use, and who holds it
  bool snapshot = false;     // the undo snapshot was saved before the write
  bool waited = false;       // the wait for Windows ran
  ApplyWaitOutcome outcome;  // what the wait saw
  std::vector<std::u16string> byNetsh;  // connections that netsh set
};

// The console program's exit codes; the window answers a quiet hand-off with one of them.
enum class ExitCode : int {
  kDone = 0,                // done, and Windows shows it
  kNoProfile = 1,           // no such profile
  kInvalidAddress = 2,      // a value cannot be written
  kWriteFailed = 3,         // writing the settings failed
  kNotShown = 4,            // Windows did not show the new settings in time
  kNeedsAdministrator = 5,  // administrator rights needed
  kAddressInUse = 6,        // another device holds an address
  kUsage = 64,              // the command line is not understood
};
// What an apply came to, for a script: done only once Windows shows the settings (or when
// the wait was not asked for).
ExitCode ExitCodeOf(const ApplyRunResult& result);

class ApplyRun {
 public:
  // A profile and the undo command keep a snapshot first; going back after an unanswered
  // question neither checks addresses nor keeps one.
  enum class Kind { kProfile, kUndo, kRevert };

  struct Hooks {
    std::function<void(std::u16string_view)> log;  // appends to the action log
    // Asks the network about the addresses; the answers in the questions' order. Null: no
    // conflict check.
    std::function<std::vector<ArpAnswer>(const std::vector<ArpQuestion>&)> askArp;
    // Another device holds an address: true to apply anyway. `question` says which.
    std::function<bool(std::u16string_view question)> applyDespiteConflict;
    // Sleeps `ms` during the wait for Windows; null: no wait at all.
    std::function<void(unsigned ms)> sleep;
    // Sets one adapter with netsh; null: Windows' notification alone.
    std::function<bool(uint32_t interfaceIndex, const Ipv4Settings& settings)> runNetsh;
  };

  ApplyRun(ProfileStore& store, NetAdapterLayer& adapters, StoreSystem& system, Hooks hooks)
      : store_(store), adapters_(adapters), system_(system), hooks_(std::move(hooks)) {
    if (!hooks_.log) hooks_.log = [](std::u16string_view) {};
  }

  // Applies `content`, the NETSETING content of `profile`; `name` names it in the snapshot.
  ApplyRunResult Run(const Profile& profile, std::u16string_view content,
                     const std::u16string& name, Kind kind);

 private:
  void Wait(const Profile& profile, ApplyRunResult& result);
  void ApplyWithNetsh(const ConnectionSetting& connection, const std::vector<LiveAdapter>& live,
                      ApplyRunResult& result);

  ProfileStore& store_;
  NetAdapterLayer& adapters_;
  StoreSystem& system_;
  Hooks hooks_;
  std::vector<std::u16string> setByNetsh_;  // adapters (lower-case IDs) netsh set in this run
};

}  // namespace lumatrove
