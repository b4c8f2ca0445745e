// The settings dialog: start with Windows, the update check, the action log and the question
// after an apply, stored at once.
#pragma once

#include <windows.h>

#include "store/profile_store.h"

namespace lumatrove {

// Runs the dialog over `owner`; true after OK, when the settings were stored in `store` and
// its file. A file that cannot be written is said, and the result is false.
bool ShowSettingsDialog(HWND owner, ProfileStore& store);

}  // namespace lumatrove
