#!/bin/bash
# The saver on systems of other languages, from folders named in other scripts: a Japanese
# system (code page 932) and a Western one (code page 1252) without the dialog's font. From a
# folder named in Japanese and one named with Korean and an emoji (outside code page 932): the
# session reads an interval of 2500, the dialog reads it and Set writes it back, and with the
# file unwritable the message box reads as the Japanese message with the real folder name. On the
# Western system the same from a folder deeper than MAX_PATH, and the dialog's labels get a face
# that has all their characters.
# Needs DISPLAY, VELTRANE_SCR, VELTRANE_BUILD, VELTRANE_SOURCE and VELTRANE_TOOLS.
. "$(dirname "$0")/dialog_lib.sh"
stop_wine() { [ -n "${WINEPREFIX:-}" ] && timeout 20 /usr/lib/wine/wineserver -k >/dev/null 2>&1; }
trap 'kill $PID 2>/dev/null; stop_wine; rm -rf "$WORK"' EXIT

MESSAGE_HEAD="表示インターバルを次のファイルに保存できませんでした。"
MESSAGE_TAIL="フォルダーが書き込み禁止かもしれません。設定画面は開いたままです。"

# The three checks from one folder; $1 names the case in the messages.
from_folder() {
  local what=$1 folder=$2 n
  mkdir -p "$folder"
  cp "$VELTRANE_SCR" "$folder/Veltrane.scr"
  printf '[Section]\r\n%s=2500\r\n' "$KEY" >"$folder/Veltrane.ini"

  # The session: at 2500 ms its picture stays put for the first two seconds (at the default
  # 100 ms it would turn at every shot).
  (cd "$folder" && exec "$WINE_RUN" Veltrane.scr /s) &
  PID=$!
  if "$WINE_RUN" "$VELTRANE_TOOLS/session_wait_window.exe" 30; then
    for i in 1 2 3 4 5; do
      import -window root -depth 8 "rgb:$WORK/shot$i.raw"
      sleep 0.25
    done
    n=$(md5sum "$WORK"/shot*.raw | awk '{print $1}' | sort -u | wc -l)
    rm -f "$WORK"/shot*.raw
    check "$what: the session turns every 2500 ms ($n pictures in 5 shots over 1.5 s)" '[ "$n" -le 2 ]'
    xdotool key a
    expect_end "$what: a key ends the session"
  else
    fail "$what: no session window"
    kill "$PID" 2>/dev/null
  fi

  # The dialog: the bar shows 2500, and Set writes it back (with its blank).
  if launch_dialog "$folder" /c; then
    n=$(probe bar)
    check "$what: the dialog's bar reads the setting (got $n)" '[ "$n" = 2500 ]'
    click_at 274 200  # Set
    expect_end "$what: Set ends the program"
    local expected
    expected=$(printf '[Section]\r\n%s= 2500\r\n' "$KEY")
    check "$what: Set writes the setting back" \
      '[ "$(cat "$folder/Veltrane.ini" 2>/dev/null)" = "$expected" ]'
  fi

  # The file cannot be written (a folder in its place): the message names it as it is spelt.
  rm -f "$folder/Veltrane.ini"
  mkdir "$folder/Veltrane.ini"
  if launch_dialog "$folder" /c; then
    click_at 274 200  # Set
    local message= windows_name
    for _ in $(seq 20); do  # the message box, however slowly it comes (up to about 10 s)
      message=$(probe message)
      [ -n "$message" ] && break
      sleep 0.5
    done
    windows_name="Z:${folder//\//\\}\\Veltrane.ini"
    expected=$(printf '%s\n%s\n\n%s' "$MESSAGE_HEAD" "$windows_name" "$MESSAGE_TAIL")
    check "$what: the message is the Japanese text with the real file name" \
      '[ "$message" = "$expected" ] || { echo "got: $message"; false; }'
    probe dismiss >/dev/null
    sleep 0.5
    click_at 350 200  # Cancel
    expect_end "$what: Cancel ends the program"
  fi
}

# use_prefix NAME LANG [no-font]: a prefix of its own for that language, made once per build.
use_prefix() {
  stop_wine
  export WINEPREFIX="$VELTRANE_BUILD/wineprefix-$1" LANG=$2 LC_ALL=$2
  if [ "${3:-}" = no-font ]; then export VELTRANE_NO_FONT_SUBSTITUTE=1; else unset VELTRANE_NO_FONT_SUBSTITUTE; fi
  # Wine keeps its desktop on the display it first saw: a fresh start on this one.
  stop_wine
}

for system in "ja ja_JP.UTF-8 932" "west C.UTF-8 1252 no-font"; do
  read -r name lang codepage font <<<"$system"
  use_prefix "$name" "$lang" "$font"
  acp=$(probe acp)
  check "$name: LANG=$lang gives code page $codepage (got $acp)" '[ "$acp" = "$codepage" ]'
  from_folder "$name, Japanese folder" "$WORK/$name/ベルトレーン設定"
  from_folder "$name, Korean and emoji folder" "$WORK/$name/한국어 폴더 😀"
done
# Deeper than MAX_PATH (260 characters), once: the folder comes back whole.
deep="$WORK/west"
for i in 1 2 3 4 5 6; do deep="$deep/長いフォルダー名の$i-abcdefghijklmnopqrstuvwxyz0123456789"; done
from_folder "west, folder of ${#deep} characters" "$deep"

# The font without the substitute: every label's face has all the label's glyphs (the Win32
# test checks the real dialog's labels).
"$WINE_RUN" "$VELTRANE_BUILD/tests/veltrane_win32_tests.exe" --gtest_filter='DialogFont.*' \
  >"$WORK/font.log" 2>&1
check "west: the dialog's labels get a face with every glyph" \
  'grep -q "^\[  PASSED  \] 2 tests" "$WORK/font.log" || { cat "$WORK/font.log"; false; }'

exit $FAILED
