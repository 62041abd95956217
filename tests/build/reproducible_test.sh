#!/bin/bash
# The same source gives the same bytes: two clones of the checkout's HEAD, in folders whose names
# differ in length, each configured with the mingw preset and built (one after the other, so at
# different times) as far as the published files; Veltrane.scr, Veltrane-Setup.exe and SHA256SUMS
# must be the same byte for byte.
#   reproducible_test.sh SOURCE-CHECKOUT
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
first="$work/a"
second="$work/a-second-clone-in-a-longer-folder"
for clone in "$first" "$second"; do
  if ! git clone -q "${1:?the checkout to clone}" "$clone" ||
    ! (cd "$clone" && cmake --preset mingw >/dev/null && cmake --build --preset mingw -j 2 --target veltrane_setup >/dev/null); then
    echo "FAIL: could not build in $clone"
    exit 1
  fi
done
echo "built $(git -C "$first" rev-parse HEAD) in $first and $second"
failed=0
for file in src/Veltrane.scr Veltrane-Setup.exe SHA256SUMS; do
  if cmp "$first/build/mingw/$file" "$second/build/mingw/$file"; then
    echo "ok: $file is the same in both ($(sha256sum <"$first/build/mingw/$file" | cut -c1-16)...)"
  else
    echo "FAIL: $file differs"
    failed=1
  fi
done
exit $failed
