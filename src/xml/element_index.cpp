#include "xml/element_index.h"

#include <algorithm>
#include <cstring>

namespace lumatrove {

void ElementIndex::ReallocateLastPage(uint32_t records) {
  const size_t last = (capacity_ - 1) >> kPageBits;
  std::unique_ptr<ElementRecord[]> page(new ElementRecord[records]);
  std::copy_n(pages_[last].get(), std::min(records, lastPageRecords_), page.get());
  pages_[last] = std::move(page);
  lastPageRecords_ = records;
}

void ElementIndex::Grow(uint32_t minimum) {
  uint64_t requested = minimum != 0 ? minimum : uint64_t{nextFree_} + nextFree_ / 2;
  if (requested <= capacity_) return;
  const int64_t lastPage = capacity_ == 0 ? -1 : static_cast<int64_t>((capacity_ - 1) >> kPageBits);
  int64_t requestedLast = static_cast<int64_t>((requested - 1) >> kPageBits);
  if (requestedLast > lastPage + 1) {
    // One page boundary per step: the copy of a partly filled page is the only copy growth makes.
    requested = static_cast<uint64_t>(lastPage + 2) * kPageSize;
    requestedLast = lastPage + 1;
  }
  if (requested > UINT32_MAX) requested = UINT32_MAX;
  if (requestedLast > lastPage) {
    if (lastPage >= 0 && lastPageRecords_ < kPageSize) ReallocateLastPage(kPageSize);
    const size_t page = static_cast<size_t>(requestedLast);
    if (page >= pages_.size()) pages_.resize(2 * page + 4);
    const uint32_t records = static_cast<uint32_t>(requested - uint64_t{page} * kPageSize);
    pages_[page].reset(new ElementRecord[records]);
    capacity_ = static_cast<uint32_t>(requested);
    lastPageRecords_ = records;
  } else {
    const uint32_t records =
        static_cast<uint32_t>(requested - static_cast<uint64_t>(lastPage) * kPageSize);
    ReallocateLastPage(records);
    capacity_ = static_cast<uint32_t>(requested);
  }
}

void ElementIndex::Reset(uint32_t minimum) {
  Grow(minimum);
  nextFree_ = 1;
  (*this)[0] = ElementRecord{};
}

void ElementIndex::GrowForTake() {
  const uint32_t before = capacity_;
  Grow(0);
  if (capacity_ == before) Grow(nextFree_ + 1);
}

}  // namespace lumatrove
