// The bump heap: operator new hands out the next piece of one region while a scope is open,
// and delete of such a piece does nothing. The region is reused by every scope, so after the
// first one its pages are no longer new to the process. Not thread-safe: the benchmarks run on
// one thread.
#include "bump_heap.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

constexpr size_t kRegion = size_t(1) << 30;
constexpr size_t kLargest = size_t(1) << 20;

char* region = nullptr;
size_t used = 0;
bool open = false;

bool InRegion(void* p) {
  return region != nullptr && static_cast<char*>(p) >= region &&
         static_cast<char*>(p) < region + kRegion;
}

void* Allocate(size_t size) {
  const size_t rounded = (size + 15) & ~size_t(15);  // every block 16-byte aligned
  if (open && size <= kLargest && rounded <= kRegion - used) {
    void* p = region + used;
    used += rounded;
    return p;
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void Release(void* p) {
  if (!InRegion(p)) std::free(p);
}

}  // namespace

namespace lumatrove::bench {

void BeginBumpScope() {
  if (region == nullptr) {
    region = static_cast<char*>(std::malloc(kRegion));
    if (region == nullptr) std::abort();
  }
  used = 0;
  open = true;
}

void EndBumpScope() {
  open = false;
}

}  // namespace lumatrove::bench

void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  Release(p);
}
