#!/bin/bash
# Several monitors (Xorg's dummy driver, X positions, the primary first; two Xinerama heads of Xvfb,
# both at 0,0), also changed by xrandr during the session: each shows its part of the desktop
# captured at the start, then that part turned about its centre by the project's Rotate, all by
# one angle, white between them; a movement on both axes onto the last (a key after the changes)
# ends the session.
set -u
if [ "${1:-}" != --inner ]; then
  failed=0
  # Side by side; one left of and below the primary (negative Windows coordinates); gaps; changes.
  for layout in "800x600+0+0 640x600+800+0" "1024x768+640+0 640x480+0+200" \
    "1024x768+700+0 640x480+0+300 800x600+1824+168" "800x600+640+0 640x480+0+120 changes"; do
    echo "== monitors $layout"
    # shellcheck disable=SC2086 # the word "changes" after the monitors goes to the inner run
    "$VELTRANE_SOURCE/scripts/with-monitors.sh" ${layout% changes} -- bash "$0" --inner ${layout##*[0-9]} || failed=1
  done
  echo "== two Xinerama heads on Xvfb"
  "$VELTRANE_SOURCE/scripts/with-xvfb.sh" --screen 800x600x24 --screen 800x600x24 bash "$0" --inner || failed=1
  exit $failed
fi
. "$(dirname "$0")/session_lib.sh"
changes=${2:-}
geometry() { IFS='x+' read -r w h x y <<<"$1"; }  # WxH+X+Y: sets w h x y
# crop FILE WxH+X+Y OUT: one monitor's part of a raw root-window shot.
crop() { convert -size "$SIZE" -depth 8 "bgra:$1" -crop "$2" +repage -depth 8 "bgra:$3"; }
# white_between SHOT: nothing but white outside the monitors.
white_between() {
  local draw=() m
  for m in "${monitors[@]}"; do geometry "$m" && draw+=(-draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))"); done
  [ "$(convert -size "$SIZE" -depth 8 "bgra:$1" -alpha off -fill white "${draw[@]}" -format '%[min]' info:)" = 65535 ]
}
# read_monitors: the active outputs as WxH+X+Y into `monitors`, the primary first, and SIZE.
read_monitors() {
  mapfile -t monitors < <(xrandr --listactivemonitors | awk 'NR > 1 {
    g = $3; gsub(/\/[0-9]+/, "", g); print ($2 ~ /\*/ ? 0 : 1), g }' | sort -s -k1,1 | cut -d' ' -f2)
  SIZE=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')
}
# expect_parts: $WORK/expected-i.raw, monitor i's part of the captured desktop at its Windows place.
expect_parts() {
  geometry "${monitors[0]}"
  local px=$x py=$y i
  for i in "${!monitors[@]}"; do
    geometry "${monitors[$i]}"
    convert -size "${w}x$h" xc:white "$WORK/captured.png" -geometry "$(printf '%+d%+d' $((px - x - START_X)) \
      $((py - y - START_Y)))" -composite -depth 8 "bgra:$WORK/expected-$i.raw"
  done
}
# wrong_parts SHOT: the monitors not showing their expected part, "between" if not white between.
wrong_parts() {
  for i in "${!monitors[@]}"; do
    crop "$1" "${monitors[$i]}" "$WORK/part.raw"
    cmp -s "$WORK/part.raw" "$WORK/expected-$i.raw" || echo -n "${monitors[$i]} "
  done
  white_between "$1" || echo -n between
}
parts_shown() {  # WHAT SHOT
  local wrong
  wrong=$(wrong_parts "$2")
  check "$1: each monitor shows its part of the desktop, white between${wrong:+ (not: $wrong)}" '[ -z "$wrong" ]'
}
# one_turn WHAT SHOT: every monitor shows its expected part turned, all by one angle, white between.
one_turn() {
  local common i shot=$2
  common=$(seq 0 359)
  for i in "${!monitors[@]}"; do
    geometry "${monitors[$i]}"
    crop "$2" "${monitors[$i]}" "$WORK/part.raw"
    is_turn "$1: ${monitors[$i]}" "$w" "$h" "$WORK/expected-$i.raw" "$WORK/part.raw"
    common=$(comm -12 <(echo "$common" | sort) <(echo "$ANGLES" | awk '{print $2}' | sort))
  done
  check "$1: one angle for every monitor: $(echo $common)" '[ -n "$common" ]'
  check "$1: nothing of the desktop between the monitors" 'white_between "$shot"'
}
# change WHAT XRANDR-ARGUMENT...: the layout changed, each monitor shows its expected part, then turned.
change() {
  xrandr "${@:2}" || { fail "$1: xrandr ${*:2}"; return; }
  read_monitors
  expect_parts
  within 200 eval 'import -window root -depth 8 "bgra:$WORK/shown.raw" && [ -z "$(wrong_parts "$WORK/shown.raw")" ]'
  parts_shown "$1 (${monitors[*]})" "$WORK/shown.raw" || return
  new_frame --steady 10 "$WORK/turned.raw" "$WORK/shown.raw" || { fail "$1: no turned frame"; return; }
  one_turn "$1" "$WORK/turned.raw"
}

read_monitors
put_picture
# The desktop as the session captures it: the picture on the monitors, white between them.
convert -size "$SIZE" xc:white "$WORK/captured.png"
for m in "${monitors[@]}"; do
  convert "$WORK/captured.png" \( "$WORK/picture.png" -crop "$m" \) -geometry "+${m#*+}" -composite "$WORK/captured.png"
done
geometry "${monitors[0]}"
START_X=$x START_Y=$y
expect_parts
start_session /s 3000 "$((x + w / 2)) $((y + h / 2))" # the pointer on the primary
first_and_later
parts_shown "the first frame" "$WORK/first.raw"
one_turn "a later frame" "$WORK/later.raw"
if [ -n "$changes" ]; then
  change "the primary at 640x480" --output DUMMY0 --mode 640x480
  change "the second off" --output DUMMY1 --off
  change "the second back, above its old place" --output DUMMY1 --mode 640x480 --pos 0x0 --output DUMMY0 --pos 640x0
  change "the second moved down" --output DUMMY1 --pos 0x200
  change "the primary larger than its capture" --output DUMMY0 --mode 1024x768
  end_by_key "a key after the changes"
else
  geometry "${monitors[-1]}"
  send mousemove $((x + w / 3)) $((y + h / 3))
  expect_end "a movement on both axes onto ${monitors[-1]}" 5000
fi
exit $FAILED
