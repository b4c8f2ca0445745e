#include "netcfg/reg_text.h"

#include <cstdio>
#include <vector>

#include "base/ascii_text.h"

namespace lumatrove {
namespace {

bool Fail(std::string* error, size_t line, const std::string& why) {
  if (error != nullptr) *error = "line " + std::to_string(line) + ": " + why;
  return false;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t' || s.front() == u'\r')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r')) {
    s.remove_suffix(1);
  }
  return s;
}

// Reads a quoted string at the start of `s` (which begins with '"'); returns the characters
// consumed, or 0 when the closing quote is missing.
size_t ReadQuoted(std::u16string_view s, std::u16string& out) {
  out.clear();
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] == u'\\' && i + 1 < s.size()) {
      out.push_back(s[++i]);
    } else if (s[i] == u'"') {
      return i + 1;
    } else {
      out.push_back(s[i]);
    }
  }
  return 0;
}

bool ParseHexBytes(std::u16string_view s, std::vector<uint8_t>& bytes) {
  bytes.clear();
  int high = -1;
  for (char16_t c : s) {
    if (c == u',' || c == u' ' || c == u'\t') {
      if (high >= 0) return false;  // a single digit
      continue;
    }
    const int d = HexDigit(c);
    if (d < 0) return false;
    if (high < 0) {
      high = d;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + d));
      high = -1;
    }
  }
  return high < 0;
}

}  // namespace

bool ApplyRegText(Registry& registry, std::u16string_view text, std::string* error) {
  // Join continued lines first, remembering where each logical line started.
  std::vector<std::pair<size_t, std::u16string>> lines;
  size_t number = 0;
  std::u16string pending;
  size_t pendingLine = 0;
  size_t pos = 0;
  if (!text.empty() && text[0] == u'\xFEFF') pos = 1;
  while (pos <= text.size()) {
    size_t end = text.find(u'\n', pos);
    if (end == std::u16string_view::npos) end = text.size();
    ++number;
    std::u16string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (pending.empty()) pendingLine = number;
    // A '\' at the end continues a hex value on the next line.
    if (!line.empty() && line.back() == u'\\' &&
        (pending + std::u16string(line)).find(u"=hex") != std::u16string::npos) {
      line.remove_suffix(1);
      pending += line;
      continue;
    }
    pending += line;
    lines.emplace_back(pendingLine, std::move(pending));
    pending.clear();
  }

  RegKey key(registry);
  bool header = false;
  for (const auto& [at, line] : lines) {
    if (line.empty() || line[0] == u';') continue;
    if (!header) {
      if (line != u"Windows Registry Editor Version 5.00" && line != u"REGEDIT4") {
        return Fail(error, at, "not a registry file");
      }
      header = true;
      continue;
    }
    if (line[0] == u'[') {
      if (line.back() != u']') return Fail(error, at, "unterminated key");
      std::u16string_view path(line);
      path = path.substr(1, path.size() - 2);
      if (!path.empty() && path[0] == u'-') return Fail(error, at, "key deletion not supported");
      const size_t slash = path.find(u'\\');
      const std::u16string_view rootName = path.substr(0, slash);
      const std::u16string_view rest =
          slash == std::u16string_view::npos ? std::u16string_view() : path.substr(slash + 1);
      RegRoot root;
      if (rootName == u"HKEY_LOCAL_MACHINE") {
        root = RegRoot::kLocalMachine;
      } else if (rootName == u"HKEY_CURRENT_USER") {
        root = RegRoot::kCurrentUser;
      } else {
        return Fail(error, at, "unknown root " + NarrowAscii(rootName));
      }
      if (key.Create(root, rest) != 0) return Fail(error, at, "cannot create " + NarrowAscii(path));
      continue;
    }
    if (!key.IsOpen()) return Fail(error, at, "value outside a key");

    std::u16string name;
    size_t i;
    if (line[0] == u'@') {
      i = 1;
    } else if (line[0] == u'"') {
      i = ReadQuoted(line, name);
      if (i == 0) return Fail(error, at, "unterminated value name");
    } else {
      return Fail(error, at, "expected a value name");
    }
    const std::u16string_view rest = Trim(std::u16string_view(line).substr(i));
    if (rest.empty() || rest[0] != u'=') return Fail(error, at, "expected '='");
    const std::u16string_view data = Trim(rest.substr(1));

    long result;
    if (data == u"-") {
      result = key.Delete(name);
      if (result == kErrorFileNotFound) result = 0;
    } else if (!data.empty() && data[0] == u'"') {
      std::u16string value;
      if (ReadQuoted(data, value) != data.size()) return Fail(error, at, "bad string value");
      const std::vector<uint8_t> image = RegSzImage(value);
      result = key.Set(name, kRegSz, image.data(), static_cast<uint32_t>(image.size()));
    } else if (data.substr(0, 6) == u"dword:") {
      const std::u16string_view digits = data.substr(6);
      if (digits.empty() || digits.size() > 8) return Fail(error, at, "bad dword");
      uint32_t v = 0;
      for (char16_t c : digits) {
        const int d = HexDigit(c);
        if (d < 0) return Fail(error, at, "bad dword");
        v = v * 16 + static_cast<uint32_t>(d);
      }
      const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                                static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
      result = key.Set(name, kRegDword, bytes, 4);
    } else if (data.substr(0, 3) == u"hex") {
      uint32_t type = kRegBinary;
      size_t colon = data.find(u':');
      if (colon == std::u16string_view::npos) return Fail(error, at, "bad hex value");
      if (data[3] == u'(') {
        const size_t close = data.find(u')');
        if (close == std::u16string_view::npos || close + 1 != colon) {
          return Fail(error, at, "bad hex type");
        }
        type = 0;
        for (char16_t c : data.substr(4, close - 4)) {
          const int d = HexDigit(c);
          if (d < 0) return Fail(error, at, "bad hex type");
          type = type * 16 + static_cast<uint32_t>(d);
        }
      } else if (colon != 3) {
        return Fail(error, at, "bad hex value");
      }
      std::vector<uint8_t> bytes;
      if (!ParseHexBytes(data.substr(colon + 1), bytes)) return Fail(error, at, "bad hex bytes");
      result = key.Set(name, type, bytes.data(), static_cast<uint32_t>(bytes.size()));
    } else {
      return Fail(error, at, "unknown value form");
    }
    if (result != 0) return Fail(error, at, "cannot write " + NarrowAscii(name));
  }
  if (!header) return Fail(error, 1, "not a registry file");
  return true;
}

bool ReadRegFile(const std::string& path, std::u16string& text) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::vector<uint8_t> bytes;
  uint8_t buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  text.clear();
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
    }
    return true;
  }
  size_t i = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
  while (i < bytes.size()) {
    const uint8_t b = bytes[i];
    uint32_t c;
    size_t len;
    if (b < 0x80) {
      c = b;
      len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      len = 4;
    } else {
      c = u'?';
      len = 1;
    }
    if (len > 1) {
      if (i + len > bytes.size()) break;
      for (size_t k = 1; k < len; ++k)
        c = (c << 6) | (bytes[i + k] & 0x3F);
    }
    i += len;
    if (c >= 0x10000) {
      text.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(c));
    }
  }
  return true;
}

}  // namespace lumatrove
