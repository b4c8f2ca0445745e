#include "netcfg/registry.h"

namespace lumatrove {

bool RegKey::Read(std::u16string_view name, uint32_t capacity, std::vector<uint8_t>& bytes,
                  uint32_t* type) const {
  bytes.assign(capacity, 0);
  uint32_t size = capacity;
  uint32_t t = kRegNone;
  if (handle_ == 0 || registry_->QueryValue(handle_, name, &t, bytes.data(), &size) != 0) {
    bytes.clear();
    return false;
  }
  bytes.resize(size < capacity ? size : capacity);
  if (type != nullptr) *type = t;
  return true;
}

std::u16string RegText(const std::vector<uint8_t>& bytes) {
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

uint32_t RegDword(const std::vector<uint8_t>& bytes) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4 && i < bytes.size(); ++i)
    v |= uint32_t{bytes[i]} << (8 * i);
  return v;
}

namespace {
void AppendUnits(std::vector<uint8_t>& out, std::u16string_view text) {
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  out.push_back(0);
  out.push_back(0);
}
}  // namespace

std::vector<uint8_t> RegSzImage(std::u16string_view text) {
  std::vector<uint8_t> out;
  AppendUnits(out, text);
  return out;
}

std::vector<uint8_t> RegMultiSzImage(const std::vector<std::u16string>& strings) {
  std::vector<uint8_t> out;
  for (const std::u16string& s : strings)
    AppendUnits(out, s);
  out.push_back(0);
  out.push_back(0);
  return out;
}

}  // namespace lumatrove
