// The console program's command line: one command, its operands and the options it takes.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumatrove {

enum class ConsoleVerb {
  kHelp,
  kVersion,
  kList,
  kShow,
  kCurrent,
  kApply,
  kUndo,
  kExport,
  kImport,
  kCheck,
  kSettings,
  kExit,
};

struct ConsoleCommand {
  ConsoleVerb verb = ConsoleVerb::kHelp;
  std::u16string target;            // --show, --apply: an ID or a name
  std::u16string file;              // --export, --import, --check
  std::vector<std::u16string> ids;  // --export: the profiles (all when none)
  bool json = false;                // --list, --show, --current
  bool noWait = false;              // --apply
  bool force = false;               // --apply, --undo
  // --settings: what to set; nothing for what stays as it is.
  std::optional<bool> autoStart;    // autostart=0|1: start with Windows
  std::optional<bool> updateCheck;  // updatecheck=0|1: look for a newer version at start
  std::optional<bool> onPath;       // path=0|1: the program's folder on the system's PATH
};

// The command, or the reason (a line in the user's language) why the arguments are none.
struct ParsedArguments {
  std::optional<ConsoleCommand> command;
  std::u16string error;
};
ParsedArguments ParseConsoleArguments(const std::vector<std::u16string>& arguments);

}  // namespace lumatrove
