#include "store/undo_snapshot.h"

#include <algorithm>

#include "base/ascii_text.h"
#include "store/profile_store.h"

namespace lumatrove {

std::vector<ConnectionSetting> UndoConnections(
    const Profile& profile, const std::vector<std::unique_ptr<AdapterInfo>>& adapters) {
  std::vector<ConnectionSetting> kept;
  for (const std::unique_ptr<ConnectionSetting>& c : profile.connections) {
    if (!Configures(*c)) continue;
    const auto adapter =
        std::find_if(adapters.begin(), adapters.end(), [&](const std::unique_ptr<AdapterInfo>& a) {
          return EqualsIgnoringAsciiCase(a->instanceId, c->instanceId);
        });
    if (adapter != adapters.end()) kept.push_back(ConnectionOf(**adapter));
  }
  return kept;
}

bool SaveUndoSnapshot(StoreSystem& system, const FilePath& file,
                      const std::vector<ConnectionSetting>& connections, std::u16string_view name,
                      const ProxySetting& proxy) {
  XmlDocument d;
  d.SetDocument(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<NETSETING/>");
  d.ResetPosition();
  d.FindElement(u"NETSETING");
  SetProfileAttributes(d, name, FormatTime(system.Now()), u"0");
  WriteProxySetting(d, proxy);
  for (const ConnectionSetting& c : connections)
    WriteConnectionElement(d, c);
  return SaveReplacing(
      file, [&d](const FilePath& temporary) { return d.SaveFile(temporary); },
      [&system](const FilePath& from, const FilePath& to) { return system.ReplaceFile(from, to); });
}

std::unique_ptr<Profile> LoadUndoSnapshot(const FilePath& file) {
  XmlDocument d;
  if (!d.LoadFile(file)) return nullptr;
  d.ResetPosition();
  if (!d.FindElement(u"NETSETING")) return nullptr;
  auto profile = std::make_unique<Profile>();
  d.GetAttributes({u"ID", u"DATATIME", u"NAME"},
                  {&profile->id, &profile->dateTime, &profile->name});
  profile->proxy = ReadProxySetting(d);
  d.EnterElement();
  while (d.FindElement(u"CONNECTION")) {
    auto c = std::make_unique<ConnectionSetting>();
    ReadConnection(d, *c);
    profile->connections.push_back(std::move(c));
  }
  return profile;
}

std::optional<UndoSnapshot> LoadUndoSnapshotToApply(const FilePath& file) {
  UndoSnapshot snapshot;
  snapshot.profile = LoadUndoSnapshot(file);
  if (!snapshot.profile || (snapshot.profile->connections.empty() &&
                            snapshot.profile->proxy.mode == ProxySetting::Mode::kLeaveAlone)) {
    return std::nullopt;
  }
  XmlDocument d;
  if (!d.LoadFile(file)) return std::nullopt;
  d.ResetPosition();
  if (!d.FindElement(u"NETSETING")) return std::nullopt;
  snapshot.content = d.GetElementContent();
  return snapshot;
}

}  // namespace lumatrove
