#include "fakes/memory_store_system.h"

namespace lumatrove {

bool MemoryStoreSystem::ReplaceFile(const FilePath& from, const FilePath& to) {
  if (failReplaces > 0) {
    --failReplaces;
    return false;
  }
  return RenameFile(from, to);
}

}  // namespace lumatrove
