#!/bin/bash
# Runs a command on an X server with several monitors side by side: Xorg with the dummy video
# driver on a free display number, each monitor one output placed by xrandr. Wine then reports
# each output as a monitor; those left of or above the first (the primary) get negative Windows
# coordinates. Config and log live in the server's temporary folder; the server and every Wine
# process of the build's prefix are torn down afterwards (scripts/x-server.sh).
#   scripts/with-monitors.sh WxH+X+Y [WxH+X+Y]... -- COMMAND...
# Positions are X screen pixels (never negative); the first monitor is the primary.
set -u
here=$(cd "$(dirname "$0")" && pwd)
monitors=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do monitors+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
if [ ${#monitors[@]} -eq 0 ] || [ $# -eq 0 ]; then
  echo "usage: with-monitors.sh WxH+X+Y... -- COMMAND..." >&2
  exit 2
fi
. "$here/x-server.sh"
cat >"$X_FOLDER/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 4096 2048
  EndSubSection
EndSection
EOF

start_x_server with-monitors Xorg -config "$X_FOLDER/xorg.conf" -novtswitch \
  -logfile "$X_FOLDER/xorg.log"

# The dummy's own mode of each size where it has one, else a new 60 Hz timing it accepts; one
# output per monitor.
known=$(xrandr | awk '/^DUMMY0/ {on = 1; next} on && /^ / {print $1} on && !/^ / {exit}')
args=()
fbWidth=0
fbHeight=0
for i in "${!monitors[@]}"; do
  if ! [[ ${monitors[$i]} =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]; then
    echo "with-monitors: bad monitor ${monitors[$i]}" >&2
    exit 2
  fi
  w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
  mode="${w}x${h}"
  if ! grep -qx "$mode" <<<"$known"; then
    mode="v${w}x${h}"
    htotal=$((w + 160)) vtotal=$((h + 30))
    clock=$(echo "scale=3; $htotal * $vtotal * 60 / 1000000" | bc)
    xrandr --newmode "$mode" "$clock" "$w" $((w + 48)) $((w + 80)) "$htotal" \
      "$h" $((h + 3)) $((h + 8)) "$vtotal" 2>/dev/null
  fi
  # DUMMY0 has every known mode already; the others get theirs.
  if [ "$i" != 0 ] || [ "$mode" != "${w}x${h}" ]; then xrandr --addmode "DUMMY$i" "$mode" || exit 1; fi
  args+=(--output "DUMMY$i" --mode "$mode" --pos "${x}x${y}")
  [ "$i" = 0 ] && args+=(--primary)
  fbWidth=$((fbWidth > x + w ? fbWidth : x + w))
  fbHeight=$((fbHeight > y + h ? fbHeight : y + h))
done
xrandr --fb "${fbWidth}x${fbHeight}" "${args[@]}" || exit 1
# Let the new arrangement settle before Wine first looks at it, or Wine may list only the
# primary.
for _ in $(seq 50); do
  [ "$(xrandr --listactivemonitors | head -n1)" = "Monitors: ${#monitors[@]}" ] && break
  sleep 0.1
done
sleep 1
"$@"
