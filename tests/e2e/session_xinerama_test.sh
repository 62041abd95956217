#!/bin/bash
# Two screens joined by Xinerama: the session covers the virtual screen of every head, its first
# frame is that whole desktop and later frames turn it as one picture about its centre. Runs on an
# X server of its own; the outer DISPLAY is not used. (This Xvfb puts both heads at 0,0, so the
# virtual screen is the union of two overlapping 800x600 heads.)
here=$(cd "$(dirname "$0")" && pwd)
exec "$VELTRANE_SOURCE/scripts/with-xvfb.sh" --screen 800x600x24 --screen 800x600x24 \
  bash "$here/session_frames_test.sh"
