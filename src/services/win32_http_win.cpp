// HTTP GET over WinInet, with the system's proxy settings.
#include <windows.h>
// After windows.h.
#include <wininet.h>

#include <algorithm>
#include <vector>

#include "services/http_client.h"

namespace lumatrove {
namespace {

const wchar_t* W(std::u16string_view s) {
  return reinterpret_cast<const wchar_t*>(s.data());
}

// Closes a WinInet handle when it goes out of scope.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET h) : h_(h) {}
  ~InternetHandle() {
    if (h_ != nullptr) InternetCloseHandle(h_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

class WinInetHttp : public HttpSystem {
 public:
  Status Get(std::u16string_view url, std::u16string_view headers, size_t maxBytes,
             std::string& body) override {
    const std::u16string address(url);
    wchar_t host[256] = {};
    std::vector<wchar_t> object(address.size() + 1, L'\0');
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = object.data();
    parts.dwUrlPathLength = static_cast<DWORD>(object.size());
    std::vector<wchar_t> extra(address.size() + 1, L'\0');
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlW(W(address), 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP) {
      return Status::kBadUrl;
    }
    const std::wstring path = std::wstring(object.data()) + extra.data();

    InternetHandle root(
        InternetOpenW(L"Lumatrove", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!root) return Status::kFailed;
    InternetHandle connection(InternetConnectW(root.Get(), host, parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 1));
    if (!connection) return Status::kFailed;
    InternetHandle request(HttpOpenRequestW(connection.Get(), L"GET", path.c_str(), nullptr,
                                            nullptr, nullptr, INTERNET_FLAG_NO_AUTO_REDIRECT, 1));
    if (!request) return Status::kFailed;
    const std::u16string lines(headers);
    HttpAddRequestHeadersW(request.Get(), W(lines), static_cast<DWORD>(-1),
                           HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    if (!HttpSendRequestW(request.Get(), nullptr, 0, nullptr, 0)) return Status::kFailed;
    char piece[1023];
    body.clear();
    while (body.size() < maxBytes) {
      DWORD read = 0;
      const DWORD want = static_cast<DWORD>(std::min(sizeof piece, maxBytes - body.size()));
      if (!InternetReadFile(request.Get(), piece, want, &read)) return Status::kFailed;
      if (read == 0) break;
      body.append(piece, read);
    }
    return Status::kOk;
  }
};

}  // namespace

std::unique_ptr<HttpSystem> MakeWinInetHttp() {
  return std::make_unique<WinInetHttp>();
}

}  // namespace lumatrove
