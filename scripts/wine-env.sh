# Sourced by every script that starts Wine: the build's private prefix unless WINEPREFIX names
# another, no debug output, no offer to install Mono or Gecko, where Wine's programs are, and a
# bounded way to end the prefix's Wine.
export WINEPREFIX="${WINEPREFIX:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
# Ends every Wine process of the prefix (also before an X server starts: Wine keeps its desktop
# on the display it first saw); gives up after 30 s rather than hang.
stop_wineserver() { timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true; }
