// The configuration file and the profile operations of ProfileStore.
#include "store/profile_store.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <system_error>
#include <unordered_set>

#include "base/ascii_text.h"
#include "store/undo_snapshot.h"

namespace lumatrove {

using namespace std::string_view_literals;

ConnectionMode ModeOfType(std::u16string_view type) {
  if (type == u"0"sv) return ConnectionMode::kManual;
  if (type == u"1"sv) return ConnectionMode::kAutomatic;
  if (type == u"2"sv) return ConnectionMode::kLeaveAlone;
  return ConnectionMode::kUnknown;
}

std::u16string_view TypeOf(ConnectionMode mode) {
  switch (mode) {
    case ConnectionMode::kManual:
      return u"0";
    case ConnectionMode::kAutomatic:
      return u"1";
    case ConnectionMode::kLeaveAlone:
    case ConnectionMode::kUnknown:
      break;
  }
  return u"2";
}

const std::u16string_view kDefaultDocument =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    u"<LUMATROVE>\r\n"
    u"<CONFIG LASTID=\"0\" VERSION=\"2.0\" />\r\n"
    u"<DNS VERSION=\"2.0\" />\r\n"
    u"<SYSCONFIG VERSION=\"2.0\" />\r\n"
    u"</LUMATROVE>";

int32_t DecimalValue(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  // Counted in 64 bits and held at the first value past the range, so that no text of
  // digits, however long, wraps around.
  constexpr int64_t kPastRange = int64_t{INT32_MAX} + 2;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
    value = std::min(value * 10 + (text[i] - u'0'), kPastRange);
  if (negative) return static_cast<int32_t>(std::max(-value, int64_t{INT32_MIN}));
  return static_cast<int32_t>(std::min(value, int64_t{INT32_MAX}));
}

ProfileStore::ProfileStore(StoreSystem& system) : system_(system) {}

ProfileStore::~ProfileStore() {
  ClearProfiles();
}

FilePath ProfileStore::ProgramPath() {
  std::u16string path = system_.ModuleFileName();
  if (path.size() > 260) path.resize(260);
  return path;
}

FilePath ProfileStore::WindowProgramPath() {
  std::u16string base = ProgramPath().FileName();
  const size_t dot = base.find_last_of(u'.');
  if (dot != std::u16string::npos) base.erase(dot);
  return ProgramPath().Sibling(base + u".exe");
}

FilePath ProfileStore::BesideProgram(std::u16string_view fileName) {
  return ProgramPath().Sibling(fileName);
}

FilePath ProfileStore::ConfigPath() {
  return BesideProgram(kConfigFileName);
}

FilePath ProfileStore::UndoPath() {
  return BesideProgram(kUndoFileName);
}

bool ProfileStore::EnterConfig() {
  document.ResetPosition();
  if (!document.FindElement(u"LUMATROVE")) return false;
  document.EnterElement();
  return document.FindElement(u"CONFIG");
}

namespace {

// A file that Notepad saved as "Unicode" (UTF-16 with a byte-order mark), as text; nothing
// when the file is not one.
std::optional<std::u16string> ReadUtf16File(const FilePath& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path, UINT32_MAX);
  if (!bytes || bytes->size() < 2 || bytes->size() % 2 != 0) return std::nullopt;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>((*bytes)[i]); };
  const bool little = byte(0) == 0xFF && byte(1) == 0xFE;
  const bool big = byte(0) == 0xFE && byte(1) == 0xFF;
  if (!little && !big) return std::nullopt;
  std::u16string text;
  text.reserve(bytes->size() / 2 - 1);
  for (size_t i = 2; i < bytes->size(); i += 2) {
    const unsigned first = byte(i), second = byte(i + 1);
    text.push_back(static_cast<char16_t>(little ? first | second << 8 : first << 8 | second));
  }
  return text;
}

}  // namespace

bool ProfileStore::LoadConfiguration(const FilePath& path, bool& converted) {
  converted = false;
  if (!document.LoadFile(path)) {
    const std::optional<std::u16string> text = ReadUtf16File(path);
    if (!text || !document.SetDocument(*text)) return false;
    converted = true;
  }
  // A well-formed file of something else holds no profiles to edit: saving into it would
  // change nothing and lose every new profile.
  return EnterConfig();
}

bool ProfileStore::KeepDamagedFile(const FilePath& path) {
  FilePath kept = path + u".bad";
  for (int n = 2; FileExists(kept) && n < 1000; ++n)
    kept = path + u".bad." + DecimalText(n);
  if (!system_.ReplaceFile(path, kept)) return false;
  keptCopy = kept;
  return true;
}

