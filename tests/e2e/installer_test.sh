#!/bin/bash
# Veltrane-Setup.exe under Wine in a brand-new prefix: a silent install puts the built program in
# the user's programs folder, makes it the current saver and registers the uninstaller; a second
# install replaces the program and keeps Veltrane.ini; both programs refuse (exit code 3) while
# Veltrane runs or is open; the uninstall commands remove everything, the saver only when ours.
. "$(dirname "$0")/e2e_lib.sh"
SETUP="$VELTRANE_BUILD/Veltrane-Setup.exe"
export WINEPREFIX="$WORK/prefix"
wine_run() { timeout 120 "$WINE_RUN" "$@"; }
unix_path() { wine_run winepath -u "$1" 2>/dev/null | tr -d '\r'; }
same_file() { [ -e "$1" ] && [ "$(realpath "$1")" = "$(realpath "$2")" ]; }
# read_key KEY: the key, exported by the registry editor in UTF-16, into $WORK/key.txt in UTF-8.
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
# saver SCRNSAVE ACTIVE: the desktop key's saver settings.
saver() { read_key "$DESKTOP" && [ "$(value SCRNSAVE.EXE)" = "$1" ] && [ "$(value ScreenSaveActive)" = "$2" ]; }
installed() { cmp -s "$VELTRANE_SCR" "$DIR/Veltrane.scr"; }
gone() { within 200 eval "[ ! -e '$1' ]"; }  # the uninstaller's last steps follow its exit
# exits CODE WHAT COMMAND...: runs the command and checks its exit code.
exits() {
  local want=$1 what=$2 rc
  shift 2
  "$@"
  rc=$?
  check "$what exits with $want (got $rc)" '[ $rc -eq $want ]'
}
setup() { wine_run "$SETUP" /S; }

# Making the prefix takes about ten seconds; saving starts off, so that the install must switch it on.
wine_run reg add "$DESKTOP" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1
LOCAL=$(wine_run cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
DIR=$(unix_path "$LOCAL\\Programs\\Veltrane")
DIR=${DIR%/}
check "the fresh prefix has no per-user programs folder" '[ ! -e "$(dirname "$DIR")" ]'

exits 0 "setup /S" setup
check "Veltrane.scr in $LOCAL\\Programs\\Veltrane is the built one byte for byte" installed
read_key "$DESKTOP"
check "SCRNSAVE.EXE names the installed file, screen saving is on" \
  'same_file "$(unix_path "$(value SCRNSAVE.EXE)")" "$DIR/Veltrane.scr" && [ "$(value ScreenSaveActive)" = 1 ]'

# The uninstall entry: each field the Apps list shows, and the two commands.
check "the uninstall entry exists" 'read_key "$UNINSTALL"'
quiet=$(value QuietUninstallString)
uninstaller=$(value UninstallString | tr -d '"')
size=$(value EstimatedSize)
size=$((16#${size#dword:}))
icon=$(value DisplayIcon)
check "DisplayName names Veltrane ($(value DisplayName))" 'grep -q "^\"DisplayName\"=\".*Veltrane" "$WORK/key.txt"'
check "DisplayVersion and Publisher are the program's ProductVersion and CompanyName" \
  '[ "$(value DisplayVersion)" = "$(rc_value ProductVersion)" -a "$(value Publisher)" = "$(rc_value CompanyName)" ]'
check "DisplayIcon ($icon) is the installed program's icon" 'same_file "$(unix_path "${icon%,0}")" "$DIR/Veltrane.scr"'
check "EstimatedSize ($size KB) covers the program" '[ "$size" -ge $(($(stat -c %s "$VELTRANE_SCR") / 1024)) ]'
check "UninstallString ($uninstaller) names the uninstaller in the folder" \
  'same_file "$(unix_path "$uninstaller")" "$DIR/Uninstall.exe"'
check "QuietUninstallString is the uninstaller with /S" \
  '[ "${quiet%% /S *}" = "\"$uninstaller\"" -a "${quiet#* /S }" = "_?=$LOCAL\\Programs\\Veltrane" ]'

# An upgrade replaces the program and keeps the user's setting.
ini " 250" >"$DIR/Veltrane.ini"
cp "$DIR/Veltrane.ini" "$WORK/settings.ini"
echo "an older version" >"$DIR/Veltrane.scr"
exits 0 "a second setup /S" setup
check "the second install replaced Veltrane.scr and kept Veltrane.ini" \
  'installed && cmp -s "$WORK/settings.ini" "$DIR/Veltrane.ini"'

# Neither program touches Veltrane while a session or a settings dialog from another folder runs
# (only its window shows) or while a command prompt holds the installed file open.
PINGS=$((60 + $$ % 100))  # this run's own ping, told apart from parallel runs'
hold() {
  case $1 in
    session) scr_folder "$WORK/elsewhere" && start_scr "$WORK/elsewhere" /s && wait_session ;;
    dialog)
      scr_folder "$WORK/elsewhere" && start_scr "$WORK/elsewhere" /c
      within 300 wine_run "$VELTRANE_TOOLS/dialog_probe.exe" info >/dev/null
      ;;
    open-file)
      wine_run cmd /c "ping -n $PINGS 127.0.0.1 > nul < $LOCAL\\Programs\\Veltrane\\Veltrane.scr" &
      PID=$!
      within 200 pgrep -f "^ping -n $PINGS 127" >/dev/null  # the file is open once ping runs
      ;;
  esac
}
uninstall() { wine_run "$uninstaller" /S "${quiet#* /S }"; }
while read -r holder program <&3; do
  if hold "$holder"; then
    exits 3 "$program /S while Veltrane is held ($holder)" "$program"
  else
    fail "could not start the $holder holder"
  fi
  # Ends the holder and all it started (the prompt's ping keeps its input).
  stop_wine
  kill "$PID" 2>/dev/null
  wait "$PID" 2>/dev/null
  check "... and left Veltrane.scr, Veltrane.ini and the uninstaller in place" \
    'installed && cmp -s "$WORK/settings.ini" "$DIR/Veltrane.ini" && test -f "$DIR/Uninstall.exe"'
done 3<<'EOF_CASES'
session setup
dialog uninstall
open-file setup
open-file uninstall
EOF_CASES
check "... and the uninstall entry" 'read_key "$UNINSTALL"'

exits 0 "the quiet uninstall command" uninstall
check "it removes the install folder and the per-user programs folder" 'gone "$DIR" && gone "$(dirname "$DIR")"'
check "... the uninstall entry" '! read_key "$UNINSTALL"'
check "... and the saver setting" 'saver "" 0'
# With another saver current, the plain command (NSIS runs it from a copy in %TEMP%) leaves it.
setup
wine_run reg add "$DESKTOP" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
wine_run "$uninstaller" /S
check "the plain uninstall command removes the folder and the entry" 'gone "$DIR" && ! read_key "$UNINSTALL"'
check "... and leaves another saver current and saving on" 'saver "C:\windows\system32\other.scr" 1'
exit $FAILED
