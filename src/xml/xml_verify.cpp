// XmlDocument::VerifyIndex: the index checked against the text and against its own links,
// for the tests and the fuzz target.
#include <string>
#include <vector>

#include "xml/xml_document.h"

namespace lumatrove {

bool XmlDocument::VerifyIndex(std::string* why) const {
  auto fail = [&](const char* what, uint32_t e) {
    if (why != nullptr) *why = std::string(what) + " (record " + std::to_string(e) + ")";
    return false;
  };
  if (!index_.HasStorage()) return fail("no storage", 0);
  const ElementRecord& root = index_[0];
  if (root.start != 0 || root.length != doc_.size()) return fail("document record length", 0);
  const uint32_t n = static_cast<uint32_t>(doc_.size());

  // Iterative pre-order walk; `limit` of a child is its parent's content end.
  struct Frame {
    uint32_t element;
    uint32_t cursor;  // where the next child may start
    uint32_t end;     // where the children must end
  };
  std::vector<Frame> stack;
  stack.push_back({0, 0, n});
  std::vector<uint32_t> children;
  while (!stack.empty()) {
    const Frame frame = stack.back();
    stack.pop_back();
    const ElementRecord& p = index_[frame.element];
    children.clear();
    uint32_t cursor = frame.cursor;
    for (uint32_t c = p.firstChild; c != 0; c = index_[c].next) {
      const ElementRecord& r = index_[c];
      if (children.size() > index_.NextFree()) return fail("sibling cycle", c);
      if (r.Has(kFlagDeleted)) return fail("deleted record linked", c);
      if (r.parent != frame.element) return fail("parent link", c);
      if (r.Has(kFlagFirstChild) != children.empty()) return fail("first-child flag", c);
      if (!children.empty() && r.prev != children.back()) return fail("previous link", c);
      if (r.start < cursor || r.End() > frame.end || r.End() < r.start) return fail("overlap", c);
      const uint32_t stl = r.StartTagLength();
      const uint32_t etl = r.EndTagLength();
      if (stl < 2 || r.start + stl > n || doc_[r.start] != u'<' || doc_[r.start + stl - 1] != u'>')
        return fail("start tag", c);
      if (r.length < stl + etl) return fail("length", c);
      if (etl != 0) {
        if (doc_[r.End() - etl] != u'<' || doc_[r.End() - etl + 1] != u'/' ||
            doc_[r.End() - 1] != u'>')
          return fail("end tag", c);
      } else if (r.length != stl) {
        return fail("unended element with content", c);
      }
      children.push_back(c);
      cursor = r.End();
    }
    if (!children.empty() && index_[p.firstChild].prev != children.back())
      return fail("last-child link", frame.element);
    for (uint32_t c : children) {
      const ElementRecord& r = index_[c];
      if (r.firstChild != 0) {
        stack.push_back({c, r.start + r.StartTagLength(), r.End() - r.EndTagLength()});
      }
    }
  }
  for (uint32_t e : {parent_, current_, child_}) {
    if (e >= index_.NextFree() || index_[e].Has(kFlagDeleted)) return fail("stale position", e);
  }
  return true;
}

}  // namespace lumatrove
