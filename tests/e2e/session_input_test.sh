#!/bin/bash
# What ends a session started with /s or with an empty command line: keys (a modifier alone
# too), clicks of any button, a mouse movement on both axes but not on one.
. "$(dirname "$0")/session_lib.sh"

# Wine reports the cursor at the screen centre until X reports a motion: start every session with
# the pointer really there, so that the recorded start is where the pointer is.
run() {  # run "COMMAND LINE" WHAT INPUT... ; ENDS=yes|no
  xdotool mousemove 512 384
  sleep 0.2
  start_session "$1" || { fail "$2: no session window"; return; }
  local line=${1:-empty command line} what=$2
  shift 2
  send "$@"
  if [ "$ENDS" = yes ]; then
    expect_end "$line: $what"
  else
    expect_running "$line: $what"
    send key a
    expect_end "$line: then a key"
  fi
}

ENDS=yes
run /s "key a" key a
run /s "Shift alone" key shift
run /s "left click" click 1
run /s "right click" click 3
run /s "movement on both axes" mousemove 560 420
run "" "key a" key a
ENDS=no
run /s "movement along x only" mousemove 560 384
run /s "movement along y only" mousemove 512 420
run "" "movement on both axes" mousemove 560 420
exit $FAILED