int ProfileStore::Open(const std::u16string* expected) {
  keptCopy = FilePath();
  idRepairs = IdRepairs{};
  damagedFileInPlace_ = false;
  const FilePath path = ConfigPath();
  // A save cut short leaves its temporary file; the file it was to replace is whole.
  RemoveFile(path + u".tmp");
  RemoveFile(UndoPath() + u".tmp");
  bool converted = false;
  if (LoadConfiguration(path, converted)) {
    const bool asExpected = expected == nullptr || document.GetDocument() == *expected;
    ReadSystemSettings();
    // A repaired or converted file is saved at once: the IDs handed out now are the ones
    // desktop shortcuts and the next start will see, and the file is UTF-8 from now on.
    if (RepairIds() || converted) Save();
    const int loaded = LoadProfiles();
    return asExpected ? loaded : 0;
  }
  // A file that is there but is no configuration may hold the user's profiles: it is kept
  // under a name of its own before the default document takes its place.
  if (FileExists(path) && !KeepDamagedFile(path)) {
    // It could not be kept aside, so it is not replaced either: the default document serves
    // in memory, and Save tries again to keep the file before it writes.
    damagedFileInPlace_ = true;
    document.SetDocument(kDefaultDocument);
    LoadProfiles();
    return 0;
  }
  CreateDefaultDocument();
  LoadProfiles();
  return 0;
}

bool ProfileStore::LoadFromFile(const FilePath& path) {
  bool converted = false;
  if (!LoadConfiguration(path, converted)) return false;
  ReadSystemSettings(false);
  LoadProfiles();
  return true;
}

bool ProfileStore::Save() {
  const FilePath path = ConfigPath();
  if (damagedFileInPlace_) {
    if (FileExists(path) && !KeepDamagedFile(path)) return false;
    damagedFileInPlace_ = false;
  }
  // A failed or interrupted write never leaves a truncated configuration.
  return SaveReplacing(
      path, [this](const FilePath& temporary) { return document.SaveFile(temporary); },
      [this](const FilePath& from, const FilePath& to) { return system_.ReplaceFile(from, to); });
}

bool ProfileStore::SaveAndReopen() {
  const std::u16string saved = document.GetDocument();
  if (!Save()) {
    Reload();
    return false;
  }
  return Open(&saved) == 1;
}

void ProfileStore::CreateDefaultDocument() {
  document.SetDocument(kDefaultDocument);
  WriteSystemSettings();
  Save();
}

bool ProfileStore::Reload() {
  const FilePath path = ConfigPath();
  XmlDocument check;
  if (!check.LoadFile(path) || !document.LoadFile(path)) return false;
  LoadProfiles();
  return true;
}

void ProfileStore::ClearProfiles() {
  profiles.clear();
}

int ProfileStore::LoadProfiles() {
  ClearProfiles();
  if (!EnterConfig()) return 0;
  lastId = DecimalValue(document.GetAttribute(u"LASTID"));
  return ParseProfiles();
}

// The METRIC attribute of the current child element: 1 to kMaxGatewayMetric, or 0 (automatic)
// for anything else.
uint32_t GatewayMetric(XmlDocument& d) {
  const std::u16string text = d.GetChildAttribute(u"METRIC");
  if (text.empty() || text.size() > 4) return 0;
  uint32_t metric = 0;
  for (char16_t ch : text) {
    if (ch < u'0' || ch > u'9') return 0;
    metric = metric * 10 + static_cast<uint32_t>(ch - u'0');
  }
  return metric <= kMaxGatewayMetric ? metric : 0;
}

