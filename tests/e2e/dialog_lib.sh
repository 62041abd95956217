# Shared by the settings dialog's end-to-end tests: start Veltrane.scr with /c from a folder,
# wait for the dialog, click in it, look at it with dialog_probe, wait for the program's end.
# Needs DISPLAY, VELTRANE_SCR, VELTRANE_SOURCE and VELTRANE_TOOLS.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
PID=
probe() { "$WINE_RUN" "$VELTRANE_TOOLS/dialog_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# launch_dialog FOLDER ARGUMENT: starts FOLDER/Veltrane.scr with ARGUMENT, waits for the window
# and sets PID, WIN, X0, Y0 (client origin on screen).
launch_dialog() {
  (cd "$1" && exec "$WINE_RUN" Veltrane.scr "$2") &
  PID=$!
  WIN=
  for _ in $(seq 300); do
    WIN=$(xdotool search --name '^<Veltrane>$' 2>/dev/null | head -n1)
    [ -n "$WIN" ] && break
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$WIN" ] || { fail "no window titled <Veltrane> for $2 in $1"; return 1; }
  sleep 1  # the opening zoom and the first paint
  X0=$(xwininfo -id "$WIN" | awk '/Absolute upper-left X/ {print $4}')
  Y0=$(xwininfo -id "$WIN" | awk '/Absolute upper-left Y/ {print $4}')
}

# Waits up to $1 seconds for the program to end; true when it did.
ended_within() {
  within $(($1 * 10)) eval '! kill -0 "$PID" 2>/dev/null' || return 1
  wait "$PID" || true
}

# expect_end WHAT: the program ends within 10 seconds; if not, it is stopped for the next case.
expect_end() {
  if ended_within 10; then pass "$1"; else
    fail "$1"
    kill "$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
  fi
}

click_at() {  # client coordinates
  xdotool mousemove $((X0 + $1)) $((Y0 + $2)) sleep 0.2 click 1 sleep 0.2
}
