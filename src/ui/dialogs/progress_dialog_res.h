// IDs of the progress window.
#pragma once

#define IDD_PROGRESS 169
#define IDC_PROGRESS_BAR 1058
#define IDC_PROGRESS_TEXT 1059
