#!/bin/bash
# Runs a Windows program under Wine in the build's private prefix (created on first use).
# CTest uses this as the emulator of the mingw build; the caller provides DISPLAY.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
"$here/wine-prefix.sh" >&2 || exit 1
exec "$WINE" "$@"
