#!/bin/sh
# Builds the help file from the pages here and the screenshots in docs/: build.sh <work folder>
# <output .chm>. The table of contents is written in Big5, the code page that the viewer reads
# it in for a Traditional Chinese help file; the pages say their own encoding (UTF-8).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$1
output=$2
rm -rf "$work"
mkdir -p "$work"
cp "$here"/*.html "$here"/help.css "$here"/lumatrove.hhp "$work"/
for image in main-window profile-editor backup current-settings tray-menu settings live-profile; do
  cp "$here/../docs/$image.png" "$work"/
done
iconv -f UTF-8 -t CP950 "$here/toc.hhc" >"$work/toc.hhc"
(cd "$work" && chmcmd lumatrove.hhp >chmcmd.log 2>&1) || { cat "$work/chmcmd.log"; exit 1; }
cp "$work/lumatrove.chm" "$output"
