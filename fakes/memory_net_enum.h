// The network browser's enumeration over a network held in memory, for tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "services/lan_browser.h"

namespace lumatrove {

// The enumeration over a network held in memory: containers by remote name ("" is the
// whole network). It hands out as many entries per read as fit the buffer, counting bytes
// as the real records and their strings would take.
class MemoryNetEnum : public NetEnumSystem {
 public:
  std::map<std::u16string, std::vector<NetResource>> containers;
  std::vector<std::u16string> unreadable;  // containers whose reads fail
  int reads = 0;

  uintptr_t Open(const NetResource* parent) override;
  Status Read(uintptr_t handle, size_t bufferBytes, std::vector<NetResource>& out) override;
  void Close(uintptr_t handle) override;

  static size_t RecordBytes(const NetResource& r);

 private:
  struct Cursor {
    std::u16string container;
    size_t next = 0;
  };
  std::map<uintptr_t, Cursor> open_;
  uintptr_t nextHandle_ = 1;
};

}  // namespace lumatrove
