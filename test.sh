#!/bin/bash
# Installs what is missing, builds both trees and runs every test: the native
# unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows
# tests under Wine and the end-to-end tests of the real window. Exits non-zero
# on any failure; ends with the summary lines of both ctest runs and every
# skipped test with its reason.
set -uo pipefail
cd "$(dirname "$0")" || exit 1
source scripts/lib.sh

scripts/setup.sh || { qwil_say "test.sh: set-up failed"; exit 1; }

build_tree() {
  local dir="$1"
  shift
  echo "== build $dir"
  cmake -S . -B "$dir" "$@" && cmake --build "$dir" -j2
}
build_tree build/native -DCMAKE_BUILD_TYPE=Debug -DQWIL_SANITIZE=ON || exit 1
build_tree build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug || exit 1

# One private display for the whole run: the tests neither disturb a desktop
# the user works on nor depend on having one.
qwil_wine_env
cleanup() {
  qwil_wine_settle 60
  qwil_xvfb_stop
}
trap cleanup EXIT
qwil_xvfb_start || exit 1

run_ctest() {
  local dir="$1"
  echo "== test $dir"
  ctest --test-dir "$dir" -j2 --output-on-failure --no-tests=error 2>&1 | tee "$dir/ctest.log"
  return "${PIPESTATUS[0]}"
}
run_ctest build/native
native_rc=$?
run_ctest build/win64
win_rc=$?

# "N% tests passed, F tests failed out of T" of each run, the tests ctest lists as
# skipped, and the totals. ctest counts a skipped test among the passed ones;
# here it is not. Every skip says why on a line "SKIPPED <test>: <reason>" (the
# test programs' entry and e2e_skip write it), which the test's log keeps.
passed=0
failed=0
skipped=0
reasons=()
echo
echo "== summary"
for dir in build/native build/win64; do
  echo "$dir:"
  summary="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$dir/ctest.log" | tail -n 1)"
  if [[ "$summary" =~ ([0-9]+)\ tests?\ failed\ out\ of\ ([0-9]+) ]]; then
    not_run="$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$dir/ctest.log")"
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1] - not_run))
    echo "  $summary"
    grep -E '^Total Test time' "$dir/ctest.log" | tail -n 1 | sed 's/^/  /'
  else
    echo "  no summary: ctest did not run"
    failed=$((failed + 1))
  fi
  log="$dir/Testing/Temporary/LastTest.log"
  if [ -f "$log" ]; then
    mapfile -t -O "${#reasons[@]}" reasons < <(grep -E '^SKIPPED [^ ]+: ' "$log" | sed "s|^SKIPPED |$dir |")
  fi
done
skipped=${#reasons[@]}
echo "skipped: $skipped"
for reason in "${reasons[@]}"; do echo "  $reason"; done
echo "tests: $passed passed, $failed failed, $skipped skipped"
# A run in which nothing passed proves nothing.
if [ "$passed" -eq 0 ]; then
  echo "no test passed"
  exit 1
fi
[ "$native_rc" -eq 0 ] && [ "$win_rc" -eq 0 ] && [ "$failed" -eq 0 ]
