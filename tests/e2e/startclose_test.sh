#!/bin/bash
# Qwilpad.exe starts with its main window titled for its untitled document and a
# menu bar, and ends with exit code 0 whichever way the user closes it: Alt+F4,
# or the File menu's exit item reached with its access keys (Alt+F, X).
# Usage: startclose_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin startclose
exe="$(e2e_program_copy "$exe" "$E2E_OUT/startclose-program")"

# Starts the program and sets wid to its main window once it is shown and laid out.
start_main_window() {
  e2e_start "$exe"
  wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
  e2e_wait_title "$wid" '^\[無題\.txt\] - $' >/dev/null || e2e_fail "the title is not the untitled document's"
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  if [ "${WIDTH:-0}" -lt 200 ] || [ "${HEIGHT:-0}" -lt 100 ]; then
    e2e_fail "the main window is ${WIDTH:-?}x${HEIGHT:-?}"
  fi
}

# A screenshot with the desktop, the frame and the text in it has many colours.
take_screenshot() {
  local shot="$E2E_OUT/$1.png" colours
  e2e_screenshot "$shot" || e2e_fail "no screenshot"
  colours="$(convert "$shot" -format '%k' info:)"
  [ "$colours" -gt 2 ] || e2e_fail "the screenshot $shot is blank ($colours colours)"
  echo "screenshot: $shot"
}

expect_exit_zero() {
  local rc
  rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end after $1"
  [ "$rc" = 0 ] || e2e_fail "exit code $rc after $1, expected 0"
  echo "closed by $1: exit code 0"
}

start_main_window
take_screenshot startclose
e2e_close "$wid"
expect_exit_zero "Alt+F4"

start_main_window
e2e_focus "$wid"
xdotool key --clearmodifiers alt+f
take_screenshot startclose-filemenu
xdotool key x
expect_exit_zero "the File menu's exit item"
