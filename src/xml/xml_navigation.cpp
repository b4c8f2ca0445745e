// XmlDocument's navigation: tag names, the three-level position and the named positions.
#include <utility>

#include "xml/xml_document.h"
#include "xml/xml_internal.h"

namespace lumatrove {

std::u16string_view XmlDocument::TagName(uint32_t element) const {
  const ElementRecord& r = index_[element];
  const uint32_t end = r.start + r.StartTagLength();
  const uint32_t i = FindTagNameEnd(doc_.data(), r.start + 1, end);
  return std::u16string_view(doc_).substr(r.start + 1, i - r.start - 1);
}

bool XmlDocument::NameMatches(uint32_t element, std::u16string_view name) const {
  if (name.empty()) return true;
  const std::u16string_view tag = TagName(element);
  if (name.size() < tag.size() || name.compare(0, tag.size(), tag) != 0) return false;
  if (name.size() == tag.size()) return true;
  const char16_t c = name[tag.size()];
  return IsXmlBlank(c) || c == u'=' || c == u'/' || c == u'[' || c == u']';
}

uint32_t XmlDocument::LastChild(uint32_t element) const {
  const uint32_t first = index_[element].firstChild;
  return first == 0 ? 0 : index_[first].prev;
}

uint32_t XmlDocument::PreviousSibling(uint32_t element) const {
  const ElementRecord& r = index_[element];
  return r.Has(kFlagFirstChild) ? 0 : r.prev;
}

bool XmlDocument::FindAmong(uint32_t first, std::u16string_view name, uint32_t& found) const {
  for (uint32_t e = first; e != 0; e = index_[e].next) {
    if (NameMatches(e, name)) {
      found = e;
      return true;
    }
  }
  return false;
}

void XmlDocument::ResetPosition() {
  parent_ = current_ = child_ = 0;
}

bool XmlDocument::FindElement(std::u16string_view name) {
  const uint32_t first = current_ != 0 ? index_[current_].next : FirstChild(parent_);
  uint32_t found = 0;
  if (!FindAmong(first, name, found)) return false;
  current_ = found;
  parent_ = index_[found].parent;
  child_ = 0;
  return true;
}

bool XmlDocument::FindChildElement(std::u16string_view name) {
  if (current_ == 0) FindElement();
  const uint32_t first = child_ != 0 ? index_[child_].next : FirstChild(current_);
  uint32_t found = 0;
  if (!FindAmong(first, name, found)) return false;
  child_ = found;
  // Still no current element: the child was found among the top-level elements.
  if (current_ == 0) parent_ = 0;
  return true;
}

bool XmlDocument::EnterElement() {
  if (current_ == 0) return false;
  parent_ = current_;
  current_ = child_;
  child_ = 0;
  return true;
}

bool XmlDocument::LeaveElement() {
  if (parent_ == 0) return false;
  child_ = current_;
  current_ = parent_;
  parent_ = index_[current_].parent;
  return true;
}

namespace {

// The named positions are kept in a small fixed table of buckets, a name's bucket being the
// sum of its units modulo their number. A bucket starts with room for two entries and, when
// full, grows to twice its size less one plus twelve (2, 14, 38, ...): a document rarely has
// more than a handful of names, and each bucket is searched from its start.
constexpr size_t kFirstBucketSize = 2;
size_t GrownBucketSize(size_t size) {
  return 2 * (size - 1) + 12;
}

size_t BucketOf(std::u16string_view name) {
  size_t sum = 0;
  for (char16_t c : name)
    sum += c;
  return sum % kNamedPositionBuckets;
}

}  // namespace

bool XmlDocument::SavePosition(std::u16string_view name) {
  if (name.empty()) return false;
  NamedPosition entry;
  entry.name.assign(name.data(), name.size());
  if (child_ != 0) {
    entry.element = child_;
    entry.kind = 2;
  } else if (current_ != 0) {
    entry.element = current_;
    entry.kind = 1;
  } else {
    entry.element = parent_;
    entry.kind = 0;
  }
  std::vector<NamedPosition>& bucket = buckets_[BucketOf(name)];
  if (bucket.empty()) bucket.resize(kFirstBucketSize);
  NamedPosition* free = nullptr;
  for (NamedPosition& slot : bucket) {
    if (slot.name == name) {
      slot = std::move(entry);
      return true;
    }
    if (free == nullptr && slot.name.empty()) free = &slot;
  }
  if (free == nullptr) {
    const size_t used = bucket.size();
    bucket.resize(GrownBucketSize(used));
    free = &bucket[used];
  }
  *free = std::move(entry);
  return true;
}

bool XmlDocument::RestorePosition(std::u16string_view name) {
  if (name.empty()) return false;
  for (const NamedPosition& slot : buckets_[BucketOf(name)]) {
    if (slot.name != name) continue;
    const uint32_t e = slot.element;
    if (slot.kind == 2) {
      child_ = e;
      current_ = index_[e].parent;
      parent_ = current_ != 0 ? index_[current_].parent : 0;
    } else if (slot.kind == 1) {
      current_ = e;
      parent_ = index_[e].parent;
      child_ = 0;
    } else {
      parent_ = e;
      current_ = child_ = 0;
    }
    return true;
  }
  return false;
}

void XmlDocument::DropNamedPositions() {
  for (std::vector<NamedPosition>& bucket : buckets_) {
    size_t kept = 0;
    for (size_t i = 0; i < bucket.size(); ++i) {
      if (bucket[i].name.empty()) continue;
      if (bucket[i].element != 0 && index_[bucket[i].element].Has(kFlagDeleted)) continue;
      if (kept != i) bucket[kept] = std::move(bucket[i]);
      ++kept;
    }
    for (size_t i = kept; i < bucket.size(); ++i)
      bucket[i] = NamedPosition{};
  }
}

void XmlDocument::ClearNamedPositions() {
  for (std::vector<NamedPosition>& bucket : buckets_) {
    for (NamedPosition& slot : bucket)
      slot = NamedPosition{};
  }
}

}  // namespace lumatrove
