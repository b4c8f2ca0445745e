// The real NetSystem: the Win32 registry, IP Helper, version, "dhcpcsvc", SetupAPI,
// FormatMessageW, MessageBoxW, the ANSI code page and Windows Sockets' inet_addr.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "netcfg/net_system.h"

namespace lumatrove {

// The Win32 registry on its own (the store uses it for the Run value).
std::unique_ptr<Registry> MakeWin32Registry();

// `owner` is the window that message boxes belong to (may be null).
std::unique_ptr<NetSystem> MakeWin32NetSystem(void* owner = nullptr);
// For a program without windows: what would be a message box goes to `messages`.
std::unique_ptr<NetSystem> MakeWin32ConsoleNetSystem(
    std::function<void(std::u16string_view)> messages);

}  // namespace lumatrove
