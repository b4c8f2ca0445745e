// Files and text encodings of XmlDocument: UTF-8 files without byte-order mark, converted in
// two passes (count, then convert into a buffer of exact size).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "base/system_error_text.h"
#include "xml/char_scan.h"
#include "xml/node_scanner.h"
#include "xml/xml_document.h"
#include "xml/xml_internal.h"

namespace lumatrove {
namespace {

constexpr uint32_t kDecodeFailure = 0xFFFFFFFFu;

// Decodes one character from `p`, which has at least four readable bytes. Returns the bytes
// consumed; `ch` is kDecodeFailure for an undecodable sequence.
inline size_t DecodeUtf8(const unsigned char* p, uint32_t& ch) {
  const unsigned lead = p[0];
  if (lead < 0x80) {
    ch = lead;
    return 1;
  }
  size_t continuation;
  uint32_t c;
  if ((lead & 0x20) == 0) {
    continuation = 1;
    c = lead & 0x1F;
  } else if ((lead & 0x10) == 0) {
    continuation = 2;
    c = lead & 0x0F;
  } else if ((lead & 0x08) == 0) {
    continuation = 3;
    c = lead & 0x07;
  } else {
    ch = kDecodeFailure;
    return 1;
  }
  for (size_t k = 1; k <= continuation; ++k) {
    const unsigned b = p[k];
    if (b < 0x80) {
      ch = kDecodeFailure;
      return k;  // decoding resumes at this byte
    }
    c = (c << 6) | (b & 0x3F);
  }
  ch = c;
  return continuation + 1;
}

inline size_t SequenceLength(unsigned lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0x20) == 0) return 2;
  if ((lead & 0x10) == 0) return 3;
  if ((lead & 0x08) == 0) return 4;
  return 1;
}

template <bool kWrite>
size_t ConvertUtf8(const unsigned char* bytes, size_t count, char16_t* out) {
  size_t i = 0;
  size_t units = 0;
  while (i < count) {
    // Runs of ASCII, the bulk of a configuration file, are widened as they stand.
    const size_t run = WidenAsciiRun(bytes + i, count - i, kWrite ? out + units : nullptr);
    i += run;
    units += run;
    if (i >= count) break;

    uint32_t ch;
    size_t used;
    const size_t left = count - i;
    if (left < 4) {
      unsigned char padded[4] = {0, 0, 0, 0};
      std::memcpy(padded, bytes + i, left);
      // An incomplete sequence at the end is dropped.
      if (SequenceLength(padded[0]) > left) break;
      used = DecodeUtf8(padded, ch);
    } else {
      used = DecodeUtf8(bytes + i, ch);
    }
    i += used;
    if (ch == 0) {
      if constexpr (kWrite) out[units] = 0;
      break;
    }
    if (ch == kDecodeFailure) ch = u'?';
    if (ch < 0x10000) {
      if constexpr (kWrite) out[units] = static_cast<char16_t>(ch);
      ++units;
    } else {
      if constexpr (kWrite) {
        out[units] = static_cast<char16_t>(0xD800 + (((ch - 0x10000) >> 10) & 0x3FF));
        out[units + 1] = static_cast<char16_t>(0xDC00 + (ch & 0x3FF));
      }
      units += 2;
    }
  }
  return kWrite ? i : units;
}

inline size_t EncodedLength(uint32_t c) {
  return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

int64_t FileSize(std::FILE* f) {
#ifdef _WIN32
  if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
  const int64_t size = _ftelli64(f);
  _fseeki64(f, 0, SEEK_SET);
#else
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  const int64_t size = ftello(f);
  fseeko(f, 0, SEEK_SET);
#endif
  return size;
}

}  // namespace

size_t XmlDocument::Utf8ToUtf16(const char* bytes, size_t count, char16_t* output) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes);
  return output != nullptr ? ConvertUtf8<true>(p, count, output)
                           : ConvertUtf8<false>(p, count, nullptr);
}

