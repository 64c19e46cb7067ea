#!/bin/bash
# The About box as a user meets it: opened from the Help menu by its keys,
# captioned with the name from the version resource, closed with Escape and
# again with Enter; the editor then still takes typing and saves it.
# Usage: about_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin about
program="$(e2e_program_copy "$exe" "$E2E_OUT/about-program")"
work="$E2E_OUT/about-files"
rm -rf "$work"
mkdir -p "$work"

printf 'ab' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
titlepath="$(printf '%s' "$winpath" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
e2e_start_window "^\\[a\\.txt\\] - ${titlepath}\$" "$program" "$winpath"

open_about() {
  e2e_focus "$wid"
  xdotool key --clearmodifiers alt+h
  e2e_wait_idle
  xdotool key --clearmodifiers a
  about="$(e2e_find_window '^Qwilpad について$' 20)" || e2e_fail "no box captioned Qwilpad について"
  e2e_focus "$about"
}

closed() { e2e_wait_gone '^Qwilpad について$' 5; }

open_about
# The box grew to its texts: far wider than the narrow frame it starts from.
width="$(xdotool getwindowgeometry "$about" | awk '/Geometry/ {split($2, g, "x"); print g[1]}')"
[ "${width:-0}" -ge 120 ] || e2e_fail "the box is only ${width}px wide"
e2e_screenshot "$E2E_OUT/about.png" || e2e_fail "no screenshot"
echo "screenshot: $E2E_OUT/about.png (box ${width}px wide)"
xdotool key --clearmodifiers Escape
closed || e2e_fail "Escape left the box open"

open_about
xdotool key --clearmodifiers Return
closed || e2e_fail "Enter left the box open"
echo "the box opened from Help > About and closed with Escape and with Enter"

e2e_focus "$wid"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 80 'x'
e2e_wait_title "$wid" '\*\]' >/dev/null || e2e_fail "typing after the box left no mark"
xdotool key --clearmodifiers ctrl+s
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${titlepath}\$" >/dev/null || e2e_fail "Ctrl+S left the mark"
e2e_wait_bytes "$work/a.txt" "61 62 78" 0 || e2e_fail "Ctrl+S did not save abx"
echo "the editor took typing after the box and saved abx"

e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
e2e_end
