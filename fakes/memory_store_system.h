// The store's system for tests and demos: a chosen program path, current directory and clock,
// on top of a MemoryComputer. Files are real files.
#pragma once

#include "fakes/memory_computer.h"
#include "store/store_system.h"

namespace lumatrove {

class MemoryStoreSystem : public StoreSystem {
 public:
  explicit MemoryStoreSystem(MemoryComputer& computer) : computer_(computer) {}

  NetSystem& net() override { return computer_; }
  std::u16string ModuleFileName() override { return programPath; }
  std::u16string CurrentDirectory() override { return currentDirectory; }
  LocalTime Now() override { return now; }
  bool ReplaceFile(const FilePath& from, const FilePath& to) override;

  std::u16string programPath = u"C:\\Lumatrove\\lumatrove.exe";
  std::u16string currentDirectory = u"C:\\Lumatrove";
  LocalTime now{2008, 6, 15, 14, 3, 9};
  int failReplaces = 0;  // the next this many replacements fail

 private:
  MemoryComputer& computer_;
};

}  // namespace lumatrove
