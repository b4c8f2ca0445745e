// The configuration file and the profile operations of ProfileStore.
#include "store/profile_store.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <system_error>
#include <unordered_set>

#include "netcfg/ascii_text.h"

namespace lumatrove {

using namespace std::string_view_literals;

int32_t ModeCode(std::u16string_view type) {
  if (type == u"0"sv) return kModeManual;
  if (type == u"1"sv) return kModeAutomatic;
  if (type == u"2"sv) return kModeLeaveAlone;
  return kModeUnknown;
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
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
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
  // Every connection record is freed before the profile records (the heap of glibc, for one,
  // takes a large list back much faster in that order than profile by profile).
  for (const std::unique_ptr<Profile>& p : spareProfiles_) {
    for (auto c = p->connections.rbegin(); c != p->connections.rend(); ++c)
      spareConnections_.push_back(std::move(*c));
    p->connections.clear();
  }
}

std::u16string ProfileStore::ProgramFolder(char16_t* separator) {
  std::u16string path = system_.ModuleFileName();
  if (path.size() > 260) path.resize(260);
  const size_t cut = path.find_last_of(u"\\/");
  *separator = cut == std::u16string::npos ? u'\\' : path[cut];
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

std::filesystem::path ProfileStore::ConfigPath() {
  char16_t separator;
  std::u16string folder = ProgramFolder(&separator);
  folder += separator;
  folder += kConfigFileName;
  return ToPath(folder);
}

bool ProfileStore::EnterConfig() {
  document.ResetPosition();
  if (!document.FindElement(u"LUMATROVE")) return false;
  document.EnterElement();
  return document.FindElement(u"CONFIG");
}

int ProfileStore::Open() {
  keptCopy.clear();
  idRepairs = IdRepairs{};
  const std::filesystem::path path = ConfigPath();
  if (document.LoadFile(path)) {
    ReadSystemSettings();
    // A repaired file is saved at once: the IDs handed out now are the ones desktop
    // shortcuts and the next start will see.
    if (RepairIds()) Save();
    return LoadProfiles();
  }
  // A file that is there but cannot be parsed holds the user's profiles: it is kept under a
  // name of its own before the default document takes its place.
  std::error_code error;
  if (std::filesystem::exists(path, error)) {
    std::filesystem::path kept = path;
    kept += ".bad";
    for (int n = 2; std::filesystem::exists(kept, error) && n < 1000; ++n) {
      kept = path;
      kept += ".bad." + std::to_string(n);
    }
    if (!system_.ReplaceFile(path, kept)) {
      // It could not be kept aside, so it is not replaced either: the default document
      // serves in memory and the file stays as the user left it.
      document.SetDocument(kDefaultDocument);
      return 0;
    }
    keptCopy = kept;
  }
  CreateDefaultDocument();
  return 0;
}

bool ProfileStore::Save() {
  // The new text goes to a temporary file in the same folder, which then replaces the old
  // file in one step: a failed or interrupted write never leaves a truncated configuration.
  const std::filesystem::path path = ConfigPath();
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  std::error_code error;
  if (!document.SaveFile(temporary)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  if (!system_.ReplaceFile(temporary, path)) {
    std::filesystem::remove(temporary, error);
    return false;
  }
  return true;
}

void ProfileStore::CreateDefaultDocument() {
  document.SetDocument(kDefaultDocument);
  WriteSystemSettings();
  Save();
}

void ProfileStore::ClearProfiles() {
  // The records go to the spares for the next list, last first and each with its
  // connections, so that the next list takes them back in the same order: a profile whose
  // element has not changed is taken as it is, and the others fill the room their texts
  // already have. The store frees them when it is destroyed.
  for (auto p = profiles.rbegin(); p != profiles.rend(); ++p)
    spareProfiles_.push_back(std::move(*p));
  profiles.clear();
}

int ProfileStore::LoadProfiles() {
  ClearProfiles();
  if (!EnterConfig()) return 0;
  lastId = DecimalValue(document.GetAttribute(u"LASTID"));
  return ParseProfiles();
}

namespace {

// Sets element `index` of a list, reusing the string that is already there.
void Put(std::vector<std::u16string>& list, size_t index, const std::u16string& text) {
  if (index < list.size()) {
    list[index].assign(text);
  } else {
    list.push_back(text);
  }
}

}  // namespace

std::unique_ptr<Profile> ProfileStore::TakeProfile() {
  if (spareProfiles_.empty()) return std::make_unique<Profile>();
  std::unique_ptr<Profile> p = std::move(spareProfiles_.back());
  spareProfiles_.pop_back();
  return p;
}

std::unique_ptr<ConnectionSetting> ProfileStore::TakeConnection() {
  if (spareConnections_.empty()) return std::make_unique<ConnectionSetting>();
  std::unique_ptr<ConnectionSetting> c = std::move(spareConnections_.back());
  spareConnections_.pop_back();
  return c;
}

int ProfileStore::ParseProfiles() {
  if (!EnterConfig()) return 0;
  XmlDocument& d = document;
  d.EnterElement();
  std::u16string type, check, text;
  // Records of the previous list are reused with the room their texts already have: a store
  // that is opened again after every saved change builds its list without allocating.
  std::vector<std::unique_ptr<ConnectionSetting>> previous;
  const std::u16string_view listSource = d.KeptText();
  while (d.FindElement(u"NETSETING"sv)) {
    std::unique_ptr<Profile> profile = TakeProfile();
    // Everything a profile holds comes from its own element, so a record read from the very
    // same markup is already what reading it again would give.
    const std::u16string_view markup = d.ElementMarkupView();
    const uint32_t start = static_cast<uint32_t>(markup.data() - d.GetDocument().data());
    const bool same = profile->sourceLength == markup.size() &&
                      profile->sourceStart <= listSource.size() &&
                      markup.size() <= listSource.size() - profile->sourceStart &&
                      std::memcmp(listSource.data() + profile->sourceStart, markup.data(),
                                  markup.size() * sizeof(char16_t)) == 0;
    profile->sourceStart = start;
    profile->sourceLength = static_cast<uint32_t>(markup.size());
    if (same) {
      profiles.push_back(std::move(profile));
      continue;
    }
    previous.swap(profile->connections);
    profile->connections.clear();
    // Room for two connections (a wired and a wireless adapter) from the start, and for the
    // two DNS servers this program writes, saves a block that growth would give back at once.
    if (profile->connections.capacity() < 2) profile->connections.reserve(2);
    size_t reused = 0;
    d.GetAttributes({u"ID"sv, u"DATATIME"sv, u"NAME"sv},
                    {&profile->id, &profile->dateTime, &profile->name});
    profile->summary.clear();
    d.EnterElement();
    while (d.FindElement(u"CONNECTION"sv)) {
      std::unique_ptr<ConnectionSetting> c =
          reused < previous.size() ? std::move(previous[reused++]) : TakeConnection();
      d.GetAttributes(
          {u"GUID"sv, u"NAME"sv, u"TYPE"sv, u"EnableCheck"sv, u"MACCODE"sv, u"MACCODEN"sv},
          {&c->instanceId, &c->connectionName, &type, &check, &c->macAddress, &c->networkAddress});
      c->dhcpEnabled = ModeCode(type);
      c->statusEnabled = check == u"0"sv ? 0 : 1;
      for (std::u16string* field :
           {&c->description, &c->ipAddressText, &c->busType, &c->subnetMaskText, &c->gatewayText,
            &c->primaryDns, &c->secondaryDns}) {
        field->clear();
      }
      size_t ips = 0, masks = 0, gateways = 0, dns = 0;
      d.EnterElement();
      while (d.FindElement()) {
        const std::u16string_view tag = d.TagNameView();
        std::u16string* first = tag == u"IPADD"sv     ? &c->ipAddressText
                                : tag == u"MASKADD"sv ? &c->subnetMaskText
                                : tag == u"GATEWAY"sv ? &c->gatewayText
                                                      : nullptr;
        if (first != nullptr) {
          // Only the first address of these is read.
          if (d.FindChildElement()) {
            d.GetChildTextInto(*first);
            if (first == &c->ipAddressText) {
              Put(c->ipAddresses, ips++, *first);
            } else if (first == &c->subnetMaskText) {
              Put(c->subnetMasks, masks++, *first);
            } else {
              Put(c->gateways, gateways++, *first);
            }
          }
        } else if (tag == u"DNSADD"sv) {
          if (c->dnsServers.capacity() < 2) c->dnsServers.reserve(2);
          while (d.FindChildElement()) {
            d.GetChildTextInto(text);
            if (c->primaryDns.empty()) {
              c->primaryDns.assign(text);
            } else if (c->secondaryDns.empty()) {
              c->secondaryDns.assign(text);
            }
            Put(c->dnsServers, dns++, text);
          }
        }
      }
      c->ipAddresses.resize(ips);
      c->subnetMasks.resize(masks);
      c->gateways.resize(gateways);
      c->dnsServers.resize(dns);
      d.LeaveElement();
      AppendConnectionSummary(profile->summary, *c);
      profile->connections.push_back(std::move(c));
    }
    for (; reused < previous.size(); ++reused)
      spareConnections_.push_back(std::move(previous[reused]));
    previous.clear();
    d.LeaveElement();
    profiles.push_back(std::move(profile));
  }
  d.LeaveElement();
  // The records of the list now refer to this text, which the document keeps for the next
  // list (copied only if the document changes); spares left over referred to the one it
  // replaces and can no longer be taken as they are.
  d.KeepText();
  for (const std::unique_ptr<Profile>& spare : spareProfiles_)
    spare->sourceLength = 0;
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

void ProfileStore::CopyProfile(std::u16string_view sourceId, std::u16string_view newName) {
  const std::u16string content = GetProfileContent(sourceId);
  if (!EnterConfig()) return;
  const std::u16string id = NextId();
  document.SetAttribute(u"LASTID", id);
  document.EnterElement();
  document.AddElement(u"NETSETING");
  document.SetAttribute(u"NAME", newName);
  document.SetAttribute(u"DATATIME", FormatTime(system_.Now()));
  document.SetAttribute(u"ID", id);
  document.EnterElement();
  document.AddSubDocument(content);
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
  document.SetChildAttribute(u"NAME", name);
  document.SetChildAttribute(u"DATATIME", FormatTime(system_.Now()));
  document.SetChildAttribute(u"ID", id);
  document.EnterElement();
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
    break;
  }
  return true;
}

bool ProfileStore::WriteConnections(std::vector<const ConnectionSetting*> connections) {
  for (size_t i = 0; i < connections.size(); ++i)
    WriteConnection(connections, i);
  return true;
}

bool ProfileStore::WriteConnection(const std::vector<const ConnectionSetting*>& connections,
                                   size_t index) {
  const ConnectionSetting& r = *connections[index];
  XmlDocument& d = document;
  d.AddChildElement(u"CONNECTION");
  d.SetChildAttribute(u"NAME", r.connectionName);
  d.SetChildAttribute(u"GUID", r.instanceId);
  d.SetChildAttribute(u"NETCARD", r.description);
  d.SetChildAttribute(u"MACCODE", r.macAddress);
  d.SetChildAttribute(u"EnableCheck", r.statusEnabled != 0 ? u"1" : u"0");
  d.SetChildAttribute(u"TYPE", r.dhcpEnabled == 0 ? u"0" : r.dhcpEnabled == 1 ? u"1" : u"2");
  d.EnterElement();
  auto group = [&](std::u16string_view name, std::initializer_list<std::u16string_view> ips) {
    d.AddChildElement(name);
    d.EnterElement();
    for (std::u16string_view ip : ips)
      d.AddChildElement(u"IP", ip);
    d.LeaveElement();
  };
  group(u"IPADD", {r.ipAddressText});
  group(u"MASKADD", {r.subnetMaskText});
  group(u"GATEWAY", {r.gatewayText});
  group(u"DNSADD", {r.primaryDns, r.secondaryDns});
  d.LeaveElement();
  return true;
}

bool ProfileStore::ProfileNameExists(std::u16string_view name) {
  if (!EnterConfig()) return false;
  while (document.FindChildElement(u"NETSETING")) {
    if (document.GetChildAttribute(u"NAME") == name) return true;
  }
  return false;
}

}  // namespace lumatrove
