// Conversion between UTF-16 and the system's ANSI code page (CP_ACP on Windows).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace lumatrove {

class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // Undecodable bytes and unencodable characters become the code page's default character.
  virtual std::u16string ToUtf16(std::string_view bytes) const = 0;
  virtual std::string FromUtf16(std::u16string_view text) const = 0;
};

// The system's own ANSI code page on Windows; natively, Big5 (code page 950), the code page of
// the users of the 1.x files.
std::unique_ptr<AnsiCodePage> MakeSystemCodePage();
// A chosen code page by its Windows number (for example 950 or 1252); null when the platform
// cannot convert it.
std::unique_ptr<AnsiCodePage> MakeCodePage(unsigned codePage);

}  // namespace lumatrove
