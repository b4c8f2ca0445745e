#include "fakes/memory_http.h"

namespace lumatrove {

HttpSystem::Status MemoryHttp::Get(std::u16string_view url, std::u16string_view headers,
                                   size_t maxBytes, std::string& body) {
  if (!url.starts_with(u"http://")) return Status::kBadUrl;
  requests.push_back({std::u16string(url), std::u16string(headers)});
  const auto found = bodies.find(std::u16string(url));
  if (found == bodies.end()) return Status::kFailed;
  body = found->second.substr(0, maxBytes);
  return Status::kOk;
}

}  // namespace lumatrove
