// The element index of XmlDocument: one 32-byte record per element, kept in pages of 65,536
// records so that growing the index never moves more than one page.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace lumatrove {

// Bits of ElementRecord::flags above the 16-bit depth. Their places are those of the
// record's published layout (bits 16, 18 and 22 are unused), which the tests and the fuzz
// target read through Record().
enum ElementFlag : uint32_t {
  kDepthMask = 0xFFFFu,
  kFlagDeleted = 1u << 17,
  kFlagFirstChild = 1u << 19,
  kFlagNotEnded = 1u << 20,
  kFlagErrorInside = 1u << 21,
  kFlagIllFormed = 1u << 23,
};

// Trivial so that pages are allocated without being zeroed; ElementRecord{} clears one.
struct ElementRecord {
  // Start-tag length lives in the low 20 bits, end-tag length in the top 10 bits.
  static constexpr uint32_t kMaxStartTag = (1u << 20) - 1;
  static constexpr uint32_t kMaxEndTag = (1u << 10) - 1;

  uint32_t start;       // offset of the element's '<'
  uint32_t length;      // start tag through end tag (start tag alone when not ended)
  uint32_t tagLengths;  // see kMaxStartTag / kMaxEndTag
  uint32_t flags;       // depth and ElementFlag bits
  uint32_t parent;      // 0: the document record
  uint32_t firstChild;
  uint32_t next;
  uint32_t prev;  // for a first child: the last child of the same parent

  uint32_t StartTagLength() const { return tagLengths & kMaxStartTag; }
  uint32_t EndTagLength() const { return tagLengths >> 22; }
  void SetStartTagLength(uint32_t n) { tagLengths = (tagLengths & ~kMaxStartTag) | n; }
  void SetEndTagLength(uint32_t n) { tagLengths = (tagLengths & kMaxStartTag) | (n << 22); }
  uint32_t End() const { return start + length; }
  uint32_t Depth() const { return flags & kDepthMask; }
  void SetDepth(uint32_t d) { flags = (flags & ~kDepthMask) | (d > kDepthMask ? kDepthMask : d); }
  bool Has(uint32_t flag) const { return (flags & flag) != 0; }
};
static_assert(sizeof(ElementRecord) == 32, "records are eight 32-bit words");

class ElementIndex {
 public:
  static constexpr uint32_t kPageBits = 16;
  static constexpr uint32_t kPageSize = 1u << kPageBits;

  ElementIndex() = default;
  ElementIndex(const ElementIndex&) = delete;
  ElementIndex& operator=(const ElementIndex&) = delete;

  ElementRecord& operator[](uint32_t i) { return pages_[i >> kPageBits][i & (kPageSize - 1)]; }
  const ElementRecord& operator[](uint32_t i) const {
    return pages_[i >> kPageBits][i & (kPageSize - 1)];
  }

  uint32_t Capacity() const { return capacity_; }
  uint32_t NextFree() const { return nextFree_; }
  bool HasStorage() const { return capacity_ > 0; }
  // Number of entries of the page table (for the growth rule's tests).
  size_t PageTableSize() const { return pages_.size(); }
  uint32_t LastPageRecords() const { return lastPageRecords_; }

  // Grows by the index's rule: to `minimum` when given, else to 1.5 x the next free index,
  // crossing at most one page boundary. Never shrinks.
  void Grow(uint32_t minimum);
  // Starts a parse: capacity at least `minimum`, next free index 1, record 0 cleared.
  void Reset(uint32_t minimum);
  // Hands out the next free record, cleared, growing the index when it is full.
  uint32_t Take() {
    if (nextFree_ >= capacity_) GrowForTake();
    const uint32_t i = nextFree_++;
    (*this)[i] = ElementRecord{};
    return i;
  }

 private:
  void GrowForTake();
  void ReallocateLastPage(uint32_t records);

  std::vector<std::unique_ptr<ElementRecord[]>> pages_;  // the page table
  uint32_t capacity_ = 0;
  uint32_t nextFree_ = 0;
  uint32_t lastPageRecords_ = 0;  // records allocated in the last page
};

// Calls visit(record) for `root` and every element below it, in document order, without
// recursion: the records' own links lead the way. `visit` must leave the links as they are.
template <typename Visit>
void ForEachInSubtree(ElementIndex& index, uint32_t root, Visit visit) {
  uint32_t e = root;
  for (;;) {
    visit(index[e]);
    if (index[e].firstChild != 0) {
      e = index[e].firstChild;
      continue;
    }
    while (e != root && index[e].next == 0)
      e = index[e].parent;
    if (e == root) return;
    e = index[e].next;
  }
}

}  // namespace lumatrove
