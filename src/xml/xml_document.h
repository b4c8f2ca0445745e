// XmlDocument: the whole document as one UTF-16 string plus an index of its elements, a
// three-level position (parent, current, child), in-place editing and UTF-8 files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_path.h"
#include "xml/element_index.h"

namespace lumatrove {

// Options of the insertion operations (AddElement, AddChildElement, AddSubDocument).
enum XmlInsertOption : int {
  kXmlCData = 1,             // element text as a CDATA section
  kXmlNoLineBreaks = 2,      // no CR LF around inserted markup
  kXmlSpaceBeforeSlash = 4,  // empty element written "<name />"
  kXmlKeepReferences = 8,    // an '&' that starts a well-formed reference is copied
  kXmlStartTagOnly = 16,     // "<name>" alone, flagged not ended; refused with a text
  kXmlEscapeQuotes = 256,    // apostrophes and double quotes escaped too
};

// SavePosition keeps its names in this many buckets (see xml_navigation.cpp).
inline constexpr size_t kNamedPositionBuckets = 7;

class XmlDocument {
 public:
  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Replaces the document by `text` and parses it; true when it is well-formed.
  bool SetDocument(std::u16string_view text = {});
  const std::u16string& GetDocument() const { return doc_; }
  // Diagnostics of the last load, parse or save.
  std::u16string GetError() const { return status_; }
  bool IsWellFormed() const;

  // Navigation. Each Find returns false and leaves the position when nothing matches.
  void ResetPosition();
  void ResetChildPosition() { child_ = 0; }
  bool FindElement(std::u16string_view name = {});
  bool FindChildElement(std::u16string_view name = {});
  bool EnterElement();                             // false when there is no current element
  bool LeaveElement();                             // false when there is no parent
  bool SavePosition(std::u16string_view name);     // false when the name is absent
  bool RestorePosition(std::u16string_view name);  // false when absent or not stored

  // Reading; "" when there is no such element or attribute.
  std::u16string GetTagName() const;
  std::u16string GetChildTagName() const;
  std::u16string GetAttribute(std::u16string_view name) const;
  std::u16string GetChildAttribute(std::u16string_view name) const;
  std::u16string GetText() const;
  std::u16string GetChildText() const;
  // Several attributes of the current element read in one scan of its start tag, each as
  // GetAttribute would read it.
  void GetAttributes(std::initializer_list<std::u16string_view> names,
                     std::initializer_list<std::u16string*> values) const;
  // Raw markup between the start and end tag of the current element.
  std::u16string GetElementContent() const;

  // Editing; the index matches the string after every call.
  bool AddElement(std::u16string_view name, std::u16string_view text = {}, int options = 0);
  bool AddChildElement(std::u16string_view name, std::u16string_view text = {}, int options = 0);
  // True when the fragment held exactly one element and parsed without error; a malformed
  // fragment is still inserted.
  bool AddSubDocument(std::u16string_view fragment, int options = 0);
  bool RemoveElement();       // false without a current element
  bool RemoveChildElement();  // false without a child
  bool SetAttribute(std::u16string_view name, std::u16string_view value);
  bool SetChildAttribute(std::u16string_view name, std::u16string_view value);

  // Files are UTF-8 without byte-order mark. LoadFile: true when read and well-formed.
  bool LoadFile(const FilePath& path);
  bool SaveFile(const FilePath& path);

  static std::u16string UnescapeText(std::u16string_view text);
  static void UnescapeInto(std::u16string_view text, std::u16string& out);
  static std::u16string EscapeText(std::u16string_view text, int options = 0);
  // With output: bytes consumed (output needs room for the units counted plus a terminator).
  // Without output: the number of UTF-16 units needed. Stops at a zero byte.
  static size_t Utf8ToUtf16(const char* bytes, size_t count, char16_t* output);
  // `text` is zero-terminated. With output: bytes written (a zero byte follows when room is
  // left). Without output: bytes needed.
  static size_t Utf16ToUtf8(const char16_t* text, char* output, size_t room);

