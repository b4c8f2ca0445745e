// KeepSettingsDialog: asks, after an apply, whether to keep the new settings, counting down
// the seconds left; when they run out it ends as if "還原" had been chosen.
#pragma once

#include <windows.h>

namespace lumatrove {

// True when the user chose to keep the settings.
bool AskToKeepSettings(HWND owner);

}  // namespace lumatrove
