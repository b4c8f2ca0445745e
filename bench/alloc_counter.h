// Counts the heap bytes in use in the benchmark process (operator new and the allocator given
// to pugixml), so that the peak of one load can be compared between engines.
#pragma once

#include <cstddef>

namespace lumatrove::bench {

void* CountedMalloc(size_t size);
void CountedFree(void* p);
size_t BytesInUse();
// Resets the peak to the bytes in use now; returns nothing.
void ResetPeak();
size_t PeakBytes();
// Keeps freed memory in the process (no trimming, no separate mappings for large blocks), so
// that repeated loads measure the engines rather than the kernel's page faults.
void KeepFreedMemory();

}  // namespace lumatrove::bench
