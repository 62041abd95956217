#!/bin/bash
# A newcomer's first run: `scripts/run.sh --virtual` with a Wine prefix that does not exist yet.
# It must end by itself with exit code 0 and leave three frames, each different from the desktop
# and from the others, each the desktop turned by the project's Rotate: the slow first start of
# Wine must not spoil the session's copy of the desktop.
. "$(dirname "$0")/e2e_lib.sh"
export WINEPREFIX="$WORK/prefix"
shots="$WORK/shots"
# run.sh limits each of its own waits; this outer limit only guards against a fault in it.
VELTRANE_SHOTS=$shots timeout -k 10 540 "$VELTRANE_SOURCE/scripts/run.sh" --virtual >"$WORK/log" 2>&1
status=$?
sed 's/^/  run.sh: /' "$WORK/log"
check "run.sh --virtual with a new prefix ends by itself with exit code 0 (got $status)" \
  '[ $status = 0 ] && grep -q "ended with exit code 0" "$WORK/log"'
read -r w h < <(identify -format '%w %h' "$shots/desktop.png")
convert "$shots/desktop.png" -depth 8 "bgra:$WORK/desktop.raw"
sums=$(md5sum <"$WORK/desktop.raw")
for i in 1 2 3; do
  convert "$shots/frame-$i.png" -depth 8 "bgra:$WORK/frame.raw" &&
    is_turn "frame $i" "$w" "$h" "$WORK/desktop.raw" "$WORK/frame.raw" || fail "no frame $i"
  sums+=$'\n'$(md5sum <"$WORK/frame.raw")
done
check "the three frames differ from the desktop and from each other" \
  '[ "$(sort -u <<<"$sums" | wc -l)" = 4 ]'
exit $FAILED
