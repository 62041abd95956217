# Sourced by run.sh and the end-to-end tests: what the scripts know of Veltrane on the X screen,
# the titles of its windows (from the program's own header) and its frames.
window_titles_header="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/src/startup/window_titles.h"
# header_title NAME: the title that the header's constant NAME spells.
header_title() {
  sed -n "s/^inline constexpr const char\\* $1 = \"\\(.*\\)\";\$/\\1/p" "$window_titles_header"
}
SESSION_TITLE=$(header_title kSessionTitle)
DIALOG_TITLE=$(header_title kDialogTitle)
if [ -z "$SESSION_TITLE" ] || [ -z "$DIALOG_TITLE" ]; then
  echo "screen.sh: no window titles in $window_titles_header" >&2
  exit 1
fi

# window_titled TITLE: the first shown X window titled exactly TITLE, if there is one (nothing,
# and success, when there is none).
window_titled() {
  { xdotool search --onlyvisible --name "^$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$1")\$" 2>/dev/null ||
    true; } | head -n1
}
# window_size XWININFO-ARGUMENT...: the size of a window (-root: of the screen) as WxH.
window_size() { xwininfo "$@" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }

# new_frame [--steady] SECONDS FILE [SEEN]...: screenshots of the whole screen, as raw BGRA, into
# FILE until one differs from every SEEN file; with --steady only a shot that equals the one
# before it counts, so that never half a frame is kept. False when none does within SECONDS.
new_frame() {
  local steady=false
  if [ "$1" = --steady ]; then
    steady=true
    shift
  fi
  local end=$((SECONDS + $1)) file=$2 seen fresh
  shift 2
  rm -f "$file.before"
  while [ "$SECONDS" -lt "$end" ]; do
    import -window root -depth 8 "bgra:$file" || break
    fresh=true
    if $steady && ! cmp -s "$file" "$file.before"; then fresh=false; fi
    for seen; do cmp -s "$seen" "$file" && fresh=false; done
    if $fresh; then
      rm -f "$file.before"
      return 0
    fi
    if $steady; then cp "$file" "$file.before"; fi
    sleep 0.1
  done
  rm -f "$file.before"
  return 1
}
