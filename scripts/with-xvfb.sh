#!/bin/bash
# Runs a command with an X server: a private Xvfb (-noreset, so that a picture put on the root
# window stays when its client leaves) on a free display number, torn down afterwards
# together with every Wine process of the build's prefix.
#   scripts/with-xvfb.sh [--screen WxHxD]... COMMAND...
set -u
here=$(cd "$(dirname "$0")" && pwd)
screens=()
while [ "${1:-}" = "--screen" ]; do screens+=("$2"); shift 2; done
[ ${#screens[@]} -eq 0 ] && screens=("1024x768x24")

# Wine keeps its desktop on the display it first saw: start each X server with a fresh one.
WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}" timeout 20 /usr/lib/wine/wineserver -k >/dev/null 2>&1

args=()
for i in "${!screens[@]}"; do args+=(-screen "$i" "${screens[$i]}"); done
[ ${#screens[@]} -gt 1 ] && args+=(+xinerama)

displayfile=$(mktemp)
Xvfb -displayfd 5 -nolisten tcp -noreset "${args[@]}" 5>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$displayfile" ] && break
  sleep 0.1
done
if [ ! -s "$displayfile" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  kill "$xvfb" 2>/dev/null
  exit 1
fi
export DISPLAY=":$(head -n1 "$displayfile")"
rm -f "$displayfile"

cleanup() {
  WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}" timeout 20 /usr/lib/wine/wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
}
trap cleanup EXIT
"$@"
