#!/bin/bash
# Another program rewrites the open file: Qwilpad is started on a file, another
# program's window (the clock) takes the activation, the shell rewrites the file,
# and when Qwilpad is active again it asks whether to reload; Y reloads, and what
# is typed then lands in the new text. A save over a file rewritten meanwhile
# asks first: Escape writes nothing, Y writes the user's text.
# Usage: filewatch_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin filewatch
program="$(e2e_program_copy "$exe" "$E2E_OUT/filewatch-program")"
work="$E2E_OUT/filewatch-files"
rm -rf "$work"
mkdir -p "$work"

escape() { printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g'; }

expect_bytes() {
  local got
  got="$(cat "$1")"
  [ "$got" = "$2" ] || e2e_fail "$1 holds [$got], expected [$2]"
}

shot() {
  e2e_screenshot "$E2E_OUT/$1.png" || e2e_fail "no screenshot"
  echo "screenshot: $E2E_OUT/$1.png"
}

# The message box captioned with the document's name, answered with a key.
answer() {
  local box
  box="$(e2e_find_window "^${pathre}\$" 20)" || e2e_fail "no question about the changed file ($1)"
  shot "filewatch-$1"
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key --clearmodifiers "$2"
  for _ in $(seq 1 40); do
    xdotool search --onlyvisible --name "^${pathre}\$" >/dev/null 2>&1 || return 0
    sleep 0.25
  done
  e2e_fail "the question stayed after $2"
}

printf 'old text\r\n' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
pathre="$(escape "$winpath")"
e2e_start "$program" "$winpath"
wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${pathre}\$" >/dev/null || e2e_fail "the title of the opened file"

# Another program's window comes up and is active; the file is rewritten.
wine explorer "/desktop=$E2E_DESKTOP,1024x768" clock >/dev/null 2>&1 &
clock="$(e2e_search 60 --classname '^clock\.exe$')" || e2e_fail "the clock did not appear"
printf 'new text\r\n' > "$work/a.txt"
# Closing it gives the activation back to Qwilpad.
e2e_close "$clock"
answer reload y
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+Home
xdotool type --delay 80 '>'
e2e_wait_title "$wid" "^\\[a\\.txt \\*\\] - ${pathre}\$" >/dev/null || e2e_fail "no modified mark after typing"
expect_bytes "$work/a.txt" $'new text\r'

# Rewritten again while the window is active: the save asks first.
printf 'their text\r\n' > "$work/a.txt"
xdotool key --clearmodifiers ctrl+s
answer overwrite Escape
expect_bytes "$work/a.txt" $'their text\r'
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+s
answer overwrite-yes y
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${pathre}\$" >/dev/null || e2e_fail "the mark stayed after the save"
expect_bytes "$work/a.txt" $'>new text\r'
echo "reloaded the rewritten file; the save over it asked and wrote only after Y"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
