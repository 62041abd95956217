# Sourced by with-xvfb.sh and with-monitors.sh: one private X server for the rest of the script.
# start_x_server starts it on a free display number with -noreset (a picture put on the root
# window stays when its client leaves) and exports DISPLAY. When the script exits, the server
# goes, with every Wine process of the prefix and the folder X_FOLDER, which holds the server's
# display number and output and whatever the caller keeps beside them.
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
X_FOLDER=$(mktemp -d)
X_SERVER=
stop_x_server() {
  stop_wineserver
  if [ -n "$X_SERVER" ]; then
    kill "$X_SERVER" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$X_SERVER" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$X_SERVER" 2>/dev/null
    wait "$X_SERVER" 2>/dev/null
  fi
  rm -rf "$X_FOLDER"
}
trap stop_x_server EXIT
# start_x_server WHO COMMAND [ARGUMENT]...: runs the server COMMAND and waits up to 10 s for it;
# when it does not start, the script ends with a message from WHO and the server's last words.
start_x_server() {
  local who=$1
  shift
  # Wine keeps its desktop on the display it first saw: each server starts with a fresh one.
  stop_wineserver
  "$@" -displayfd 5 -noreset -nolisten tcp 5>"$X_FOLDER/display" >"$X_FOLDER/output" 2>&1 &
  X_SERVER=$!
  for _ in $(seq 100); do
    [ -s "$X_FOLDER/display" ] && break
    kill -0 "$X_SERVER" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$X_FOLDER/display" ]; then
    echo "$who: $1 did not start" >&2
    tail -n 20 "$X_FOLDER/output" >&2
    exit 1
  fi
  export DISPLAY=":$(head -n1 "$X_FOLDER/display")"
}
