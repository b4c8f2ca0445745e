#include "fakes/memory_computer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/ascii_text.h"
#include "netcfg/net_adapter_layer.h"

namespace lumatrove {
namespace {

// The in-memory adapter table lays out one entry per 640 bytes, as large as the 32-bit
// IP_ADAPTER_INFO, so that a second adapter already needs the retry with a larger buffer.
constexpr uint32_t kEntryBytes = 640;
constexpr uint32_t kNameBytes = 260;
constexpr uint32_t kAddressOffset = 400;
constexpr uint32_t kLengthOffset = 408;
constexpr uint32_t kNextOffset = 412;
constexpr uint32_t kTableIndexOffset = 416;

std::string Narrow(const std::u16string& s) {
  return NarrowAscii(s);
}

std::vector<std::string> Narrow(const std::vector<std::u16string>& list) {
  std::vector<std::string> out;
  for (const std::u16string& s : list)
    if (!s.empty()) out.push_back(NarrowAscii(s));
  return out;
}

bool ParseMac(const std::string& text, uint8_t out[6]) {
  unsigned v[6];
  if (std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) !=
      6) {
    return false;
  }
  for (int i = 0; i < 6; ++i)
    out[i] = static_cast<uint8_t>(v[i]);
  return true;
}

class AsciiCodePage : public AnsiCodePage {
 public:
  std::u16string ToUtf16(std::string_view bytes) const override {
    std::u16string out;
    for (char c : bytes) {
      out.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'?');
    }
    return out;
  }
  std::string FromUtf16(std::u16string_view text) const override { return NarrowAscii(text); }
};

}  // namespace

std::unique_ptr<AnsiCodePage> MakeAsciiCodePage() {
  return std::make_unique<AsciiCodePage>();
}

class MemoryComputer::Library : public DhcpClientLibrary {
 public:
  explicit Library(MemoryComputer& pc) : pc_(pc) {}
  bool HasNotifyConfigChange() override { return pc_.dhcpExportPresent; }
  uint32_t NotifyConfigChange(const char16_t* serverName, const char16_t* adapterName,
                              bool newIpAddress, uint32_t ipIndex, uint32_t ipAddress,
                              uint32_t subnetMask, int action) override {
    DhcpNotification n;
    n.serverNameNull = serverName == nullptr;
    n.adapterName = adapterName != nullptr ? adapterName : u"";
    n.newIpAddress = newIpAddress;
    n.ipIndex = ipIndex;
    n.ipAddress = ipAddress;
    n.subnetMask = subnetMask;
    n.action = action;
    pc_.notifications.push_back(n);
    pc_.journal.push_back("notify " + NarrowAscii(n.adapterName) + " action " +
                          std::to_string(action));
    if (pc_.dhcpResult == 0 && pc_.tableFollowsNotifications) {
      pc_.RefreshAdapterTable(n.adapterName);
    }
    return pc_.dhcpResult;
  }

 private:
  MemoryComputer& pc_;
};

MemoryComputer::MemoryComputer() {
  codePage_ = MakeCodePage(950);
  if (!codePage_) codePage_ = MakeAsciiCodePage();
  registry_.onChange = [this](const MemoryRegistry::Change& c) {
    journal.push_back(c.kind + " " + NarrowAscii(c.key) + "\\" + NarrowAscii(c.value));
  };
}

MemoryComputer::~MemoryComputer() = default;

