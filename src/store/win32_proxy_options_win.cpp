// The current user's LAN proxy through WinINet's per-connection options (Internet Explorer 5
// and later, so every Windows from XP): set, then announced to running programs.
#include <windows.h>
// After windows.h.
#include <wininet.h>

#include <string>

#include "store/win32_store_system.h"

namespace lumatrove {
namespace {

using Mode = ProxySetting::Mode;

std::u16string TakeText(wchar_t* text) {
  if (text == nullptr) return {};
  std::u16string copy(reinterpret_cast<const char16_t*>(text));
  GlobalFree(text);
  return copy;
}

class Win32ProxyOptions : public ProxyOptions {
 public:
  std::optional<ProxySetting> Read() override {
    INTERNET_PER_CONN_OPTIONW options[4] = {};
    options[0].dwOption = INTERNET_PER_CONN_FLAGS;
    options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
    options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
    options[3].dwOption = INTERNET_PER_CONN_AUTOCONFIG_URL;
    INTERNET_PER_CONN_OPTION_LISTW list = {};
    list.dwSize = sizeof list;
    list.pszConnection = nullptr;  // the LAN
    list.dwOptionCount = 4;
    list.pOptions = options;
    DWORD size = sizeof list;
    if (!InternetQueryOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size))
      return std::nullopt;
    const DWORD flags = options[0].Value.dwValue;
    ProxySetting proxy;
    proxy.server = TakeText(options[1].Value.pszValue);
    const std::u16string bypass = TakeText(options[2].Value.pszValue);
    proxy.scriptUrl = TakeText(options[3].Value.pszValue);
    if ((flags & PROXY_TYPE_AUTO_PROXY_URL) != 0) {
      proxy.mode = Mode::kScript;
    } else if ((flags & PROXY_TYPE_AUTO_DETECT) != 0) {
      proxy.mode = Mode::kDetect;
    } else if ((flags & PROXY_TYPE_PROXY) != 0) {
      proxy.mode = Mode::kServer;
    } else {
      proxy.mode = Mode::kOff;
    }
    // "<local>" in the list is the check box; the rest are the entries.
    size_t start = 0;
    while (start <= bypass.size()) {
      size_t end = bypass.find(u';', start);
      if (end == std::u16string::npos) end = bypass.size();
      const std::u16string entry = bypass.substr(start, end - start);
      if (entry == u"<local>") {
        proxy.local = true;
      } else if (!entry.empty()) {
        proxy.bypass += (proxy.bypass.empty() ? u"" : u";") + entry;
      }
      start = end + 1;
    }
    // Only what the mode uses: WinINet keeps a server and a script address it does not use.
    if (proxy.mode != Mode::kServer) {
      proxy.server.clear();
      proxy.bypass.clear();
      proxy.local = false;
    }
    if (proxy.mode != Mode::kScript) proxy.scriptUrl.clear();
    return proxy;
  }

  bool Write(const ProxySetting& proxy) override {
    std::wstring server, bypass, url;
    DWORD flags = PROXY_TYPE_DIRECT;
    switch (proxy.mode) {
      case Mode::kServer:
        flags |= PROXY_TYPE_PROXY;
        server.assign(proxy.server.begin(), proxy.server.end());
        {
          const std::u16string list = ProxyBypassList(proxy);
          bypass.assign(list.begin(), list.end());
        }
        break;
      case Mode::kScript:
        flags |= PROXY_TYPE_AUTO_PROXY_URL;
        url.assign(proxy.scriptUrl.begin(), proxy.scriptUrl.end());
        break;
      case Mode::kDetect:
        flags |= PROXY_TYPE_AUTO_DETECT;
        break;
      case Mode::kOff:
        break;
      case Mode::kLeaveAlone:
        return true;
    }
    INTERNET_PER_CONN_OPTIONW options[4] = {};
    options[0].dwOption = INTERNET_PER_CONN_FLAGS;
    options[0].Value.dwValue = flags;
    options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
    options[1].Value.pszValue = server.data();
    options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
    options[2].Value.pszValue = bypass.data();
    options[3].dwOption = INTERNET_PER_CONN_AUTOCONFIG_URL;
    options[3].Value.pszValue = url.data();
    INTERNET_PER_CONN_OPTION_LISTW list = {};
    list.dwSize = sizeof list;
    list.dwOptionCount = 4;
    list.pOptions = options;
    if (!InternetSetOptionW(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof list))
      return false;
    // Running browsers and the system read the settings again.
    InternetSetOptionW(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    InternetSetOptionW(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
    return true;
  }
};

}  // namespace

std::unique_ptr<ProxyOptions> MakeWin32ProxyOptions() {
  return std::make_unique<Win32ProxyOptions>();
}

}  // namespace lumatrove