size_t XmlDocument::Utf16ToUtf8(const char16_t* text, char* output, size_t room) {
  size_t written = 0;
  size_t i = 0;
  bool full = false;
  while (!full) {
    // ASCII run.
    while (text[i] != 0 && text[i] < 0x80) {
      if (output != nullptr) {
        if (written >= room) {
          full = true;
          break;
        }
        output[written] = static_cast<char>(text[i]);
      }
      ++written;
      ++i;
    }
    if (full || text[i] == 0) break;
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      if (text[i + 1] == 0) {
        c = u'?';
        i += 1;
      } else {
        c = (((c & 0x3FF) << 10) | (text[i + 1] & 0x3FFu)) + 0x10000;
        i += 2;
      }
    } else {
      i += 1;
    }
    const size_t length = EncodedLength(c);
    if (output != nullptr) {
      if (room - written < 4 && length > room - written) break;
      char* o = output + written;
      switch (length) {
        case 1:
          o[0] = static_cast<char>(c);
          break;
        case 2:
          o[0] = static_cast<char>(0xC0 | (c >> 6));
          o[1] = static_cast<char>(0x80 | (c & 0x3F));
          break;
        case 3:
          o[0] = static_cast<char>(0xE0 | (c >> 12));
          o[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
          o[2] = static_cast<char>(0x80 | (c & 0x3F));
          break;
        default:
          o[0] = static_cast<char>(0xF0 | ((c >> 18) & 7));
          o[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
          o[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
          o[3] = static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    written += length;
  }
  if (output != nullptr && written < room) output[written] = 0;
  return written;
}

bool XmlDocument::LoadFile(const FilePath& path) {
  UniqueFile file(OpenFile(path, "rb"));
  if (!file) {
    status_ = LastSystemErrorText();
    return false;
  }
  const int64_t size = FileSize(file.get());
  if (size < 0 || static_cast<uint64_t>(size) > kMaxDocumentUnits) {
    // Unreadable size, or more than the index's 32-bit offsets can address.
    status_ = size < 0 ? LastSystemErrorText() : u"File too large";
    return false;
  }
  std::unique_ptr<char[]> bytes;
  try {
    bytes.reset(new char[static_cast<size_t>(size) + 1]);
  } catch (const std::bad_alloc&) {
    status_ = u"Not enough memory";
    return false;
  }
  const size_t read =
      size == 0 ? 0 : std::fread(bytes.get(), 1, static_cast<size_t>(size), file.get());
  file.reset();

  // From here on the old document is gone, whatever the parse finds.
  std::u16string().swap(doc_);
  size_t units = 0;
  if (read != 0) {
    units = Utf8ToUtf16(bytes.get(), read, nullptr);
    try {
      doc_.resize(units);
    } catch (const std::bad_alloc&) {
      status_ = u"Not enough memory";
      Parse();
      return false;
    }
    Utf8ToUtf16(bytes.get(), read, doc_.data());
  }
  bytes.reset();

  status_.clear();
  AppendNumber(status_, static_cast<uint64_t>(size));
  AppendAscii(status_, " bytes to ");
  AppendNumber(status_, units);
  AppendAscii(status_, " wide chars");
  Parse();
  return IsWellFormed();
}

bool XmlDocument::SaveFile(const FilePath& path) {
  UniqueFile file(OpenFile(path, "wb"));
  if (!file) {
    status_ = LastSystemErrorText();
    return false;
  }
  bool ok = true;
  size_t bytes = 0;
  if (!doc_.empty()) {
    bytes = Utf16ToUtf8(doc_.c_str(), nullptr, 0);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[bytes + 1]);
    if (!buffer) {
      status_ = u"Not enough memory";
      return false;
    }
    Utf16ToUtf8(doc_.c_str(), buffer.get(), bytes + 1);
    ok = std::fwrite(buffer.get(), 1, bytes, file.get()) == bytes;
  }
  // Buffered data reaches the file only here; a failing flush is a failed write too.
  if (ok) ok = std::fflush(file.get()) == 0;
  status_.clear();
  AppendNumber(status_, doc_.size());
  AppendAscii(status_, " wide chars to ");
  AppendNumber(status_, bytes);
  AppendAscii(status_, " bytes");
  if (!ok) status_ = LastSystemErrorText();
  std::FILE* raw = file.release();
  if (std::fclose(raw) != 0 && ok) {
    ok = false;
    status_ = LastSystemErrorText();
  }
  return ok;
}

}  // namespace lumatrove
