// IDs of the LAN computer list.
#pragma once

#define IDD_LAN_COMPUTERS 168
#define IDC_LAN_LIST 1056
