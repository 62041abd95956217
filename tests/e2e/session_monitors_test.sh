#!/bin/bash
# Several monitors: each first shows its own part of the desktop exactly, then that part turned
# about its own centre by the project's Rotate, every monitor by the same angle; the space between
# monitors never shows the desktop; a key, and a movement on both axes onto the last monitor, end
# the session. Arrangements on Xorg's dummy driver (X positions; the first is the primary): side by
# side; a smaller monitor left of and below the primary (negative Windows coordinates); three sizes
# with gaps. Then two Xinerama heads on Xvfb, which puts both at 0,0. Last, the monitors change
# while a session runs (xrandr: a resolution, a monitor switched off, added, moved, made larger
# than all that was captured): after each change every monitor first shows its part of the desktop
# captured at the start (white where nothing was), then that part turned; a key still ends it.
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
  echo "== monitors that change"
  "$VELTRANE_SOURCE/scripts/with-monitors.sh" 800x600+640+0 640x480+0+120 -- \
    bash "$here/$(basename "$0")" --inner changes || failed=1
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
# The active outputs as WxH+X+Y into `monitors`, the primary first, and the screen's SIZE.
read_monitors() {
  mapfile -t monitors < <(xrandr --listactivemonitors | awk 'NR > 1 {
    g = $3; gsub(/\/[0-9]+/, "", g); print ($2 ~ /\*/ ? 0 : 1), g }' | sort -s -k1,1 | cut -d' ' -f2)
  SIZE=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')
}
# all_show SHOT NAME: a new shot in SHOT in which monitor i shows $WORK/NAME-i.raw, for every i,
# and nothing but white lies between them.
all_show() {
  import -window root -depth 8 "bgra:$1" || return 1
  for i in "${!monitors[@]}"; do
    crop "$1" "${monitors[$i]}" "$WORK/part.raw" && cmp -s "$WORK/part.raw" "$WORK/$2-$i.raw" || return 1
  done
  white_between "$1"
}
# one_turn WHAT SHOT: every monitor i of SHOT shows $WORK/expected-i.raw turned by the project's
# Rotate, all by one angle.
one_turn() {
  local common
  common=$(seq 0 359)
  for i in "${!monitors[@]}"; do
    geometry "${monitors[$i]}"
    crop "$2" "${monitors[$i]}" "$WORK/part.raw"
    is_turn "$1: ${monitors[$i]}" "$w" "$h" "$WORK/expected-$i.raw" "$WORK/part.raw"
    common=$(comm -12 <(echo "$common" | sort) <(echo "$ANGLES" | awk '{print $2}' | sort))
  done
  check "$1: one angle for every monitor: $(echo $common)" '[ -n "$common" ]'
}
# change WHAT XRANDR-ARGUMENTS...: the layout changed by xrandr, then, on every monitor, the
# captured desktop at its place (Windows places follow the primary) and that turned by one angle.
change() {
  local what=$1 primary
  shift
  xrandr "$@" || { fail "$what: xrandr $*"; return; }
  read_monitors
  geometry "${monitors[0]}"
  primary="$x $y"
  for i in "${!monitors[@]}"; do
    geometry "${monitors[$i]}"
    read -r px py <<<"$primary"
    # This monitor's place in the set-up's X coordinates, where the captures lie.
    convert -size "${w}x$h" xc:white "$WORK/captured.png" \
      -geometry "$(printf '%+d%+d' $((px - x - START_X)) $((py - y - START_Y)))" -composite \
      -depth 8 "bgra:$WORK/expected-$i.raw"
  done
  if within 200 all_show "$WORK/shown.raw" expected; then
    pass "$what (${monitors[*]}): each monitor shows its part of the captured desktop"
  else
    fail "$what (${monitors[*]}): not every monitor shows its part of the captured desktop"
    return
  fi
  if new_frame --steady 10 "$WORK/turned.raw" "$WORK/shown.raw"; then
    one_turn "$what" "$WORK/turned.raw"
  else
    fail "$what: no turned frame"
  fi
}

if [ "$1" = changes ]; then
  read_monitors
  put_picture
  # The desktop as the session captures it: the picture on the monitors, white between them.
  convert -size "$SIZE" xc:white "$WORK/captured.png"
  for m in "${monitors[@]}"; do
    convert "$WORK/captured.png" \( "$WORK/picture.png" -crop "$m" \) -geometry "+${m#*+}" \
      -composite "$WORK/captured.png"
  done
  geometry "${monitors[0]}"
  START_X=$x START_Y=$y
  start_session /s 3000 "$((x + w / 2)) $((y + h / 2))"
  # A turned frame first, so that the untouched desktop after a change is the new layout's.
  first_and_later
  change "the primary at 640x480" --output DUMMY0 --mode 640x480
  change "the second off" --output DUMMY1 --off
  change "the second back, above its old place" \
    --output DUMMY1 --mode 640x480 --pos 0x0 --output DUMMY0 --pos 640x0
  change "the second moved down" --output DUMMY1 --pos 0x200
  change "the primary larger than its capture" --output DUMMY0 --mode 1024x768
  send key a
  expect_end "a key after the changes"
  exit $FAILED
fi
# The pointer starts in the middle of the primary.
geometry "${monitors[0]}"
home="$((x + w / 2)) $((y + h / 2))"

put_picture
for i in "${!monitors[@]}"; do crop "$WORK/picture.raw" "${monitors[$i]}" "$WORK/expected-$i.raw"; done
start_session /s 3000 "$home"
first_and_later
for i in "${!monitors[@]}"; do
  crop "$WORK/first.raw" "${monitors[$i]}" "$WORK/part.raw"
  check "${monitors[$i]}: the first frame is its part of the desktop exactly" \
    'cmp -s "$WORK/part.raw" "$WORK/expected-$i.raw"'
done
one_turn "a later frame" "$WORK/later.raw"
check "nothing of the desktop between the monitors" \
  'white_between "$WORK/first.raw" && white_between "$WORK/later.raw"'
send key a
expect_end "a key"

start_session /s 3000 "$home"
geometry "${monitors[-1]}"
send mousemove $((x + w / 3)) $((y + h / 3))
expect_end "a movement on both axes onto ${monitors[-1]}" 5000
exit $FAILED
