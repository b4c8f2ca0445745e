#include <windows.h>
// Windows headers after windows.h.
#include <iphlpapi.h>
#include <setupapi.h>
#include <winsock2.h>
#include <wlanapi.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "netcfg/win32_net_system.h"

#include "base/system_error_text.h"

namespace lumatrove {
namespace {

// How long one netsh command may take; Windows 7 and later answer within a second or two.
constexpr DWORD kNetshWaitMs = 30000;

const wchar_t* W(const std::u16string& s) {
  return reinterpret_cast<const wchar_t*>(s.c_str());
}

// An IP_ADDRESS_STRING's text, which fills its 16 bytes without a terminator at most.
std::string Dotted(const char (&text)[16]) {
  return std::string(text, strnlen(text, sizeof text));
}

HKEY RootKey(RegRoot root) {
  return root == RegRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class Win32Registry : public Registry {
 public:
  long OpenKey(RegRoot root, std::u16string_view path, RegAccess access, RegHandle& key) override {
    HKEY h = nullptr;
    const long r = RegOpenKeyExW(RootKey(root), W(std::u16string(path)), 0,
                                 access == RegAccess::kWrite ? KEY_WRITE : KEY_READ, &h);
    key = r == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(h) : 0;
    return r;
  }
  long CreateKey(RegRoot root, std::u16string_view path, RegHandle& key) override {
    HKEY h = nullptr;
    const long r = RegCreateKeyW(RootKey(root), W(std::u16string(path)), &h);
    key = r == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(h) : 0;
    return r;
  }
  long EnumSubKey(RegHandle key, uint32_t index, std::u16string& name) override {
    wchar_t buffer[256];
    DWORD length = 256;
    const long r = RegEnumKeyExW(reinterpret_cast<HKEY>(key), index, buffer, &length, nullptr,
                                 nullptr, nullptr, nullptr);
    if (r == ERROR_SUCCESS) name.assign(reinterpret_cast<const char16_t*>(buffer), length);
    return r;
  }
  long QueryValue(RegHandle key, std::u16string_view name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override {
    DWORD t = 0;
    DWORD s = size != nullptr ? *size : 0;
    const long r = RegQueryValueExW(reinterpret_cast<HKEY>(key), W(std::u16string(name)), nullptr,
                                    &t, data, size != nullptr ? &s : nullptr);
    if (type != nullptr) *type = t;
    if (size != nullptr) *size = s;
    return r;
  }
  long SetValue(RegHandle key, std::u16string_view name, uint32_t type, const uint8_t* data,
                uint32_t size) override {
    return RegSetValueExW(reinterpret_cast<HKEY>(key), W(std::u16string(name)), 0, type, data,
                          size);
  }
  long DeleteValue(RegHandle key, std::u16string_view name) override {
    return RegDeleteValueW(reinterpret_cast<HKEY>(key), W(std::u16string(name)));
  }
  void CloseKey(RegHandle key) override { RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

using NotifyFunction = DWORD(WINAPI*)(LPWSTR, LPWSTR, BOOL, DWORD, DWORD, DWORD, int);

class Win32DhcpLibrary : public DhcpClientLibrary {
 public:
  explicit Win32DhcpLibrary(HMODULE module) : module_(module) {}
  ~Win32DhcpLibrary() override { FreeLibrary(module_); }
  bool HasNotifyConfigChange() override { return Find() != nullptr; }
  uint32_t NotifyConfigChange(const char16_t* serverName, const char16_t* adapterName,
                              bool newIpAddress, uint32_t ipIndex, uint32_t ipAddress,
                              uint32_t subnetMask, int action) override {
    NotifyFunction notify = Find();
    if (notify == nullptr) return ERROR_PROC_NOT_FOUND;
    std::u16string adapter(adapterName != nullptr ? adapterName : u"");
    std::u16string server(serverName != nullptr ? serverName : u"");
    return notify(serverName != nullptr ? reinterpret_cast<LPWSTR>(server.data()) : nullptr,
                  reinterpret_cast<LPWSTR>(adapter.data()), newIpAddress ? TRUE : FALSE, ipIndex,
                  ipAddress, subnetMask, action);
  }

 private:
  NotifyFunction Find() {
    return reinterpret_cast<NotifyFunction>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DhcpNotifyConfigChange")));
  }
  HMODULE module_;
};

// The SSIDs of the connected Wi-Fi interfaces, through wlanapi.dll from the system folder,
// reached at run time: XP before SP3 and servers without the WLAN service have none.
std::vector<std::u16string> ReadWifiNetworks() {
  using Open = DWORD(WINAPI*)(DWORD, void*, DWORD*, HANDLE*);
  using Close = DWORD(WINAPI*)(HANDLE, void*);
  using Enum = DWORD(WINAPI*)(HANDLE, void*, WLAN_INTERFACE_INFO_LIST**);
  using Query = DWORD(WINAPI*)(HANDLE, const GUID*, WLAN_INTF_OPCODE, void*, DWORD*, void**,
                               WLAN_OPCODE_VALUE_TYPE*);
  using Free = void(WINAPI*)(void*);
  std::vector<std::u16string> names;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return names;
  const std::wstring path = std::wstring(folder, length) + L"\\wlanapi.dll";
  HMODULE module = LoadLibraryW(path.c_str());
  if (module == nullptr) return names;
  auto find = [&](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module, name));
  };
  const auto open = reinterpret_cast<Open>(find("WlanOpenHandle"));
  const auto close = reinterpret_cast<Close>(find("WlanCloseHandle"));
  const auto enumerate = reinterpret_cast<Enum>(find("WlanEnumInterfaces"));
  const auto query = reinterpret_cast<Query>(find("WlanQueryInterface"));
  const auto release = reinterpret_cast<Free>(find("WlanFreeMemory"));
  DWORD version = 0;
  HANDLE client = nullptr;
  // Version 1 is XP's; later systems take it too.
  if (open && close && enumerate && query && release &&
      open(1, nullptr, &version, &client) == ERROR_SUCCESS) {
    WLAN_INTERFACE_INFO_LIST* list = nullptr;
    if (enumerate(client, nullptr, &list) == ERROR_SUCCESS && list != nullptr) {
      for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& wlan = list->InterfaceInfo[i];
        if (wlan.isState != wlan_interface_state_connected) continue;
        DWORD size = 0;
        void* data = nullptr;
        if (query(client, &wlan.InterfaceGuid, wlan_intf_opcode_current_connection, nullptr, &size,
                  &data, nullptr) != ERROR_SUCCESS ||
            data == nullptr) {
          continue;
        }
        const DOT11_SSID& ssid =
            static_cast<WLAN_CONNECTION_ATTRIBUTES*>(data)->wlanAssociationAttributes.dot11Ssid;
        const std::string bytes(reinterpret_cast<const char*>(ssid.ucSSID),
                                std::min<ULONG>(ssid.uSSIDLength, DOT11_SSID_MAX_LENGTH));
        // Most names are UTF-8; others are read in the system's code page.
        wchar_t text[DOT11_SSID_MAX_LENGTH + 1] = {};
        int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), text, DOT11_SSID_MAX_LENGTH);
        if (n <= 0) {
          n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text,
                                  DOT11_SSID_MAX_LENGTH);
        }
        if (n > 0)
          names.emplace_back(reinterpret_cast<const char16_t*>(text), static_cast<size_t>(n));
        release(data);
      }
      release(list);
    }
    close(client, nullptr);
  }
  FreeLibrary(module);
  return names;
}

