// Starting the program with Windows on Vista and later. Windows does not start a program that
// needs elevation from the Run keys at logon, so there the program is started by a task of the
// Task Scheduler: at the user's logon, with the highest privileges. The task is described as
// the Task Scheduler's XML, built and checked here; LogonTasks registers it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumatrove {

inline constexpr std::u16string_view kLogonTaskName = u"Lumatrove";

// The Task Scheduler 2.0, as far as the logon task needs it.
class LogonTasks {
 public:
  virtual ~LogonTasks() = default;
  // False where there is no Task Scheduler 2.0 (before Vista): there the Run value serves.
  virtual bool Available() = 0;
  // The current user as the Task Scheduler names users ("DOMAIN\name").
  virtual std::u16string UserId() = 0;
  // The registered task's XML; nothing when there is no such task.
  virtual std::optional<std::u16string> Find(std::u16string_view name) = 0;
  // Registers the task, replacing one of the same name; 0, or the error (an HRESULT).
  virtual uint32_t Register(std::u16string_view name, std::u16string_view xml) = 0;
  // Deletes the task; 0 also when there was none.
  virtual uint32_t Delete(std::u16string_view name) = 0;
};

// The task: triggered at the logon of `userId`, run with the highest privileges as that user,
// starting "`program`" -hide in `folder`, without a time limit, also on battery.
std::u16string LogonTaskXml(std::u16string_view userId, std::u16string_view program,
                            std::u16string_view folder);

// Whether a registered task's XML starts `program` with -hide at logon with the highest
// privileges (paths compared without regard to ASCII case). False for XML that does not say
// so, which is then registered again.
bool LogonTaskStarts(std::u16string_view registeredXml, std::u16string_view program);

}  // namespace lumatrove
