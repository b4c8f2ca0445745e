// Repair of profiles against the adapters present now, and import of 1.x files.
#include "base/ascii_text.h"
#include "store/profile_store.h"

namespace lumatrove {

int ProfileStore::FindAdapterIndex(std::u16string_view mac, std::u16string_view description,
                                   std::u16string_view connectionName,
                                   const std::vector<const AdapterInfo*>& adapters) {
  for (size_t i = 0; i < adapters.size(); ++i) {
    const AdapterInfo& a = *adapters[i];
    if (mac == a.macAddress || description == a.description || connectionName == a.connectionName) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

namespace {

int AdapterWithId(std::u16string_view id, const std::vector<const AdapterInfo*>& adapters) {
  if (id.empty()) return -1;
  for (size_t i = 0; i < adapters.size(); ++i) {
    if (EqualsIgnoringAsciiCase(adapters[i]->instanceId, id)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

bool ProfileStore::RepairProfiles(std::vector<const AdapterInfo*> adapters) {
  // One mark per adapter of the list, however many there are.
  std::vector<int> marks(adapters.size(), -1);
  if (!EnterConfig()) return false;
  XmlDocument& d = document;
  d.EnterElement();
  while (d.FindElement(u"NETSETING")) {
    if (d.GetAttribute(u"ID").empty()) d.SetAttribute(u"ID", NextId());
    d.ResetChildPosition();
    while (d.FindChildElement(u"CONNECTION")) {
      // An entry whose GUID names a present adapter is that adapter's: two cards of one
      // model share a description, and a MAC text left empty equals every adapter without
      // one, so the first of them must not take over the entry.
      int i = AdapterWithId(d.GetChildAttribute(u"GUID"), adapters);
      if (i < 0) {
        i = FindAdapterIndex(d.GetChildAttribute(u"MACCODE"), d.GetChildAttribute(u"NETCARD"),
                             d.GetChildAttribute(u"NAME"), adapters);
      }
      if (i < 0) {
        d.RemoveChildElement();  // the walk goes on after the removed entry
        continue;
      }
      marks[static_cast<size_t>(i)] = 1;
      const AdapterInfo& a = *adapters[static_cast<size_t>(i)];
      d.SetChildAttribute(u"MACCODE", a.macAddress);
      d.SetChildAttribute(u"NETCARD", a.description);
      d.SetChildAttribute(u"NAME", a.connectionName);
      d.SetChildAttribute(u"GUID", a.instanceId);
    }
    for (size_t i = 0; i < adapters.size(); ++i) {
      if (marks[i] == 1) {
        marks[i] = -1;
        continue;
      }
      // The added entry shows the adapter's current settings in the editor, but leaves the
      // adapter alone: a profile that never named it must not start changing it.
      ConnectionSetting added = ConnectionOf(*adapters[i]);
      added.dhcpEnabled = CodeOf(ConnectionMode::kLeaveAlone);
      // Without a child position the new connection becomes the profile's last child.
      d.ResetChildPosition();
      WriteConnectionElement(d, added);
    }
  }
  return true;
}

bool ProfileStore::ImportOldConfig(const FilePath& path) {
  // A 1.x profile file is a few kilobytes of text in the ANSI code page. Anything else (too
  // big, UTF-16, binary, cut short) is refused before the document is touched.
  const std::optional<std::string> read = ReadWholeFile(path, kImportSizeLimit);
  if (!read) return false;
  const std::string& bytes = *read;
  if (bytes.find('\0') != std::string::npos) return false;
  XmlDocument old;
  if (!old.SetDocument(system_.net().codePage().ToUtf16(bytes))) return false;
  old.ResetPosition();
  if (!old.FindElement(u"CONFIG") || !EnterConfig()) return false;
  while (old.FindChildElement(u"NETSETING"))
    old.SetChildAttribute(u"ID", NextId());
  const std::u16string content = old.GetElementContent();
  if (!EnterConfig()) return false;
  document.EnterElement();
  // Several profiles make AddSubDocument answer false, yet every one of them is inserted.
  document.AddSubDocument(content);
  return true;
}

}  // namespace lumatrove
