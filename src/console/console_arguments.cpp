#include "console/console_arguments.h"

#include <string_view>

#include "console/console_texts.h"

namespace lumatrove {
namespace {

struct VerbForm {
  std::u16string_view name;
  ConsoleVerb verb;
  int operands;  // 0 none, 1 exactly one, 2 one and any number after it, 3 settings
};
constexpr VerbForm kVerbs[] = {
    {u"--help", ConsoleVerb::kHelp, 0},
    {u"-h", ConsoleVerb::kHelp, 0},
    {u"/?", ConsoleVerb::kHelp, 0},
    {u"--version", ConsoleVerb::kVersion, 0},
    {u"--list", ConsoleVerb::kList, 0},
    {u"--show", ConsoleVerb::kShow, 1},
    {u"--current", ConsoleVerb::kCurrent, 0},
    {u"--apply", ConsoleVerb::kApply, 1},
    {u"--undo", ConsoleVerb::kUndo, 0},
    {u"--export", ConsoleVerb::kExport, 2},
    {u"--import", ConsoleVerb::kImport, 1},
    {u"--check", ConsoleVerb::kCheck, 1},
    {u"--settings", ConsoleVerb::kSettings, 3},
    {u"--exit", ConsoleVerb::kExit, 0},
};

// One "name=0" or "name=1" of --settings into its place; false when it is none.
bool ReadSetting(std::u16string_view operand, ConsoleCommand& command) {
  const size_t equals = operand.find(u'=');
  if (equals == std::u16string_view::npos || equals + 2 != operand.size()) return false;
  const char16_t value = operand.back();
  if (value != u'0' && value != u'1') return false;
  const std::u16string_view name = operand.substr(0, equals);
  std::optional<bool>* setting = name == u"autostart"     ? &command.autoStart
                                 : name == u"updatecheck" ? &command.updateCheck
                                 : name == u"path"        ? &command.onPath
                                                          : nullptr;
  if (setting == nullptr) return false;
  *setting = value == u'1';
  return true;
}

// Which options a command takes.
bool Takes(ConsoleVerb verb, std::u16string_view option) {
  if (option == u"--json")
    return verb == ConsoleVerb::kList || verb == ConsoleVerb::kShow ||
           verb == ConsoleVerb::kCurrent;
  if (option == u"--no-wait") return verb == ConsoleVerb::kApply;
  if (option == u"--force") return verb == ConsoleVerb::kApply || verb == ConsoleVerb::kUndo;
  return false;
}

bool IsOption(std::u16string_view argument) {
  return argument.size() > 1 && (argument[0] == u'-' || argument == u"/?");
}

}  // namespace

ParsedArguments ParseConsoleArguments(const std::vector<std::u16string>& arguments) {
  ParsedArguments parsed;
  if (arguments.empty()) {
    parsed.error = console_texts::kNoCommand;
    return parsed;
  }
  const VerbForm* form = nullptr;
  for (const VerbForm& f : kVerbs) {
    if (arguments[0] == f.name) form = &f;
  }
  if (form == nullptr) {
    parsed.error = console_texts::UnknownArgument(arguments[0]);
    return parsed;
  }
  ConsoleCommand command;
  command.verb = form->verb;
  std::vector<std::u16string> operands;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::u16string& a = arguments[i];
    if (!IsOption(a)) {
      operands.push_back(a);
    } else if (!Takes(command.verb, a)) {
      parsed.error = console_texts::UnknownArgument(a);
      return parsed;
    } else if (a == u"--json") {
      command.json = true;
    } else if (a == u"--no-wait") {
      command.noWait = true;
    } else {
      command.force = true;
    }
  }
  const bool fits = form->operands == 0   ? operands.empty()
                    : form->operands == 1 ? operands.size() == 1
                                          : !operands.empty();
  if (!fits) {
    parsed.error = form->operands == 0 ? console_texts::UnknownArgument(operands.front())
                                       : console_texts::OperandMissing(form->name);
    return parsed;
  }
  if (form->operands == 3) {
    for (const std::u16string& operand : operands) {
      if (!ReadSetting(operand, command)) {
        parsed.error = console_texts::UnknownArgument(operand);
        return parsed;
      }
    }
  } else if (!operands.empty()) {
    if (command.verb == ConsoleVerb::kShow || command.verb == ConsoleVerb::kApply)
      command.target = operands[0];
    else
      command.file = operands[0];
    command.ids.assign(operands.begin() + 1, operands.end());
  }
  parsed.command = std::move(command);
  return parsed;
}

}  // namespace lumatrove
