#!/bin/bash
# Regenerates docs/session.gif from real frames: scripts/run.sh runs Veltrane.scr under Wine on a
# small virtual screen with a 250 ms interval and keeps the desktop and twelve turned frames; the
# picture shows the desktop, then the frames at the saver's pace.
#   scripts/session-gif.sh [BUILD_DIR]     (default build/mingw; build it first)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build=$(cd "${1:-$source_dir/build/mingw}" && pwd)
[ -f "$build/src/Veltrane.scr" ] || { echo "no $build/src/Veltrane.scr: build the mingw preset" >&2; exit 1; }
frames=12

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/src/Veltrane.scr" "$work/Veltrane.scr"
# Section "Section", key "表示インターバル" in code page 932: 250 ms.
printf '[Section]\r\n\x95\x5c\x8e\xa6\x83\x43\x83\x93\x83\x5e\x81\x5b\x83\x6f\x83\x8b= 250\r\n' \
  >"$work/Veltrane.ini"
VELTRANE_SCR="$work/Veltrane.scr" VELTRANE_SHOTS="$work/shots" VELTRANE_FRAMES=$frames \
  VELTRANE_SCREEN=480x360x24 "$here/run.sh" --virtual /s

pictures=()
for i in $(seq "$frames"); do pictures+=("$work/shots/frame-$i.png"); done
convert -delay 150 "$work/shots/desktop.png" -delay 25 "${pictures[@]}" -loop 0 \
  +dither -colors 64 -layers Optimize "$source_dir/docs/session.gif"
echo "wrote docs/session.gif ($(stat -c %s "$source_dir/docs/session.gif") bytes)"
