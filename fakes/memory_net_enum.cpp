#include "fakes/memory_net_enum.h"

#include <algorithm>

namespace lumatrove {

size_t MemoryNetEnum::RecordBytes(const NetResource& r) {
  // Four numbers and four string pointers, then the strings with their terminators.
  const size_t strings =
      r.localName.size() + r.remoteName.size() + r.comment.size() + r.provider.size() + 4;
  return 4 * sizeof(uint32_t) + 4 * sizeof(void*) + 2 * strings;
}

uintptr_t MemoryNetEnum::Open(const NetResource* parent) {
  const std::u16string name = parent == nullptr ? std::u16string() : parent->remoteName;
  if (containers.find(name) == containers.end()) return 0;
  const uintptr_t handle = nextHandle_++;
  open_[handle] = Cursor{name, 0};
  return handle;
}

NetEnumSystem::Status MemoryNetEnum::Read(uintptr_t handle, size_t bufferBytes,
                                          std::vector<NetResource>& out) {
  ++reads;
  auto cursor = open_.find(handle);
  if (cursor == open_.end()) return Status::kFailed;
  Cursor& c = cursor->second;
  if (std::find(unreadable.begin(), unreadable.end(), c.container) != unreadable.end()) {
    return Status::kFailed;
  }
  const std::vector<NetResource>& entries = containers[c.container];
  if (c.next >= entries.size()) return Status::kNoMoreItems;
  size_t used = 0;
  const size_t first = c.next;
  while (c.next < entries.size() && used + RecordBytes(entries[c.next]) <= bufferBytes) {
    used += RecordBytes(entries[c.next]);
    out.push_back(entries[c.next++]);
  }
  return c.next == first ? Status::kMoreData : Status::kOk;
}

void MemoryNetEnum::Close(uintptr_t handle) {
  open_.erase(handle);
}

}  // namespace lumatrove
