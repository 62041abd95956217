#!/bin/bash
# A session shows the desktop exactly, then turned by the project's Rotate; at 1500 ms each frame
# stays for over a second.
. "$(dirname "$0")/session_lib.sh"
put_picture
start_session /s 3000 # long enough for the first frame to be read
first_and_later
check "the first frame is the desktop exactly" 'cmp -s "$WORK/first.raw" "$WORK/picture.raw"'
is_turn "a later frame" "${SIZE%x*}" "${SIZE#*x}" "$WORK/picture.raw" "$WORK/later.raw"
end_by_key "a key"

# 1500 ms: the times at which the screen changes, over 6.5 s.
start_session /s 1500
changes=() previous= gaps=()
end=$(($(us) + 6500000))
while (($(us) < end)); do
  sum=$(import -window root -depth 8 rgb:- | md5sum)
  [ "$sum" = "$previous" ] || { [ -z "$previous" ] || changes+=("$(us)"); previous=$sum; }
done
for ((i = 1; i < ${#changes[@]}; i++)); do gaps+=($(((changes[i] - changes[i - 1]) / 1000))); done
check "1500 ms: at least two gaps between frames, each over a second (${gaps[*]:-none} ms)" \
  '[ ${#gaps[@]} -ge 2 ] && [ "$(printf "%s\n" "${gaps[@]}" | sort -n | head -n1)" -gt 1000 ]'
end_by_key "a key"
exit $FAILED
