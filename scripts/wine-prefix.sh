#!/bin/bash
# Creates the private Wine prefix once (a few seconds to a minute the first time); later calls
# return at once. Every wait has a limit: a prefix that cannot be made ends with a message and a
# non-zero status instead of a hang.
# A prefix has the system language of the LANG it is made and run under (ja_JP.UTF-8: code page
# 932, C.UTF-8: code page 1252), so give each language its own WINEPREFIX. With
# VELTRANE_NO_FONT_SUBSTITUTE=1 the prefix is made without "ＭＳ Ｐゴシック", as a Windows
# without its optional Japanese fonts. With VELTRANE_LOGPIXELS=N (120, 144, 192, ...) the prefix
# runs at N dots per inch (96 is 100 %), as Windows at N / 96 display scale: give each scale its
# own WINEPREFIX too, since Wine reads the setting when a program starts.
. "$(dirname "$0")/wine-env.sh"
limit=300 # seconds for the first start (and for waiting on another caller making it)
[ -f "$WINEPREFIX/.veltrane-ready" ] && exit 0
mkdir -p "$WINEPREFIX" || exit 1
# Ends with a message; `stop` also ends the Wine processes that this call started.
fail() {
  echo "wine-prefix.sh: $2 ($WINEPREFIX)" >&2
  [ "$1" = stop ] && stop_wineserver
  exit 1
}
# import_reg FILE WHAT: puts a .reg file into the prefix's registry, or fails saying WHAT.
import_reg() {
  timeout 60 "$WINE" regedit /S "$(timeout 60 "$WINE" winepath -w "$1" 2>/dev/null)" \
    >/dev/null 2>&1 || fail stop "$2 within 60 s"
}
(
  flock -w "$limit" 9 || fail keep "another caller did not finish making the prefix within $limit s"
  if [ ! -f "$WINEPREFIX/.veltrane-ready" ]; then
    echo "wine-prefix.sh: making the Wine prefix $WINEPREFIX (once)" >&2
    timeout "$limit" "$WINE" wineboot -i >/dev/null 2>&1 ||
      fail stop "wineboot did not make the prefix within $limit s"
    # The dialog's Japanese font, "ＭＳ Ｐゴシック", is a Windows font: show it as IPA P Gothic.
    if [ -z "${VELTRANE_NO_FONT_SUBSTITUTE:-}" ] && fc-list 2>/dev/null | grep -q IPAPGothic; then
      reg="$WINEPREFIX/veltrane-fonts.reg"
      {
        printf '\xff\xfe'
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf"="IPAPGothic"\r\n' |
          iconv -f UTF-8 -t UTF-16LE
      } >"$reg"
      import_reg "$reg" "the font substitute could not be registered"
    fi
    # The display scale, in both places Wine reads it from.
    if [ -n "${VELTRANE_LOGPIXELS:-}" ]; then
      reg="$WINEPREFIX/veltrane-dpi.reg"
      dpi=$(printf 'dword:%08x' "$VELTRANE_LOGPIXELS") || fail keep "VELTRANE_LOGPIXELS is no number"
      printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=%s\r\n\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]\r\n"LogPixels"=%s\r\n' \
        "$dpi" "$dpi" >"$reg"
      import_reg "$reg" "the display scale could not be set"
    fi
    # Wine draws the caption buttons with its Marlett font, which this Wine does not load from its
    # own font folder: without a copy in the prefix a close box shows the letter "r".
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ] &&
      cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    # The prefix is complete once its wineserver has written everything and ended.
    timeout "$limit" "$WINESERVER" -w || fail stop "Wine did not settle within $limit s"
    touch "$WINEPREFIX/.veltrane-ready"
  fi
) 9>"$WINEPREFIX.lock"