void ReadConnection(XmlDocument& d, ConnectionSetting& c) {
  std::u16string type, check;
  d.GetAttributes({u"GUID"sv, u"NAME"sv, u"NETCARD"sv, u"TYPE"sv, u"EnableCheck"sv, u"MACCODE"sv,
                   u"MACCODEN"sv},
                  {&c.instanceId, &c.connectionName, &c.description, &type, &check, &c.macAddress,
                   &c.networkAddress});
  c.dhcpEnabled = CodeOf(ModeOfType(type));
  c.statusEnabled = check == u"0"sv ? 0 : 1;
  d.EnterElement();
  while (d.FindElement()) {
    const std::u16string tag = d.GetTagName();
    std::u16string* first = nullptr;
    std::vector<std::u16string>* list = nullptr;
    std::vector<std::u16string>* more = nullptr;
    if (tag == u"IPADD"sv) {
      first = &c.ipAddressText;
      list = &c.ipAddresses;
      more = &c.moreAddresses;
    } else if (tag == u"MASKADD"sv) {
      first = &c.subnetMaskText;
      list = &c.subnetMasks;
      more = &c.moreMasks;
    } else if (tag == u"GATEWAY"sv) {
      first = &c.gatewayText;
      list = &c.gateways;
      more = &c.moreGateways;
    }
    if (first != nullptr) {
      // The first entry is the one every version reads; further ones follow it.
      for (bool firstEntry = true; d.FindChildElement(); firstEntry = false) {
        std::u16string text = d.GetChildText();
        if (tag == u"GATEWAY"sv) c.gatewayMetrics.push_back(GatewayMetric(d));
        if (firstEntry) {
          *first = text;
          list->push_back(std::move(text));
        } else {
          more->push_back(std::move(text));
        }
      }
    } else if (tag == u"DNSADD"sv) {
      while (d.FindChildElement()) {
        std::u16string text = d.GetChildText();
        if (c.primaryDns.empty()) {
          c.primaryDns = text;
        } else if (c.secondaryDns.empty()) {
          c.secondaryDns = text;
        } else if (!text.empty()) {
          c.moreDnsServers.push_back(text);
        }
        c.dnsServers.push_back(std::move(text));
      }
    }
  }
  d.LeaveElement();
}

int ProfileStore::ParseProfiles() {
  if (!EnterConfig()) return 0;
  XmlDocument& d = document;
  d.EnterElement();
  while (d.FindElement(u"NETSETING"sv)) {
    auto profile = std::make_unique<Profile>();
    d.GetAttributes({u"ID"sv, u"DATATIME"sv, u"NAME"sv, u"HOTKEY"sv},
                    {&profile->id, &profile->dateTime, &profile->name, &profile->hotkey});
    profile->proxy = ReadProxySetting(d);
    profile->networks = ReadNetworkRules(d);
    d.EnterElement();
    while (d.FindElement(u"CONNECTION"sv)) {
      auto c = std::make_unique<ConnectionSetting>();
      ReadConnection(d, *c);
      AppendConnectionSummary(profile->summary, *c);
      profile->connections.push_back(std::move(c));
    }
    if (const std::u16string proxy = ProxySummary(profile->proxy); !proxy.empty())
      profile->summary += proxy + u"\n";
    if (const std::u16string networks = NetworkRulesSummary(profile->networks); !networks.empty())
      profile->summary += networks + u"\n";
    d.LeaveElement();
    profiles.push_back(std::move(profile));
  }
  d.LeaveElement();
  return 1;
}

// The lookups by ID walk the profiles only: another element of CONFIG that carries an ID is
// no row of the list, and finding it instead of the profile would act on the wrong thing.
std::u16string ProfileStore::GetProfileContent(std::u16string_view id) {
  if (!EnterConfig()) return {};
  while (document.FindChildElement(u"NETSETING")) {
    if (document.GetChildAttribute(u"ID") == id) {
      document.EnterElement();
      return document.GetElementContent();
    }
  }
  return {};
}

bool ProfileStore::CopyProfile(std::u16string_view sourceId, std::u16string_view newName) {
  const std::u16string content = GetProfileContent(sourceId);
  if (!EnterConfig()) return false;
  const std::u16string id = NextId();
  document.SetAttribute(u"LASTID", id);
  document.EnterElement();
  document.AddElement(u"NETSETING");
  SetProfileAttributes(document, newName, FormatTime(system_.Now()), id);
  document.EnterElement();
  document.AddSubDocument(content);
  return true;
}

bool ProfileStore::DeleteProfile(std::u16string_view id) {
  if (!EnterConfig()) return false;
  while (document.FindChildElement(u"NETSETING")) {
    if (document.GetChildAttribute(u"ID") == id) return document.RemoveChildElement();
  }
  return false;
}

std::u16string ProfileStore::NextId() {
  document.SavePosition(u"GetID");
  std::u16string result = u"0";
  if (EnterConfig()) {
    if (lastId < INT32_MAX) {
      ++lastId;
      result = DecimalText(lastId);
      document.SetAttribute(u"LASTID", result);
    } else {
      // The counter cannot grow: a number that no profile holds is as good an ID.
      result = UnusedId();
    }
  }
  document.RestorePosition(u"GetID");
  return result;
}