  // Introspection for tests, benchmarks and the fuzz target.
  const ElementRecord& Record(uint32_t index) const { return index_[index]; }
  const ElementIndex& Index() const { return index_; }
  uint32_t ParentIndex() const { return parent_; }
  uint32_t CurrentIndex() const { return current_; }
  uint32_t ChildIndex() const { return child_; }
  size_t TextCapacity() const { return doc_.capacity(); }
  // Checks that every live record agrees with the string and with its links; on failure
  // `why` (when given) says what is wrong.
  bool VerifyIndex(std::string* why = nullptr) const;

 private:
  struct NamedPosition {
    std::u16string name;
    uint32_t element = 0;
    int kind = 0;  // 2 child, 1 current, 0 parent only
  };
  struct OpenElement {
    uint32_t record;
    uint32_t nameStart;
    uint32_t nameLength;
    uint32_t lastChild;
  };
  struct AttributeSpot {
    bool found = false;
    bool hasValue = false;  // false: a bare name, which stands as its own value
    uint32_t nameStart = 0;
    uint32_t nameEnd = 0;
    uint32_t valueStart = 0;  // raw value, quotes included
    uint32_t valueLength = 0;
    bool quoted = false;
    uint32_t insertAt = 0;  // where a missing attribute is appended
  };
  struct Insertion {
    uint32_t elementStart = 0;  // where the inserted markup itself begins
    uint32_t inserted = 0;      // units inserted, framing included
    uint32_t removed = 0;
  };

  void Parse();
  uint32_t BuildTree(std::u16string_view text, uint32_t parentRecord, std::u16string& message);
  uint32_t CloseOpenElements(size_t from);

  std::u16string_view TagName(uint32_t element) const;
  bool NameMatches(uint32_t element, std::u16string_view name) const;
  uint32_t FirstChild(uint32_t element) const { return index_[element].firstChild; }
  uint32_t LastChild(uint32_t element) const;
  uint32_t PreviousSibling(uint32_t element) const;
  bool FindAmong(uint32_t first, std::u16string_view name, uint32_t& found) const;
  AttributeSpot FindAttribute(uint32_t element, std::u16string_view name) const;
  template <typename Wanted, typename Visit>
  uint32_t ScanAttributes(uint32_t element, Wanted wanted, Visit visit) const;
  std::u16string_view ValueOf(const AttributeSpot& spot) const;
  void AttributeInto(uint32_t element, std::u16string_view name, std::u16string& value) const;
  std::u16string AttributeOf(uint32_t element, std::u16string_view name) const;
  void TextInto(uint32_t element, std::u16string& out) const;
  std::u16string TextOf(uint32_t element) const;

  bool ReplaceText(uint32_t offset, uint32_t removed, std::u16string_view text);
  void Adjust(uint32_t element, int64_t delta, bool skipChildren);
  void GrowInside(uint32_t element, int64_t delta, uint32_t after);
  void LinkElement(uint32_t parent, uint32_t after, uint32_t element);
  bool InsertNew(uint32_t parent, uint32_t& reference, std::u16string_view markup, int options,
                 Insertion& result);
  bool AddNew(bool childMode, std::u16string_view name, std::u16string_view text, int options);
  bool Remove(uint32_t element);
  bool SetAttributeOf(uint32_t element, std::u16string_view name, std::u16string_view value);
  void DropNamedPositions();
  void ClearNamedPositions();

  std::u16string doc_;
  std::u16string status_;
  uint32_t parent_ = 0;
  uint32_t current_ = 0;
  uint32_t child_ = 0;
  ElementIndex index_;
  std::vector<NamedPosition> buckets_[kNamedPositionBuckets];
  std::vector<OpenElement> openStack_;  // reused by BuildTree
};

}  // namespace lumatrove
