// A stand-in for the IP Helper in tests and the demo under Wine, whose own adapter table shows
// the Linux interfaces, which no apply changes. This one shows the adapters of the prefix's
// registry as Windows would: at load, what their TCP/IP keys hold; afterwards an adapter
// changes when the DHCP client stand-in is told about it (LumatroveFollowRegistry), as
// Windows follows DhcpNotifyConfigChange, and each change completes the pending
// NotifyAddrChange requests.
//
// Settings that another program writes into the registry show as well: once a program has
// asked NotifyAddrChange, a watch on the TCP/IP keys reads every adapter again after a change.
// LUMATROVE_LIVE_FROZEN switches all following off, as for a Windows that lags behind; what
// the netsh stand-in sets is followed even then (it marks the interface key with
// "LumatroveSetByNetsh", consumed when the table is read next).
//
// An adapter on DHCP shows the DhcpIPAddress and DhcpSubnetMask of its key, or else
// 192.168.77.(10 + its number) / 255.255.255.0. Devices answering ARP come from
// LUMATROVE_ARP_ANSWERS ("10.0.5.99=00-11-22-33-44-55;..."); other addresses get no answer.
// Every function that a module of the process imports from the IP Helper is exported; those
// this stand-in does not serve return ERROR_NOT_SUPPORTED. Never shipped.
#include <windows.h>
// After windows.h.
#include <iptypes.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClassKey[] =
    L"System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr wchar_t kInterfacesKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

struct Adapter {
  std::string name;  // the GUID
  std::string description;
  DWORD index = 0;
  BYTE mac[6] = {};
  bool dhcp = false;
  std::vector<std::string> addresses, masks, gateways, dns;
};

CRITICAL_SECTION lock;
std::vector<Adapter> adapters;
std::vector<HANDLE> waiting;  // events of pending NotifyAddrChange requests

std::string Narrow(const std::wstring& s) {
  return std::string(s.begin(), s.end());
}

// The strings of a REG_SZ or REG_MULTI_SZ value; a REG_SZ is split at commas and blanks.
std::vector<std::string> ReadList(HKEY key, const wchar_t* value) {
  std::vector<std::string> list;
  wchar_t data[1024] = {};
  DWORD size = sizeof data - 2 * sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS) {
    return list;
  }
  if (type == REG_MULTI_SZ) {
    for (const wchar_t* p = data; *p != 0; p += wcslen(p) + 1)
      list.push_back(Narrow(p));
  } else if (type == REG_SZ) {
    std::string text = Narrow(data);
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find_first_of(", ", start);
      if (end == std::string::npos) end = text.size();
      if (end > start) list.push_back(text.substr(start, end - start));
      start = end + 1;
    }
  }
  return list;
}

void ReadSettings(Adapter& a, size_t number) {
  const std::wstring path = kInterfacesKey + std::wstring(a.name.begin(), a.name.end());
  HKEY key = nullptr;
  a.addresses.clear();
  a.masks.clear();
  a.gateways.clear();
  a.dns.clear();
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD dhcp = 0;
  DWORD size = sizeof dhcp;
  RegQueryValueExW(key, L"EnableDHCP", nullptr, nullptr, reinterpret_cast<BYTE*>(&dhcp), &size);
  a.dhcp = dhcp != 0;
  if (a.dhcp) {
    a.addresses = ReadList(key, L"DhcpIPAddress");
    a.masks = ReadList(key, L"DhcpSubnetMask");
    if (a.addresses.empty()) {
      a.addresses = {"192.168.77." + std::to_string(10 + number)};
      a.masks = {"255.255.255.0"};
    }
    a.gateways = ReadList(key, L"DhcpDefaultGateway");
    a.dns = ReadList(key, L"NameServer");
    if (a.dns.empty()) a.dns = ReadList(key, L"DhcpNameServer");
  } else {
    a.addresses = ReadList(key, L"IPAddress");
    a.masks = ReadList(key, L"SubnetMask");
    a.gateways = ReadList(key, L"DefaultGateway");
    a.dns = ReadList(key, L"NameServer");
  }
  RegCloseKey(key);
}

void ReadAdapters() {
  HKEY root = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClassKey, 0, KEY_READ, &root) != ERROR_SUCCESS) return;
  wchar_t sub[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(root, i, sub, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, sub, 0, KEY_READ, &key) != ERROR_SUCCESS) continue;
    wchar_t id[128] = {};
    wchar_t description[256] = {};
    DWORD size = sizeof id - sizeof(wchar_t);
    const bool hasId = RegQueryValueExW(key, L"NetCfgInstanceID", nullptr, nullptr,
                                        reinterpret_cast<BYTE*>(id), &size) == ERROR_SUCCESS;
    size = sizeof description - sizeof(wchar_t);
    RegQueryValueExW(key, L"DriverDesc", nullptr, nullptr, reinterpret_cast<BYTE*>(description),
                     &size);
    RegCloseKey(key);
    if (!hasId) continue;
    Adapter a;
    a.name = Narrow(id);
    a.description = Narrow(description);
    a.index = 0x10 + static_cast<DWORD>(adapters.size());
    const BYTE mac[6] = {0x00, 0x0c, 0x29, 0x4c, 0x00, static_cast<BYTE>(adapters.size() + 1)};
    std::memcpy(a.mac, mac, 6);
    ReadSettings(a, adapters.size());
    adapters.push_back(a);
  }
  RegCloseKey(root);
}

