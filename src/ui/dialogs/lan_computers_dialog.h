// LanComputersDialog: the computers the Windows network browser sees, one row each.
#pragma once

#include <windows.h>

#include "services/lan_browser.h"

namespace lumatrove {

// Runs the list without a parent window, enumerating through `network`.
void ShowLanComputersDialog(NetEnumSystem& network);

}  // namespace lumatrove
