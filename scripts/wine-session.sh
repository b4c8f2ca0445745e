#!/usr/bin/env bash
# Prepares and starts the throwaway Wine prefix of a Windows build folder, or stops it.
#   scripts/wine-session.sh start <build-dir>   create the prefix if needed, start its server
#   scripts/wine-session.sh stop <build-dir>    stop its server
#   scripts/wine-session.sh import <build-dir> <file.reg>   import a UTF-8 registry file
# The prefix gets a registry virtual desktop (fast hiding and clicks without a window
# manager), CJK font replacements for the dialogs' "新細明體", and Marlett for caption buttons.
set -euo pipefail
action=${1:?start or stop}
build=$(cd "${2:?build dir}" && pwd)
export WINEPREFIX="$build/wineprefix"
export HOME="$build/winehome"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;winedbg.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME"

# regedit reads a .reg file without byte-order mark in the ANSI code page: hand it UTF-16LE.
wine_import_reg() {
  local utf16="$build/import-$$.reg"
  { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$1"; } >"$utf16"
  wine regedit /S "$(winepath -w "$utf16" 2>/dev/null)" </dev/null >/dev/null 2>&1
  rm -f "$utf16"
}

case "$action" in
  start)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "Creating Wine prefix in $WINEPREFIX"
      wineboot -i </dev/null >/dev/null 2>&1 || true
      wineserver -w
      reg="$build/wine-setup.reg"
      cat >"$reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="shell"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"shell"="800x600"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"新細明體"="AR PL UMing TW"
"PMingLiU"="AR PL UMing TW"
"細明體"="AR PL UMing TW"
"MingLiU"="AR PL UMing TW"
REG
      wine_import_reg "$reg"
      for f in /usr/share/wine/fonts/marlett.ttf /usr/share/fonts/truetype/wine/marlett.ttf; do
        if [ -f "$f" ]; then cp "$f" "$WINEPREFIX/drive_c/windows/Fonts/"; break; fi
      done
      wineserver -w
    fi
    # One persistent server for the whole run, primed before ctest starts so that Wine's
    # background services do not inherit ctest's output pipe.
    wineserver -p
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  import)
    wine_import_reg "${3:?registry file}"
    ;;
  *)
    echo "unknown action $action" >&2
    exit 2
    ;;
esac
