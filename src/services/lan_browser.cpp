#include "services/lan_browser.h"

#include <utility>

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

}  // namespace lumatrove
