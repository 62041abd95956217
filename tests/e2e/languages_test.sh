#!/bin/bash
# Japanese (code page 932) and Western (1252, without the dialog's font substitute) systems, from
# folders named in Japanese and in Korean with an emoji: the session keeps an interval of 2500, the
# dialog's bar reads it and Set writes it back, and with the file unwritable the message box is the
# Japanese message with the real folder name, and once it is dismissed Set has the focus again. On
# the Western system the same from a folder deeper than MAX_PATH, and the dialog's labels get a
# face that has all their characters.
. "$(dirname "$0")/dialog_lib.sh"
MESSAGE_HEAD="表示インターバルを次のファイルに保存できませんでした。"
MESSAGE_TAIL="フォルダーが書き込み禁止かもしれません。設定画面は開いたままです。"
message_shown() { MESSAGE=$(probe message) && [ -n "$MESSAGE" ]; }
focus_is() { [ "$(probe focus)" = "$*" ]; }

from_folder() {  # from_folder WHAT FOLDER
  local what=$1 folder=$2 n
  scr_folder "$folder" 2500
  start_scr "$folder" /s
  if wait_session; then
    n=$(distinct 5 0.25 import -window root -depth 8 rgb:-)
    check "$what: the session turns every 2500 ms ($n pictures in 5 shots over 1.5 s)" '[ "$n" -le 2 ]'
    send key a
    expect_end "$what: a key" 10000
  else
    fail "$what: no session window"; kill "$PID" 2>/dev/null
  fi
  if launch_dialog "$folder" /c; then
    n=$(probe bar)
    check "$what: the dialog's bar reads the setting (got $n)" '[ "$n" = 2500 ]'
    click_at 274 200  # Set
    expect_end "$what: Set" 10000
    check "$what: Set writes the setting back" '[ "$(cat "$folder/Veltrane.ini" 2>/dev/null)" = "$(ini " 2500")" ]'
  fi
  # The file cannot be written (a folder in its place): the message names it as it is spelt.
  rm -f "$folder/Veltrane.ini"
  mkdir "$folder/Veltrane.ini"
  if launch_dialog "$folder" /c; then
    click_at 274 200  # Set
    MESSAGE=
    within 100 message_shown
    local expected
    expected=$(printf '%s\n%s\n\n%s' "$MESSAGE_HEAD" "Z:${folder//\//\\}\\Veltrane.ini" "$MESSAGE_TAIL")
    check "$what: the message is the Japanese text with the real file name" \
      '[ "$MESSAGE" = "$expected" ] || { echo "got: $MESSAGE"; false; }'
    probe dismiss >/dev/null
    sleep 0.5
    check "$what: after the message the focus is back on Set" 'within 30 focus_is 236 188'
    click_at 350 200  # Cancel
    expect_end "$what: Cancel" 10000
  fi
}

for system in "ja ja_JP.UTF-8 932" "west C.UTF-8 1252 no-font"; do
  read -r name lang codepage font <<<"$system"
  # Wine keeps its desktop on the display it first saw: a fresh start on this one.
  stop_wine
  export WINEPREFIX="$VELTRANE_BUILD/wineprefix-$name" LANG=$lang LC_ALL=$lang
  if [ -n "$font" ]; then export VELTRANE_NO_FONT_SUBSTITUTE=1; else unset VELTRANE_NO_FONT_SUBSTITUTE; fi
  stop_wine
  acp=$(probe acp)
  check "$name: LANG=$lang gives code page $codepage (got $acp)" '[ "$acp" = "$codepage" ]'
  from_folder "$name, Japanese folder" "$WORK/$name/ベルトレーン設定"
  from_folder "$name, Korean and emoji folder" "$WORK/$name/한국어 폴더 😀"
done
# Deeper than MAX_PATH (260 characters), once: the folder comes back whole.
deep="$WORK/west"
for i in 1 2 3 4 5 6; do deep="$deep/長いフォルダー名の$i-abcdefghijklmnopqrstuvwxyz0123456789"; done
from_folder "west, folder of ${#deep} characters" "$deep"
# Without the substitute every label's face has all its glyphs (checked on the real dialog).
"$WINE_RUN" "$VELTRANE_BUILD/tests/veltrane_win32_tests.exe" --gtest_filter='DialogFont.*' >"$WORK/font.log" 2>&1
check "west: the dialog's labels get a face with every glyph" \
  'grep -q "^\[  PASSED  \] 2 tests" "$WORK/font.log" || { cat "$WORK/font.log"; false; }'
exit $FAILED
