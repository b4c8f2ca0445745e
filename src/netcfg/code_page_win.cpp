// Code pages through MultiByteToWideChar and WideCharToMultiByte.
#include <windows.h>

#include "netcfg/code_page.h"

namespace lumatrove {
namespace {

class WindowsCodePage : public AnsiCodePage {
 public:
  explicit WindowsCodePage(UINT codePage) : codePage_(codePage) {}

  std::u16string ToUtf16(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(codePage_, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string text(static_cast<size_t>(n > 0 ? n : 0), u'\0');
    if (n > 0) {
      MultiByteToWideChar(codePage_, 0, bytes.data(), static_cast<int>(bytes.size()),
                          reinterpret_cast<wchar_t*>(text.data()), n);
    }
    return text;
  }

  std::string FromUtf16(std::u16string_view text) const override {
    if (text.empty()) return {};
    const auto* w = reinterpret_cast<const wchar_t*>(text.data());
    const int n = WideCharToMultiByte(codePage_, 0, w, static_cast<int>(text.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
      WideCharToMultiByte(codePage_, 0, w, static_cast<int>(text.size()), out.data(), n, nullptr,
                          nullptr);
    }
    return out;
  }

 private:
  UINT codePage_;
};

}  // namespace

std::unique_ptr<AnsiCodePage> MakeCodePage(unsigned codePage) {
  if (!IsValidCodePage(codePage)) return nullptr;
  return std::make_unique<WindowsCodePage>(codePage);
}

std::unique_ptr<AnsiCodePage> MakeSystemCodePage() {
  return std::make_unique<WindowsCodePage>(CP_ACP);
}

}  // namespace lumatrove
