#include "store/address_text.h"

#include <vector>

namespace lumatrove {
namespace {

std::u16string_view FirstPart(std::u16string_view text) {
  const size_t dot = text.find(u'.');
  return dot == std::u16string_view::npos ? std::u16string_view() : text.substr(0, dot);
}

std::u16string_view LastPart(std::u16string_view text) {
  const size_t dot = text.rfind(u'.');
  return dot == std::u16string_view::npos ? text : text.substr(dot + 1);
}

// Reads digits up to the first non-digit; sets `digits` to how many there were.
uint64_t Number(std::u16string_view part, size_t& digits) {
  uint64_t v = 0;
  digits = 0;
  for (char16_t c : part) {
    if (c < u'0' || c > u'9') break;
    if (v < 100000000) v = v * 10 + static_cast<uint64_t>(c - u'0');
    ++digits;
  }
  return v;
}

}  // namespace

bool IsUsableAddress(std::u16string_view text) {
  return FirstPart(text) != u"0" && LastPart(text) != u"0";
}

bool IsUsableMask(std::u16string_view text) {
  return FirstPart(text) != u"0";
}

bool IsDottedQuad(std::u16string_view text) {
  int parts = 0;
  size_t digits = 0;
  int value = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == u'.') {
      if (digits == 0 || ++parts > 4) return false;
      digits = 0;
      value = 0;
      continue;
    }
    const char16_t c = text[i];
    if (c < u'0' || c > u'9') return false;
    if (digits == 1 && value == 0) return false;  // a leading zero
    value = value * 10 + (c - u'0');
    if (++digits > 3 || value > 255) return false;
  }
  return parts == 4;
}

bool IsFixedAddress(std::u16string_view text) {
  return IsDottedQuad(text) && IsUsableAddress(text);
}

bool IsFixedMask(std::u16string_view text) {
  if (!IsDottedQuad(text) || !IsUsableMask(text)) return false;
  const uint32_t bits = TextToAddress(text);
  // Ones then zeros: the complement plus one is a power of two (or zero for all ones).
  const uint32_t zeros = ~bits;
  return zeros != 0 && (zeros & (zeros + 1)) == 0;
}

bool IsHostAddress(uint32_t address) {
  const uint32_t first = address >> 24;
  return first != 0 && first != 127 && first < 224;
}

bool IsDnsServerAddress(uint32_t address) {
  return IsHostAddress(address) || address >> 24 == 127;
}

bool IsSubnetNetworkOrBroadcast(uint32_t address, uint32_t mask) {
  const uint32_t host = ~mask;
  if (host < 3) return false;
  return (address & host) == 0 || (address & host) == host;
}

uint32_t TextToAddress(std::u16string_view text) {
  uint32_t address = 0;
  for (int i = 0; i < 4; ++i) {
    std::u16string_view part = text;
    if (i < 3) {
      const size_t dot = text.find(u'.');
      part = dot == std::u16string_view::npos ? text : text.substr(0, dot);
      text = dot == std::u16string_view::npos ? std::u16string_view() : text.substr(dot + 1);
    }
    size_t digits;
    address = (address << 8) | static_cast<uint32_t>(Number(part, digits) & 0xFF);
  }
  return address;
}

std::u16string AddressToText(uint32_t address) {
  if (address == 0) return {};
  const std::string s = std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xFF) +
                        "." + std::to_string(address >> 8 & 0xFF) + "." +
                        std::to_string(address & 0xFF);
  return std::u16string(s.begin(), s.end());
}

bool IsValidAddress(std::u16string_view text, bool mask) {
  if (text == u"0.0.0.0") return false;
  std::vector<std::u16string_view> parts;
  size_t pos = 0;
  for (;;) {
    const size_t dot = text.find(u'.', pos);
    parts.push_back(text.substr(pos, dot == std::u16string_view::npos ? text.npos : dot - pos));
    if (dot == std::u16string_view::npos) break;
    pos = dot + 1;
  }
  if (parts.size() != 4) return false;
  for (size_t i = 0; i < 4; ++i) {
    size_t digits;
    const uint64_t v = Number(parts[i], digits);
    if (parts[i].empty() || digits != parts[i].size()) return false;
    if (i == 0) {
      if (!mask && (v < 1 || v > 223)) return false;
    } else if (v > 255) {
      return false;
    }
  }
  return true;
}

}  // namespace lumatrove
