// IDs of the About dialog.
#pragma once

#define IDD_ABOUT 100
#define IDC_ABOUT_DONATE 3
#define IDC_ABOUT_THANKS 1019
#define IDC_ABOUT_WEB 1048
#define IDC_ABOUT_TEXT 1061
#define IDC_ABOUT_ICON 1062
#define IDC_ABOUT_THANKS_LABEL 1063