void CopyAddress(IP_ADDR_STRING& to, const std::string& address, const std::string& mask) {
  lstrcpynA(to.IpAddress.String, address.c_str(), 16);
  lstrcpynA(to.IpMask.String, mask.c_str(), 16);
}

// Fills a chain of address strings: the first lives in the record, the others in `extra`.
void FillList(IP_ADDR_STRING& first, const std::vector<std::string>& addresses,
              const std::vector<std::string>& masks, IP_ADDR_STRING*& extra) {
  if (addresses.empty()) {
    CopyAddress(first, "0.0.0.0", "0.0.0.0");
    return;
  }
  IP_ADDR_STRING* last = &first;
  for (size_t i = 0; i < addresses.size(); ++i) {
    IP_ADDR_STRING* entry = i == 0 ? &first : extra++;
    CopyAddress(*entry, addresses[i], i < masks.size() ? masks[i] : std::string());
    if (i > 0) last->Next = entry;
    last = entry;
  }
}

bool Frozen() {
  return GetEnvironmentVariableW(L"LUMATROVE_LIVE_FROZEN", nullptr, 0) != 0;
}

// Reads the adapters that the netsh stand-in set since the last look; the lock is held.
void FollowNetsh() {
  for (size_t i = 0; i < adapters.size(); ++i) {
    const std::wstring path =
        kInterfacesKey + std::wstring(adapters[i].name.begin(), adapters[i].name.end());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS) {
      continue;
    }
    if (RegDeleteValueW(key, L"LumatroveSetByNetsh") == ERROR_SUCCESS) ReadSettings(adapters[i], i);
    RegCloseKey(key);
  }
}

// Reads every adapter again and completes the pending change requests; the lock is held.
void Changed() {
  for (HANDLE event : waiting)
    SetEvent(event);
  waiting.clear();
}

DWORD WINAPI WatchRegistry(void*) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInterfacesKey, 0, KEY_NOTIFY | KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return 0;
  }
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  for (;;) {
    if (RegNotifyChangeKeyValue(key, TRUE, REG_NOTIFY_CHANGE_LAST_SET, event, TRUE) !=
        ERROR_SUCCESS) {
      break;
    }
    WaitForSingleObject(event, INFINITE);
    if (Frozen()) continue;
    EnterCriticalSection(&lock);
    for (size_t i = 0; i < adapters.size(); ++i)
      ReadSettings(adapters[i], i);
    Changed();
    LeaveCriticalSection(&lock);
  }
  return 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) {
    InitializeCriticalSection(&lock);
    ReadAdapters();
  }
  return TRUE;
}

extern "C" void WINAPI LumatroveFollowRegistry(const wchar_t* adapterName) {
  EnterCriticalSection(&lock);
  const std::string name = Narrow(adapterName != nullptr ? adapterName : L"");
  for (size_t i = 0; i < adapters.size(); ++i) {
    if (lstrcmpiA(adapters[i].name.c_str(), name.c_str()) == 0) ReadSettings(adapters[i], i);
  }
  Changed();
  LeaveCriticalSection(&lock);
}

