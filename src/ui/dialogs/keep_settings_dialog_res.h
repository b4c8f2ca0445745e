// IDs of the keep-the-settings question.
#pragma once

#define IDD_KEEP_SETTINGS 190
#define IDC_KEEP_QUESTION 1065
#define IDC_KEEP_COUNTDOWN 1066
#define IDC_KEEP_ICON 1067
