# Sourced by run.sh and the end-to-end tests: what the scripts know of Veltrane on the X screen,
# the titles of its windows (from the program's own header).
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

