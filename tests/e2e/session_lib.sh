# Shared by the session end-to-end tests: a picture on the root window, sessions started from a
# folder of their own, screenshots. Needs DISPLAY, VELTRANE_SCR, VELTRANE_SOURCE, VELTRANE_TOOLS.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
SIZE=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')

# A picture on the root window, kept there, its raw BGRA in $WORK/picture.raw. No screenshot yet: a
# root-window grab before Wine's first start leaves Wine's later desktop copies black on Xvfb.
put_picture() {
  convert -size "$SIZE" -seed 11 plasma:fractal -depth 8 -type TrueColor "PNG24:$WORK/picture.png"
  convert "$WORK/picture.png" -depth 8 "bgra:$WORK/picture.raw"
  display -window root "$WORK/picture.png" &
  sleep 2
}

# first_and_later: the screen as raw BGRA in $WORK/first.raw and, within ten seconds, a different
# $WORK/later.raw, each taken until two shots in a row agree (never half a frame).
first_and_later() {
  new_frame --steady 5 "$WORK/first.raw" &&
    new_frame --steady 10 "$WORK/later.raw" "$WORK/first.raw" || fail "no later frame differs"
}

# start_session "COMMAND LINE" [INTERVAL] [X Y]: the pointer at X Y (Wine places it at the screen's
# centre until X reports a motion), then a session from a fresh folder, until its window is there.
start_session() {
  # shellcheck disable=SC2086
  [ -z "${3:-}" ] || { xdotool mousemove $3; sleep 0.2; }
  new_folder "${2:-}" && run_session "$FOLDER" "$1" && sleep 0.3
}
