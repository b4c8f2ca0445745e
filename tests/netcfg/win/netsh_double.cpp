// A stand-in for netsh.exe in tests under Wine, whose own netsh does nothing and ends with 0
// whatever it is asked. This one appends its arguments as one UTF-8 line to the file named by
// LUMATROVE_NETSH_LOG and ends with the number in LUMATROVE_NETSH_RESULT (0 when unset).
// Ending with 0, it does what Windows' netsh does with "interface ipv4 set|add address|
// dnsservers name=<index> ..." (also further addresses and gateways): it writes the
// interface's TCP/IP values and marks the key, so
// that the IP Helper stand-in shows them even when it follows nothing else. The index is the
// one the IP Helper stand-in gives: 0x10 and up, in the order of the adapter class key.
// Anything else it does not know ends with 1, as netsh's own errors do. Never shipped.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kClassKey[] =
    L"System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}";
constexpr wchar_t kInterfacesKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

// The GUID of the adapter the IP Helper stand-in numbers `index`; "" when there is none.
std::wstring AdapterOfIndex(unsigned long index) {
  std::wstring found;
  HKEY root = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClassKey, 0, KEY_READ, &root) != ERROR_SUCCESS) {
    return found;
  }
  unsigned long next = 0x10;
  wchar_t sub[256];
  for (DWORD i = 0; found.empty(); ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(root, i, sub, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    wchar_t id[128] = {};
    DWORD size = sizeof id - sizeof(wchar_t);
    if (RegGetValueW(root, sub, L"NetCfgInstanceID", RRF_RT_REG_SZ, nullptr, id, &size) !=
        ERROR_SUCCESS) {
      continue;
    }
    if (next++ == index) found = id;
  }
  RegCloseKey(root);
  return found;
}

void SetMulti(HKEY key, const wchar_t* name, const std::wstring& value) {
  std::wstring data = value;
  data.push_back(L'\0');
  data.push_back(L'\0');
  RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

// Appends `value` to the REG_MULTI_SZ `name`.
void AppendMulti(HKEY key, const wchar_t* name, const std::wstring& value) {
  wchar_t data[1024] = {};
  DWORD size = sizeof data - 2 * sizeof(wchar_t);
  std::wstring all;
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    for (const wchar_t* p = data; *p != 0; p += wcslen(p) + 1)
      all.append(p).push_back(L'\0');
  }
  all.append(value).push_back(L'\0');
  all.push_back(L'\0');
  RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(all.c_str()),
                 static_cast<DWORD>(all.size() * sizeof(wchar_t)));
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetNumber(HKEY key, const wchar_t* name, DWORD value) {
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Carries out one "interface ipv4 ..." command; its exit code.
int Carry(const std::vector<std::wstring>& words, std::map<std::wstring, std::wstring>& options) {
  if (words.size() != 4 || words[0] != L"interface" || words[1] != L"ipv4") return 1;
  const std::wstring adapter = AdapterOfIndex(std::wcstoul(options[L"name"].c_str(), nullptr, 10));
  if (adapter.empty()) return 1;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kInterfacesKey + adapter).c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  const std::wstring& verb = words[2];
  int result = 0;
  if (words[3] == L"address" && verb == L"set" && options[L"source"] == L"dhcp") {
    SetNumber(key, L"EnableDHCP", 1);
  } else if (words[3] == L"address" && verb == L"set" && options[L"source"] == L"static") {
    SetNumber(key, L"EnableDHCP", 0);
    SetMulti(key, L"IPAddress", options[L"address"]);
    SetMulti(key, L"SubnetMask", options[L"mask"]);
    SetMulti(key, L"DefaultGateway", options[L"gateway"] == L"none" ? L"" : options[L"gateway"]);
  } else if (words[3] == L"address" && verb == L"add" && !options[L"gateway"].empty()) {
    AppendMulti(key, L"DefaultGateway", options[L"gateway"]);
  } else if (words[3] == L"address" && verb == L"add") {
    AppendMulti(key, L"IPAddress", options[L"address"]);
    AppendMulti(key, L"SubnetMask", options[L"mask"]);
  } else if (words[3] == L"dnsservers" && verb == L"set") {
    const std::wstring& address = options[L"address"];
    SetText(key, L"NameServer", address == L"none" ? L"" : address);
  } else if (words[3] == L"dnsservers" && verb == L"add") {
    wchar_t servers[512] = {};
    DWORD size = sizeof servers - sizeof(wchar_t);
    RegQueryValueExW(key, L"NameServer", nullptr, nullptr, reinterpret_cast<BYTE*>(servers), &size);
    std::wstring list = servers;
    SetText(key, L"NameServer",
            list.empty() ? options[L"address"] : list + L"," + options[L"address"]);
  } else {
    result = 1;
  }
  if (result == 0) SetNumber(key, L"LumatroveSetByNetsh", 1);
  RegCloseKey(key);
  return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> words;
  std::map<std::wstring, std::wstring> options;
  std::wstring line;
  for (int i = 1; i < argc; ++i) {
    const std::wstring word = argv[i];
    line += (i > 1 ? L" " : L"") + word;
    const size_t equals = word.find(L'=');
    if (equals == std::wstring::npos) {
      words.push_back(word);
    } else {
      options[word.substr(0, equals)] = word.substr(equals + 1);
    }
  }
  wchar_t path[MAX_PATH];
  if (GetEnvironmentVariableW(L"LUMATROVE_NETSH_LOG", path, MAX_PATH) > 0) {
    if (FILE* f = _wfopen(path, L"ab")) {
      std::string utf8(line.begin(), line.end());  // the arguments are ASCII
      std::fprintf(f, "%s\n", utf8.c_str());
      std::fclose(f);
    }
  }
  wchar_t result[16];
  if (GetEnvironmentVariableW(L"LUMATROVE_NETSH_RESULT", result, 16) > 0) return _wtoi(result);
  return Carry(words, options);
}
