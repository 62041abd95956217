# Shared by every end-to-end script: a work folder, the results, the Wine runner and the
# settings key. Needs VELTRANE_SOURCE.
set -u
WINE_RUN="$VELTRANE_SOURCE/scripts/wine-run.sh"
WORK=$(mktemp -d)
FAILED=0
fail() { echo "FAIL: $*"; FAILED=1; }
pass() { echo "ok: $*"; }
# check WHAT 'TEST': passes when the shell test, evaluated, succeeds.
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }
# within TENTHS COMMAND...: tries the command every tenth of a second, at most TENTHS times.
within() {
  local n=$1
  shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}
# "表示インターバル" in code page 932: the key reads the same on every system.
KEY=$'\x95\x5c\x8e\xa6\x83\x43\x83\x93\x83\x5e\x81\x5b\x83\x6f\x83\x8b'
