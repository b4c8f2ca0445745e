#include "fakes/memory_store_system.h"

namespace lumatrove {

bool MemoryStoreSystem::ReplaceFile(const FilePath& from, const FilePath& to) {
  if (failReplaces > 0) {
    --failReplaces;
    return false;
  }
  return RenameFile(from, to);
}

std::optional<std::u16string> MemoryLogonTasks::Find(std::u16string_view name) {
  const auto found = tasks.find(std::u16string(name));
  if (found == tasks.end()) return std::nullopt;
  return found->second;
}

uint32_t MemoryLogonTasks::Register(std::u16string_view name, std::u16string_view xml) {
  ++registrations;
  if (registerResult == 0) tasks[std::u16string(name)] = xml;
  return registerResult;
}

uint32_t MemoryLogonTasks::Delete(std::u16string_view name) {
  tasks.erase(std::u16string(name));
  return 0;
}

}  // namespace lumatrove
