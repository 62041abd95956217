#!/bin/bash
# Runs a command with an X server: a private Xvfb on a free display number, torn down afterwards
# together with every Wine process of the build's prefix (scripts/x-server.sh).
#   scripts/with-xvfb.sh [--screen WxHxD]... COMMAND...
set -u
. "$(dirname "$0")/x-server.sh"
screens=()
while [ "${1:-}" = "--screen" ]; do screens+=("$2"); shift 2; done
[ ${#screens[@]} -eq 0 ] && screens=("1024x768x24")
args=()
for i in "${!screens[@]}"; do args+=(-screen "$i" "${screens[$i]}"); done
[ ${#screens[@]} -gt 1 ] && args+=(+xinerama)
start_x_server with-xvfb Xvfb "${args[@]}"
"$@"
