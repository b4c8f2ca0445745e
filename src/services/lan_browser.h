// The computers of the local network as the Windows network browser sees them: providers,
// their domains or workgroups, their computers. The enumeration is a seam: the real WNet side
// here, one over a network in memory among the fakes (fakes/memory_net_enum.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace lumatrove {

// One entry of an enumeration, with what it takes to enumerate it in turn.
struct NetResource {
  uint32_t scope = 0;
  uint32_t type = 0;
  uint32_t displayType = 0;
  uint32_t usage = 0;
  std::u16string localName;
  std::u16string remoteName;
  std::u16string comment;
  std::u16string provider;
};

class NetEnumSystem {
 public:
  enum class Status { kOk, kMoreData, kNoMoreItems, kFailed };
  virtual ~NetEnumSystem() = default;
  // Opens the enumeration of the containers in `parent` (nullptr: the whole network); 0
  // when it cannot be opened.
  virtual uintptr_t Open(const NetResource* parent) = 0;
  // Appends the next entries that fit `bufferBytes` to `out`: kOk, kMoreData when not even
  // the next one fits, kNoMoreItems at the end.
  virtual Status Read(uintptr_t handle, size_t bufferBytes, std::vector<NetResource>& out) = 0;
  virtual void Close(uintptr_t handle) = 0;
};

// Every entry of the container `parent`, read until the enumeration says there are no
// more, the buffer growing for an entry that does not fit; false when it could not be
// opened or a read failed (the entries read until then are kept).
bool ReadContainer(NetEnumSystem& system, const NetResource* parent, std::vector<NetResource>& out);

// The names of the computers (without the leading "\\"), as the LAN list shows them: the
// computers of the workgroup enumerated last first, each workgroup's in enumeration order.
std::vector<std::u16string> LanComputerNames(NetEnumSystem& system);

std::unique_ptr<NetEnumSystem> MakeWin32NetEnum();

}  // namespace lumatrove