std::u16string ProfileStore::UnusedId() {
  std::unordered_set<std::u16string> used;
  if (EnterConfig()) {
    while (document.FindChildElement(u"NETSETING"))
      used.insert(document.GetChildAttribute(u"ID"));
  }
  for (int64_t n = 1;; ++n) {
    std::u16string id = DecimalText(n);
    if (used.count(id) == 0) return id;
  }
}

bool ProfileStore::RepairIds() {
  if (!EnterConfig()) return false;
  const std::u16string storedText = document.GetAttribute(u"LASTID");
  const int32_t stored = DecimalValue(storedText);
  int32_t highest = stored;
  std::unordered_set<std::u16string> seen;
  std::vector<size_t> fresh;  // places among the profiles of those that need a new ID
  document.EnterElement();
  for (size_t place = 0; document.FindElement(u"NETSETING"); ++place) {
    const std::u16string id = document.GetAttribute(u"ID");
    if (id.empty() || !seen.insert(id).second) {
      fresh.push_back(place);
    } else {
      highest = std::max(highest, DecimalValue(id));
    }
  }
  if (fresh.empty() && highest == stored) return false;

  lastId = highest;
  EnterConfig();
  if (highest != stored) document.SetAttribute(u"LASTID", DecimalText(highest));
  document.EnterElement();
  size_t next = 0;
  for (size_t place = 0; next < fresh.size() && document.FindElement(u"NETSETING"); ++place) {
    if (place != fresh[next]) continue;
    ++next;
    RenumberedProfile r{document.GetAttribute(u"NAME"), document.GetAttribute(u"ID"), NextId()};
    document.SetAttribute(u"ID", r.newId);
    idRepairs.renumbered.push_back(std::move(r));
  }
  if (lastId != stored) {
    idRepairs.oldLastId = storedText;
    idRepairs.newLastId = DecimalText(lastId);
  }
  return true;
}

std::u16string ProfileStore::GetLastIdText() const {
  return DecimalText(lastId);
}

bool ProfileStore::AddProfile(std::u16string_view name,
                              std::vector<const ConnectionSetting*> connections) {
  if (!EnterConfig()) return false;
  const std::u16string id = NextId();
  document.AddChildElement(u"NETSETING");
  document.EnterElement();
  SetProfileAttributes(document, name, FormatTime(system_.Now()), id);
  WriteConnections(std::move(connections));
  document.LeaveElement();
  return true;
}

bool ProfileStore::ModifyProfile(std::u16string_view id, std::u16string_view name,
                                 std::vector<const ConnectionSetting*> connections) {
  if (!EnterConfig()) return false;
  while (document.FindChildElement(u"NETSETING")) {
    if (document.GetChildAttribute(u"ID") != id) continue;
    document.SetChildAttribute(u"DATATIME", FormatTime(system_.Now()));
    document.SetChildAttribute(u"NAME", name);
    document.EnterElement();
    while (document.FindChildElement())
      document.RemoveChildElement();
    WriteConnections(std::move(connections));
    document.LeaveElement();
    return true;
  }
  // No profile has the ID (any more): nothing was stored.
  return false;
}

bool ProfileStore::SetProfileHotkey(std::u16string_view id, std::u16string_view text) {
  if (!EnterConfig()) return false;
  while (document.FindChildElement(u"NETSETING")) {
    if (document.GetChildAttribute(u"ID") != id) continue;
    // A profile that never had a key is left as older versions wrote it.
    if (text.empty() && document.GetChildAttribute(u"HOTKEY").empty()) return true;
    return document.SetChildAttribute(u"HOTKEY", text);
  }
  return false;
}

bool ProfileStore::FindProfileElement(std::u16string_view id) {
  if (!EnterConfig()) return false;
  document.EnterElement();
  while (document.FindElement(u"NETSETING")) {
    if (document.GetAttribute(u"ID") == id) return true;
  }
  return false;
}

bool ProfileStore::SetProfileProxy(std::u16string_view id, const ProxySetting& proxy) {
  if (!FindProfileElement(id)) return false;
  WriteProxySetting(document, proxy);
  return true;
}

bool ProfileStore::SetProfileNetworks(std::u16string_view id, const NetworkRules& networks) {
  if (!FindProfileElement(id)) return false;
  WriteNetworkRules(document, networks);
  return true;
}

bool ProfileStore::WriteConnections(std::vector<const ConnectionSetting*> connections) {
  for (size_t i = 0; i < connections.size(); ++i)
    WriteConnection(connections, i);
  return true;
}

bool ProfileStore::WriteConnection(const std::vector<const ConnectionSetting*>& connections,
                                   size_t index) {
  WriteConnectionElement(document, *connections[index]);
  return true;
}

