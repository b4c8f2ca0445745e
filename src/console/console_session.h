// What the console program does for one command, over the same core as the window: the
// profile store beside the program, the adapters, the apply with its snapshot and its wait.
// What only Windows can say (elevation, the instance in the tray, the network's answers) comes
// through ConsoleHost, so that the commands run against the in-memory computer too.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/console_arguments.h"
#include "netcfg/net_adapter_layer.h"
#include "store/profile_store.h"
#include "ui/model/apply_run.h"
#include "ui/model/startup.h"

namespace lumatrove {

struct ConsoleHost {
  // Standard output and standard error, a line at a time (without its line break).
  std::function<void(std::u16string_view)> out;
  std::function<void(std::u16string_view)> err;
  // This process may write the adapters' settings.
  bool elevated = true;
  // Hands a quiet apply or undo to the instance in the tray: its answer (kQuietAnswer plus
  // the exit code, or kQuietAnswerBusy), nothing when none runs or it did not take it.
  std::function<std::optional<intptr_t>(const HandOff&)> forward;
  // Ends the instance in the tray as its Exit command does; true once none runs.
  std::function<bool()> endInstance;
  // Tells the running programs that the system's environment changed (the PATH).
  std::function<void()> environmentChanged;
  // The network's answers, the sleep of the wait and netsh, as an apply needs them.
  ApplyRun::Hooks apply;
};

class ConsoleSession {
 public:
  ConsoleSession(ProfileStore& store, NetAdapterLayer& adapters, StoreSystem& system,
                 ConsoleHost& host)
      : store_(store), adapters_(adapters), system_(system), host_(host) {}

  // Runs the command; its exit code.
  ExitCode Run(const ConsoleCommand& command);

 private:
  ExitCode List(bool json);
  ExitCode Show(const ConsoleCommand& command);
  ExitCode Current(bool json);
  ExitCode Apply(const ConsoleCommand& command);
  ExitCode Undo(bool force);
  ExitCode Export(const ConsoleCommand& command);
  ExitCode Import(const ConsoleCommand& command);
  ExitCode Check(const ConsoleCommand& command);
  ExitCode Settings(const ConsoleCommand& command);

  // The profile that `target` names: its ID, else the one profile of that name; null after
  // the message (and `code`) when there is none or more than one.
  const Profile* Find(std::u16string_view target, ExitCode& code);
  // Opens the store as the window does, with the action log's entries about what it repaired.
  void OpenForChange();
  void Log(std::u16string_view text);
  // Hands the apply or undo to the instance in the tray; what came of it, after its line, or
  // nothing when no instance took it.
  std::optional<ExitCode> Forwarded(const HandOff& handOff, const std::u16string& name);
  ExitCode Report(const ApplyRunResult& result, const std::u16string& done);
  // Runs one apply of `content` as the window's (the conflict question answered `force`),
  // and reports it.
  ExitCode RunApply(const Profile& profile, std::u16string_view content, ApplyRun::Kind kind,
                    bool force, bool wait);
  // Says that administrator rights are needed.
  ExitCode Refused();

  ProfileStore& store_;
  NetAdapterLayer& adapters_;
  StoreSystem& system_;
  ConsoleHost& host_;
};

}  // namespace lumatrove
