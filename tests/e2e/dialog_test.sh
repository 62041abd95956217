#!/bin/bash
# The settings dialog from its real command lines on the X server: window and client size, the
# texture, captions and turning preview on the screen, the bar changing the preview's pace, Set
# writing Veltrane.ini and ending the program, Cancel and the close box leaving the file alone.
# An unwritable settings file is reported end to end by languages_test.sh.
# Needs DISPLAY, VELTRANE_SCR, VELTRANE_SOURCE and VELTRANE_TOOLS.
. "$(dirname "$0")/dialog_lib.sh"
trap 'kill $PID 2>/dev/null; rm -rf "$WORK"' EXIT

# start_dialog ARGUMENT [INI CONTENTS]: a fresh folder with the .scr (and Veltrane.ini), started
# with ARGUMENT; sets FOLDER and what launch_dialog sets.
start_dialog() {
  FOLDER=$(mktemp -d -p "$WORK")
  cp "$VELTRANE_SCR" "$FOLDER/Veltrane.scr"
  [ -n "${2:-}" ] && printf '%s' "$2" >"$FOLDER/Veltrane.ini"
  launch_dialog "$FOLDER" "$1"
}

# The client area's pixels at X Y W H (client coordinates) as raw RGB into file $5.
grab() {
  import -window root -crop "$3x$4+$((X0 + $1))+$((Y0 + $2))" -depth 8 "rgb:$5"
}

# How many different preview pictures N shots, S seconds apart, show.
distinct_previews() {
  local i
  for i in $(seq "$1"); do
    grab 16 16 200 200 "$WORK/preview$i.raw"
    sleep "$2"
  done
  md5sum "$WORK"/preview*.raw | awk '{print $1}' | sort -u | wc -l
  rm -f "$WORK"/preview*.raw
}

# Pixels of a client rectangle X Y W H that differ from the bare texture under it, the panel's
# own texture tiles starting at client OX OY: what a label or caption drew there.
drawn_pixels() {
  local x=$1 y=$2 w=$3 h=$4 ox=$5 oy=$6
  grab "$x" "$y" "$w" "$h" "$WORK/drawn.raw"
  convert -size $((x - ox + w))x$((y - oy + h)) "tile:$VELTRANE_SOURCE/resources/texture.bmp" \
    -crop "${w}x${h}+$((x - ox))+$((y - oy))" -depth 8 "rgb:$WORK/bare.raw"
  compare -metric AE -size "${w}x${h}" -depth 8 "rgb:$WORK/drawn.raw" "rgb:$WORK/bare.raw" null: 2>&1
}

# --- No settings file: window, screen, a click on the bar's trough, Set. ---
if start_dialog /c; then
  size=$(xwininfo -id "$WIN" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  check "client area on the X server is 405x261 (got $size)" '[ "$size" = 405x261 ]'
  info=$(probe info)
  check "client area seen by Windows is 405 x 261" 'grep -qx "client 405 261" <<<"$info"'
  check "client origin agrees with the X window" 'grep -qx "origin $X0 $Y0" <<<"$info"'
  check "fixed frame with caption and close box, no minimize or maximize box" \
    'grep -qx "caption 1 sysmenu 1 sizable 0 minimize 0 maximize 0" <<<"$info"'

  # The top-left corner of Pic_C is the texture strip's own top-left corner, copied exactly.
  grab 0 0 16 16 "$WORK/corner.raw"
  convert "$VELTRANE_SOURCE/resources/texture.bmp" -crop 16x16+0+0 -depth 8 "rgb:$WORK/texture.raw"
  check "the texture is on the dialog pixel for pixel" 'cmp -s "$WORK/corner.raw" "$WORK/texture.raw"'
  # Pic_D's texture starts inside its 2-pixel sunken border at (238, 18).
  for label in "interval caption:246 26 74 13 238 18" "home-page link:16 228 352 13 0 0" \
    "version:336 112 50 13 0 0"; do
    read -r x y w h ox oy <<<"${label#*:}"
    drawn=$(drawn_pixels "$x" "$y" "$w" "$h" "$ox" "$oy")
    check "the ${label%%:*} is drawn over the texture ($drawn pixels)" '[ "$drawn" -ge 20 ]'
  done
  n=$(distinct_previews 5 0.25)
  check "the preview turns at 100 ms ($n different pictures in 5 shots)" '[ "$n" -ge 3 ]'

  # Three clicks in the trough right of the thumb: 100 + 3 x 100.
  for _ in 1 2 3; do click_at 340 54; done
  click_at 274 200  # Set
  check "Set ends the program" 'ended_within 10'
  expected=$(printf '[Section]\r\n%s= 400\r\n' "$KEY")
  check "Set writes the bar's value with a leading blank" \
    '[ "$(cat "$FOLDER/Veltrane.ini" 2>/dev/null)" = "$expected" ]'
fi

# --- Interval 3000, as the system's Settings button starts it: dragging the thumb to the fast
# end makes the preview turn at every shot; Cancel leaves the file alone. ---
ini=$(printf '[Section]\r\n%s= 3000\r\n' "$KEY")
if start_dialog /c:65814 "$ini"; then
  n=$(distinct_previews 4 0.3)
  check "at 3000 ms the preview changes at most once in about 1.5 s ($n pictures)" '[ "$n" -le 2 ]'
  xdotool mousemove $((X0 + 352)) $((Y0 + 54)) sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove $((X0 + 300)) $((Y0 + 54)) sleep 0.2 mousemove $((X0 + 230)) $((Y0 + 54)) \
    sleep 0.2 mouseup 1
  sleep 0.5
  n=$(distinct_previews 5 0.25)
  check "after dragging to the fast end it changes at every shot ($n pictures in 5 shots)" \
    '[ "$n" -ge 4 ]'
  click_at 350 200  # Cancel
  check "Cancel ends the program" 'ended_within 10'
  check "Cancel leaves the file as it was" '[ "$(cat "$FOLDER/Veltrane.ini")" = "$ini" ]'
fi

# --- The close box (its system command) ends the program and writes nothing. ---
if start_dialog /c; then
  probe close >/dev/null
  check "the close box ends the program" 'ended_within 10'
  check "the close box writes no file" '[ ! -e "$FOLDER/Veltrane.ini" ]'
fi

exit $FAILED