void MemoryComputer::AddAdapter(const AdapterSpec& adapter) {
  char number[8];
  std::snprintf(number, sizeof number, "%04d", adapterCount_++);
  const std::u16string classKey =
      std::u16string(kAdapterClassKey) + u"\\" + std::u16string(number, number + 4);
  const RegRoot hklm = RegRoot::kLocalMachine;
  registry_.SetString(hklm, classKey, u"DriverDesc", adapter.description);
  registry_.SetString(hklm, classKey, u"NetCfgInstanceID", adapter.guid);
  registry_.SetString(hklm, classKey + u"\\Ndi\\Interfaces", u"LowerRange", u"ethernet");
  registry_.SetString(hklm, classKey + u"\\Ndi\\Interfaces", u"UpperRange", u"ndis5");

  const std::u16string connection =
      std::u16string(kNetworkConnectionsKey) + u"\\" + adapter.guid + u"\\Connection";
  registry_.SetString(hklm, connection, u"Name", adapter.connectionName);
  registry_.SetString(hklm, connection, u"PnpInstanceID",
                      adapter.pciDevice
                          ? u"PCI\\VEN_8086&DEV_100F&SUBSYS_075015AD&REV_01\\4&3AD87E0A"
                          : u"USB\\VID_0BDA&PID_8176\\00E04C000001");
  registry_.SetDword(hklm, connection, u"MediaSubType", 1);

  const std::u16string tcpip = std::u16string(kTcpipInterfacesKey) + adapter.guid;
  if (adapter.dhcp) {
    registry_.SetMultiString(hklm, tcpip, u"IPAddress", {u"0.0.0.0"});
    registry_.SetMultiString(hklm, tcpip, u"SubnetMask", {u"0.0.0.0"});
    registry_.SetMultiString(hklm, tcpip, u"DefaultGateway", {});
    registry_.SetDword(hklm, tcpip, u"EnableDHCP", 1);
  } else {
    registry_.SetMultiString(hklm, tcpip, u"IPAddress", {adapter.ip});
    registry_.SetMultiString(hklm, tcpip, u"SubnetMask", {adapter.mask});
    registry_.SetMultiString(hklm, tcpip, u"DefaultGateway",
                             adapter.gateway.empty()
                                 ? std::vector<std::u16string>{}
                                 : std::vector<std::u16string>{adapter.gateway});
    registry_.SetDword(hklm, tcpip, u"EnableDHCP", 0);
  }
  registry_.SetString(hklm, tcpip, u"NameServer", adapter.nameServer);

  if (adapter.inAdapterTable) {
    IpAdapterEntry entry;
    entry.adapterName = NarrowAscii(adapter.guid);
    entry.addressLength = 6;
    ParseMac(adapter.mac, entry.address);
    entry.index = 0x10 + static_cast<uint32_t>(adapterTable.size());
    adapterTable.push_back(entry);
    dhcpAddresses[entry.adapterName] = adapter.dhcpAddress;
    RefreshAdapterTable(adapter.guid);
  }
  Device device;
  device.enumerator = adapter.pciDevice ? u"PCI" : u"USB";
  device.description = adapter.description;
  devices.push_back(device);
}

bool MemoryComputer::GetVersion(OsVersion& v) {
  if (versionFails) return false;
  v = version;
  return true;
}

uint32_t MemoryComputer::GetAdaptersInfo(uint8_t* buffer, uint32_t* size) {
  adapterTableCalls.push_back(size != nullptr ? *size : 0);
  if (size == nullptr) return 87;  // ERROR_INVALID_PARAMETER
  if (adapterTableError != 0) return adapterTableError;
  if (adapterTable.empty()) return kErrorNoData;
  const uint32_t needed = kEntryBytes * static_cast<uint32_t>(adapterTable.size());
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return kErrorBufferOverflow;
  }
  std::memset(buffer, 0, needed);
  for (size_t i = 0; i < adapterTable.size(); ++i) {
    uint8_t* e = buffer + i * kEntryBytes;
    const std::string& name = adapterTable[i].adapterName;
    std::memcpy(e, name.data(), std::min<size_t>(name.size(), kNameBytes - 1));
    std::memcpy(e + kAddressOffset, adapterTable[i].address, 8);
    std::memcpy(e + kLengthOffset, &adapterTable[i].addressLength, 4);
    e[kNextOffset] = i + 1 < adapterTable.size() ? 1 : 0;
    const auto tableIndex = static_cast<uint32_t>(i);
    std::memcpy(e + kTableIndexOffset, &tableIndex, 4);
  }
  return 0;
}

std::vector<IpAdapterEntry> MemoryComputer::ReadAdapterTable(const uint8_t* buffer, uint32_t size) {
  std::vector<IpAdapterEntry> entries;
  for (uint32_t offset = 0; offset + kEntryBytes <= size; offset += kEntryBytes) {
    const uint8_t* e = buffer + offset;
    IpAdapterEntry entry;
    const auto* name = reinterpret_cast<const char*>(e);
    entry.adapterName.assign(name, strnlen(name, kNameBytes));
    std::memcpy(entry.address, e + kAddressOffset, 8);
    std::memcpy(&entry.addressLength, e + kLengthOffset, 4);
    // The live settings come from the entry the buffer was filled from.
    uint32_t tableIndex = 0;
    std::memcpy(&tableIndex, e + kTableIndexOffset, 4);
    if (tableIndex < adapterTable.size()) {
      const IpAdapterEntry& from = adapterTable[tableIndex];
      entry.index = from.index;
      entry.dhcpEnabled = from.dhcpEnabled;
      entry.ipAddresses = from.ipAddresses;
      entry.ipMasks = from.ipMasks;
      entry.gateways = from.gateways;
    }
    entries.push_back(entry);
    if (e[kNextOffset] == 0) break;
  }
  return entries;
}

