// What the settings dialog edits: the system settings, read from the store and stored
// back into it with the start-with-Windows value.
#pragma once

#include "store/profile_store.h"
#include "ui/model/action_log.h"

namespace lumatrove {

struct SettingsChoice {
  bool autoRun = false;       // start with Windows, hidden in the tray
  bool autoUpdate = false;    // check for a new version at start
  bool logEnabled = false;    // write the action log
  bool confirmApply = false;  // ask whether to keep an apply, going back when not answered
  bool autoSwitchPaused = false;  // no switching to profiles by the network
  bool operator==(const SettingsChoice&) const = default;
};

SettingsChoice SettingsOf(const ProfileStore& store);
// Sets the store's flags, writes them into the configuration file and creates or deletes the
// start-with-Windows value; false when the file could not be written.
bool StoreSettings(ProfileStore& store, const SettingsChoice& choice);

// After an update check that failed: automatic update goes off and is saved, and the log
// (when logging is on) says so. The check stays off until the user switches it on again.
void SwitchOffAfterFailedCheck(ProfileStore& store, ActionLog& log, const LocalTime& now);

}  // namespace lumatrove
