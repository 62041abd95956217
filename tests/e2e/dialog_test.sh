#!/bin/bash
# The settings dialog from its real command lines: its window, the preview's pace, Set, Cancel, the
# close box, Alt+F4, Esc and the keyboard (its pixels: tests/win32/dialog_test.cpp; an unwritable
# file: languages_test.sh).
. "$(dirname "$0")/dialog_lib.sh"

# face X SX: the skin whose 4x4 corner (the skin's column SX) a button face shows at client (X, 188).
face() {
  local shown s
  shown=$(grab "$1" 188 4 4 | md5sum)
  for s in normal selected pressed highlight; do
    [ "$shown" = "$(resource "skin_$s" 4 4 "$2" 0 | md5sum)" ] && { echo $s; return; }
  done
  echo other
}

# --- No settings file: the window, the preview's pace; then, the pointer off the buttons, the keys:
# the bar first, moved by its keys; Tab and Shift+Tab round bar, Set and Cancel, a focused button
# Selected; arrows, Space and Enter on one do nothing. Last three clicks on the trough, and Set.
if start_dialog /c; then
  size=$(window_size -id "$WIN")
  check "client area on the X server is 405x261 (got $size)" '[ "$size" = 405x261 ]'
  info=$(probe info)
  check "Windows sees a 405x261 client area at the X window's origin, caption and close box only" \
    'grep -qx "client 405 261" <<<"$info" && grep -qx "origin $X0 $Y0" <<<"$info" &&
    grep -qx "caption 1 sysmenu 1 sizable 0 minimize 0 maximize 0" <<<"$info"'
  n=$(distinct 5 0.25 grab 16 16 200 200)
  check "the preview turns at 100 ms ($n different pictures in 5 shots)" '[ "$n" -ge 3 ]'
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
  for _ in 1 2 3; do click_at 340 54; done
  set_writes "the keys, then three clicks right of the thumb: 102 + 3 x 100" " 402"
fi

# --- 3000 ms, as the system's Settings button starts it: dragging the thumb to the fast end makes
# the preview turn at every shot.
if start_dialog /c:65814 " 3000"; then
  n=$(distinct 4 0.3 grab 16 16 200 200)
  check "at 3000 ms the preview changes at most once in about 1.5 s ($n pictures)" '[ "$n" -le 2 ]'
  xdotool mousemove $((X0 + 352)) $((Y0 + 54)) sleep 0.2 mousedown 1 sleep 0.2 mousemove $((X0 + 300)) \
    $((Y0 + 54)) sleep 0.2 mousemove $((X0 + 230)) $((Y0 + 54)) sleep 0.2 mouseup 1
  sleep 0.5
  n=$(distinct 5 0.25 grab 16 16 200 200)
  check "after dragging to the fast end it changes at every shot ($n pictures in 5 shots)" '[ "$n" -ge 4 ]'
  set_writes "the thumb dragged to the fast end" " 1"
fi

# --- Cancel, the close box (its system command), Alt+F4 with the bar focused and Esc with a button
# focused each end the program and write nothing, though Right has moved the bar first.
for way in "Cancel:click_at 350 200" "the close box:probe close" "Alt+F4:xdotool key alt+F4" \
  "Esc:xdotool key Tab Escape"; do
  start_dialog /c " 250" || continue
  xdotool key Right sleep 0.3
  bar=$(probe bar)
  SENT=$(us)
  ${way#*:} >/dev/null
  expect_end "${way%%:*}" 10000
  check "${way%%:*} leaves the file as it was, the bar at $bar" '[ "$bar" = 251 ] && holds "$FOLDER" " 250"'
done
exit $FAILED
