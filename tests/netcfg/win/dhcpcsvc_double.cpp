// A stand-in for the DHCP client library in tests under Wine, whose own
// DhcpNotifyConfigChange is an unimplemented stub that ends the process. It appends one line
// per call, with the seven arguments, to the UTF-8 file named by LUMATROVE_DHCP_LOG, and
// returns the number in LUMATROVE_DHCP_RESULT (0 when unset). Never shipped.
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
  wchar_t result[16];
  if (GetEnvironmentVariableW(L"LUMATROVE_DHCP_RESULT", result, 16) > 0) {
    return static_cast<DWORD>(_wtoi(result));
  }
  return 0;
}
