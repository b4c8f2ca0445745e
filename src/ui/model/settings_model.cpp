#include "ui/model/settings_model.h"

#include "texts.h"

namespace lumatrove {

SettingsChoice SettingsOf(const ProfileStore& store) {
  return {store.autoRun, store.autoUpdate, store.logEnabled, store.confirmApply,
          store.autoSwitchPaused};
}

bool StoreSettings(ProfileStore& store, const SettingsChoice& choice) {
  store.autoRun = choice.autoRun;
  store.autoUpdate = choice.autoUpdate;
  store.logEnabled = choice.logEnabled;
  store.confirmApply = choice.confirmApply;
  store.autoSwitchPaused = choice.autoSwitchPaused;
  const bool written = store.WriteSystemSettings();
  store.SetAutoRun(store.autoRun);
  return written;
}

void SwitchOffAfterFailedCheck(ProfileStore& store, ActionLog& log, const LocalTime& now) {
  store.autoUpdate = false;
  store.WriteSystemSettings();
  if (store.logEnabled) log.Append(texts::kUpdateFailed, now);
}

}  // namespace lumatrove
