// Profiles from one configuration file to another: the console program's export and import.
#include <algorithm>

#include "base/ascii_text.h"
#include "store/profile_store.h"
#include "texts.h"

namespace lumatrove {

bool ProfileStore::ExportProfiles(const FilePath& path, const std::vector<std::u16string>& ids,
                                  std::u16string* missing) {
  for (const std::u16string& id : ids) {
    const bool there =
        std::any_of(profiles.begin(), profiles.end(), [&](const auto& p) { return p->id == id; });
    if (!there) {
      if (missing != nullptr) *missing = id;
      return false;
    }
  }
  XmlDocument copy;
  if (!copy.SetDocument(document.GetDocument())) return false;
  copy.ResetPosition();
  if (!copy.FindElement(u"LUMATROVE") || !copy.EnterElement() || !copy.FindElement(u"CONFIG"))
    return false;
  if (!ids.empty()) {
    while (copy.FindChildElement(u"NETSETING")) {
      const std::u16string id = copy.GetChildAttribute(u"ID");
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) copy.RemoveChildElement();
    }
  }
  return SaveReplacing(
      path, [&](const FilePath& temporary) { return copy.SaveFile(temporary); },
      [this](const FilePath& from, const FilePath& to) { return system_.ReplaceFile(from, to); });
}

ProfileStore::ImportResult ProfileStore::ImportProfiles(const FilePath& path) {
  struct Incoming {
    std::u16string name;
    std::u16string dateTime;
    std::u16string content;
    ProxySetting proxy;
    NetworkRules networks;
  };
  ImportResult result;
  ProfileStore other(system_);
  if (!other.LoadFromFile(path) || !other.EnterConfig()) {
    result.fault = texts::kNotAConfiguration;
    return result;
  }
  // Every profile is checked before the first is added.
  XmlDocument& d = other.document;
  std::vector<Incoming> incoming;
  while (d.FindChildElement(u"NETSETING")) {
    Incoming p{d.GetChildAttribute(u"NAME"), d.GetChildAttribute(u"DATATIME"), {}, {}, {}};
    const bool named = std::any_of(p.name.begin(), p.name.end(),
                                   [](char16_t c) { return c != u' ' && c != u'\t'; });
    if (!named) {
      result.fault =
          texts::ProfileWithoutName(DecimalText(static_cast<int64_t>(incoming.size()) + 1));
      return result;
    }
    d.EnterElement();
    p.content = d.GetElementContent();
    // The proxy and the networks come along, checked as the editor checks them; a keyboard
    // shortcut is the user's own and stays behind.
    p.proxy = ReadProxySetting(d);
    p.networks = ReadNetworkRules(d);
    d.LeaveElement();
    result.fault = ProfileContentFault(p.content);
    if (result.fault.empty()) result.fault = ProxyFault(p.proxy);
    for (const NetworkRule& rule : p.networks.rules)
      if (result.fault.empty()) result.fault = NetworkRuleFault(rule);
    if (!result.fault.empty()) return result;
    incoming.push_back(std::move(p));
  }
  if (incoming.empty()) {
    result.fault = texts::kNoProfilesInFile;
    return result;
  }
  for (const Incoming& p : incoming) {
    if (!EnterConfig()) {
      result.fault = texts::kNotAConfiguration;
      return result;
    }
    const std::u16string id = NextId();
    document.SetAttribute(u"LASTID", id);
    document.EnterElement();
    document.AddElement(u"NETSETING");
    SetProfileAttributes(document, p.name, p.dateTime, id);
    WriteProxySetting(document, p.proxy);
    WriteNetworkRules(document, p.networks);
    document.EnterElement();
    document.AddSubDocument(p.content);
    ++result.added;
  }
  LoadProfiles();
  return result;
}

}  // namespace lumatrove
