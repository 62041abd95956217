#!/bin/bash
# Builds Veltrane.scr and runs it as the system would:
#   scripts/run.sh            on your X display if DISPLAY is set, otherwise on a virtual one
#   scripts/run.sh --virtual  always on a virtual display (Xvfb), leaving screenshots
#   scripts/run.sh --virtual /c   another command line (default /s)
# On your display a key, a click or moving the mouse ends the screen saver. On a virtual display
# the script takes screenshots into screenshots/ and then ends the saver with a key press.
set -euo pipefail
cd "$(dirname "$0")/.."
virtual=false
if [ "${1:-}" = "--virtual" ]; then
  virtual=true
  shift
fi
[ -z "${DISPLAY:-}" ] && virtual=true
arguments=("${@:-/s}")

scripts/setup.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j 2 --target Veltrane
scr=build/mingw/src/Veltrane.scr

if ! $virtual; then
  scripts/wine-prefix.sh
  exec scripts/wine-run.sh "$scr" "${arguments[@]}"
fi

mkdir -p screenshots
exec scripts/with-xvfb.sh bash -c '
  set -u
  scr=$1
  shift
  # A desktop to turn: the program'"'"'s own pictures on a blue ground.
  convert docs/contact-sheet.png -resize 1000x740 -background "#3a6ea5" -gravity center \
    -extent 1024x768 screenshots/desktop.png
  display -window root screenshots/desktop.png &
  sleep 1
  scripts/wine-run.sh "$scr" "$@" &
  saver=$!
  sleep 4
  for i in 1 2 3; do
    import -window root "screenshots/frame-$i.png"
    sleep 0.7
  done
  xdotool key space
  if wait "$saver"; then status=0; else status=$?; fi
  echo "Veltrane.scr $* ended with exit code $status; screenshots in screenshots/"
' run "$scr" "${arguments[@]}"