void SetProfileAttributes(XmlDocument& d, std::u16string_view name, std::u16string_view dateTime,
                          std::u16string_view id) {
  d.SetAttribute(u"NAME", name);
  d.SetAttribute(u"DATATIME", dateTime);
  d.SetAttribute(u"ID", id);
}

void WriteConnectionElement(XmlDocument& d, const ConnectionSetting& r) {
  d.AddChildElement(u"CONNECTION");
  d.SetChildAttribute(u"NAME", r.connectionName);
  d.SetChildAttribute(u"GUID", r.instanceId);
  d.SetChildAttribute(u"NETCARD", r.description);
  d.SetChildAttribute(u"MACCODE", r.macAddress);
  d.SetChildAttribute(u"EnableCheck", r.statusEnabled != 0 ? u"1" : u"0");
  d.SetChildAttribute(u"TYPE", TypeOf(ModeOf(r)));
  d.EnterElement();
  // The first entries as every version writes them, then the further ones.
  auto group = [&](std::u16string_view name, std::initializer_list<std::u16string_view> ips,
                   const std::vector<std::u16string>& more) {
    d.AddChildElement(name);
    d.EnterElement();
    size_t at = 0;
    auto add = [&](std::u16string_view ip) {
      d.AddChildElement(u"IP", ip);
      const uint32_t metric = at < r.gatewayMetrics.size() ? r.gatewayMetrics[at] : 0;
      if (name == u"GATEWAY"sv && metric != 0) d.SetChildAttribute(u"METRIC", DecimalText(metric));
      ++at;
    };
    for (std::u16string_view ip : ips)
      add(ip);
    for (const std::u16string& ip : more)
      add(ip);
    d.LeaveElement();
  };
  group(u"IPADD", {r.ipAddressText}, r.moreAddresses);
  group(u"MASKADD", {r.subnetMaskText}, r.moreMasks);
  group(u"GATEWAY", {r.gatewayText}, r.moreGateways);
  group(u"DNSADD", {r.primaryDns, r.secondaryDns}, r.moreDnsServers);
  d.LeaveElement();
}

std::vector<const ConnectionSetting*> ConnectionList(
    const std::vector<ConnectionSetting>& records) {
  std::vector<const ConnectionSetting*> list;
  for (const ConnectionSetting& r : records)
    list.push_back(&r);
  return list;
}

std::vector<const ConnectionSetting*> ConnectionList(
    const std::vector<std::unique_ptr<AdapterInfo>>& records) {
  std::vector<const ConnectionSetting*> list;
  for (const std::unique_ptr<AdapterInfo>& r : records)
    list.push_back(r.get());
  return list;
}

ConnectionSetting ConnectionOf(const AdapterInfo& a) {
  ConnectionSetting c;
  c.connectionName = a.connectionName;
  c.description = a.description;
  c.instanceId = a.instanceId;
  c.statusEnabled = a.statusEnabled;
  c.dhcpEnabled = a.dhcpEnabled;
  c.ipAddressText = a.ipAddressText;
  c.subnetMaskText = a.subnetMaskText;
  c.gatewayText = a.gatewayText;
  c.primaryDns = a.primaryDns;
  c.secondaryDns = a.secondaryDns;
  c.macAddress = a.macAddress;
  c.networkAddress = a.networkAddress;
  // Every further entry Windows keeps: pairs, gateways with their metrics, servers.
  auto rest = [](const std::vector<std::u16string>& all, size_t from) {
    std::vector<std::u16string> more;
    for (size_t i = from; i < all.size(); ++i)
      if (!all[i].empty()) more.push_back(all[i]);
    return more;
  };
  // An address goes with the mask at its place; one without is none Windows uses.
  for (size_t i = 1; i < a.ipAddresses.size() && i < a.subnetMasks.size(); ++i) {
    if (a.ipAddresses[i].empty() || a.subnetMasks[i].empty()) continue;
    c.moreAddresses.push_back(a.ipAddresses[i]);
    c.moreMasks.push_back(a.subnetMasks[i]);
  }
  c.moreGateways = rest(a.gateways, 1);
  c.gatewayMetrics = a.gatewayMetrics;
  c.moreDnsServers = rest(a.dnsServers, 2);
  return c;
}

bool ProfileStore::ProfileNameExists(std::u16string_view name) {
  if (!EnterConfig()) return false;
  while (document.FindChildElement(u"NETSETING")) {
    if (document.GetChildAttribute(u"NAME") == name) return true;
  }
  return false;
}

}  // namespace lumatrove
