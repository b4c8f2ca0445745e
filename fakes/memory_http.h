// A web server in memory for tests: bodies by URL; any other URL fails as an unreachable host
// would.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "services/http_client.h"

namespace lumatrove {

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

}  // namespace lumatrove
