#!/bin/bash
# Creates the private Wine prefix once (about ten seconds); later calls return at once.
# A prefix has the system language of the LANG it is made and run under (ja_JP.UTF-8: code page
# 932, C.UTF-8: code page 1252), so give each language its own WINEPREFIX. With
# VELTRANE_NO_FONT_SUBSTITUTE=1 the prefix is made without "ＭＳ Ｐゴシック", as a Windows
# without its optional Japanese fonts.
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
[ -f "$WINEPREFIX/.veltrane-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.veltrane-ready" ]; then
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    # The dialog's Japanese font, "ＭＳ Ｐゴシック", is a Windows font: show it as IPA P Gothic.
    if [ -z "${VELTRANE_NO_FONT_SUBSTITUTE:-}" ] && fc-list 2>/dev/null | grep -q IPAPGothic; then
      reg="$WINEPREFIX/veltrane-fonts.reg"
      {
        printf '\xff\xfe'
        printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"\xef\xbc\xad\xef\xbc\xb3 \xef\xbc\xb0\xe3\x82\xb4\xe3\x82\xb7\xe3\x83\x83\xe3\x82\xaf"="IPAPGothic"\r\n' |
          iconv -f UTF-8 -t UTF-16LE
      } >"$reg"
      /usr/lib/wine/wine64 regedit /S "$(/usr/lib/wine/wine64 winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
    fi
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.veltrane-ready"
  fi
) 9>"$WINEPREFIX.lock"
