// Resource and command IDs of lumatrove.exe shared by its parts: icons, bitmaps, menus, the
// main window, strings and commands. Each dialog has its IDs in a header of its own.
#pragma once

// Icons, bitmaps, menus, dialogs, the toolbar.
#define IDI_APP 128
#define IDI_ROW 155
#define IDI_ROW_LIVE 156
#define IDI_SHORTCUT 207
#define IDR_MAINMENU 133
#define IDD_MAIN 137
#define IDR_TOOLBAR 138
#define IDR_TRAYMENU 143
#define IDR_CONTEXTMENU 167
#define IDB_APPLY 171
#define IDB_VIEW 172
#define IDB_ABOUT 173
#define IDB_HELP 174
#define IDB_ADD 175
#define IDB_REMOVE 176
#define IDB_SPARE 177
#define IDB_DONATE 178
#define IDB_MODIFY 179
#define IDB_DONATE_HOT 180
#define IDB_ABOUT_HOT 181
#define IDB_ADD_HOT 182
#define IDB_REMOVE_HOT 183
#define IDB_MODIFY_HOT 184
#define IDB_HELP_HOT 185
#define IDB_VIEW_HOT 186
#define IDB_SPARE_HOT 187
#define IDB_APPLY_HOT 188

// The toolbar resource type (the layout of button IDs, as MFC stores it).
#define RT_TOOLBAR_LAYOUT 241

// Controls.
#define IDC_STATUSBAR 100
#define IDC_PROFILE_LIST 1007

// Strings.
#define IDS_ABOUTBOX 101

// Commands.
#define ID_TRAY_OPEN 32771
#define ID_APP_EXIT 32772
#define ID_APP_ABOUT 32773
#define ID_HELP_CONTENTS 32775
#define ID_PROFILE_MODIFY 32776
#define ID_PROFILE_APPLY 32777
#define ID_PROFILE_BACKUP 32778
#define ID_SETTINGS 32789
#define ID_LOG_VIEW 32790
#define ID_LOG_CLEAR 32791
#define ID_VIEW_CURRENT 32793
#define ID_PROFILE_REMOVE 32795
#define ID_PROFILE_COPY 32796
#define ID_DONATE 32797
#define ID_PROFILE_NEW 32803
#define ID_PROFILE_PROPERTIES 32804
#define ID_LAN_COMPUTERS 32810
#define ID_REPAIR 32811
#define ID_SHORTCUT 32812
#define ID_IMPORT 32813
#define ID_UNDO_APPLY 32820
#define ID_AUTOSWITCH_PAUSE 32821
#define ID_APPLY_FIRST 1524
#define ID_APPLY_LAST 2024
#define ID_ENABLE_FIRST 2025
#define ID_ENABLE_LAST 2044
#define ID_DISABLE_FIRST 2045
#define ID_DISABLE_LAST 2064

// The system-menu entry that opens the About dialog.
#define IDM_ABOUTBOX 16