void MemoryComputer::ShowLease(IpAdapterEntry& entry) {
  const std::string& lease = dhcpAddresses[entry.adapterName];
  entry.ipAddresses = {lease.empty() ? "0.0.0.0" : lease};
  entry.ipMasks = {lease.empty() ? "0.0.0.0" : "255.255.255.0"};
}

void MemoryComputer::RefreshAdapterTable(std::u16string_view guid) {
  const auto entry = std::find_if(adapterTable.begin(), adapterTable.end(), [&](const auto& e) {
    return EqualsIgnoringAsciiCase(std::u16string(e.adapterName.begin(), e.adapterName.end()),
                                   guid);
  });
  if (entry == adapterTable.end()) return;
  const RegRoot hklm = RegRoot::kLocalMachine;
  const std::u16string tcpip = std::u16string(kTcpipInterfacesKey) + std::u16string(guid);
  auto multi = [&](std::u16string_view value) {
    std::vector<std::u16string> list;
    if (const MemoryRegistry::Value* v = registry_.FindValue(hklm, tcpip, value)) {
      NetAdapterLayer::ParseMultiString(v->data.data(), static_cast<uint32_t>(v->data.size()),
                                        list);
    }
    return Narrow(list);
  };
  const MemoryRegistry::Value* dhcp = registry_.FindValue(hklm, tcpip, u"EnableDHCP");
  entry->dhcpEnabled = dhcp != nullptr && dhcp->data.size() >= 1 && dhcp->data[0] != 0;
  entry->gateways.clear();
  if (entry->dhcpEnabled) {
    ShowLease(*entry);
  } else {
    entry->ipAddresses = multi(u"IPAddress");
    entry->ipMasks = multi(u"SubnetMask");
    entry->gateways = multi(u"DefaultGateway");
  }
  std::vector<std::string>& dns = dnsServers[entry->index];
  dns.clear();
  const std::string list = Narrow(registry_.StringValue(hklm, tcpip, u"NameServer"));
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find_first_of(", ", start);
    if (end == std::string::npos) end = list.size();
    if (end > start) dns.push_back(list.substr(start, end - start));
    start = end + 1;
  }
}

std::optional<uint32_t> MemoryComputer::RunNetsh(std::u16string_view arguments) {
  const std::string line = NarrowAscii(arguments);
  netshRuns.push_back(line);
  journal.push_back("netsh " + line);
  if (netshResult != 0u) return netshResult;
  // "interface ipv4 set|add address|dnsservers name=N key=value ...", as netsh reads it.
  std::vector<std::string> words;
  std::map<std::string, std::string> options;
  for (size_t start = 0; start < line.size();) {
    size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    const std::string word = line.substr(start, end - start);
    const size_t equals = word.find('=');
    if (equals == std::string::npos) {
      words.push_back(word);
    } else {
      options[word.substr(0, equals)] = word.substr(equals + 1);
    }
    start = end + 1;
  }
  const auto entry = std::find_if(adapterTable.begin(), adapterTable.end(), [&](const auto& e) {
    return std::to_string(e.index) == options["name"];
  });
  if (words.size() != 4 || entry == adapterTable.end()) return 1;
  const std::string& verb = words[2];
  if (words[3] == "address" && verb == "set") {
    entry->dhcpEnabled = options["source"] == "dhcp";
    entry->gateways.clear();
    if (entry->dhcpEnabled) {
      ShowLease(*entry);
    } else {
      entry->ipAddresses = {options["address"]};
      entry->ipMasks = {options["mask"]};
      if (options["gateway"] != "none") entry->gateways = {options["gateway"]};
    }
  } else if (words[3] == "address" && verb == "add") {
    if (!options["gateway"].empty()) {
      entry->gateways.push_back(options["gateway"]);
    } else {
      entry->ipAddresses.push_back(options["address"]);
      entry->ipMasks.push_back(options["mask"]);
    }
  } else if (words[3] == "dnsservers") {
    std::vector<std::string>& dns = dnsServers[entry->index];
    if (verb == "set") dns.clear();
    const std::string& address = options["address"];
    if (!address.empty() && address != "none") dns.push_back(address);
  } else {
    return 1;
  }
  return 0;
}

std::vector<std::string> MemoryComputer::GetAdapterDnsServers(uint32_t index) {
  const auto found = dnsServers.find(index);
  return found != dnsServers.end() ? found->second : std::vector<std::string>{};
}

