#include <cerrno>
#include <cstring>

#include "xml/last_error_text.h"
#include "xml/xml_document.h"

namespace lumatrove {

std::u16string LastSystemErrorText() {
  const char* text = std::strerror(errno);
  if (text == nullptr) return {};
  const size_t bytes = std::strlen(text);
  std::u16string out(XmlDocument::Utf8ToUtf16(text, bytes, nullptr), u'\0');
  XmlDocument::Utf8ToUtf16(text, bytes, out.data());
  const size_t cut = out.find_first_of(u"\r\n");
  if (cut != std::u16string::npos) out.resize(cut);
  if (out.size() > 100) out.resize(100);
  return out;
}

}  // namespace lumatrove
