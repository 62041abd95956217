#!/bin/bash
# Veltrane-Setup.exe end to end under Wine, in a brand-new prefix of its own: a silent install
# puts the built Veltrane.scr in the user's programs folder, makes it the current screen saver and
# registers the uninstaller; a second install replaces the program and keeps Veltrane.ini; both
# programs refuse to touch a running or open Veltrane.scr (exit code 3, nothing changed); the
# quiet uninstall command removes everything, and the current saver only when it is ours.
# Needs DISPLAY, VELTRANE_SCR, VELTRANE_BUILD, VELTRANE_SOURCE and VELTRANE_TOOLS.
. "$(dirname "$0")/e2e_lib.sh"
SETUP="$VELTRANE_BUILD/Veltrane-Setup.exe"
export WINEPREFIX="$WORK/prefix"
HOLDER_PID=
cleanup() {
  [ -n "$HOLDER_PID" ] && kill "$HOLDER_PID" 2>/dev/null
  timeout 30 /usr/lib/wine/wineserver -k >/dev/null 2>&1
  rm -rf "$WORK"
}
trap cleanup EXIT
wine_run() { timeout 120 "$WINE_RUN" "$@"; }
unix_path() { wine_run winepath -u "$1" 2>/dev/null | tr -d '\r'; }
same_file() { [ -e "$1" ] && [ "$(realpath "$1")" = "$(realpath "$2")" ]; }

# read_key KEY: exports the key (UTF-16, as the registry editor writes it) to $WORK/key.txt in
# UTF-8; fails when the key does not exist.
read_key() {
  rm -f "$WINEPREFIX/drive_c/key.reg"
  wine_run reg export "$1" 'C:\key.reg' >/dev/null 2>&1 || return 1
  iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/key.reg" | tr -d '\r' >"$WORK/key.txt"
}
# value NAME: a value of the last key read; strings unquoted and unescaped, dwords as dword:HEX.
value() {
  sed -n "s/^\"$1\"=//p" "$WORK/key.txt" | head -n1 | sed -e 's/^"\(.*\)"$/\1/' -e 's/\\\(.\)/\1/g'
}
DESKTOP='HKCU\Control Panel\Desktop'
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Veltrane'
rc_value() { sed -n "s/.*VALUE \"$1\", \"\([^\"]*\)\".*/\1/p" "$VELTRANE_SOURCE/resources/veltrane.rc"; }

