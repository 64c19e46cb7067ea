#!/bin/bash
# The find and replace dialogs as a user meets them: Ctrl+R opens the replace
# dialog, a word is typed, found and replaced everywhere, the dialog is closed,
# Ctrl+S saves, and the file's bytes and the settings' histories are checked.
# Ctrl+F then finds from the find dialog and F3 goes on after it is closed.
# Usage: finddlg_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin finddlg
program="$(e2e_program_copy "$exe" "$E2E_OUT/finddlg-program")"
work="$E2E_OUT/finddlg-files"
rm -rf "$work"
mkdir -p "$work"

expect_bytes() { e2e_wait_bytes "$1" "$2" 0 || e2e_fail "the saved bytes"; }

dialog() {
  local d
  d="$(e2e_find_window "^$1\$" 20)" || e2e_fail "no dialog captioned $1"
  e2e_focus "$d"
  printf '%s\n' "$d"
}

printf 'abcabc' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
titlepath="$(printf '%s' "$winpath" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
e2e_start_window "^\\[a\\.txt\\] - ${titlepath}\$" "$program" "$winpath"

# 1. Ctrl+R, "a" into the search string, Tab to the replacement, "x",
#    Alt+A (すべて置換), then a screenshot and Escape (閉じる).
xdotool key --clearmodifiers ctrl+r
replace="$(dialog '置換')"
xdotool type --delay 80 'a'
xdotool key --clearmodifiers Tab
xdotool type --delay 80 'x'
xdotool key --clearmodifiers alt+a
e2e_shot finddlg-replace
xdotool key --clearmodifiers Escape
e2e_wait_idle
xdotool search --name '^置換$' >/dev/null 2>&1 && e2e_fail "the replace dialog stayed open"
e2e_focus "$wid"
e2e_wait_title "$wid" '\*\]' >/dev/null || e2e_fail "replace all left no modified mark"
xdotool key --clearmodifiers ctrl+s
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${titlepath}\$" >/dev/null || e2e_fail "Ctrl+S left the mark"
expect_bytes "$work/a.txt" "78 62 63 78 62 63"
echo "replace all saved xbcxbc"

ini="$(dirname "$program")/qwilpad.ini"
[ -f "$ini" ] || e2e_fail "no settings file beside the program"
iconv -f CP932 -t UTF-8 "$ini" | tr -d "\r" | awk '/^\[検索ダイアログ\]/{s=1;next} /^\[/{s=0} s' | grep -qx '0="a"' ||
  e2e_fail "the find history lacks 0=a"
iconv -f CP932 -t UTF-8 "$ini" | tr -d "\r" | awk '/^\[置換ダイアログ\]/{s=1;next} /^\[/{s=0} s' | grep -qx '0="x"' ||
  e2e_fail "the replace history lacks 0=x"
echo "both histories were written"

# 2. Ctrl+F proposes nothing (no selection); "bc" found with Enter, Escape, and
#    F3 then selects the next one, which typing replaces.
xdotool key --clearmodifiers ctrl+Home
xdotool key --clearmodifiers ctrl+f
dialog '検索' >/dev/null
xdotool type --delay 80 'bc'
xdotool key --clearmodifiers Return
e2e_wait_idle
xdotool key --clearmodifiers Escape
e2e_wait_idle
e2e_focus "$wid"
xdotool key --clearmodifiers F3
e2e_wait_idle
xdotool type --delay 80 'Q'
e2e_wait_title "$wid" '\*\]' >/dev/null || e2e_fail "typing over the match left no mark"
xdotool key --clearmodifiers ctrl+s
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${titlepath}\$" >/dev/null || e2e_fail "the second Ctrl+S left the mark"
expect_bytes "$work/a.txt" "78 62 63 78 51"
echo "F3 went on with the find dialog's text"

e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
