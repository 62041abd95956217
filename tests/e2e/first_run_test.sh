#!/bin/bash
# `scripts/run.sh --virtual` with a new Wine prefix ends by itself with exit code 0, three distinct
# frames each the desktop turned: Wine's slow first start must not spoil the session's copy.
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
for i in 1 2 3; do
  convert "$shots/frame-$i.png" -depth 8 "bgra:$WORK/frame-$i.raw" &&
    is_turn "frame $i" "$w" "$h" "$WORK/desktop.raw" "$WORK/frame-$i.raw" || fail "no frame $i"
done
check "the three frames differ from the desktop and from each other" \
  '[ "$(md5sum "$WORK"/*.raw | cut -d" " -f1 | sort -u | wc -l)" = 4 ]'
exit $FAILED
