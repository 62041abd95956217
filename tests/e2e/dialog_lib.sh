# Shared by the settings dialog's end-to-end tests: start Veltrane.scr with /c from a folder,
# wait for the dialog, click in it, look at it with dialog_probe.
# Needs DISPLAY, VELTRANE_SCR, VELTRANE_SOURCE and VELTRANE_TOOLS.
. "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"
probe() { "$WINE_RUN" "$VELTRANE_TOOLS/dialog_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }
# Sets WIN; true once the dialog is there or the program has ended.
find_dialog() {
  WIN=$(window_titled "$DIALOG_TITLE")
  [ -n "$WIN" ] || ! kill -0 "$PID" 2>/dev/null
}
# launch_dialog FOLDER ARGUMENT: starts FOLDER/Veltrane.scr with ARGUMENT, waits for the window
# and sets PID, WIN, X0 and Y0 (the client origin on the screen).
launch_dialog() {
  start_scr "$1" "$2"
  within 300 find_dialog && [ -n "$WIN" ] || { fail "no window titled $DIALOG_TITLE for $2 in $1"; return 1; }
  sleep 1  # the opening zoom and the first paint
  read -r X0 Y0 < <(xwininfo -id "$WIN" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {print x, $4}')
}
click_at() { send mousemove $((X0 + $1)) $((Y0 + $2)) sleep 0.2 click 1 sleep 0.2; }  # client coordinates
