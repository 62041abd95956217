#!/bin/bash
# Veltrane-Setup.exe in a brand-new prefix, silent: install, the saver and the uninstall entry; an
# upgrade keeps Veltrane.ini; setup and uninstaller refuse (exit code 3) while Veltrane runs or is
# open; both uninstall commands remove everything, the saver setting only when it is ours.
. "$(dirname "$0")/dialog_lib.sh"
export WINEPREFIX="$WORK/prefix"
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
installed() { cmp -s "$VELTRANE_SCR" "$INSTALLED/Veltrane.scr"; }
kept() { installed && cmp -s "$WORK/settings.ini" "$INSTALLED/Veltrane.ini"; }
gone() { within 200 eval "[ ! -e '$1' ]"; }  # the uninstaller's last steps follow its exit
# exits CODE WHAT COMMAND...: runs the command and checks its exit code.
exits() { "${@:3}"; local rc=$?; check "$2 exits with $1 (got $rc)" "[ $rc -eq $1 ]"; }
setup() { wine_run "$SETUP" /S; }

# Making the prefix takes about ten seconds; saving starts off, so that the install must switch it on.
wine_run reg add "$DESKTOP" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1
install_folder
check "the fresh prefix has no per-user programs folder" '[ ! -e "$(dirname "$INSTALLED")" ]'

exits 0 "setup /S" setup
check "Veltrane.scr in $LOCAL\\Programs\\Veltrane is the built one byte for byte" installed
read_key "$DESKTOP"
check "SCRNSAVE.EXE names the installed file, screen saving is on" \
  'same_file "$(unix_path "$(value SCRNSAVE.EXE)")" "$INSTALLED/Veltrane.scr" && [ "$(value ScreenSaveActive)" = 1 ]'

# The uninstall entry: each field the Apps list shows, and the two commands.
check "the uninstall entry exists" 'read_key "$UNINSTALL"'
quiet=$(value QuietUninstallString)
uninstaller=$(value UninstallString | tr -d '"')
size=$((16#$(value EstimatedSize | sed 's/^dword://')))
check "DisplayName names Veltrane ($(value DisplayName))" 'grep -q "^\"DisplayName\"=\".*Veltrane" "$WORK/key.txt"'
check "DisplayVersion and Publisher are the program's ProductVersion and CompanyName" \
  '[ "$(value DisplayVersion)" = "$(rc_value ProductVersion)" -a "$(value Publisher)" = "$(rc_value CompanyName)" ]'
check "DisplayIcon ($(value DisplayIcon)) is the installed program's icon" \
  'same_file "$(unix_path "$(value DisplayIcon | sed "s/,0$//")")" "$INSTALLED/Veltrane.scr"'
check "EstimatedSize ($size KB) covers the program" '[ "$size" -ge $(($(stat -c %s "$VELTRANE_SCR") / 1024)) ]'
check "UninstallString ($uninstaller) names the uninstaller in the folder" \
  'same_file "$(unix_path "$uninstaller")" "$INSTALLED/Uninstall.exe"'
check "QuietUninstallString is the uninstaller with /S" \
  '[ "${quiet%% /S *}" = "\"$uninstaller\"" -a "${quiet#* /S }" = "_?=$LOCAL\\Programs\\Veltrane" ]'

# An upgrade replaces the program and keeps the user's setting.
ini " 250" | tee "$INSTALLED/Veltrane.ini" >"$WORK/settings.ini"
echo "an older version" >"$INSTALLED/Veltrane.scr"
exits 0 "a second setup /S" setup
check "the second install replaced Veltrane.scr and kept Veltrane.ini" kept

# Neither program touches Veltrane while a session or a settings dialog from another folder runs
# (only its window shows) or while a command prompt holds the installed file open.
scr_folder "$WORK/elsewhere"
PINGS=$((60 + $$ % 100))  # this run's own ping, told apart from parallel runs'
hold() {
  case $1 in
    session) run_session "$WORK/elsewhere" /s ;;
    dialog) launch_dialog "$WORK/elsewhere" /c ;;
    open-file)
      wine_run cmd /c "ping -n $PINGS 127.0.0.1 > nul < $LOCAL\\Programs\\Veltrane\\Veltrane.scr" &
      PID=$!
      # The file is open once ping runs.
      within 200 pgrep -f "^ping -n $PINGS 127" >/dev/null || fail "no ping holds the file"
      ;;
  esac
}
uninstall() { wine_run "$uninstaller" /S "${quiet#* /S }"; }
while read -r holder program <&3; do
  hold "$holder" && exits 3 "$program /S while Veltrane is held ($holder)" "$program"
  # The holder and all it started go (the prompt's ping keeps its input).
  stop_wine && kill "$PID" 2>/dev/null
  wait "$PID" 2>/dev/null
  check "... and left Veltrane.scr, Veltrane.ini and the uninstaller in place" 'kept && test -f "$INSTALLED/Uninstall.exe"'
done 3<<'EOF_CASES'
session setup
dialog uninstall
open-file setup
open-file uninstall
EOF_CASES
check "... and the uninstall entry" 'read_key "$UNINSTALL"'

exits 0 "the quiet uninstall command" uninstall
check "it removes the install folder and the per-user programs folder" \
  'gone "$INSTALLED" && gone "$(dirname "$INSTALLED")"'
check "... the uninstall entry" '! read_key "$UNINSTALL"'
check "... and the saver setting" 'saver "" 0'
# With another saver current, the plain command (NSIS runs it from a copy in %TEMP%) leaves it.
setup
wine_run reg add "$DESKTOP" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
wine_run "$uninstaller" /S
check "the plain uninstall command removes the folder and the entry" 'gone "$INSTALLED" && ! read_key "$UNINSTALL"'
check "... and leaves another saver current and saving on" 'saver "C:\windows\system32\other.scr" 1'
exit $FAILED