# The prefix is made here (about ten seconds); screen saving starts off, so that the install has
# to switch it on.
wine_run reg add "$DESKTOP" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1
LOCAL=$(wine_run cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
DIR=$(unix_path "$LOCAL\\Programs\\Veltrane")
DIR=${DIR%/}
PROGRAMS=$(dirname "$DIR")
check "the fresh prefix has no per-user programs folder" '[ ! -e "$PROGRAMS" ]'

# --- A silent install from nothing.
wine_run "$SETUP" /S
rc=$?
check "setup /S exits with 0 (got $rc)" '[ $rc -eq 0 ]'
check "Veltrane.scr in $LOCAL\\Programs\\Veltrane is the built one byte for byte" \
  'cmp -s "$VELTRANE_SCR" "$DIR/Veltrane.scr"'
read_key "$DESKTOP"
saver=$(value SCRNSAVE.EXE)
check "SCRNSAVE.EXE ($saver) names the installed file" 'same_file "$(unix_path "$saver")" "$DIR/Veltrane.scr"'
check "screen saving is on" '[ "$(value ScreenSaveActive)" = 1 ]'

# --- The uninstall entry: each field the Apps list shows, and the two commands.
check "the uninstall entry exists" 'read_key "$UNINSTALL"'
quiet=$(value QuietUninstallString)
uninstaller=$(value UninstallString | tr -d '"')
size=$(value EstimatedSize)
size=$((16#${size#dword:}))
icon=$(value DisplayIcon)
check "DisplayName names Veltrane ($(value DisplayName))" 'grep -q "^\"DisplayName\"=\".*Veltrane" "$WORK/key.txt"'
check "DisplayVersion is the program's ProductVersion" '[ "$(value DisplayVersion)" = "$(rc_value ProductVersion)" ]'
check "Publisher is the program's CompanyName" '[ "$(value Publisher)" = "$(rc_value CompanyName)" ]'
check "DisplayIcon ($icon) is the installed program's icon" 'same_file "$(unix_path "${icon%,0}")" "$DIR/Veltrane.scr"'
check "EstimatedSize ($size KB) covers the program" '[ "$size" -ge $(($(stat -c %s "$VELTRANE_SCR") / 1024)) ]'
check "UninstallString ($uninstaller) names the uninstaller in the folder" \
  'same_file "$(unix_path "$uninstaller")" "$DIR/Uninstall.exe"'
check "QuietUninstallString is the uninstaller with /S" \
  '[ "${quiet%% /S *}" = "\"$uninstaller\"" -a "${quiet#* /S }" = "_?=$LOCAL\\Programs\\Veltrane" ]'

# --- An upgrade replaces the program and keeps the user's setting.
printf '[Section]\r\n%s= 250\r\n' "$KEY" >"$DIR/Veltrane.ini"  # as the settings dialog writes it
cp "$DIR/Veltrane.ini" "$WORK/settings.ini"
echo "an older version" >"$DIR/Veltrane.scr"
wine_run "$SETUP" /S
rc=$?
check "a second setup /S exits with 0 (got $rc)" '[ $rc -eq 0 ]'
check "the second install replaced Veltrane.scr" 'cmp -s "$VELTRANE_SCR" "$DIR/Veltrane.scr"'
check "the second install kept Veltrane.ini" 'cmp -s "$WORK/settings.ini" "$DIR/Veltrane.ini"'

# --- Neither program touches Veltrane while it runs. Each row: how Veltrane is held, then the
# program that must refuse. A session or a settings dialog started from another folder shows
# only its window; a command prompt reading the installed file only holds the file open.
pinging() {
  for proc in /proc/[0-9]*; do
    case $(tr '\0' ' ' 2>/dev/null <"$proc/cmdline") in
      "ping -n 60 127.0.0.1"*)
        tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
        ;;
    esac
  done
  return 1
}
hold() {
  case $1 in
    session | dialog)
      mkdir -p "$WORK/elsewhere"
      cp "$VELTRANE_SCR" "$WORK/elsewhere/Veltrane.scr"
      local mode=/c
      [ "$1" = session ] && mode=/s
      (cd "$WORK/elsewhere" && exec "$WINE_RUN" Veltrane.scr $mode) &
      HOLDER_PID=$!
      if [ $mode = /s ]; then wine_run "$VELTRANE_TOOLS/session_wait_window.exe" 30; return; fi
      within 300 wine_run "$VELTRANE_TOOLS/dialog_probe.exe" info >/dev/null
      ;;
    open-file)
      wine_run cmd /c "ping -n 60 127.0.0.1 > nul < $LOCAL\\Programs\\Veltrane\\Veltrane.scr" &
      HOLDER_PID=$!
      # The file is open once the ping of this prefix runs.
      within 200 pinging
      ;;
  esac
}
# Ends the holder and every process it started (the command prompt's ping keeps its input).
release() {
  timeout 30 /usr/lib/wine/wineserver -k >/dev/null 2>&1
  kill "$HOLDER_PID" 2>/dev/null
  wait "$HOLDER_PID" 2>/dev/null
  HOLDER_PID=
}
all_in_place() {
  cmp -s "$VELTRANE_SCR" "$DIR/Veltrane.scr" && cmp -s "$WORK/settings.ini" "$DIR/Veltrane.ini" &&
    test -f "$DIR/Uninstall.exe"
}
run_quiet_uninstall() { wine_run "$uninstaller" /S "${quiet#* /S }"; }
while read -r holder program; do
  if ! hold "$holder"; then
    fail "could not start the $holder holder"
    release
    continue
  fi
  case $program in
    setup) wine_run "$SETUP" /S ;;
    uninstall) run_quiet_uninstall ;;
  esac
  rc=$?
  check "$program /S refuses while Veltrane is held ($holder): exit code 3 (got $rc)" '[ $rc -eq 3 ]'
  release
  check "... and left Veltrane.scr, Veltrane.ini and the uninstaller in place" all_in_place
done <<'EOF'
session setup
dialog uninstall
open-file setup
open-file uninstall
EOF
check "... and the uninstall entry" 'read_key "$UNINSTALL"'

# gone PATH: waits up to 20 seconds for a folder to go (the uninstaller's last steps follow its
# exit).
gone() { within 200 eval "[ ! -e '$1' ]"; }

# --- The quiet uninstall command removes everything it made, and the saver setting.
run_quiet_uninstall
rc=$?
check "the quiet uninstall command exits with 0 (got $rc)" '[ $rc -eq 0 ]'
check "the install folder is gone" 'gone "$DIR"'
check "the per-user programs folder the install made is gone" 'gone "$PROGRAMS"'
check "the uninstall entry is gone" '! read_key "$UNINSTALL"'
read_key "$DESKTOP"
check "no SCRNSAVE.EXE is left" '[ -z "$(value SCRNSAVE.EXE)" ]'
check "screen saving is off" '[ "$(value ScreenSaveActive)" = 0 ]'

# --- Uninstalling while another saver is current leaves that choice alone; this time through
# the plain command, which NSIS runs from a copy in %TEMP%.
wine_run "$SETUP" /S
wine_run reg add "$DESKTOP" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
wine_run "$uninstaller" /S
check "the plain uninstall command removes the folder" 'gone "$DIR"'
check "... and the uninstall entry" '! read_key "$UNINSTALL"'
read_key "$DESKTOP"
check "another saver stays the current one" '[ "$(value SCRNSAVE.EXE)" = "C:\windows\system32\other.scr" ]'
check "screen saving stays on" '[ "$(value ScreenSaveActive)" = 1 ]'

exit $FAILED
