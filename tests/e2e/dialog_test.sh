#!/bin/bash
# The settings dialog from its real command lines: window and client size, the texture, captions
# and turning preview on the screen, the bar changing the preview's pace, Set writing Veltrane.ini,
# Cancel, the close box, Alt+F4 and Esc leaving it alone, and the keyboard's moves between the bar
# and the buttons. languages_test.sh covers an unwritable file.
. "$(dirname "$0")/dialog_lib.sh"
# start_dialog ARGUMENT [INTERVAL]: from a fresh folder FOLDER (with that Veltrane.ini).
start_dialog() {
  FOLDER=$(mktemp -d -p "$WORK")
  scr_folder "$FOLDER" "${2:-}"
  launch_dialog "$FOLDER" "$1"
}
# grab X Y W H: the client area's pixels there as raw RGB on the output.
grab() { import -window root -crop "$3x$4+$((X0 + $1))+$((Y0 + $2))" -depth 8 rgb:-; }
# Pixels of a client rectangle X Y W H that differ from the bare texture under it, the panel's
# own texture tiles starting at client OX OY: what a label or caption drew there.
drawn_pixels() {
  local x=$1 y=$2 w=$3 h=$4 ox=$5 oy=$6
  convert -size $((x - ox + w))x$((y - oy + h)) "tile:$VELTRANE_SOURCE/resources/texture.bmp" \
    -crop "${w}x${h}+$((x - ox))+$((y - oy))" -depth 8 "rgb:$WORK/bare.raw"
  grab "$x" "$y" "$w" "$h" | compare -metric AE -size "${w}x${h}" -depth 8 rgb:- "rgb:$WORK/bare.raw" null: 2>&1
}

