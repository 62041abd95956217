#!/bin/bash
# Regenerates docs/dialog.png: the settings dialog as Wine draws it with a window frame (inside
# a Wine virtual desktop on a private X server), cropped to the window; with --dpi N it is shown at
# N dots per inch and written to docs/dialog-N.png.
#   scripts/screenshot-dialog.sh [--dpi N] [BUILD_DIR]     (default build/mingw; build it first)
# Uses a prefix of its own for the Wine virtual desktop (one per scale); scripts/wine-prefix.sh
# shows the dialog's font "ＭＳ Ｐゴシック" as IPAPGothic (fonts-ipafont-gothic), which is wider
# than the Windows font.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/.." && pwd)
dpi=96
if [ "${1:-}" = --dpi ]; then dpi=$2; shift 2; fi
build=$(cd "${1:-$source_dir/build/mingw}" && pwd)
[ -f "$build/src/Veltrane.scr" ] || { echo "no $build/src/Veltrane.scr: build the mingw preset" >&2; exit 1; }
[ -f "$build/tools/dialog_probe.exe" ] || { echo "no dialog_probe.exe in $build/tools" >&2; exit 1; }
export WINEPREFIX="$source_dir/build/wineprefix-screenshot" shot="$source_dir/docs/dialog.png"
if [ "$dpi" != 96 ]; then
  export WINEPREFIX="$WINEPREFIX-dpi$dpi" VELTRANE_LOGPIXELS=$dpi shot="$source_dir/docs/dialog-$dpi.png"
fi
# The desktop and the screen around it grow with the scale.
desktop=/desktop=Veltrane,$((640 * dpi / 96))x$((400 * dpi / 96))

if [ -z "${VELTRANE_SCREENSHOT_INNER:-}" ]; then
  VELTRANE_SCREENSHOT_INNER=1 exec "$here/with-xvfb.sh" --screen "$((800 * dpi / 96))x$((600 * dpi / 96))x24" \
    "$0" --dpi "$dpi" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/src/Veltrane.scr" "$work/Veltrane.scr"
cp "$build/tools/dialog_probe.exe" "$work/dialog_probe.exe"
"$here/wine-prefix.sh"

(cd "$work" && "$here/wine-run.sh" explorer "$desktop" Veltrane.scr /c) &
dialog=$!
info=
limit=60
SECONDS=0
while [ "$SECONDS" -lt "$limit" ]; do
  sleep 0.3
  (cd "$work" && "$here/wine-run.sh" explorer "$desktop" dialog_probe.exe info probe.txt) \
    >/dev/null 2>&1 || true
  if [ -s "$work/probe.txt" ]; then info=$(tr -d '\r' <"$work/probe.txt"); break; fi
done
[ -n "$info" ] || { echo "the dialog did not open within $limit s" >&2; kill $dialog; exit 1; }
# Let the preview turn a few times and the zoom finish.
sleep 2
read -r left top right bottom < <(awk '/^window/ {print $2, $3, $4, $5}' <<<"$info")
desktop_window=$(xdotool search --name '^Veltrane - Wine desktop$' | head -n1)
import -window "$desktop_window" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
  "$work/dialog.png"
convert "$work/dialog.png" -strip "PNG24:$shot"
kill $dialog 2>/dev/null || true
echo "wrote ${shot#"$source_dir/"} ($((right - left))x$((bottom - top)))"
