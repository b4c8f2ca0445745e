#include "netcfg/net_adapter_layer.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "base/ascii_text.h"

namespace lumatrove {
namespace {

constexpr uint32_t kValueCapacity = 1024;      // bytes passed for every adapter value
constexpr uint32_t kSmallCapacity = 260;       // MediaSubType, PnpInstanceID
constexpr uint32_t kNameCapacity = 256;        // 128 characters of connection name
constexpr size_t kMaxMultiStringChars = 1021;  // one address per multi-string value
constexpr size_t kMaxAdapterNameChars = 260;
constexpr int kMaxDescriptionTries = 8;

std::u16string Join(std::u16string_view a, std::u16string_view b) {
  std::u16string s(a);
  s += u'\\';
  s += b;
  return s;
}

// "text" NUL NUL, the text cut to 1021 characters: 2 x length + 4 bytes.
std::vector<uint8_t> SingleMultiString(std::u16string_view text) {
  if (text.size() > kMaxMultiStringChars) text = text.substr(0, kMaxMultiStringChars);
  return RegMultiSzImage({std::u16string(text)});
}

}  // namespace

NetAdapterLayer::NetAdapterLayer(NetSystem& system) : system_(system) {
  DetectWindowsVersion();
}

NetAdapterLayer::~NetAdapterLayer() {
  adapters.clear();
}

void NetAdapterLayer::DetectWindowsVersion() {
  using V = WindowsVersion;
  OsVersion v;
  if (!system_.GetVersion(v)) {
    // Every system this program can still meet is of the NT family.
    windowsVersion = V::k10;
  } else if (v.major == 5) {
    windowsVersion = v.minor == 0 ? V::k2000 : v.minor == 1 ? V::kXp : V::kServer2003;
  } else if (v.major <= 4) {
    if (v.major == 4 && v.minor == 90) {
      windowsVersion = V::kMe;
    } else if (v.major == 4 && v.minor == 10) {
      windowsVersion = V::k98;
    } else {
      windowsVersion = v.platformId == 2 ? V::kNt4 : V::k95;
    }
  } else {
    windowsVersion = v.major == 6 ? V::kVista : V::k10;
  }
}

int NetAdapterLayer::DiscoverAdapters() {
  adapters.clear();
  Registry& reg = system_.registry();
  const std::u16string_view rootPath = windowsVersion >= WindowsVersion::k2000  ? kAdapterClassKey
                                       : windowsVersion == WindowsVersion::kNt4 ? kNetworkCardsKey
                                                                                : kNetTransKey;
  RegKey root(reg);
  if (root.Open(RegRoot::kLocalMachine, rootPath, RegAccess::kRead) != 0) return 0;

  int count = 0;
  std::vector<uint8_t> bytes;
  for (uint32_t index = 0;; ++index) {
    std::u16string name;
    if (reg.EnumSubKey(root.Handle(), index, name) != 0) break;
    const std::u16string subPath = Join(rootPath, name);
    RegKey sub(reg);
    if (sub.Open(RegRoot::kLocalMachine, subPath, RegAccess::kRead) != 0) continue;

    if (windowsVersion >= WindowsVersion::kNt4) {
      RegKey interfaces(reg);
      if (interfaces.Open(RegRoot::kLocalMachine, Join(subPath, u"Ndi\\Interfaces"),
                          RegAccess::kRead) != 0) {
        continue;
      }
      if (!interfaces.Read(u"LowerRange", kValueCapacity, bytes) || RegText(bytes) != u"ethernet") {
        continue;
      }
      if (!sub.Read(u"DriverDesc", kValueCapacity, bytes)) continue;
      auto record = std::make_unique<AdapterInfo>();
      record->description = RegText(bytes);
      if (sub.Read(u"NetCfgInstanceID", kValueCapacity, bytes)) {
        record->instanceId = RegText(bytes);
        ReadConnectionName(*record, record->instanceId);
        ReadTcpIpSettings(*record, record->instanceId);
        record->statusEnabled = 1;
      }
      if (sub.Read(u"NetworkAddress", kValueCapacity, bytes)) {
        record->networkAddress = RegText(bytes);
      }
      std::u16string mac;
      if (GetMacAddress(record->instanceId, mac, true) > 0) record->macAddress = mac;
      record->busType = u"PCI";
      adapters.push_back(std::move(record));
      ++count;
    } else {
      if (!sub.Read(u"DriverDesc", kValueCapacity, bytes) || RegText(bytes) != u"TCP/IP") {
        continue;
      }
      auto record = std::make_unique<AdapterInfo>();
      record->description = u"TCP/IP";
      if (sub.Read(u"DefaultGateway", kValueCapacity, bytes)) {
        record->instanceId = name;
        ReadTcpIpSettings(*record, record->instanceId);
        record->statusEnabled = 1;
      }
      if (sub.Read(u"NetworkAddress", kValueCapacity, bytes)) record->macAddress = RegText(bytes);
      adapters.push_back(std::move(record));
      ++count;
    }
  }
  return count;
}

bool NetAdapterLayer::ReadAdapterTable(std::vector<IpAdapterEntry>& entries) const {
  std::vector<uint8_t> buffer;
  uint32_t size = 640;
  try {
    buffer.assign(size, 0);
    uint32_t result = system_.GetAdaptersInfo(buffer.data(), &size);
    if (result == kErrorBufferOverflow) {
      buffer.assign(size, 0);
      result = system_.GetAdaptersInfo(buffer.data(), &size);
    }
    if (result != 0) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  entries = system_.ReadAdapterTable(buffer.data(), static_cast<uint32_t>(buffer.size()));
  return true;
}

int NetAdapterLayer::GetMacAddress(std::u16string_view id, std::u16string& address,
                                   bool includeAll) {
  std::vector<IpAdapterEntry> entries;
  if (!ReadAdapterTable(entries)) return 0;
  for (const IpAdapterEntry& entry : entries) {
    std::u16string name = system_.codePage().ToUtf16(entry.adapterName);
    if (name.size() > kMaxAdapterNameChars) name.resize(kMaxAdapterNameChars);
    if ((IsPciConnection(name) || includeAll) && name == id) {
      address = HardwareAddressText(entry.address, u':');
      return 17;
    }
  }
  return 0;
}

std::vector<LiveAdapter> NetAdapterLayer::ReadLiveAdapters() const {
  std::vector<LiveAdapter> live;
  std::vector<IpAdapterEntry> entries;
  if (!ReadAdapterTable(entries)) return live;
  const AnsiCodePage& ansi = system_.codePage();
  for (const std::unique_ptr<AdapterInfo>& adapter : adapters) {
    if (adapter->instanceId.empty()) continue;
    const auto entry = std::find_if(entries.begin(), entries.end(), [&](const IpAdapterEntry& e) {
      return EqualsIgnoringAsciiCase(ansi.ToUtf16(e.adapterName), adapter->instanceId);
    });
    if (entry == entries.end()) continue;
    LiveAdapter a;
    a.instanceId = adapter->instanceId;
    a.connectionName = adapter->connectionName;
    a.interfaceIndex = entry->index;
    a.dhcp = entry->dhcpEnabled;
    for (size_t i = 0; i < entry->ipAddresses.size(); ++i) {
      if (entry->ipAddresses[i].empty() || entry->ipAddresses[i] == "0.0.0.0") continue;
      a.addresses.push_back(ansi.ToUtf16(entry->ipAddresses[i]));
      a.masks.push_back(i < entry->ipMasks.size() ? ansi.ToUtf16(entry->ipMasks[i]) : u"");
    }
    for (const std::string& g : entry->gateways)
      if (!g.empty() && g != "0.0.0.0") a.gateways.push_back(ansi.ToUtf16(g));
    for (const std::string& d : system_.GetAdapterDnsServers(entry->index))
      a.dnsServers.push_back(ansi.ToUtf16(d));
    live.push_back(std::move(a));
  }
  return live;
}

bool NetAdapterLayer::ApplyWithNetsh(uint32_t interfaceIndex, const Ipv4Settings& settings) {
  // Windows 7 (6.1) added "validate" to the DNS commands; Vista refuses it.
  OsVersion version;
  const bool validateOption = !system_.GetVersion(version) || version.major > 6 ||
                              (version.major == 6 && version.minor >= 1);
  for (const std::u16string& line : NetshArguments(interfaceIndex, settings, validateOption)) {
    const std::optional<uint32_t> exitCode = system_.RunNetsh(line);
    if (!exitCode || *exitCode != 0) return false;
  }
  return true;
}

bool NetAdapterLayer::IsPciConnection(std::u16string_view id) {
  Registry& reg = system_.registry();
  RegKey network(reg);
  if (network.Open(RegRoot::kLocalMachine, kNetworkConnectionsKey, RegAccess::kRead) != 0) {
    return false;
  }
  RegKey connection(reg);
  if (connection.Open(RegRoot::kLocalMachine,
                      Join(kNetworkConnectionsKey, std::u16string(id) + u"\\Connection"),
                      RegAccess::kRead) != 0) {
    return false;
  }
  std::vector<uint8_t> bytes;
  if (!connection.Read(u"MediaSubType", kSmallCapacity, bytes)) return false;
  const uint32_t media = RegDword(bytes);
  if (media != 1 && media != 2) return false;
  if (!connection.Read(u"PnpInstanceID", kSmallCapacity, bytes)) return false;
  return RegText(bytes).compare(0, 3, u"PCI") == 0;
}

std::u16string NetAdapterLayer::TcpIpKeyPath(std::u16string_view id,
                                             const AdapterInfo* record) const {
  if (windowsVersion >= WindowsVersion::kNt4)
    return std::u16string(kTcpipInterfacesKey) + std::u16string(id);
  return std::u16string(kNetTransWriteKey) +
         (record != nullptr ? record->instanceId : std::u16string(id));
}

bool NetAdapterLayer::ReadTcpIpSettings(AdapterInfo& record, std::u16string_view id) {
  RegKey key(system_.registry());
  if (key.Open(RegRoot::kLocalMachine, TcpIpKeyPath(id, &record), RegAccess::kRead) != 0) {
    return false;
  }
  std::vector<uint8_t> bytes;
  auto readList = [&](std::u16string_view name, std::u16string& first,
                      std::vector<std::u16string>& all) {
    if (!key.Read(name, kValueCapacity, bytes)) return;
    first = RegText(bytes);
    ParseMultiString(bytes.data(), static_cast<uint32_t>(bytes.size()), all);
  };
  readList(u"IPAddress", record.ipAddressText, record.ipAddresses);
  readList(windowsVersion >= WindowsVersion::kNt4 ? u"SubnetMask" : u"IPMask",
           record.subnetMaskText, record.subnetMasks);
  readList(u"DefaultGateway", record.gatewayText, record.gateways);
  // The gateways' metrics (decimal texts; anything else, or none, is automatic).
  std::u16string firstMetric;
  std::vector<std::u16string> metrics;
  readList(u"DefaultGatewayMetric", firstMetric, metrics);
  record.gatewayMetrics.clear();
  for (const std::u16string& m : metrics) {
    uint32_t metric = 0;
    for (char16_t c : m)
      metric = c >= u'0' && c <= u'9' && metric <= kMaxGatewayMetric
                   ? metric * 10 + static_cast<uint32_t>(c - u'0')
                   : kMaxGatewayMetric + 1;
    record.gatewayMetrics.push_back(metric <= kMaxGatewayMetric ? metric : 0);
  }
  if (key.Read(u"NameServer", kValueCapacity, bytes)) SplitNameServer(record, RegText(bytes));
  record.dhcpEnabled = key.Read(u"EnableDHCP", kValueCapacity, bytes)
                           ? static_cast<int32_t>(RegDword(bytes) & 0xFFFF)
                           : 0;
  return true;
}

void NetAdapterLayer::SplitNameServer(AdapterInfo& record, std::u16string_view text) {
  int count = 0;
  size_t pos = text.find(u',');
  while (pos != std::u16string_view::npos && pos > 0) {
    const std::u16string piece(text.substr(0, pos));
    if (count == 0) record.primaryDns = piece;
    if (count == 1) record.secondaryDns = piece;
    record.dnsServers.push_back(piece);
    text = text.substr(pos + 1);
    ++count;
    pos = text.find(u',');
  }
  record.dnsServers.emplace_back(text);
  if (count == 0) record.primaryDns = std::u16string(text);
  if (count == 1) record.secondaryDns = std::u16string(text);
}

void NetAdapterLayer::ParseMultiString(const uint8_t* buffer, uint32_t bytes,
                                       std::vector<std::u16string>& list) {
  const uint32_t n = bytes / 2;
  if (n <= 1) return;
  std::u16string chars(n, u'\0');
  for (uint32_t i = 0; i < n; ++i) {
    chars[i] = static_cast<char16_t>(buffer[2 * i] | buffer[2 * i + 1] << 8);
  }
  uint32_t start = 0;
  for (uint32_t p = 1; p < n; ++p) {
    if (chars[p] != 0 || p < 5) continue;
    // The entry is read as a NUL-terminated text, so it ends at its first NUL.
    const size_t end = chars.find(u'\0', start);
    list.push_back(chars.substr(start, end - start));
    if (p + 1 == n || chars[p + 1] == 0) return;
    start = p + 1;
  }
}

bool NetAdapterLayer::ReadConnectionName(AdapterInfo& record, std::u16string_view id) {
  RegKey key(system_.registry());
  const long result = key.Open(RegRoot::kLocalMachine,
                               Join(kNetworkConnectionsKey, std::u16string(id) + u"\\Connection"),
                               RegAccess::kRead);
  if (result != 0) {
    system_.ShowMessage(system_.ErrorText(static_cast<uint32_t>(result)), system_.ApplicationName(),
                        kMbOk);
    return false;
  }
  std::vector<uint8_t> bytes;
  if (key.Read(u"Name", kNameCapacity, bytes)) record.connectionName = RegText(bytes);
  return true;
}

bool NetAdapterLayer::ApplyStaticAddress(std::u16string_view id, int addressIndex,
                                         std::u16string_view address, std::u16string_view mask,
                                         std::u16string_view gateway, std::u16string_view dns,
                                         const MoreStaticEntries& more) {
  if (!WriteTcpIpSettings(id, addressIndex, address, mask, gateway, dns, more)) return false;
  NotifyDhcpClient(id, addressIndex, address, mask, kDhcpStatic);
  return true;
}

bool NetAdapterLayer::ApplyDhcp(std::u16string_view id, std::u16string_view dns) {
  if (!WriteTcpIpSettings(id, 0, u"0.0.0.0", u"0.0.0.0", u"", dns)) return false;
  if (!WriteEnableDhcp(id, true)) return false;
  return NotifyDhcpClient(id, 0, u"", u"", kDhcpEnable);
}

bool NetAdapterLayer::WriteTcpIpSettings(std::u16string_view id, int /*addressIndex*/,
                                         std::u16string_view address, std::u16string_view mask,
                                         std::u16string_view gateway, std::u16string_view dns,
                                         const MoreStaticEntries& more) {
  const std::u16string path = TcpIpKeyPath(id, nullptr);
  RegKey key(system_.registry());
  if (key.Open(RegRoot::kLocalMachine, path, RegAccess::kWrite) != 0) return false;
  // The first entry, then the further ones (an empty first gateway is none).
  auto list = [](std::u16string_view first, const std::vector<std::u16string>& rest) {
    if (rest.empty()) return SingleMultiString(first);
    std::vector<std::u16string> all;
    if (!first.empty()) all.emplace_back(first);
    all.insert(all.end(), rest.begin(), rest.end());
    return RegMultiSzImage(all);
  };
  struct Write {
    std::u16string_view name;
    uint32_t type;
    std::vector<uint8_t> image;
  };
  std::vector<Write> writes = {
      {u"IPAddress", kRegMultiSz, list(address, more.addresses)},
      {u"SubnetMask", kRegMultiSz, list(mask, more.masks)},
      {u"DefaultGateway", kRegMultiSz, list(gateway, more.gateways)},
      {u"NameServer", kRegSz, RegSzImage(dns)},
  };
  // One metric per gateway ("0": automatic), where a profile says more than one gateway.
  const bool metrics =
      !more.gateways.empty() ||
      std::any_of(more.metrics.begin(), more.metrics.end(), [](uint32_t m) { return m != 0; });
  if (metrics) {
    std::vector<std::u16string> texts;
    for (size_t i = gateway.empty() ? 1 : 0; i <= more.gateways.size(); ++i)
      texts.push_back(DecimalText(i < more.metrics.size() ? more.metrics[i] : 0));
    writes.push_back({u"DefaultGatewayMetric", kRegMultiSz, RegMultiSzImage(texts)});
  } else {
    // Metrics of an earlier apply would stay with the wrong gateway.
    RegKey reader(system_.registry());
    std::vector<uint8_t> old;
    if (reader.Open(RegRoot::kLocalMachine, path, RegAccess::kRead) == 0 &&
        reader.Read(u"DefaultGatewayMetric", 4096, old)) {
      key.Delete(u"DefaultGatewayMetric");
    }
  }
  // Every value is deleted before it is set, so nothing of another type or length survives.
  for (const Write& w : writes) {
    key.Delete(w.name);
    key.Set(w.name, w.type, w.image.data(), static_cast<uint32_t>(w.image.size()));
  }
  WriteEnableDhcp(id, false);
  return true;
}

bool NetAdapterLayer::WriteEnableDhcp(std::u16string_view id, bool enable) {
  RegKey key(system_.registry());
  if (key.Open(RegRoot::kLocalMachine, TcpIpKeyPath(id, nullptr), RegAccess::kWrite) != 0) {
    return false;
  }
  const uint8_t value[4] = {static_cast<uint8_t>(enable ? 1 : 0), 0, 0, 0};
  key.Set(u"EnableDHCP", kRegDword, value, 4);
  // Windows stores this when a fixed address is set while no cable is plugged in, and then
  // ignores a later switch to DHCP; a fixed address leaves it as Windows keeps it.
  if (enable) key.Delete(u"DisableDhcpOnConnect");
  return true;
}

bool NetAdapterLayer::NotifyDhcpClient(std::u16string_view id, int addressIndex,
                                       std::u16string_view address, std::u16string_view mask,
                                       int action) {
  // The adapter name travels in a buffer of 256 characters.
  const std::u16string adapter(id.substr(0, 255));
  uint32_t ipAddress = 0;
  uint32_t subnetMask = 0;
  if (action == kDhcpStatic) {
    ipAddress = system_.InetAddr(system_.codePage().FromUtf16(address));
    subnetMask = system_.InetAddr(system_.codePage().FromUtf16(mask));
  }
  std::unique_ptr<DhcpClientLibrary> library = system_.LoadDhcpClient();
  if (!library) return false;
  bool ok = false;
  if (action == 0 || action == kDhcpEnable) {
    if (library->HasNotifyConfigChange()) {
      ok = library->NotifyConfigChange(nullptr, adapter.c_str(), false, 0, 0, 0, action) == 0;
    }
  } else if (action == kDhcpStatic) {
    if (library->HasNotifyConfigChange()) {
      ok = library->NotifyConfigChange(nullptr, adapter.c_str(), true,
                                       static_cast<uint32_t>(addressIndex), ipAddress, subnetMask,
                                       kDhcpStatic) == 0;
    }
  }
  return ok;
}

bool NetAdapterLayer::SetDeviceEnabled(bool enable, std::u16string_view description,
                                       std::u16string_view /*busType*/) {
  const uint32_t stateChange = enable ? kDicsEnable : kDicsDisable;
  const DeviceSet set = system_.GetDevices(u"PCI");
  if (set == 0) return false;
  bool result = false;
  std::vector<uint8_t> buffer;
  for (uint32_t index = 0; system_.EnumDevice(set, index); ++index) {
    uint32_t required = 0;
    buffer.clear();
    bool ok = system_.GetDeviceDescription(set, index, nullptr, 0, &required);
    bool skip = false;
    for (int tries = 0; !ok; ++tries) {
      const uint32_t error = system_.GetLastError();
      if (error == kErrorInvalidData) {
        skip = true;  // a device without a description
        break;
      }
      // The buffer protocol is followed a few times; a size that never settles ends the
      // operation like any other error instead of looping for ever.
      if (error != kErrorInsufficientBuffer || tries >= kMaxDescriptionTries || required == 0) {
        system_.DestroyDevices(set);
        system_.SetLastError(error);
        return false;
      }
      buffer.assign(required, 0);
      ok = system_.GetDeviceDescription(set, index, buffer.data(),
                                        static_cast<uint32_t>(buffer.size()), &required);
    }
    if (skip) continue;
    if (RegText(buffer) != description) continue;
    system_.SetPropertyChangeParams(set, index, stateChange, kDicsFlagConfigSpecific, 0);
    result = system_.CallPropertyChange(set, index);
    break;
  }
  const uint32_t error = system_.GetLastError();
  system_.DestroyDevices(set);
  system_.SetLastError(error);
  return result;
}

uint32_t ParseInetAddr(const std::string& text) {
  constexpr uint32_t kNone = 0xFFFFFFFFu;
  uint64_t parts[4] = {};
  int count = 0;
  size_t i = 0;
  const size_t n = text.size();
  if (n == 0) return kNone;
  for (;;) {
    if (i >= n || !(text[i] >= '0' && text[i] <= '9')) return kNone;
    uint64_t value = 0;
    int base = 10;
    if (text[i] == '0') {
      base = 8;
      ++i;
      if (i < n && (text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
      }
    }
    bool digits = base == 8;  // a lone 0 is a number
    while (i < n) {
      const char c = text[i];
      int d;
      if (c >= '0' && c <= '9') {
        d = c - '0';
      } else if (base == 16 && c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
      } else if (base == 16 && c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
      } else {
        break;
      }
      if (d >= base) return kNone;
      value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFu) return kNone;
      digits = true;
      ++i;
    }
    if (!digits) return kNone;
    parts[count++] = value;
    if (i < n && text[i] == '.') {
      if (count == 4) return kNone;
      ++i;
      continue;
    }
    break;
  }
  while (i < n && (text[i] == ' ' || text[i] == '\t'))
    ++i;
  if (i != n) return kNone;
  uint32_t host;
  switch (count) {
    case 1:
      host = static_cast<uint32_t>(parts[0]);
      break;
    case 2:
      if (parts[0] > 0xFF || parts[1] > 0xFFFFFF) return kNone;
      host = static_cast<uint32_t>(parts[0] << 24 | parts[1]);
      break;
    case 3:
      if (parts[0] > 0xFF || parts[1] > 0xFF || parts[2] > 0xFFFF) return kNone;
      host = static_cast<uint32_t>(parts[0] << 24 | parts[1] << 16 | parts[2]);
      break;
    default:
      for (int k = 0; k < 4; ++k) {
        if (parts[k] > 0xFF) return kNone;
      }
      host = static_cast<uint32_t>(parts[0] << 24 | parts[1] << 16 | parts[2] << 8 | parts[3]);
  }
  // Network byte order as it lies in memory on a little-endian machine.
  return (host >> 24) | ((host >> 8) & 0xFF00) | ((host << 8) & 0xFF0000) | (host << 24);
}

}  // namespace lumatrove
