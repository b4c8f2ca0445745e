// A stand-in for the DHCP client library in tests under Wine, whose own
// DhcpNotifyConfigChange is an unimplemented stub that ends the process. It appends one line
// per call, with the seven arguments, to the UTF-8 file named by LUMATROVE_DHCP_LOG, and
// returns the number in LUMATROVE_DHCP_RESULT (0 when unset). The IP Helper stand-in, when
// loaded, is told to show the adapter's new settings unless LUMATROVE_LIVE_FROZEN is set.
// Never shipped.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* s) {
  if (s == nullptr) return "(null)";
  const int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n - 1) : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, s, -1, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

extern "C" DWORD WINAPI DhcpNotifyConfigChange(LPWSTR serverName, LPWSTR adapterName,
                                               BOOL newIpAddress, DWORD ipIndex, DWORD ipAddress,
                                               DWORD subnetMask, int action) {
  wchar_t path[MAX_PATH];
  if (GetEnvironmentVariableW(L"LUMATROVE_DHCP_LOG", path, MAX_PATH) > 0) {
    if (FILE* f = _wfopen(path, L"ab")) {
      std::fprintf(f, "%s|%s|%d|%lu|%08lx|%08lx|%d\n", Utf8(serverName).c_str(),
                   Utf8(adapterName).c_str(), newIpAddress ? 1 : 0,
                   static_cast<unsigned long>(ipIndex), static_cast<unsigned long>(ipAddress),
                   static_cast<unsigned long>(subnetMask), action);
      std::fclose(f);
    }
  }
  // Windows follows the notification: so does the IP Helper stand-in, when it is loaded and
  // the test does not want Windows to lag behind.
  if (GetEnvironmentVariableW(L"LUMATROVE_LIVE_FROZEN", nullptr, 0) == 0) {
    using Follow = void(WINAPI*)(const wchar_t*);
    if (HMODULE helper = GetModuleHandleW(L"iphlpapi.dll")) {
      if (auto follow = reinterpret_cast<Follow>(
              reinterpret_cast<void*>(GetProcAddress(helper, "LumatroveFollowRegistry")))) {
        follow(adapterName);
      }
    }
  }
  wchar_t result[16];
  if (GetEnvironmentVariableW(L"LUMATROVE_DHCP_RESULT", result, 16) > 0) {
    return static_cast<DWORD>(_wtoi(result));
  }
  return 0;
}

// WinINet asks the DHCP client for the proxy auto-discovery option (252) when it detects
// proxy settings; like a network without that option, this one has no answer.
extern "C" DWORD WINAPI DhcpRequestParams(DWORD, void*, LPWSTR, void*, void*, void*, LPBYTE,
                                          LPDWORD, LPWSTR) {
  return ERROR_NOT_SUPPORTED;
}
