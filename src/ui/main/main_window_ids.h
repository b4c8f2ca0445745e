// What other programs may use to reach the main window: the property and mutex that mark the
// running instance, and the tray icon's callback message and ID.
#pragma once

#include <windows.h>

namespace lumatrove {

inline constexpr wchar_t kInstanceMarker[] = L"Lumatrove-Good";
inline constexpr UINT kTrayCallback = WM_USER + 1;
inline constexpr UINT kTrayIconId = 129;

}  // namespace lumatrove
