#!/bin/bash
# What a session shows: first the desktop exactly as it was, then the desktop turned by a whole
# angle through the project's own Rotate, bit for bit; a 1500 ms setting keeps each frame on the
# screen for over a second. The picture has the root window's size.
. "$(dirname "$0")/session_lib.sh"
size=$(xdpyinfo | awk '/dimensions:/ {print $2; exit}')
width=${size%x*}
height=${size#*x}

put_picture "$size"

# A long interval, so that the first frame stays long enough to be read.
start_session /s 3000 || fail "no session window"
stable_shot "$WORK/first.raw"
check "the first frame is the desktop exactly" 'cmp -s "$WORK/first.raw" "$WORK/picture.raw"'
later_shot
if angle=$("$WINE_RUN" "$VELTRANE_TOOLS/session_frame_check.exe" "$width" "$height" \
  "$WORK/picture.raw" "$WORK/later.raw"); then
  pass "a later frame is the desktop turned: $(echo $angle | tr -d '\r')"
else
  fail "a later frame is no turn of the desktop: $angle"
fi
send key a
expect_end "a key"

# 1500 ms: note when the screen changes; every change follows the last by over a second.
start_session /s 1500 || fail "no session window"
previous=
changes=()
deadline=$(echo "$(now) + 6.5" | bc)
while [ "$(echo "$(now) < $deadline" | bc)" = 1 ]; do
  sum=$(import -window root -depth 8 rgb:- | md5sum)
  if [ "$sum" != "$previous" ]; then
    [ -n "$previous" ] && changes+=("$(now)")
    previous=$sum
  fi
done
gaps=()
for i in $(seq 1 $((${#changes[@]} - 1))); do
  gaps+=("$(echo "${changes[$i]} - ${changes[$((i - 1))]}" | bc)")
done
short=0
for gap in "${gaps[@]}"; do [ "$(echo "$gap < 1.0" | bc)" = 1 ] && short=1; done
if [ ${#gaps[@]} -ge 2 ] && [ $short = 0 ]; then
  pass "1500 ms: frames change every ${gaps[*]} s"
else
  fail "1500 ms: changes ${#changes[@]}, gaps ${gaps[*]:-none}"
fi
send key a
expect_end "a key"
exit $FAILED
