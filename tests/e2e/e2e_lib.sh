# Shared by every end-to-end script (with scripts/wine-env.sh and scripts/screen.sh): results, Wine
# prefixes, Veltrane.scr started from a folder of its own and its end. Needs VELTRANE_SOURCE.
set -u
. "$VELTRANE_SOURCE/scripts/wine-env.sh"
. "$VELTRANE_SOURCE/scripts/screen.sh"
WINE_RUN="$VELTRANE_SOURCE/scripts/wine-run.sh"
SETUP="${VELTRANE_BUILD:-}/Veltrane-Setup.exe"
WORK=$(mktemp -d)
FAILED=0
PID=
# Only a prefix the script chose is stopped: the build's, started once, serves the tests after it.
BUILD_PREFIX=$WINEPREFIX
stop_wine() { [ "$WINEPREFIX" = "$BUILD_PREFIX" ] || stop_wineserver; }
trap 'kill $PID 2>/dev/null; stop_wine; rm -rf "$WORK"' EXIT
# use_prefix DIR [NAME=VALUE]...: a Wine of its own on this display (it keeps the one it first saw).
use_prefix() { stop_wine && export WINEPREFIX="$1" "${@:2}" && stop_wine; }
fail() { echo "FAIL: $*"; FAILED=1; return 1; }
pass() { echo "ok: $*"; }
# check WHAT 'TEST': passes when the shell test, evaluated, succeeds.
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }
# within TENTHS COMMAND...: tries the command every tenth of a second, at most TENTHS times.
within() { for _ in $(seq "$1"); do "${@:2}" && return 0; sleep 0.1; done; return 1; }
wine_run() { timeout 120 "$WINE_RUN" "$@"; }
unix_path() { wine_run winepath -u "$1" 2>/dev/null | tr -d '\r' | sed 's,/$,,'; }
windows_path() { wine_run winepath -w "$1" 2>/dev/null | tr -d '\r'; }
wine_echo() { wine_run cmd /c "echo $1" | tr -d '\r'; }  # %NAME%: the variable in the prefix
# LOCAL, %LOCALAPPDATA% in the prefix, and INSTALLED, where the setup program puts Veltrane.
install_folder() { LOCAL=$(wine_echo %LOCALAPPDATA%) && INSTALLED=$(unix_path "$LOCAL\\Programs\\Veltrane"); }
# "表示インターバル" in code page 932: the key reads the same on every system.
KEY=$'\x95\x5c\x8e\xa6\x83\x43\x83\x93\x83\x5e\x81\x5b\x83\x6f\x83\x8b'
ini() { printf '[Section]\r\n%s=%s\r\n' "$KEY" "$1"; }
# scr_folder DIR [INTERVAL]: DIR with a copy of Veltrane.scr and, given an interval, Veltrane.ini.
scr_folder() { mkdir -p "$1" && cp "$VELTRANE_SCR" "$1/" && { [ -z "${2:-}" ] || ini "$2" >"$1/Veltrane.ini"; }; }
new_folder() { FOLDER=$(mktemp -d -p "$WORK") && scr_folder "$FOLDER" "${1:-}"; }  # [INTERVAL]
# start_scr DIR "COMMAND LINE": starts DIR/Veltrane.scr in the background as PID.
# shellcheck disable=SC2086
start_scr() { (cd "$1" && exec "$WINE_RUN" Veltrane.scr $2) & PID=$!; }
# run_session DIR "COMMAND LINE": starts DIR/Veltrane.scr and waits for its session window.
run_session() {
  start_scr "$1" "$2"
  "$WINE_RUN" "$VELTRANE_TOOLS/session_wait_window.exe" 30 && return
  kill "$PID" 2>/dev/null
  fail "${2:-empty command line} from ${1##*/}: no session window"
}
us() { echo "${EPOCHREALTIME//[^0-9]/}"; }
send() { SENT=$(us) && xdotool "$@"; }
end_by_key() { send key a && expect_end "$@"; }  # WHAT [MS]: a key ends PID
# ended MS: whether PID ends within MS milliseconds of the input SENT; RESULT "CODE MS" or running.
ended() {
  while kill -0 "$PID" 2>/dev/null; do
    (($(us) - SENT < $1 * 1000)) || { RESULT=running; return 1; }
    sleep 0.02
  done
  local ms=$((($(us) - SENT) / 1000))
  wait "$PID"
  RESULT="$? $ms"
}
# expect_end WHAT [MS]: PID ends with exit code 0 within MS (1000) of SENT; else it is stopped.
expect_end() {
  if ended "${2:-1000}" && [ "${RESULT%% *}" = 0 ]; then
    pass "$1 ends the program: exit code 0 after ${RESULT#* } ms"
  else
    fail "$1: $RESULT"
    kill "$PID" 2>/dev/null
    wait "$PID" 2>/dev/null
  fi
}
# distinct N SECONDS COMMAND...: how many different outputs N runs of COMMAND, SECONDS apart, give.
distinct() { for _ in $(seq "$1"); do "${@:3}" | md5sum; sleep "$2"; done | sort -u | wc -l; }
# is_turn WHAT W H PICTURE FRAME: the frame is the picture turned by Rotate; ANGLES, the angles.
is_turn() {
  local out
  out=$("$WINE_RUN" "$VELTRANE_TOOLS/session_frame_check.exe" "${@:2}") && ANGLES=${out//$'\r'/} || ANGLES=
  check "$1 is the picture turned: $(echo ${ANGLES:-no, ${out//$'\r'/}})" '[ -n "$ANGLES" ]'
}
