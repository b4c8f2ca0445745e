#include "services/lan_browser.h"

#include <algorithm>

namespace lumatrove {
namespace {

constexpr size_t kFirstBuffer = 16 * 1024;
constexpr size_t kLargestBuffer = 1024 * 1024;

}  // namespace

bool ReadContainer(NetEnumSystem& system, const NetResource* parent,
                   std::vector<NetResource>& out) {
  const uintptr_t handle = system.Open(parent);
  if (handle == 0) return false;
  size_t buffer = kFirstBuffer;
  bool ok = true;
  for (;;) {
    const NetEnumSystem::Status status = system.Read(handle, buffer, out);
    if (status == NetEnumSystem::Status::kOk) continue;
    if (status == NetEnumSystem::Status::kMoreData && buffer < kLargestBuffer) {
      buffer *= 2;
      continue;
    }
    ok = status == NetEnumSystem::Status::kNoMoreItems;
    break;
  }
  system.Close(handle);
  return ok;
}

std::vector<std::u16string> LanComputerNames(NetEnumSystem& system) {
  std::vector<NetResource> providers;
  ReadContainer(system, nullptr, providers);
  std::vector<std::vector<std::u16string>> workgroups;
  for (const NetResource& provider : providers) {
    std::vector<NetResource> domains;
    ReadContainer(system, &provider, domains);
    for (const NetResource& domain : domains) {
      std::vector<NetResource> computers;
      ReadContainer(system, &domain, computers);
      std::vector<std::u16string> names;
      for (const NetResource& c : computers) {
        std::u16string name = c.remoteName;
        if (name.starts_with(u"\\\\")) name.erase(0, 2);
        names.push_back(std::move(name));
      }
      workgroups.push_back(std::move(names));
    }
  }
  std::vector<std::u16string> rows;
  for (auto w = workgroups.rbegin(); w != workgroups.rend(); ++w)
    rows.insert(rows.end(), w->begin(), w->end());
  return rows;
}

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
