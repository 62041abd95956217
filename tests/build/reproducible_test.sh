#!/bin/bash
# Two clones of the checkout's HEAD, in folders whose names differ in length, built one after the
# other with the mingw preset, publish the same Veltrane.scr, Veltrane-Setup.exe and SHA256SUMS.
#   reproducible_test.sh SOURCE-CHECKOUT
VELTRANE_SOURCE=$(cd "${1:?the checkout to clone}" && pwd) && . "$(dirname "$0")/../e2e/e2e_lib.sh"
clones=("$WORK/a" "$WORK/a-second-clone-in-a-longer-folder")
for clone in "${clones[@]}"; do
  git clone -q "$VELTRANE_SOURCE" "$clone" && (cd "$clone" && cmake --preset mingw >/dev/null &&
    cmake --build --preset mingw -j 2 --target veltrane_setup >/dev/null) || { fail "no build in $clone"; exit 1; }
done
echo "built $(git -C "${clones[0]}" rev-parse HEAD) in ${clones[*]}"
for file in src/Veltrane.scr Veltrane-Setup.exe SHA256SUMS; do
  check "$file is the same in both ($(sha256sum <"${clones[0]}/build/mingw/$file" | cut -c1-16)...)" \
    'cmp "${clones[0]}/build/mingw/$file" "${clones[1]}/build/mingw/$file"'
done
exit $FAILED
