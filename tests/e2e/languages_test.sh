#!/bin/bash
# Japanese (932) and Western (1252, no font substitute) systems, folders named in Japanese, Korean
# with an emoji, and deeper than MAX_PATH: the session and the bar read 2500, Set writes it back; an
# unwritable file gets the Japanese message naming it, then Set has the focus again; without the
# substitute every label gets a face with all its glyphs.
. "$(dirname "$0")/dialog_lib.sh"
MESSAGE_HEAD="表示インターバルを次のファイルに保存できませんでした。"
MESSAGE_TAIL="フォルダーが書き込み禁止かもしれません。設定画面は開いたままです。"
message_shown() { MESSAGE=$(probe message) && [ -n "$MESSAGE" ]; }
focus_is() { [ "$(probe focus)" = "$*" ]; }

from_folder() {  # from_folder WHAT FOLDER
  local what=$1 folder=$2 n expected
  FOLDER=$folder
  scr_folder "$folder" 2500
  if run_session "$folder" /s; then
    n=$(distinct 5 0.25 import -window root -depth 8 rgb:-)
    check "$what: the session turns every 2500 ms ($n pictures in 5 shots over 1.5 s)" '[ "$n" -le 2 ]'
    end_by_key "$what: a key" 10000
  fi
  if launch_dialog "$folder" /c; then
    n=$(probe bar)
    check "$what: the dialog's bar reads the setting (got $n)" '[ "$n" = 2500 ]'
    set_writes "$what" " 2500"
  fi
  # The file cannot be written (a folder in its place): the message names it as it is spelt.
  rm -f "$folder/Veltrane.ini" && mkdir "$folder/Veltrane.ini"
  launch_dialog "$folder" /c || return
  click_at 274 200  # Set
  MESSAGE=
  within 100 message_shown
  expected=$(printf '%s\n%s\n\n%s' "$MESSAGE_HEAD" "Z:${folder//\//\\}\\Veltrane.ini" "$MESSAGE_TAIL")
  check "$what: the message is the Japanese text with the real file name" \
    '[ "$MESSAGE" = "$expected" ] || { echo "got: $MESSAGE"; false; }'
  probe dismiss >/dev/null
  sleep 0.5
  check "$what: after the message the focus is back on Set" 'within 30 focus_is 236 188'
  click_at 350 200  # Cancel
  expect_end "$what: Cancel" 10000
}

for system in "ja ja_JP.UTF-8 932" "west C.UTF-8 1252 1"; do
  read -r name lang codepage nofont <<<"$system"
  use_prefix "$VELTRANE_BUILD/wineprefix-$name" LANG="$lang" LC_ALL="$lang" VELTRANE_NO_FONT_SUBSTITUTE="$nofont"
  acp=$(probe acp)
  check "$name: LANG=$lang gives code page $codepage (got $acp)" '[ "$acp" = "$codepage" ]'
  from_folder "$name, Japanese folder" "$WORK/$name/ベルトレーン設定"
  from_folder "$name, Korean and emoji folder" "$WORK/$name/한국어 폴더 😀"
done
# Deeper than MAX_PATH (260 characters), once: the folder comes back whole.
deep="$WORK/west"
for i in 1 2 3 4 5 6; do deep="$deep/長いフォルダー名の$i-abcdefghijklmnopqrstuvwxyz0123456789"; done
from_folder "west, folder of ${#deep} characters" "$deep"
win32_tests "west: the dialog's labels get a face with every glyph" 'DialogFont.*' 2
exit $FAILED
