// Code pages through iconv, for the native build.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "netcfg/code_page.h"

namespace lumatrove {
namespace {

class IconvCodePage : public AnsiCodePage {
 public:
  explicit IconvCodePage(std::string name) : name_(std::move(name)) {}

  std::u16string ToUtf16(std::string_view bytes) const override {
    const std::string out = Convert(name_.c_str(), "UTF-16LE", bytes.data(), bytes.size(), true);
    std::u16string text;
    for (size_t i = 0; i + 1 < out.size(); i += 2) {
      text.push_back(static_cast<char16_t>(static_cast<unsigned char>(out[i]) |
                                           static_cast<unsigned char>(out[i + 1]) << 8));
    }
    return text;
  }

  std::string FromUtf16(std::u16string_view text) const override {
    std::string in;
    for (char16_t c : text) {
      in.push_back(static_cast<char>(c & 0xFF));
      in.push_back(static_cast<char>(c >> 8));
    }
    return Convert("UTF-16LE", name_.c_str(), in.data(), in.size(), false);
  }

  bool Usable() const {
    iconv_t cd = iconv_open("UTF-16LE", name_.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(cd);
    return true;
  }

 private:
  // Converts, replacing what cannot be converted: a byte by U+003F when decoding, a
  // character by '?' when encoding.
  static std::string Convert(const char* from, const char* to, const char* data, size_t size,
                             bool decoding) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return out;
    char* in = const_cast<char*>(data);
    size_t left = size;
    char buffer[1024];
    while (left > 0) {
      char* o = buffer;
      size_t room = sizeof buffer;
      const size_t r = iconv(cd, &in, &left, &o, &room);
      out.append(buffer, static_cast<size_t>(o - buffer));
      if (r != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // Invalid or incomplete input: replace one unit and go on.
      const size_t skip = decoding ? 1 : std::min<size_t>(2, left);
      in += skip;
      left -= skip;
      if (decoding) {
        out += std::string("?\0", 2);
      } else {
        out += '?';
      }
    }
    iconv_close(cd);
    return out;
  }

  std::string name_;
};

}  // namespace

std::unique_ptr<AnsiCodePage> MakeCodePage(unsigned codePage) {
  std::string name = "CP" + std::to_string(codePage);
  if (codePage == 65001) name = "UTF-8";
  auto page = std::make_unique<IconvCodePage>(name);
  if (!page->Usable()) return nullptr;
  return page;
}

std::unique_ptr<AnsiCodePage> MakeSystemCodePage() {
  return MakeCodePage(950);
}

}  // namespace lumatrove
