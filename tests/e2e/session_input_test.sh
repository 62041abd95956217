#!/bin/bash
# What ends a session started with /s or with an empty command line: keys (a modifier alone
# too), clicks of any button, a mouse movement on both axes but not on one.
. "$(dirname "$0")/session_lib.sh"
while read -r ends line what input <&3; do
  [ "$line" = - ] && line=
  start_session "$line" "" "512 384" || continue
  what="${line:-empty command line}: ${what//_/ }"
  # shellcheck disable=SC2086
  send $input
  if [ "$ends" = ends ]; then
    expect_end "$what"
  else
    if ended 1500; then fail "$what ended the session: $RESULT"; else pass "$what leaves the session running"; fi
    end_by_key "$what, then a key"
  fi
done 3<<'EOF_CASES'
ends /s key_a key a
ends /s Shift_alone key shift
ends /s left_click click 1
ends /s right_click click 3
ends /s movement_on_both_axes mousemove 560 420
ends - key_a key a
stays /s movement_along_x_only mousemove 560 384
stays /s movement_along_y_only mousemove 512 420
stays - movement_on_both_axes mousemove 560 420
EOF_CASES
exit $FAILED
