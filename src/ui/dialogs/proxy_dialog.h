// A profile's proxy ("Proxy..." in the profile editor): leave it alone, none, automatic
// detection, a configuration script or a server with its exceptions.
#pragma once

#include <windows.h>

#include "store/proxy_setting.h"

namespace lumatrove {

// Runs the dialog over `owner` on `proxy`; true after OK, when the dialog's setting was
// stored into it.
bool ShowProxyDialog(HWND owner, ProxySetting& proxy);

}  // namespace lumatrove
