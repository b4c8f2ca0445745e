// The advanced TCP/IP settings of one connection ("進階..." on a profile's tab): every address
// and mask, every gateway with its metric, every DNS server in order.
#pragma once

#include <windows.h>

#include "netcfg/adapter_info.h"

namespace lumatrove {

// Runs the dialog over `owner` on the lists of `connection`; true after OK, when the lists
// were stored back into it (the first entries into the fields its tab shows).
bool ShowAdvancedTcpIpDialog(HWND owner, ConnectionSetting& connection);

}  // namespace lumatrove
