// The current settings view: the TCP/IP settings every adapter has now, as one read-only
// text, and "備份返回" to store what it shows as a profile. It discovers the adapters itself
// each time it opens.
#pragma once

#include <windows.h>

#include "ui/dialogs/dialog_context.h"

namespace lumatrove {

// Runs the view over `owner`; true when the settings shown were added to the store as a
// profile (the caller saves and reloads).
bool ShowCurrentConfigDialog(HWND owner, DialogContext& context);

}  // namespace lumatrove
