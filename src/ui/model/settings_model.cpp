#include "ui/model/settings_model.h"

#include "texts.h"

namespace lumatrove {

SettingsChoice SettingsOf(const ProfileStore& store) {
  return {store.autoRun != 0, store.autoUpdate != 0, store.logEnabled != 0,
          store.confirmApply != 0};
}

bool StoreSettings(ProfileStore& store, const SettingsChoice& choice) {
  store.autoRun = choice.autoRun ? 1 : 0;
  store.autoUpdate = choice.autoUpdate ? 1 : 0;
  store.logEnabled = choice.logEnabled ? 1 : 0;
  store.confirmApply = choice.confirmApply ? 1 : 0;
  const bool written = store.WriteSystemSettings();
  store.SetAutoRun(store.autoRun);
  return written;
}

void SwitchOffAfterFailedCheck(ProfileStore& store, ActionLog& log, const LocalTime& now) {
  store.autoUpdate = 0;
  store.WriteSystemSettings();
  if (store.logEnabled != 0) log.Append(texts::kUpdateFailed, now);
}

}  // namespace lumatrove
