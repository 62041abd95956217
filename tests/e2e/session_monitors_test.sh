#!/bin/bash
# Several monitors: each first shows its own part of the desktop exactly, then that part turned
# about its own centre by the project's Rotate, every monitor by the same angle; the space between
# monitors never shows the desktop; a key, and a movement on both axes onto the last monitor, end
# the session. Arrangements on Xorg's dummy driver (X positions; the first is the primary): side by
# side; a smaller monitor left of and below the primary (negative Windows coordinates); three sizes
# with gaps. Then two Xinerama heads on Xvfb, which puts both at 0,0.
set -u
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != --inner ]; then
  failed=0
  for layout in "800x600+0+0 640x600+800+0" "1024x768+640+0 640x480+0+200" \
    "1024x768+700+0 640x480+0+300 800x600+1824+168" xinerama; do
    echo "== monitors $layout"
    if [ "$layout" = xinerama ]; then
      server=("$VELTRANE_SOURCE/scripts/with-xvfb.sh" --screen 800x600x24 --screen 800x600x24)
      layout="800x600+0+0 800x600+0+0"
    else
      # shellcheck disable=SC2206
      server=("$VELTRANE_SOURCE/scripts/with-monitors.sh" $layout --)
    fi
    # shellcheck disable=SC2086
    "${server[@]}" bash "$here/$(basename "$0")" --inner $layout || failed=1
  done
  exit $failed
fi
shift
monitors=("$@")
. "$here/session_lib.sh"
# geometry WxH+X+Y: sets w h x y.
geometry() { IFS='x+' read -r w h x y <<<"$1"; }
# crop FILE WxH+X+Y OUT: one monitor's part of a raw root-window shot.
crop() { convert -size "$SIZE" -depth 8 "bgra:$1" -crop "$2" +repage -depth 8 "bgra:$3"; }
# Whether a shot shows nothing but white outside the monitors.
white_between() {
  local draw=()
  for m in "${monitors[@]}"; do
    geometry "$m"
    draw+=(-draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
  done
  [ "$(convert -size "$SIZE" -depth 8 "bgra:$1" -alpha off -fill white "${draw[@]}" \
    -format '%[min]' info:)" = 65535 ]
}
# The pointer starts in the middle of the primary.
geometry "${monitors[0]}"
home="$((x + w / 2)) $((y + h / 2))"

put_picture
start_session /s 3000 "$home"
first_and_later
common=$(seq 0 359)
for m in "${monitors[@]}"; do
  for shot in picture first later; do crop "$WORK/$shot.raw" "$m" "$WORK/part-$shot.raw"; done
  check "$m: the first frame is its part of the desktop exactly" \
    'cmp -s "$WORK/part-first.raw" "$WORK/part-picture.raw"'
  geometry "$m"
  is_turn "$m: a later frame" "$w" "$h" "$WORK/part-picture.raw" "$WORK/part-later.raw"
  common=$(comm -12 <(echo "$common" | sort) <(echo "$ANGLES" | awk '{print $2}' | sort))
done
check "one angle for every monitor: $(echo $common)" '[ -n "$common" ]'
check "nothing of the desktop between the monitors" \
  'white_between "$WORK/first.raw" && white_between "$WORK/later.raw"'
send key a
expect_end "a key"

start_session /s 3000 "$home"
geometry "${monitors[-1]}"
send mousemove $((x + w / 3)) $((y + h / 3))
expect_end "a movement on both axes onto ${monitors[-1]}" 5000
exit $FAILED
