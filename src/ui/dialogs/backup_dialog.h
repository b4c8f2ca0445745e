// The backup dialog: the adapters the main window found, the details of the selected one, and
// a name under which the selected adapter's settings (or every adapter's) become a profile.
#pragma once

#include <windows.h>

#include "ui/dialogs/dialog_context.h"

namespace lumatrove {

// Runs the dialog over `owner`; true when a profile was added to the store's document (the
// caller saves and reloads).
bool ShowBackupDialog(HWND owner, DialogContext& context);

}  // namespace lumatrove
