#!/bin/bash
# A DLL that marks the processes that load it, planted (as a web page can leave one in Downloads)
# under every name the saver's modes, the setup program or the uninstaller could load from their
# folders, with the folder searched first (NAME=n,b): none of them loads one.
. "$(dirname "$0")/dialog_lib.sh"
export WINEPREFIX="$WORK/prefix" # the setup program changes the prefix
"$VELTRANE_SOURCE/scripts/wine-prefix.sh" || exit 1

# Windows' KnownDLLs, which it loads from System32 whatever a folder holds.
KNOWN=" $(echo advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 msctf \
  msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32 ws2_32) "
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: \(.*\)\.dll$/\1/Ip' | tr 'A-Z' 'a-z'; }
known() { [[ $KNOWN == *" $1 "* ]]; }
unknown_imports() { for dll in $(imports "$1"); do known "$dll" || echo "$dll"; done; }
# Wine (8) has no KnownDLLs: what its copies of them import, directly or not, it takes from the
# program's folder before the program runs, where Windows takes System32's; those are not planted.
WINE_DLLS=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
UNPLANTABLE=" "
unplantable() {  # DLL...: adds them, and what Wine's copies of them import, to UNPLANTABLE
  local dll
  for dll; do
    [[ $UNPLANTABLE == *" $dll "* ]] && continue
    UNPLANTABLE+="$dll "
    [ ! -f "$WINE_DLLS/$dll.dll" ] || unplantable $(imports "$WINE_DLLS/$dll.dll")
  done
}
scr_imports=$(unknown_imports "$VELTRANE_SCR")
check "Veltrane.scr imports only KnownDLLs${scr_imports:+ (not: $scr_imports)}" '[ -z "$scr_imports" ]'
# What the system's own libraries load by name in a program that shows windows, opens a link or
# asks for random numbers, and what the program and the setup program import.
NAMES="msimg32 version uxtheme dwmapi userenv propsys cryptbase cryptsp rsaenh bcrypt winmm mpr
  comctl32 oleacc ntmarta profapi sspicli secur32 wtsapi32 dbghelp winhttp wininet urlmon iertutil
  netapi32 crypt32 wintrust msasn1 apphelp usp10 riched20 dwrite dxgi d3d11 windowscodecs
  textinputframework explorerframe $scr_imports $(unknown_imports "$SETUP")"
unplantable $(for dll in $(imports "$VELTRANE_SCR"; imports "$SETUP"); do known "$dll" && echo "$dll"; done)
# Wine's delay loads (uxtheme's msimg32, comctl32's uxtheme) ignore SetDefaultDllDirectories, as
# Windows' do not: named, not counted.
WINE_DELAYED=" $(for dll in $UNPLANTABLE comctl32 uxtheme; do
  strings "$WINE_DLLS/$dll.dll" 2>/dev/null | sed -n 's/^__wine_delay_load_//p'; done | sort -u | tr '\n' ' ') "
NAMES=$(for name in $NAMES; do [[ $UNPLANTABLE == *" $name "* ]] || echo "$name"; done | sort -u | tr '\n' ' ')
plant() { for name in $NAMES; do cp "$VELTRANE_TOOLS/planted_dll.dll" "$1/$name.dll"; done; }
MARKS="$WORK/marks" && mkdir -p "$MARKS"
export VELTRANE_PLANT_MARKERS="Z:${MARKS//\//\\}"
# no_marks WHAT: no planted DLL was loaded since the last call (each one that was is named).
no_marks() {
  local marks="" mark by
  for mark in "$MARKS"/*; do
    [ -e "$mark" ] || continue
    by=$(cat "$mark")
    mark=${mark##*/}
    if [[ $by == *" later" && $WINE_DELAYED == *" ${mark%%.*} "* ]]; then
      echo "not counted: $mark by $by (a delay load of Wine's)"
    else
      marks+=" $mark by $by;"
    fi
  done
  check "$1 loads none of the planted DLLs${marks:+:$marks}" '[ -z "$marks" ]'
  rm -f "$MARKS"/*
}

DOWNLOADS="$WORK/Downloads"
scr_folder "$DOWNLOADS" && cp "$SETUP" "$DOWNLOADS/" && plant "$DOWNLOADS"
# The home page opens in a "browser" that notes the address.
printf '#!/bin/sh\necho "$@" >"%s"\n' "$WORK/browsed" >"$WORK/browser" && chmod +x "$WORK/browser"
wine_run reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$WORK/browser" /f >/dev/null 2>&1
export WINEDLLOVERRIDES="mscoree,mshtml=;${NAMES// /,}=n,b"
echo "planted: $NAMES"
echo "not planted (imported by Wine's KnownDLLs):$UNPLANTABLE"
# The marker works: the DLL, loaded by its path, leaves its mark.
wine_run regsvr32 /s "$(windows_path "$DOWNLOADS/msimg32.dll")" >/dev/null 2>&1
check "a planted DLL that is loaded leaves its mark" 'ls "$MARKS" | grep -q "^msimg32\.dll\."'
rm -f "$MARKS"/*

run_session "$DOWNLOADS" /s && sleep 1 && end_by_key "/s"
no_marks "/s"

if launch_dialog "$DOWNLOADS" /c; then
  click_at 24 234 # the home-page link
  check "the link opened the home page ($(cat "$WORK/browsed" 2>/dev/null))" 'within 200 test -s "$WORK/browsed"'
  SENT=$(us)
  probe close >/dev/null
  expect_end "/c after the link" 10000
fi
no_marks "/c with the link clicked"

check "/p shows the preview in its host and ends with it" \
  '(cd "$VELTRANE_TOOLS" && wine_run preview_host.exe "$(windows_path "$DOWNLOADS/Veltrane.scr")")'
no_marks "/p"

# Planted in %TEMP% too, where the setup program and the uninstaller unpack helpers or a copy.
plant "$(unix_path "$(wine_echo %TEMP%)")"
check "the setup program from Downloads installs (/S)" '(cd "$DOWNLOADS" && wine_run Veltrane-Setup.exe /S)'
no_marks "the setup program"
install_folder
plant "$INSTALLED"
check "the uninstaller in the install folder removes Veltrane (/S)" \
  '(cd "$INSTALLED" && wine_run Uninstall.exe /S "_?=$LOCAL\\Programs\\Veltrane") &&
  within 200 test ! -e "$INSTALLED/Uninstall.exe"'
no_marks "the uninstaller"
exit $FAILED
