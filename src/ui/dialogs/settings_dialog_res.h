// IDs of the settings dialog.
#pragma once

#define IDD_SETTINGS 145
#define IDC_SETTINGS_AUTORUN 1041
#define IDC_SETTINGS_LOG 1042
#define IDC_SETTINGS_UPDATE 1047
#define IDC_SETTINGS_CONFIRM 1064
