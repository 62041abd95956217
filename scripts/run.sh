#!/bin/bash
# Builds Veltrane.scr and runs it as the system would:
#   scripts/run.sh                on your X display if DISPLAY is set, otherwise on a virtual one
#   scripts/run.sh --virtual      always on a virtual display (Xvfb), leaving screenshots
#   scripts/run.sh --virtual /c   another command line (default /s)
# On your display a key, a click or moving the mouse ends the screen saver. On a virtual display
# the script puts a known picture on the desktop, waits until the saver's window covers the
# screen, keeps screenshots of turned frames and then ends the saver with a key press.
# The exit status is Veltrane.scr's own; every wait has a limit and says what did not happen.
#
# Settings from the environment (all optional):
#   VELTRANE_SCR     run this Veltrane.scr instead of building one
#   VELTRANE_SHOTS   folder for the screenshots (default screenshots/)
#   VELTRANE_FRAMES  how many different turned frames to keep (default 3)
#   VELTRANE_SCREEN  the virtual screen (default 1024x768x24)
#   WINEPREFIX       the Wine prefix (default build/wineprefix; made on first use)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/.."
. scripts/screen.sh

# Limits in seconds.
window_limit=60  # from the start of Veltrane.scr to its window covering the screen
frames_limit=30  # for the turned frames once the window is there
end_limit=10     # from the key press (or a command line without a window) to the exit

say() { echo "run.sh: $*" >&2; }
now() { date +%s; }

# The mode as the program reads it: the second character of the command line, upper-cased.
mode() {
    local line="$*"
    line=${line^^}
    echo "${line:1:1}"
}

# The title of the window the command line opens, if it opens one.
window_title() {
    case "$(mode "$@")" in
        S | "") echo "$SESSION_TITLE" ;;
        C) echo "$DIALOG_TITLE" ;;
    esac
}

# Starts Veltrane.scr in the background (saver is its process id) and waits until its window is
# on the screen; with "cover", for a session, until that window covers the whole screen (on your
# own display a window manager may place it otherwise). Sets WINDOW.
start_and_wait_for_window() {
    local cover=${1:-}
    local title deadline root geometry
    title=$(window_title "${arguments[@]}")
    scripts/wine-run.sh "$scr" "${arguments[@]}" &
    saver=$!
    WINDOW=
    [ -n "$title" ] || return 0
    root=$(window_size -root)
    deadline=$(($(now) + window_limit))
    while [ "$(now)" -lt "$deadline" ]; do
        if ! kill -0 "$saver" 2>/dev/null; then
            status=0
            wait "$saver" || status=$?
            say "Veltrane.scr ${arguments[*]} ended (exit code $status) before its window appeared"
            exit "$([ "$status" -eq 0 ] && echo 1 || echo "$status")"
        fi
        WINDOW=$(window_titled "$title")
        if [ -n "$WINDOW" ]; then
            [ "$cover" = cover ] && [ "$(mode "${arguments[@]}")" != C ] || return 0
            geometry=$(window_size -id "$WINDOW" 2>/dev/null)
            [ "$geometry" = "$root" ] && return 0
        fi
        sleep 0.2
    done
    kill "$saver" 2>/dev/null || true
    if [ -n "$WINDOW" ]; then
        say "the window of Veltrane.scr ${arguments[*]} did not cover the screen ($root) within ${window_limit} s"
    else
        say "no window of Veltrane.scr ${arguments[*]} appeared within ${window_limit} s"
    fi
    exit 1
}

# Waits for Veltrane.scr to end, within LIMIT seconds when given; exits with its exit code.
finish() {
    local limit=${1:-} deadline status=0
    if [ -n "$limit" ]; then
        deadline=$(($(now) + limit))
        while kill -0 "$saver" 2>/dev/null; do
            if [ "$(now)" -ge "$deadline" ]; then
                kill "$saver" 2>/dev/null || true
                say "Veltrane.scr ${arguments[*]} did not end within ${limit} s; stopped it"
                exit 1
            fi
            sleep 0.1
        done
    fi
    wait "$saver" || status=$?
    echo "Veltrane.scr ${arguments[*]} ended with exit code $status${1:+; screenshots in $shots/}"
    exit "$status"
}

