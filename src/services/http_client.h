// HTTP GET behind a seam: the WinInet side of the program and an in-memory server for tests.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// A web server in memory: bodies by URL; any other URL fails as an unreachable host would.
class MemoryHttp : public HttpSystem {
 public:
  struct Request {
    std::u16string url;
    std::u16string headers;
  };
  std::map<std::u16string, std::string> bodies;
  std::vector<Request> requests;

  Status Get(std::u16string_view url, std::u16string_view headers, size_t maxBytes,
             std::string& body) override;
};

std::unique_ptr<HttpSystem> MakeWinInetHttp();

}  // namespace lumatrove
