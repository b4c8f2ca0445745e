// NodeScanner: classifies the next markup node of a UTF-16 text. Used by the parse, by GetText
// and by the fragment parse of AddSubDocument.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/char_scan.h"

namespace lumatrove {

enum NodeKind : int {
  kNodeEndTag = 0,
  kNodeStartTag = 1,
  kNodeText = 2,
  kNodeBlank = 4,
  kNodeCData = 8,
  kNodeProcessingInstruction = 16,
  kNodeComment = 32,
  kNodeDoctype = 64,  // DOCTYPE or another <!X declaration
  kNodeMalformed = -1,
  kNodeNothingLeft = -2,
};

enum class ScanError : uint8_t {
  kNone,
  kIncorrectTagNameCharacter,  // "Incorrect tag name character at offset %d"
  kIncorrectCommentTag,        // "Incorrect comment tag at offset %d"
  kIncorrectTag,               // "Incorrect tag at offset %d"
  kIncorrectBangTag,           // "Incorrect ! tag at offset %d"
  kUnterminatedDoctype,
  kUnterminatedElementTag,
  kUnterminatedEndTag,
  kUnterminatedCData,
  kUnterminatedProcessingInstruction,
  kUnterminatedComment,
  kUnterminatedTag,
  kElementTagTooLong,  // a start tag or end tag too long for the element index
};

struct ScannedNode {
  int kind = kNodeNothingLeft;
  uint32_t start = 0;
  uint32_t length = 0;
  bool emptyElement = false;  // "<a/>", "<a />", "<a x='1'/>"
  uint32_t nameStart = 0;     // start tags, end tags and processing instructions
  uint32_t nameLength = 0;
  ScanError error = ScanError::kNone;
};

// Scans the node that begins at `pos` of `text` and returns the offset after it.
uint32_t ScanNode(std::u16string_view text, uint32_t pos, ScannedNode& node);

// The status text of a scan error, with the offset of the node.
std::u16string ScanErrorMessage(ScanError error, uint32_t offset);

// Small helpers for status texts: ASCII literal and decimal number to UTF-16.
void AppendAscii(std::u16string& out, std::string_view ascii);
void AppendNumber(std::u16string& out, uint64_t value);

}  // namespace lumatrove
