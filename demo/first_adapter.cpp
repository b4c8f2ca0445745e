// Prints the identifier of the first network adapter that the system reports, so that the
// demo computer's wired adapter can take it (Wine then finds its hardware address).
#include <windows.h>
// After windows.h.
#include <iphlpapi.h>

#include <cstdio>
#include <vector>

int main() {
  ULONG size = 0;
  if (GetAdaptersInfo(nullptr, &size) != ERROR_BUFFER_OVERFLOW) return 1;
  std::vector<unsigned char> buffer(size);
  auto* info = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
  if (GetAdaptersInfo(info, &size) != ERROR_SUCCESS) return 1;
  std::printf("%s\n", info->AdapterName);
  return 0;
}
