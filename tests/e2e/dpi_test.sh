#!/bin/bash
# The dialog's layout test at 120, 144 and 192 dots per inch, each in a prefix of its own (96 is
# the build's), and at 144 the real /c: its size, texture and Set at its scaled place.
. "$(dirname "$0")/dialog_lib.sh"
for dpi in 120 144 192; do
  use_prefix "$VELTRANE_BUILD/wineprefix-dpi$dpi" VELTRANE_LOGPIXELS=$dpi VELTRANE_DPI=$dpi
  win32_tests "$dpi dpi: the dialog is laid out at its scale and at each it moves to" 'DialogScale.*' 1
  [ "$dpi" = 144 ] && start_dialog /c || continue
  size=$(window_size -id "$WIN")
  check "144 dpi: the client area is 608x392 (got $size)" '[ "$size" = 608x392 ]'
  check "144 dpi: the texture is the strip drawn at 150 %, pixel for pixel" 'same_pixels 0 0 24 24 texture_150'
  set_writes "144 dpi" " 100" 411 300 # (236 + 77 / 2, 188 + 25 / 2) x 1.5
done
exit $FAILED
