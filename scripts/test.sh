#!/bin/bash
# Installs what is missing, builds every configuration and runs all tests:
#   asan   native unit tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   native native unit tests optimised, resource checks, benchmarks built
#   fuzz   libFuzzer targets for a bounded time
#   mingw  Veltrane.scr, unit and Win32 tests and end-to-end tests under Wine on a private Xvfb
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh || exit 1

passed=0
failed=0
failures=()
run() {
  local name=$1
  shift
  echo "== $name: $*"
  if "$@"; then return 0; fi
  failures+=("$name")
  return 1
}
count() {  # adds the counts of a CTest log to the totals
  local log=$1 total fails
  total=$(grep -Eo 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -n1)
  fails=$(grep -Eo '[0-9]+ tests failed out of' "$log" | grep -Eo '^[0-9]+' | tail -n1)
  passed=$((passed + ${total:-0} - ${fails:-0}))
  failed=$((failed + ${fails:-0}))
}

for preset in asan native fuzz mingw; do
  log=build/test-$preset.log
  mkdir -p build
  if ! run "$preset configure" cmake --preset "$preset" >/dev/null; then continue; fi
  if ! run "$preset build" cmake --build --preset "$preset" -j 2; then continue; fi
  if [ "$preset" = mingw ]; then
    # The Wine prefix first, so that its slow first start is one step of its own that either
    # succeeds or says why, not a delay inside the first test that uses Wine.
    if ! run "$preset wine prefix" scripts/wine-prefix.sh; then continue; fi
    run "$preset tests" scripts/with-xvfb.sh ctest --preset mingw >"$log" 2>&1
  else
    run "$preset tests" ctest --preset "$preset" -j 2 >"$log" 2>&1
  fi
  cat "$log"
  count "$log"
done

echo
if [ ${#failures[@]} -gt 0 ]; then echo "Failed steps: ${failures[*]}"; fi
echo "$passed passed, $failed failed"
[ ${#failures[@]} -eq 0 ] && [ "$failed" -eq 0 ]
