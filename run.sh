#!/bin/bash
# ./run.sh [FILE]: installs what is missing, builds Qwilpad.exe and starts it
# under Wine with FILE as its argument. With a display the window opens there.
# Without one it runs in a private Xvfb, waits for the main window, saves a
# screenshot as build/screenshot.png, closes the window and says where the
# screenshot is.
set -uo pipefail
cd "$(dirname "$0")" || exit 1
source scripts/lib.sh

if [ $# -gt 1 ]; then
  qwil_say "usage: ./run.sh [FILE]"
  exit 2
fi
scripts/setup.sh || { qwil_say "run.sh: set-up failed"; exit 1; }

log=build/run-build.log
mkdir -p build
if ! { cmake -S . -B build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
         -DCMAKE_BUILD_TYPE=Debug && cmake --build build/win64 -j2 --target Qwilpad; } >"$log" 2>&1; then
  tail -n 40 "$log"
  qwil_say "run.sh: the build failed (whole log: $log)"
  exit 1
fi
exe="$PWD/build/win64/Qwilpad.exe"

# The program gets the file as a Windows path.
args=()
[ $# -eq 1 ] && args=("$(qwil_windows_path "$1")")

if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine.sh "$exe" "${args[@]}"
fi

source scripts/e2e.sh
e2e_begin run
e2e_start "$exe" "${args[@]}"
wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
shot="$QWIL_ROOT/build/screenshot.png"
e2e_screenshot "$shot" || e2e_fail "no screenshot"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end when closed"
echo "Qwilpad.exe ran headless and exited with code $rc."
echo "Screenshot: $shot"
[ "$rc" = 0 ]
