#!/usr/bin/env bash
# The main job: builds Lumatrove and runs lumatrove.exe under Wine, in a virtual desktop, on a
# demonstration computer (two network adapters, one on DHCP and one fixed) with a few
# profiles. Double-click a profile to apply it; the registry of the demo prefix changes, the
# recording stand-in for the DHCP client notes the notification, and the IP Helper stand-in
# shows the new settings (check mark, tray tooltip) as Windows would.
#
# With a display the program runs until you leave it (File > Exit). Without one it runs on
# Xvfb, saves a screenshot as build/demo/screenshot.png, and ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
jobs=$(nproc)

echo "Building..."
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j "$jobs" --target lumatrove dhcpcsvc_double iphlpapi_double first_adapter

demo="$root/build/demo"
program="$demo/Lumatrove"
mkdir -p "$program"
cp build/windows/bin/lumatrove.exe build/windows/bin/dhcpcsvc.dll "$program/"
# The IP Helper stand-in shows the demo adapters and follows each apply as Windows would.
cp build/windows/bin/iphlpapi_double.dll "$program/iphlpapi.dll"
cp demo/demo-profiles.cfg "$program/lumatrove.cfg"
rm -f "$program/system.log"

export WINEPREFIX="$demo/wineprefix" HOME="$demo/winehome" WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree=d;mshtml=d;dhcpcsvc=n;iphlpapi=n,b"

own_display=0
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 99); do
    [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }
  done
  Xvfb "$display" -screen 0 800x600x24 >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY="$display"
  own_display=1
  sleep 1
fi

scripts/wine-session.sh start "$demo"
# The wired adapter takes the identifier of the interface that Wine reports.
demo_wired="{00000004-0000-0000-0000-4E6574446576}"
wired=$(wine build/windows/bin/first_adapter.exe 2>/dev/null | tr -d '\r' || true)
wired=${wired:-$demo_wired}
reg="$demo/demo-computer.reg"
sed "s/$demo_wired/$wired/g" demo/demo-computer.reg >"$reg"
sed -i "s/$demo_wired/$wired/g" "$program/lumatrove.cfg"
scripts/wine-session.sh import "$demo" "$reg"
export LUMATROVE_DHCP_LOG="$(winepath -w "$demo/dhcp-notifications.txt")"

cd "$program"
if [ $own_display -eq 1 ]; then
  wine lumatrove.exe >/dev/null 2>&1 &
  sleep 6
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "$demo/screenshot.png"
  echo "Screenshot of the main window: $demo/screenshot.png"
  wineserver -k || true
  kill "$xvfb" 2>/dev/null || true
else
  echo "Lumatrove runs in a Wine virtual desktop; leave it with File > Exit."
  wine lumatrove.exe >/dev/null 2>&1 || true
  "$root/scripts/wine-session.sh" stop "$demo"
fi
