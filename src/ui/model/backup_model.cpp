#include "ui/model/backup_model.h"

#include "texts.h"
#include "ui/model/current_config_model.h"

namespace lumatrove {

std::u16string BackupEntryText(const AdapterInfo& a) {
  return a.connectionName + u"-->" + a.description;
}

std::u16string BackupDetailsText(const AdapterInfo& a) {
  std::u16string text;
  if (a.dhcpEnabled == 1) {
    text += texts::kBackupAutomatic;
  } else {
    text += texts::kBackupManual;
    text += AddressLines(a);
  }
  text += a.statusEnabled == 1 ? texts::kCurrentEnabled : texts::kCurrentDisabled;
  return text;
}

std::vector<ConnectionSetting> BackupConnections(
    const std::vector<std::unique_ptr<AdapterInfo>>& adapters, int selected, bool all,
    bool othersAutomatic) {
  std::vector<ConnectionSetting> connections;
  const bool inRange = selected >= 0 && static_cast<size_t>(selected) < adapters.size();
  if (!all && !inRange) return connections;
  for (size_t i = 0; i < adapters.size(); ++i) {
    const bool chosen = all || static_cast<int>(i) == selected;
    if (chosen) {
      connections.push_back(ConnectionOf(*adapters[i]));
    } else if (othersAutomatic) {
      ConnectionSetting c = ConnectionOf(*adapters[i]);
      c.dhcpEnabled = CodeOf(ConnectionMode::kAutomatic);
      c.ipAddressText.clear();
      c.subnetMaskText.clear();
      c.gatewayText.clear();
      c.primaryDns.clear();
      c.secondaryDns.clear();
      connections.push_back(std::move(c));
    }
  }
  return connections;
}

}  // namespace lumatrove
