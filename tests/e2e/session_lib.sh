# Shared by the session end-to-end tests: start Veltrane.scr from a folder of its own (so that a
# Veltrane.ini can lie beside it), wait for its window, take screenshots, time its exit.
# Needs DISPLAY, VELTRANE_SCR, VELTRANE_SOURCE and VELTRANE_TOOLS.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
trap 'kill $SESSION_PID 2>/dev/null; [ -n "${KEEP:-}" ] && cp "$WORK"/*.raw "$KEEP"/; rm -rf "$WORK"' EXIT
SESSION_PID=

now() { date +%s.%N; }

# Puts a picture of the whole root window's size on the X root window and keeps it there.
# Its raw top-down BGRA bytes go to $WORK/picture.raw.
put_picture() {
  local size=$1
  convert -size "$size" -seed 11 plasma:fractal -depth 8 -type TrueColor "PNG24:$WORK/picture.png"
  convert "$WORK/picture.png" -depth 8 "bgra:$WORK/picture.raw"
  display -window root "$WORK/picture.png" &
  # No screenshot here: a root-window grab by import before Wine's first start leaves Wine's
  # later desktop copies black on Xvfb. The first-frame check shows that the picture was there.
  sleep 2
}

# The screen as raw BGRA into $1; twice in a row until two shots agree (never half a frame).
stable_shot() {
  local previous="$WORK/previous.raw"
  import -window root -depth 8 "bgra:$previous"
  for _ in $(seq 20); do
    import -window root -depth 8 "bgra:$1"
    cmp -s "$1" "$previous" && return 0
    cp "$1" "$previous"
  done
  return 1
}

# A stable shot into $WORK/later.raw that differs from $WORK/first.raw, within ten seconds.
turned() { stable_shot "$WORK/later.raw" && ! cmp -s "$WORK/later.raw" "$WORK/first.raw"; }
later_shot() { within 100 turned; }

# start_session "COMMAND LINE" [INTERVAL]: copies the .scr into a fresh folder, writes the
# interval into its Veltrane.ini when given, starts it and waits until its window exists.
start_session() {
  local folder
  folder=$(mktemp -d -p "$WORK")
  cp "$VELTRANE_SCR" "$folder/Veltrane.scr"
  if [ -n "${2:-}" ]; then
    printf '[Section]\r\n%s=%s\r\n' "$KEY" "$2" >"$folder/Veltrane.ini"
  fi
  # shellcheck disable=SC2086
  (cd "$folder" && exec "$WINE_RUN" Veltrane.scr $1) &
  SESSION_PID=$!
  "$WINE_RUN" "$VELTRANE_TOOLS/session_wait_window.exe" 30 || return 1
  sleep 0.3
}

# Waits up to $1 seconds for the session to end; sets RESULT to "EXIT-CODE SECONDS" (seconds since
# the input was sent at $2), or to "running" when it has not ended.
wait_end() {
  local limit=$1 sent=$2 end ended
  end=$(echo "$(now) + $limit" | bc)
  while kill -0 "$SESSION_PID" 2>/dev/null; do
    if [ "$(echo "$(now) > $end" | bc)" = 1 ]; then
      RESULT=running
      return
    fi
    sleep 0.02
  done
  ended=$(now)
  wait "$SESSION_PID"
  RESULT="$? $(echo "$ended - $sent" | bc)"
}

stop_session() {
  kill "$SESSION_PID" 2>/dev/null
  wait "$SESSION_PID" 2>/dev/null
}

# expect_end WHAT: the session ends within a second of the input just sent, with exit code 0.
expect_end() {
  wait_end 1 "$SENT"
  if [ "${RESULT%% *}" = 0 ]; then
    pass "$1 ends the session: exit code 0 after ${RESULT#* } s"
  else
    fail "$1: $RESULT"
    stop_session
  fi
}

expect_running() {
  wait_end 1.5 "$SENT"
  if [ "$RESULT" = running ]; then pass "$1 leaves the session running"; else fail "$1 ended the session: $RESULT"; fi
}

send() {
  SENT=$(now)
  xdotool "$@"
}
