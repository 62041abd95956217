#!/bin/bash
# Several monitors on a real X server (Xorg with the dummy driver): each monitor first shows its
# own part of the desktop exactly, then that part turned about its own centre by the project's
# Rotate, bit for bit, every monitor by the same angle; the space between monitors never shows the
# desktop; a key, and a mouse movement on both axes onto another monitor, end the session.
# Arrangements (X positions; the first is the primary): side by side; a smaller monitor left of
# and below the primary (negative Windows coordinates); three sizes with gaps.
set -u
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" != --inner ]; then
  failed=0
  for layout in "800x600+0+0 640x600+800+0" \
    "1024x768+640+0 640x480+0+200" \
    "1024x768+700+0 640x480+0+300 800x600+1824+168"; do
    echo "== monitors $layout"
    # shellcheck disable=SC2086
    "$VELTRANE_SOURCE/scripts/with-monitors.sh" $layout -- bash "$here/$(basename "$0")" \
      --inner $layout || failed=1
  done
  exit $failed
fi
shift
monitors=("$@")
. "$here/session_lib.sh"
size=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')

# crop FILE WxH+X+Y OUT: one monitor's part of a raw root-window shot.
crop() {
  convert -size "$size" -depth 8 "bgra:$1" -crop "$2" +repage -depth 8 "bgra:$3"
}
# Whether a shot shows nothing but white outside the monitors.
white_between() {
  local draw=()
  for m in "${monitors[@]}"; do
    [[ $m =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
    draw+=(-draw "rectangle ${BASH_REMATCH[3]},${BASH_REMATCH[4]} $((BASH_REMATCH[3] + BASH_REMATCH[1] - 1)),$((BASH_REMATCH[4] + BASH_REMATCH[2] - 1))")
  done
  [ "$(convert -size "$size" -depth 8 "bgra:$1" -alpha off -fill white "${draw[@]}" \
    -format '%[min]' info:)" = 65535 ]
}

# The pointer starts in the middle of the primary.
[[ ${monitors[0]} =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
home="$((BASH_REMATCH[3] + BASH_REMATCH[1] / 2)) $((BASH_REMATCH[4] + BASH_REMATCH[2] / 2))"

put_picture "$size"
# shellcheck disable=SC2086
xdotool mousemove $home
sleep 0.2
start_session /s 3000 || fail "no session window"
stable_shot "$WORK/first.raw"
later_shot
common=$(seq 0 359)
for m in "${monitors[@]}"; do
  crop "$WORK/picture.raw" "$m" "$WORK/part.raw"
  crop "$WORK/first.raw" "$m" "$WORK/part-first.raw"
  crop "$WORK/later.raw" "$m" "$WORK/part-later.raw"
  check "$m: the first frame is its part of the desktop exactly" \
    'cmp -s "$WORK/part-first.raw" "$WORK/part.raw"'
  w=${m%%x*} rest=${m#*x}
  h=${rest%%+*}
  if angles=$("$WINE_RUN" "$VELTRANE_TOOLS/session_frame_check.exe" "$w" "$h" \
    "$WORK/part.raw" "$WORK/part-later.raw"); then
    angles=$(echo "$angles" | tr -d '\r')
    pass "$m: a later frame is its part turned about its own centre: $(echo $angles)"
    common=$(comm -12 <(echo "$common" | sort) <(echo "$angles" | awk '{print $2}' | sort))
  else
    fail "$m: a later frame is no turn of its part: $angles"
    common=
  fi
done
if [ -n "$common" ]; then pass "one angle for every monitor: $(echo $common)"; else fail "no angle common to all monitors"; fi
check "nothing of the desktop between the monitors" \
  'white_between "$WORK/first.raw" && white_between "$WORK/later.raw"'
send key a
expect_end "a key"

# A movement on both axes, from the primary onto the last monitor.
last=${monitors[-1]}
# shellcheck disable=SC2086
xdotool mousemove $home
sleep 0.2
start_session /s 3000 || fail "no session window"
[[ $last =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
send mousemove $((BASH_REMATCH[3] + BASH_REMATCH[1] / 3)) $((BASH_REMATCH[4] + BASH_REMATCH[2] / 3))
wait_end 5 "$SENT"
if [ "${RESULT%% *}" = 0 ]; then
  pass "a movement onto $last ends the session: exit code 0 after ${RESULT#* } s"
else
  fail "a movement onto $last: $RESULT"
  stop_session
fi
exit $FAILED