extern "C" DWORD WINAPI GetAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) {
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  EnterCriticalSection(&lock);
  FollowNetsh();
  if (adapters.empty()) {
    LeaveCriticalSection(&lock);
    return ERROR_NO_DATA;
  }
  size_t extras = 0;
  for (const Adapter& a : adapters)
    extras += (a.addresses.size() > 1 ? a.addresses.size() - 1 : 0) +
              (a.gateways.size() > 1 ? a.gateways.size() - 1 : 0);
  const ULONG needed = static_cast<ULONG>(adapters.size() * sizeof(IP_ADAPTER_INFO) +
                                          extras * sizeof(IP_ADDR_STRING));
  if (info == nullptr || *size < needed) {
    *size = needed;
    LeaveCriticalSection(&lock);
    return ERROR_BUFFER_OVERFLOW;
  }
  std::memset(info, 0, needed);
  auto* extra = reinterpret_cast<IP_ADDR_STRING*>(info + adapters.size());
  for (size_t i = 0; i < adapters.size(); ++i) {
    const Adapter& a = adapters[i];
    IP_ADAPTER_INFO& r = info[i];
    r.Next = i + 1 < adapters.size() ? &info[i + 1] : nullptr;
    r.ComboIndex = a.index;
    lstrcpynA(r.AdapterName, a.name.c_str(), sizeof r.AdapterName);
    lstrcpynA(r.Description, a.description.c_str(), sizeof r.Description);
    r.AddressLength = 6;
    std::memcpy(r.Address, a.mac, 6);
    r.Index = a.index;
    r.Type = MIB_IF_TYPE_ETHERNET;
    r.DhcpEnabled = a.dhcp ? 1 : 0;
    FillList(r.IpAddressList, a.addresses, a.masks, extra);
    FillList(r.GatewayList, a.gateways, {}, extra);
  }
  LeaveCriticalSection(&lock);
  return ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetPerAdapterInfo(ULONG index, PIP_PER_ADAPTER_INFO info, PULONG size) {
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  EnterCriticalSection(&lock);
  const Adapter* found = nullptr;
  for (const Adapter& a : adapters)
    if (a.index == index) found = &a;
  if (found == nullptr) {
    LeaveCriticalSection(&lock);
    return ERROR_NOT_FOUND;
  }
  const size_t extras = found->dns.size() > 1 ? found->dns.size() - 1 : 0;
  const ULONG needed =
      static_cast<ULONG>(sizeof(IP_PER_ADAPTER_INFO) + extras * sizeof(IP_ADDR_STRING));
  if (info == nullptr || *size < needed) {
    *size = needed;
    LeaveCriticalSection(&lock);
    return ERROR_BUFFER_OVERFLOW;
  }
  std::memset(info, 0, needed);
  auto* extra = reinterpret_cast<IP_ADDR_STRING*>(info + 1);
  if (!found->dns.empty()) FillList(info->DnsServerList, found->dns, {}, extra);
  LeaveCriticalSection(&lock);
  return ERROR_SUCCESS;
}

extern "C" DWORD WINAPI NotifyAddrChange(PHANDLE handle, LPOVERLAPPED overlapped) {
  if (overlapped == nullptr || overlapped->hEvent == nullptr) return ERROR_NOT_SUPPORTED;
  if (handle != nullptr) *handle = nullptr;
  static LONG watching = 0;
  if (InterlockedExchange(&watching, 1) == 0) {
    if (HANDLE thread = CreateThread(nullptr, 0, WatchRegistry, nullptr, 0, nullptr)) {
      CloseHandle(thread);
    }
  }
  EnterCriticalSection(&lock);
  waiting.push_back(overlapped->hEvent);
  LeaveCriticalSection(&lock);
  return ERROR_IO_PENDING;
}

extern "C" DWORD WINAPI SendARP(ULONG destination, ULONG, PVOID mac, PULONG length) {
  if (mac == nullptr || length == nullptr || *length < 6) return ERROR_INVALID_PARAMETER;
  const auto* b = reinterpret_cast<const BYTE*>(&destination);
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  char answers[1024] = {};
  GetEnvironmentVariableA("LUMATROVE_ARP_ANSWERS", answers, sizeof answers);
  const std::string list = answers;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string entry = list.substr(start, end - start);
    const size_t equals = entry.find('=');
    unsigned v[6];
    if (equals != std::string::npos && entry.substr(0, equals) == wanted &&
        std::sscanf(entry.c_str() + equals + 1, "%x-%x-%x-%x-%x-%x", &v[0], &v[1], &v[2], &v[3],
                    &v[4], &v[5]) == 6) {
      auto* out = static_cast<BYTE*>(mac);
      for (int i = 0; i < 6; ++i)
        out[i] = static_cast<BYTE>(v[i]);
      *length = 6;
      return NO_ERROR;
    }
    start = end + 1;
  }
  // Windows answers for an address nobody holds only after its ARP retries.
  char silent[16] = {};
  if (GetEnvironmentVariableA("LUMATROVE_ARP_SILENT_MS", silent, sizeof silent) > 0) {
    Sleep(static_cast<DWORD>(std::strtoul(silent, nullptr, 10)));
  }
  *length = 0;
  return ERROR_BAD_NET_NAME;
}

// What other modules import (netapi32: GetIfEntry, GetIpAddrTable): not served here.
extern "C" DWORD WINAPI GetIfEntry(void*) {
  return ERROR_NOT_SUPPORTED;
}
extern "C" DWORD WINAPI GetIpAddrTable(void*, PULONG, BOOL) {
  return ERROR_NOT_SUPPORTED;
}

// WinINet asks for the adapters' addresses when it reads the proxy settings; what the tests
// follow is the adapter table above, and this form has nothing to add.
extern "C" ULONG WINAPI GetAdaptersAddresses(ULONG, ULONG, void*, void*, ULONG* size) {
  if (size != nullptr) *size = 0;
  return ERROR_NO_DATA;
}