class Win32NetSystem : public NetSystem {
 public:
  Win32NetSystem(HWND owner, std::function<void(std::u16string_view)> messages)
      : owner_(owner), messages_(std::move(messages)), codePage_(MakeSystemCodePage()) {}
  ~Win32NetSystem() override {
    for (auto& s : sets_)
      SetupDiDestroyDeviceInfoList(s.handle);
  }

  Registry& registry() override { return registry_; }
  const AnsiCodePage& codePage() override { return *codePage_; }

  bool GetVersion(OsVersion& v) override {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 276 bytes
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!GetVersionExW(&info)) return false;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.build = info.dwBuildNumber;
    v.platformId = info.dwPlatformId;
    return true;
  }

  uint32_t GetAdaptersInfo(uint8_t* buffer, uint32_t* size) override {
    ULONG s = *size;
    const DWORD r = ::GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(buffer), &s);
    *size = s;
    return r;
  }

  std::vector<IpAdapterEntry> ReadAdapterTable(const uint8_t* buffer, uint32_t size) override {
    std::vector<IpAdapterEntry> entries;
    const uint8_t* end = buffer + size;
    for (auto* a = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer); a != nullptr; a = a->Next) {
      // The chain lives inside the buffer that the call filled; never follow it outside.
      const auto* p = reinterpret_cast<const uint8_t*>(a);
      if (p < buffer || p + sizeof(IP_ADAPTER_INFO) > end) break;
      IpAdapterEntry e;
      e.adapterName.assign(a->AdapterName, strnlen(a->AdapterName, sizeof a->AdapterName));
      for (int i = 0; i < 8; ++i)
        e.address[i] = a->Address[i];
      e.addressLength = a->AddressLength;
      e.index = a->Index;
      e.dhcpEnabled = a->DhcpEnabled != 0;
      for (const IP_ADDR_STRING* ip = &a->IpAddressList; ip != nullptr; ip = ip->Next) {
        e.ipAddresses.push_back(Dotted(ip->IpAddress.String));
        e.ipMasks.push_back(Dotted(ip->IpMask.String));
      }
      for (const IP_ADDR_STRING* g = &a->GatewayList; g != nullptr; g = g->Next) {
        if (g->IpAddress.String[0] != '\0') e.gateways.push_back(Dotted(g->IpAddress.String));
      }
      entries.push_back(e);
    }
    return entries;
  }

  std::vector<std::string> GetAdapterDnsServers(uint32_t index) override {
    std::vector<std::string> servers;
    ULONG size = 0;
    if (::GetPerAdapterInfo(index, nullptr, &size) != ERROR_BUFFER_OVERFLOW || size == 0) {
      return servers;
    }
    std::vector<uint8_t> buffer(size);
    auto* info = reinterpret_cast<IP_PER_ADAPTER_INFO*>(buffer.data());
    if (::GetPerAdapterInfo(index, info, &size) != ERROR_SUCCESS) return servers;
    for (const IP_ADDR_STRING* d = &info->DnsServerList; d != nullptr; d = d->Next) {
      if (d->IpAddress.String[0] != '\0') servers.push_back(Dotted(d->IpAddress.String));
    }
    return servers;
  }

  uint32_t SendArp(uint32_t destination, uint8_t mac[8], uint32_t* length) override {
    ULONG bytes[2] = {};
    ULONG size = sizeof bytes;
    const DWORD r = ::SendARP(destination, 0, bytes, &size);
    std::memcpy(mac, bytes, 8);
    *length = r == NO_ERROR ? size : 0;
    return r;
  }

  std::vector<std::u16string> ConnectedWifiNetworks() override {
    return ReadWifiNetworks();
  }

  std::optional<uint32_t> RunNetsh(std::u16string_view arguments) override {
    // The system folder's own netsh by its full path, no shell, no window.
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    const std::u16string program =
        std::u16string(reinterpret_cast<const char16_t*>(folder), length) + u"\\netsh.exe";
    std::u16string commandLine = u"netsh.exe " + std::u16string(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(W(program), reinterpret_cast<wchar_t*>(commandLine.data()), nullptr,
                        nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder, &startup, &process)) {
      return std::nullopt;
    }
    CloseHandle(process.hThread);
    DWORD exitCode = 0;
    const bool ended = WaitForSingleObject(process.hProcess, kNetshWaitMs) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    if (!ended) return std::nullopt;
    return exitCode;
  }

  std::unique_ptr<DhcpClientLibrary> LoadDhcpClient() override {
    HMODULE module = LoadLibraryW(L"dhcpcsvc");
    if (module == nullptr) return nullptr;
    return std::make_unique<Win32DhcpLibrary>(module);
  }

  DeviceSet GetDevices(std::u16string_view enumerator) override {
    const std::u16string e(enumerator);
    HDEVINFO set = SetupDiGetClassDevsW(nullptr, W(e), nullptr, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return 0;
    sets_.push_back({set, {}});
    return reinterpret_cast<DeviceSet>(set);
  }

  bool EnumDevice(DeviceSet set, uint32_t index) override {
    Set* s = Find(set);
    if (s == nullptr) return false;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    if (!SetupDiEnumDeviceInfo(s->handle, index, &data)) return false;
    if (s->devices.size() <= index) s->devices.resize(index + 1);
    s->devices[index] = data;
    return true;
  }

  bool GetDeviceDescription(DeviceSet set, uint32_t index, uint8_t* buffer, uint32_t size,
                            uint32_t* required) override {
    SP_DEVINFO_DATA* data = Device(set, index);
    if (data == nullptr) return false;
    DWORD needed = 0;
    const BOOL ok = SetupDiGetDeviceRegistryPropertyW(Find(set)->handle, data, SPDRP_DEVICEDESC,
                                                      nullptr, buffer, size, &needed);
    if (required != nullptr) *required = needed;
    return ok != FALSE;
  }

  bool SetPropertyChangeParams(DeviceSet set, uint32_t index, uint32_t stateChange, uint32_t scope,
                               uint32_t hwProfile) override {
    SP_DEVINFO_DATA* data = Device(set, index);
    if (data == nullptr) return false;
    SP_PROPCHANGE_PARAMS params = {};
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = stateChange;
    params.Scope = scope;
    params.HwProfile = hwProfile;
    return SetupDiSetClassInstallParamsW(Find(set)->handle, data, &params.ClassInstallHeader,
                                         sizeof params) != FALSE;
  }

  bool CallPropertyChange(DeviceSet set, uint32_t index) override {
    SP_DEVINFO_DATA* data = Device(set, index);
    if (data == nullptr) return false;
    return SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, Find(set)->handle, data) != FALSE;
  }

  void DestroyDevices(DeviceSet set) override {
    for (auto it = sets_.begin(); it != sets_.end(); ++it) {
      if (reinterpret_cast<DeviceSet>(it->handle) == set) {
        SetupDiDestroyDeviceInfoList(it->handle);
        sets_.erase(it);
        return;
      }
    }
  }

  uint32_t GetLastError() override {
    return ::GetLastError();
  }
  void SetLastError(uint32_t code) override {
    ::SetLastError(code);
  }

  std::u16string ErrorText(uint32_t code) override {
    return SystemErrorText(code);
  }

  int ShowMessage(std::u16string_view text, std::u16string_view caption, uint32_t flags) override {
    if (messages_) {
      // No one to press a button: a question is answered no.
      messages_(text);
      return (flags & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    }
    const std::u16string t(text), c(caption);
    return MessageBoxW(owner_, W(t), W(c), flags);
  }

  std::u16string ApplicationName() override {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::u16string name(reinterpret_cast<const char16_t*>(path));
    const size_t slash = name.find_last_of(u"\\/");
    if (slash != std::u16string::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(u'.');
    if (dot != std::u16string::npos) name.erase(dot);
    return name;
  }

  uint32_t InetAddr(const std::string& text) override {
    return inet_addr(text.c_str());
  }

 private:
  struct Set {
    HDEVINFO handle;
    std::vector<SP_DEVINFO_DATA> devices;
  };
  Set* Find(DeviceSet set) {
    for (Set& s : sets_) {
      if (reinterpret_cast<DeviceSet>(s.handle) == set) return &s;
    }
    return nullptr;
  }
  SP_DEVINFO_DATA* Device(DeviceSet set, uint32_t index) {
    Set* s = Find(set);
    if (s == nullptr || index >= s->devices.size() || s->devices[index].cbSize == 0) {
      return nullptr;
    }
    return &s->devices[index];
  }

  HWND owner_;
  std::function<void(std::u16string_view)> messages_;
  Win32Registry registry_;
  std::unique_ptr<AnsiCodePage> codePage_;
  std::vector<Set> sets_;
};

}  // namespace

std::unique_ptr<Registry> MakeWin32Registry() {
  return std::make_unique<Win32Registry>();
}

std::unique_ptr<NetSystem> MakeWin32NetSystem(void* owner) {
  return std::make_unique<Win32NetSystem>(static_cast<HWND>(owner), nullptr);
}

std::unique_ptr<NetSystem> MakeWin32ConsoleNetSystem(
    std::function<void(std::u16string_view)> messages) {
  return std::make_unique<Win32NetSystem>(nullptr, std::move(messages));
}

}  // namespace lumatrove
