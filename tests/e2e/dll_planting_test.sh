#!/bin/bash
# DLLs planted where a downloaded program finds them, as a web page can leave one in Downloads:
# one DLL that leaves a mark when a process loads it, copied under each name that Veltrane.scr,
# the setup program or the uninstaller could load from its own folder, and Windows' search order
# for such names (WINEDLLOVERRIDES NAME=n,b: the folder's copy before Wine's own). No process may
# load one: not the saver (/s, /c with its link clicked, /p), not the setup program started from
# Downloads, not the uninstaller in the install folder. Veltrane.scr imports only KnownDLLs.
. "$(dirname "$0")/dialog_lib.sh"
SETUP="$VELTRANE_BUILD/Veltrane-Setup.exe"
export WINEPREFIX="$WORK/prefix" # the setup program changes the prefix
"$VELTRANE_SOURCE/scripts/wine-prefix.sh" || exit 1
wine_run() { timeout 120 "$WINE_RUN" "$@"; }
windows_path() { wine_run winepath -w "$1" 2>/dev/null | tr -d '\r'; }
# unix_folder WINDOWS-FOLDER: where a folder such as %TEMP% lies in the prefix.
unix_folder() { wine_run winepath -u "$(wine_run cmd /c "echo $1" | tr -d '\r')" 2>/dev/null | tr -d '\r'; }

# Windows' KnownDLLs, which it loads from System32 whatever a folder holds.
KNOWN=" advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 msctf
  msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32
  wldap32 ws2_32 "
KNOWN=" $(echo $KNOWN) "
imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: \(.*\)\.dll$/\1/Ip' | tr 'A-Z' 'a-z'; }
unknown_imports() { for dll in $(imports "$1"); do [[ $KNOWN == *" $dll "* ]] || echo "$dll"; done; }
# Windows takes what a KnownDLL imports from System32 too. Wine (8) has no KnownDLLs and looks for
# those beside the program as well, before any of its code runs (Wine's user32 imports
# version.dll, which Windows' does not): what Wine's copies of the imported KnownDLLs import,
# directly or not, cannot be planted here.
WINE_DLLS=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
wine_imported() {
  local todo=" $* " seen=" " dll
  for _ in $(seq 200); do
    read -r dll todo <<<"$todo"
    [ -z "$dll" ] && break
    [[ $seen == *" $dll "* ]] && continue
    seen+="$dll "
    [ -f "$WINE_DLLS/$dll.dll" ] && todo+=" $(imports "$WINE_DLLS/$dll.dll" | tr '\n' ' ')"
  done
  echo "$seen"
}
scr_imports=$(unknown_imports "$VELTRANE_SCR")
check "Veltrane.scr imports only KnownDLLs${scr_imports:+ (not: $scr_imports)}" '[ -z "$scr_imports" ]'
# What the system's own libraries load by name in a program that shows windows, opens a link or
# asks for random numbers, and what the program and the setup program import.
NAMES="msimg32 version uxtheme dwmapi userenv propsys cryptbase cryptsp rsaenh bcrypt winmm mpr
  comctl32 oleacc ntmarta profapi sspicli secur32 wtsapi32 dbghelp winhttp wininet urlmon iertutil
  netapi32 crypt32 wintrust msasn1 apphelp usp10 riched20 dwrite dxgi d3d11 windowscodecs
  textinputframework explorerframe $scr_imports $(unknown_imports "$SETUP")"
known_imports=$(imports "$VELTRANE_SCR"; imports "$SETUP")
UNPLANTABLE=$(wine_imported $(for dll in $known_imports; do [[ $KNOWN == *" $dll "* ]] && echo "$dll"; done))
# Wine's copies also load some libraries on first use ("delay loads": its uxtheme, which its user32
# loads for drawing, takes msimg32 so, its comctl32 uxtheme), and these loads ignore the folders a
# program allows (measured: msimg32 from the program's folder after SetDefaultDllDirectories
# with System32 only). Windows' delay loads keep to them; such a load here is named, not counted.
WINE_DELAYED=" $(for dll in $UNPLANTABLE comctl32 uxtheme; do
  strings "$WINE_DLLS/$dll.dll" 2>/dev/null | sed -n 's/^__wine_delay_load_//p'; done | sort -u | tr '\n' ' ') "
NAMES=$(for name in $NAMES; do [[ $UNPLANTABLE == *" $name "* ]] || echo "$name"; done | sort -u | tr '\n' ' ')
plant() { for name in $NAMES; do cp "$VELTRANE_TOOLS/planted_dll.dll" "$1/$name.dll"; done; }
MARKS="$WORK/marks"
mkdir -p "$MARKS"
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
scr_folder "$DOWNLOADS"
cp "$SETUP" "$DOWNLOADS/"
plant "$DOWNLOADS"
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

start_scr "$DOWNLOADS" /s
if wait_session; then
  sleep 1
  send key a
  expect_end "/s"
else
  fail "no session for /s"
fi
no_marks "/s"

if launch_dialog "$DOWNLOADS" /c; then
  click_at 24 234 # the home-page link
  check "the link opened the home page ($(cat "$WORK/browsed" 2>/dev/null))" \
    'within 200 test -s "$WORK/browsed"'
  SENT=$(us)
  probe close >/dev/null
  expect_end "/c after the link" 10000
fi
no_marks "/c with the link clicked"

check "/p shows the preview in its host and ends with it" \
  '(cd "$VELTRANE_TOOLS" && wine_run preview_host.exe "$(windows_path "$DOWNLOADS/Veltrane.scr")")'
no_marks "/p"

# The setup program from Downloads, the uninstaller from the folder it was installed to; both
# with the planted DLLs in %TEMP% too, where each unpacks its helpers or a copy of itself.
plant "$(unix_folder %TEMP%)"
check "the setup program from Downloads installs (/S)" '(cd "$DOWNLOADS" && wine_run Veltrane-Setup.exe /S)'
no_marks "the setup program"
LOCAL=$(wine_run cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
INSTALLED=$(wine_run winepath -u "$LOCAL\\Programs\\Veltrane" 2>/dev/null | tr -d '\r')
INSTALLED=${INSTALLED%/}
plant "$INSTALLED"
check "the uninstaller in the install folder removes Veltrane (/S)" \
  '(cd "$INSTALLED" && wine_run Uninstall.exe /S "_?=$LOCAL\\Programs\\Veltrane") &&
  within 200 test ! -e "$INSTALLED/Uninstall.exe"'
no_marks "the uninstaller"
exit $FAILED