# --- No settings file: window, screen, three clicks on the bar's trough right of the thumb, Set.
if start_dialog /c; then
  size=$(xwininfo -id "$WIN" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
  check "client area on the X server is 405x261 (got $size)" '[ "$size" = 405x261 ]'
  info=$(probe info)
  check "Windows sees a 405x261 client area at the X window's origin, caption and close box only" \
    'grep -qx "client 405 261" <<<"$info" && grep -qx "origin $X0 $Y0" <<<"$info" &&
    grep -qx "caption 1 sysmenu 1 sizable 0 minimize 0 maximize 0" <<<"$info"'
  check "the texture is on the dialog pixel for pixel" '[ "$(grab 0 0 16 16 | md5sum)" = \
    "$(convert "$VELTRANE_SOURCE/resources/texture.bmp" -crop 16x16+0+0 -depth 8 rgb:- | md5sum)" ]'
  # Pic_D's texture starts inside its 2-pixel sunken border at (238, 18).
  for label in "interval caption:246 26 74 13 238 18" "home-page link:16 228 352 13 0 0" \
    "version:336 112 50 13 0 0"; do
    # shellcheck disable=SC2086
    drawn=$(drawn_pixels ${label#*:})
    check "the ${label%%:*} is drawn over the texture ($drawn pixels)" '[ "$drawn" -ge 20 ]'
  done
  n=$(distinct 5 0.25 grab 16 16 200 200)
  check "the preview turns at 100 ms ($n different pictures in 5 shots)" '[ "$n" -ge 3 ]'
  for _ in 1 2 3; do click_at 340 54; done
  click_at 274 200  # Set
  expect_end "Set" 10000
  check "Set writes the bar's value, 100 + 3 x 100, with a leading blank" \
    '[ "$(cat "$FOLDER/Veltrane.ini" 2>/dev/null)" = "$(ini " 400")" ]'
fi

# --- 3000 ms, as the system's Settings button starts it: dragging the thumb to the fast end makes
# the preview turn at every shot; Cancel leaves the file alone.
if start_dialog /c:65814 " 3000"; then
  n=$(distinct 4 0.3 grab 16 16 200 200)
  check "at 3000 ms the preview changes at most once in about 1.5 s ($n pictures)" '[ "$n" -le 2 ]'
  xdotool mousemove $((X0 + 352)) $((Y0 + 54)) sleep 0.2 mousedown 1 sleep 0.2 \
    mousemove $((X0 + 300)) $((Y0 + 54)) sleep 0.2 mousemove $((X0 + 230)) $((Y0 + 54)) \
    sleep 0.2 mouseup 1
  sleep 0.5
  n=$(distinct 5 0.25 grab 16 16 200 200)
  check "after dragging to the fast end it changes at every shot ($n pictures in 5 shots)" '[ "$n" -ge 4 ]'
  click_at 350 200  # Cancel
  expect_end "Cancel" 10000
  check "Cancel leaves the file as it was" '[ "$(cat "$FOLDER/Veltrane.ini")" = "$(ini " 3000")" ]'
fi

# --- The keyboard, the pointer off the buttons. The bar has the focus first and moves by its keys;
# Tab and Shift+Tab go bar, Set, Cancel and round, the focused button showing its Selected face;
# arrows, Space and Enter on a button do nothing. Then Set writes the value the keys gave.
# face X SX: the skin whose 4x4 corner a button face shows at client (X, 188), the skin's column
# there being SX (0 for a left corner, 60 for a right one).
face() {
  local shown s
  shown=$(grab "$1" 188 4 4 | md5sum)
  for s in normal selected pressed highlight; do
    [ "$shown" = "$(convert "$VELTRANE_SOURCE/resources/skin_$s.bmp" -crop "4x4+$2+0" -depth 8 rgb:- | md5sum)" ] &&
      { echo $s; return; }
  done
  echo other
}
if start_dialog /c; then
  xdotool mousemove $((X0 + 380)) $((Y0 + 150))
  # keys (comma-separated), then the focus, the bar's value, Set's face and Cancel's face
  while read -r keys want; do
    for key in ${keys//[,-]/ }; do xdotool key "$key" sleep 0.1; done
    sleep 0.3
    got="$(probe focus | tr ' ' ,) $(probe bar) $(face 236 0) $(face 385 60)"
    check "after ${keys//,/ }: focus, bar, Set and Cancel are $want (got $got)" '[ "$got" = "$want" ]'
  done <<'KEYS'
-                           bar 100 normal normal
End,Prior,Home,Down,Right   bar 3 normal normal
Next,Up                     bar 102 normal normal
Tab,Right,space,Return      236,188 102 selected normal
Tab,Left,space,Return       312,188 102 normal selected
Tab                         bar 102 normal normal
shift+Tab                   312,188 102 normal selected
shift+Tab                   236,188 102 selected normal
shift+Tab                   bar 102 normal normal
KEYS
  check "Space and Enter on the buttons closed nothing and wrote nothing" \
    'kill -0 "$PID" && [ ! -e "$FOLDER/Veltrane.ini" ]'
  click_at 274 200  # Set
  expect_end "Set after the keys" 10000
  check "Set writes the value the keys gave" '[ "$(cat "$FOLDER/Veltrane.ini" 2>/dev/null)" = "$(ini " 102")" ]'
fi

# --- The close box (its system command), Alt+F4 with the bar focused and Esc with a button focused
# each end the program and write nothing, though Right has moved the bar first.
for way in "the close box:probe close" "Alt+F4:xdotool key alt+F4" "Esc:xdotool key Tab Escape"; do
  if start_dialog /c " 250"; then
    xdotool key Right sleep 0.3
    bar=$(probe bar)
    SENT=$(us)
    ${way#*:} >/dev/null
    expect_end "${way%%:*}" 10000
    check "${way%%:*} leaves the file as it was, the bar at $bar" \
      '[ "$bar" = 251 ] && [ "$(cat "$FOLDER/Veltrane.ini")" = "$(ini " 250")" ]'
  fi
done
exit $FAILED