uint32_t MemoryComputer::SendArp(uint32_t destination, uint8_t mac[8], uint32_t* length) {
  *length = 0;
  if (!arpSupported) return kErrorNotSupported;
  const auto* b = reinterpret_cast<const uint8_t*>(&destination);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
  arpRequests.push_back(text);
  const auto answer = arpAnswers.find(text);
  if (answer == arpAnswers.end()) return kErrorBadNetName;
  std::memset(mac, 0, 8);
  ParseMac(answer->second, mac);
  *length = 6;
  return 0;
}

std::unique_ptr<DhcpClientLibrary> MemoryComputer::LoadDhcpClient() {
  if (!dhcpLibraryPresent) return nullptr;
  return std::make_unique<Library>(*this);
}

std::vector<uint32_t> MemoryComputer::Members(DeviceSet set) const {
  for (const auto& [handle, members] : openSets_) {
    if (handle == set) return members;
  }
  return {};
}

DeviceSet MemoryComputer::GetDevices(std::u16string_view enumerator) {
  std::vector<uint32_t> members;
  for (uint32_t i = 0; i < devices.size(); ++i) {
    if (devices[i].enumerator == enumerator) members.push_back(i);
  }
  const DeviceSet set = nextSet_++;
  openSets_.emplace_back(set, std::move(members));
  return set;
}

bool MemoryComputer::EnumDevice(DeviceSet set, uint32_t index) {
  if (index < Members(set).size()) return true;
  lastError_ = kErrorNoMoreItems;
  return false;
}

bool MemoryComputer::GetDeviceDescription(DeviceSet set, uint32_t index, uint8_t* buffer,
                                          uint32_t size, uint32_t* required) {
  const std::vector<uint32_t> members = Members(set);
  if (index >= members.size()) {
    lastError_ = kErrorNoMoreItems;
    return false;
  }
  const Device& d = devices[members[index]];
  if (d.descriptionError != 0) {
    lastError_ = d.descriptionError;
    return false;
  }
  if (!d.description) {
    lastError_ = kErrorInvalidData;
    return false;
  }
  const std::vector<uint8_t> image = RegSzImage(*d.description);
  if (required != nullptr) *required = static_cast<uint32_t>(image.size());
  if (buffer == nullptr || size < image.size()) {
    lastError_ = kErrorInsufficientBuffer;
    return false;
  }
  std::memcpy(buffer, image.data(), image.size());
  return true;
}

bool MemoryComputer::SetPropertyChangeParams(DeviceSet set, uint32_t index, uint32_t stateChange,
                                             uint32_t scope, uint32_t hwProfile) {
  const std::vector<uint32_t> members = Members(set);
  if (index >= members.size()) return false;
  propertyChanges.push_back({members[index], stateChange, scope, hwProfile, false});
  return true;
}

bool MemoryComputer::CallPropertyChange(DeviceSet set, uint32_t index) {
  const std::vector<uint32_t> members = Members(set);
  if (index >= members.size() || propertyChanges.empty()) return false;
  PropertyChange& change = propertyChanges.back();
  change.installerCalled = true;
  Device& d = devices[members[index]];
  if (d.installerRefuses) {
    lastError_ = kErrorAccessDenied;
    return false;
  }
  d.enabled = change.stateChange == kDicsEnable;
  return true;
}

void MemoryComputer::DestroyDevices(DeviceSet set) {
  openSets_.erase(std::remove_if(openSets_.begin(), openSets_.end(),
                                 [set](const auto& s) { return s.first == set; }),
                  openSets_.end());
  lastError_ = 0;  // like the real call, which leaves its own last error behind
}

std::u16string MemoryComputer::ErrorText(uint32_t code) {
  switch (code) {
    case kErrorFileNotFound:
      return u"The system cannot find the file specified.";
    case kErrorPathNotFound:
      return u"The system cannot find the path specified.";
    case kErrorAccessDenied:
      return u"Access is denied.";
    default: {
      const std::string digits = std::to_string(code);
      return u"Error " + std::u16string(digits.begin(), digits.end());
    }
  }
}

int MemoryComputer::ShowMessage(std::u16string_view text, std::u16string_view caption,
                                uint32_t flags) {
  messages.push_back({std::u16string(text), std::u16string(caption), flags});
  if (!messageAnswers.empty()) {
    const int answer = messageAnswers.front();
    messageAnswers.erase(messageAnswers.begin());
    return answer;
  }
  return (flags & 0xF) == kMbYesNo ? kIdYes : kIdOk;
}

}  // namespace lumatrove
