#!/bin/bash
# The settings dialog at 120, 144 and 192 dots per inch, each in a Wine prefix of its own (Wine's
# LogPixels; 96 is the build's prefix, where the Win32 tests run it): the dialog's layout test at
# each, and at 144 the real Veltrane.scr /c, its client area 405 x 261 times 1.5, its texture the
# strip drawn at 150 %, and Set pressed at its scaled place writing the interval.
. "$(dirname "$0")/dialog_lib.sh"
for dpi in 120 144 192; do
  stop_wine
  export WINEPREFIX="$VELTRANE_BUILD/wineprefix-dpi$dpi" VELTRANE_LOGPIXELS=$dpi
  stop_wine
  VELTRANE_DPI=$dpi "$WINE_RUN" "$VELTRANE_BUILD/tests/veltrane_win32_tests.exe" \
    --gtest_filter='DialogScale.*' >"$WORK/scale.log" 2>&1
  check "$dpi dpi: the dialog is laid out at its scale and at each it moves to" \
    'grep -q "^\[  PASSED  \] 1 test" "$WORK/scale.log" || { cat "$WORK/scale.log"; false; }'
  [ "$dpi" = 144 ] || continue
  FOLDER=$(mktemp -d -p "$WORK")
  scr_folder "$FOLDER"
  if launch_dialog "$FOLDER" /c; then
    size=$(xwininfo -id "$WIN" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    check "144 dpi: the client area is 608x392 (got $size)" '[ "$size" = 608x392 ]'
    import -window root -crop "608x392+$X0+$Y0" +repage "$WORK/dialog-144.png"
    check "144 dpi: the texture is the strip drawn at 150 %, pixel for pixel" '[ "$(convert \
      "$WORK/dialog-144.png" -crop 24x24+0+0 -depth 8 rgb:- | md5sum)" = "$(convert \
      "$VELTRANE_SOURCE/resources/texture_150.bmp" -crop 24x24+0+0 -depth 8 rgb:- | md5sum)" ]'
    click_at 411 300 # Set: (236 + 77 / 2, 188 + 25 / 2) x 1.5
    expect_end "144 dpi: Set" 10000
    check "144 dpi: Set writes the interval" '[ "$(cat "$FOLDER/Veltrane.ini" 2>/dev/null)" = "$(ini " 100")" ]'
  fi
done
exit $FAILED