# On the virtual display, started again by with-xvfb.sh: a desktop picture, the saver, frames.
if [ -n "${VELTRANE_RUN_INNER:-}" ]; then
    scr=$VELTRANE_RUN_INNER
    shots=${VELTRANE_SHOTS:-screenshots}
    frames=${VELTRANE_FRAMES:-3}
    [[ $frames =~ ^[1-9][0-9]*$ ]] || { say "VELTRANE_FRAMES must be a whole number above 0"; exit 1; }
    arguments=("$@")
    mkdir -p "$shots"
    # The raw copies that frames are compared with go with the run, however it ends.
    rm -f "$shots"/desktop.png "$shots"/frame-*.png "$shots"/.*.raw "$shots"/.*.before
    trap 'rm -f "$shots"/.*.raw "$shots"/.*.before' EXIT
    IFS=x read -r width height <<<"$(window_size -root)"
    # A desktop to turn: the program's own pictures on a blue ground.
    convert docs/contact-sheet.png -resize "$((width * 98 / 100))x$((height * 96 / 100))" \
        -background "#3a6ea5" -gravity center -extent "${width}x${height}" \
        -depth 8 -type TrueColor "PNG24:$shots/desktop.png"
    convert "$shots/desktop.png" -depth 8 "bgra:$shots/.desktop.raw"
    # display sets the root window's background and leaves, with exit status 1 even then.
    timeout 20 display -window root "$shots/desktop.png" || true
    start_and_wait_for_window cover
    if [ "$(mode "${arguments[@]}")" = C ]; then
        sleep 1 # the opening zoom
        import -window root "$shots/frame-1.png"
        xdotool key --window "$WINDOW" alt+F4 2>/dev/null # Alt+F4: the close box, nothing written
        finish "$end_limit"
    fi
    if [ -z "$WINDOW" ]; then finish "$end_limit"; fi
    # Keep screenshots that differ from the desktop and from every one kept before: frames the
    # saver turned, never its first untouched copy nor the same frame twice.
    seen=("$shots/.desktop.raw")
    deadline=$((SECONDS + frames_limit))
    for kept in $(seq "$frames"); do
        if ! new_frame $((deadline - SECONDS)) "$shots/.frame-$kept.raw" "${seen[@]}"; then
            kill "$saver" 2>/dev/null || true
            say "only $((kept - 1)) of $frames different turned frames within ${frames_limit} s"
            exit 1
        fi
        seen+=("$shots/.frame-$kept.raw")
        convert -size "${width}x${height}" -depth 8 "bgra:$shots/.frame-$kept.raw" \
            "PNG24:$shots/frame-$kept.png"
    done
    xdotool key space
    finish "$end_limit"
fi

virtual=false
if [ "${1:-}" = "--virtual" ]; then
    virtual=true
    shift
fi
[ -z "${DISPLAY:-}" ] && virtual=true
arguments=("${@:-/s}")

if [ -n "${VELTRANE_SCR:-}" ]; then
    scr=$VELTRANE_SCR
    [ -f "$scr" ] || { say "no $scr"; exit 1; }
else
    scripts/setup.sh
    cmake --preset mingw >/dev/null
    cmake --build --preset mingw -j 2 --target Veltrane
    scr=build/mingw/src/Veltrane.scr
fi

# The prefix first: its first start takes a while, and the saver must not meet it half made.
scripts/wine-prefix.sh

if $virtual; then
    VELTRANE_RUN_INNER=$scr exec scripts/with-xvfb.sh --screen "${VELTRANE_SCREEN:-1024x768x24}" \
        "$here/run.sh" "${arguments[@]}"
fi
start_and_wait_for_window
finish
