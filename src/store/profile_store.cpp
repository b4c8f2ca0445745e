// The configuration file and the profile operations of ProfileStore.
#include "store/profile_store.h"

#include <cstdlib>
#include <system_error>

namespace lumatrove {

const std::u16string_view kDefaultDocument =
    u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    u"<LUMATROVE>\r\n"
    u"<CONFIG LASTID=\"0\" VERSION=\"2.0\" />\r\n"
    u"<DNS VERSION=\"2.0\" />\r\n"
    u"<SYSCONFIG VERSION=\"2.0\" />\r\n"
    u"</LUMATROVE>";

namespace {

int32_t ModeCode(std::u16string_view type) {
  if (type == u"0") return kModeManual;
  if (type == u"1") return kModeAutomatic;
  if (type == u"2") return kModeLeaveAlone;
  return kModeUnknown;
}

std::u16string Decimal(int64_t v) {
  const std::string s = std::to_string(v);
  return std::u16string(s.begin(), s.end());
}

// Ordinary decimal conversion: leading blanks, a sign, digits; anything else ends it.
int32_t DecimalValue(std::u16string_view text) {
  std::string ascii;
  for (char16_t c : text)
    ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return static_cast<int32_t>(std::strtol(ascii.c_str(), nullptr, 10));
}

}  // namespace

ProfileStore::ProfileStore(StoreSystem& system) : system_(system) {}

ProfileStore::~ProfileStore() {
  ClearProfiles();
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
  const std::filesystem::path path = ConfigPath();
  if (document.LoadFile(path)) {
    ReadSystemSettings();
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
    std::filesystem::rename(path, kept, error);
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
  profiles.clear();
}

int ProfileStore::LoadProfiles() {
  ClearProfiles();
  if (!EnterConfig()) return 0;
  lastId = DecimalValue(document.GetAttribute(u"LASTID"));
  return ParseProfiles();
}

int ProfileStore::ParseProfiles() {
  if (!EnterConfig()) return 0;
  XmlDocument& d = document;
  d.EnterElement();
  while (d.FindElement(u"NETSETING")) {
    auto profile = std::make_unique<Profile>();
    profile->id = d.GetAttribute(u"ID");
    profile->dateTime = d.GetAttribute(u"DATATIME");
    profile->name = d.GetAttribute(u"NAME");
    d.EnterElement();
    std::u16string summary;
    while (d.FindElement(u"CONNECTION")) {
      auto c = std::make_unique<ConnectionSetting>();
      c->instanceId = d.GetAttribute(u"GUID");
      c->connectionName = d.GetAttribute(u"NAME");
      c->dhcpEnabled = ModeCode(d.GetAttribute(u"TYPE"));
      c->statusEnabled = d.GetAttribute(u"EnableCheck") == u"0" ? 0 : 1;
      c->macAddress = d.GetAttribute(u"MACCODE");
      c->networkAddress = d.GetAttribute(u"MACCODEN");
      d.EnterElement();
      while (d.FindElement()) {
        const std::u16string tag = d.GetTagName();
        if (tag == u"IPADD" || tag == u"MASKADD" || tag == u"GATEWAY") {
          // Only the first address of these is read.
          if (d.FindChildElement()) {
            std::u16string text = d.GetChildText();
            std::u16string& first = tag == u"IPADD"     ? c->ipAddressText
                                    : tag == u"MASKADD" ? c->subnetMaskText
                                                        : c->gatewayText;
            std::vector<std::u16string>& all = tag == u"IPADD"     ? c->ipAddresses
                                               : tag == u"MASKADD" ? c->subnetMasks
                                                                   : c->gateways;
            all.reserve(1);
            all.push_back(text);
            first = std::move(text);
          }
        } else if (tag == u"DNSADD") {
          c->dnsServers.reserve(2);
          while (d.FindChildElement()) {
            const std::u16string text = d.GetChildText();
            if (c->primaryDns.empty()) {
              c->primaryDns = text;
            } else if (c->secondaryDns.empty()) {
              c->secondaryDns = text;
            }
            c->dnsServers.push_back(text);
          }
        }
      }
      d.LeaveElement();
      summary += ConnectionSummary(*c);
      profile->connections.push_back(std::move(c));
    }
    d.LeaveElement();
    profile->summary = std::move(summary);
    profiles.push_back(std::move(profile));
  }
  d.LeaveElement();
  return 1;
}

std::u16string ProfileStore::GetProfileContent(std::u16string_view id) {
  if (!EnterConfig()) return {};
  while (document.FindChildElement()) {
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
  while (document.FindChildElement()) {
    if (document.GetChildAttribute(u"ID") == id) return document.RemoveChildElement();
  }
  return false;
}

std::u16string ProfileStore::NextId() {
  document.SavePosition(u"GetID");
  std::u16string result = u"0";
  if (EnterConfig()) {
    ++lastId;
    result = Decimal(lastId);
    document.SetAttribute(u"LASTID", result);
  }
  document.RestorePosition(u"GetID");
  return result;
}

std::u16string ProfileStore::GetLastIdText() const {
  return Decimal(lastId);
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
  while (document.FindChildElement()) {
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
