#!/bin/bash
# Two clones of the checkout's HEAD, in folders whose names differ in length, built one after the
# other with the mingw preset, publish the same Veltrane.scr, Veltrane-Setup.exe and SHA256SUMS.
#   reproducible_test.sh SOURCE-CHECKOUT
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
clones=("$work/a" "$work/a-second-clone-in-a-longer-folder")
for clone in "${clones[@]}"; do
  git clone -q "${1:?the checkout to clone}" "$clone" &&
    (cd "$clone" && cmake --preset mingw >/dev/null &&
      cmake --build --preset mingw -j 2 --target veltrane_setup >/dev/null) ||
    { echo "FAIL: could not build in $clone"; exit 1; }
done
echo "built $(git -C "${clones[0]}" rev-parse HEAD) in ${clones[*]}"
failed=0
for file in src/Veltrane.scr Veltrane-Setup.exe SHA256SUMS; do
  first="${clones[0]}/build/mingw/$file"
  if cmp "$first" "${clones[1]}/build/mingw/$file"; then
    echo "ok: $file is the same in both ($(sha256sum <"$first" | cut -c1-16)...)"
  else
    echo "FAIL: $file differs" && failed=1
  fi
done
exit $failed
