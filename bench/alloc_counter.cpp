#include "alloc_counter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace lumatrove::bench {
namespace {
size_t g_inUse = 0;
size_t g_peak = 0;
}  // namespace

void* CountedMalloc(size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p != nullptr) {
    g_inUse += malloc_usable_size(p);
    if (g_inUse > g_peak) g_peak = g_inUse;
  }
  return p;
}

void CountedFree(void* p) {
  if (p == nullptr) return;
  g_inUse -= malloc_usable_size(p);
  std::free(p);
}

size_t BytesInUse() {
  return g_inUse;
}
void ResetPeak() {
  g_peak = g_inUse;
}
size_t PeakBytes() {
  return g_peak;
}

void KeepFreedMemory() {
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, -1);
  mallopt(M_TOP_PAD, 64 << 20);
}

}  // namespace lumatrove::bench

using lumatrove::bench::CountedFree;
using lumatrove::bench::CountedMalloc;

void* operator new(size_t size) {
  void* p = CountedMalloc(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) {
  void* p = CountedMalloc(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return CountedMalloc(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return CountedMalloc(size);
}
void operator delete(void* p) noexcept {
  CountedFree(p);
}
void operator delete[](void* p) noexcept {
  CountedFree(p);
}
void operator delete(void* p, size_t) noexcept {
  CountedFree(p);
}
void operator delete[](void* p, size_t) noexcept {
  CountedFree(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  CountedFree(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  CountedFree(p);
}
