// HTTP GET behind a seam: the WinInet side of the program here, an in-memory server among
// the fakes (fakes/memory_http.h).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace lumatrove {

class HttpSystem {
 public:
  enum class Status {
    kOk,      // the request was sent and the body read (whatever the status code)
    kBadUrl,  // not an http:// address that can be parsed
    kFailed,  // host not found, refused, timed out, read failed
  };
  virtual ~HttpSystem() = default;
  // GETs `url` with the extra header lines `headers`, not following redirects, and keeps at
  // most `maxBytes` of the body in `body` (the rest is not read).
  virtual Status Get(std::u16string_view url, std::u16string_view headers, size_t maxBytes,
                     std::string& body) = 0;
};

std::unique_ptr<HttpSystem> MakeWinInetHttp();

}  // namespace lumatrove
