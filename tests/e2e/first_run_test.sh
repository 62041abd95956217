#!/bin/bash
# A newcomer's first run: `scripts/run.sh --virtual` with a Wine prefix that does not exist yet,
# so that the slow first start of Wine comes before the saver. The run must end by itself with
# exit code 0 and leave screenshots of turned frames: each differs from the desktop and from the
# others and is the desktop turned by a whole angle through the project's own Rotate, white where
# the turn uncovers the screen. Needs VELTRANE_SCR, VELTRANE_SOURCE and VELTRANE_TOOLS; run.sh makes
# its own virtual display.
. "$(dirname "$0")/e2e_lib.sh"
export WINEPREFIX="$WORK/prefix"
cleanup() {
    timeout 20 /usr/lib/wine/wineserver -k >/dev/null 2>&1
    rm -rf "$WORK"
}
trap cleanup EXIT

shots="$WORK/shots"
started=$(date +%s)
# run.sh limits each of its own waits; this outer limit only guards against a fault in it.
VELTRANE_SHOTS=$shots timeout -k 10 540 "$VELTRANE_SOURCE/scripts/run.sh" --virtual >"$WORK/log" 2>&1
status=$?
seconds=$(($(date +%s) - started))
sed 's/^/  run.sh: /' "$WORK/log"
if [ "$status" = 0 ] && grep -q 'ended with exit code 0' "$WORK/log"; then
    pass "run.sh --virtual with a new prefix ended by itself with exit code 0 after $seconds s"
else
    fail "run.sh --virtual with a new prefix: exit status $status after $seconds s"
    exit 1
fi

size=$(identify -format '%wx%h' "$shots/desktop.png")
width=${size%x*}
height=${size#*x}
convert "$shots/desktop.png" -depth 8 "bgra:$WORK/desktop.raw"
sums=()
for i in 1 2 3; do
    frame="$shots/frame-$i.png"
    [ -f "$frame" ] || { fail "no frame-$i.png"; continue; }
    convert "$frame" -depth 8 "bgra:$WORK/frame.raw"
    if cmp -s "$WORK/frame.raw" "$WORK/desktop.raw"; then fail "frame $i is the desktop unturned"; fi
    sums+=("$(md5sum <"$WORK/frame.raw")")
    if angle=$("$WINE_RUN" "$VELTRANE_TOOLS/session_frame_check.exe" \
        "$width" "$height" "$WORK/desktop.raw" "$WORK/frame.raw" | tr -d '\r'); then
        pass "frame $i is the desktop turned: $angle"
    else
        fail "frame $i is no turn of the desktop: $angle"
    fi
done
distinct=$(printf '%s\n' "${sums[@]}" | sort -u | wc -l)
if [ "$distinct" = 3 ]; then pass "the three frames differ"; else fail "$distinct different frames of 3"; fi
exit $FAILED
