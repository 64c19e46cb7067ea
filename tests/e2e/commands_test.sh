#!/bin/bash
# The editing commands through Qwilpad's own keys, as a user presses them, with
# the saved bytes checked after each step: Ctrl+A, Ctrl+U, Ctrl+S turns "abc"
# into "ABC"; Ctrl+C and Ctrl+V go through the system clipboard; F6 inserts the
# date in the settings' format; F3 before any search does nothing; Ctrl+X cuts;
# Ctrl+Shift+V offers the clipboard history and its access key 1 pastes the
# entry before the newest; the conversion menu reached with its access keys
# makes ｶﾞ full-width ガ and upper case keeps a zero byte in "a\0b"; the system
# menu's "常に手前に表示" is written to the settings at close.
# Usage: commands_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin commands
program="$(e2e_program_copy "$exe" "$E2E_OUT/commands-program")"
work="$E2E_OUT/commands-files"
rm -rf "$work"
mkdir -p "$work"

# The date format of the settings file: the year alone.
printf '[日時の書式]\r\n書式数=1\r\n0="%%04Y"\r\n' | iconv -f UTF-8 -t CP932 > "$(dirname "$program")/qwilpad.ini" ||
  e2e_fail "cannot write the settings file"
year="$(date +%Y)"

hex_of() { printf '%s' "$1" | od -An -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# Each key once the program has handled the one before.
keys() {
  local k
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    e2e_wait_idle
  done
}

# Ctrl+S, then the file must hold the bytes (hex, as od prints them).
save_expect() {
  local file="$1" expected="$2" what="$3"
  keys ctrl+s
  e2e_wait_bytes "$file" "$expected" 10 || e2e_fail "$what"
  echo "$what: [$expected]"
}

# 1. Case, the clipboard, the date, find next, cut and the history popup.
printf 'abc' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
e2e_start_window '^\[a\.txt\] - ' "$program" "$winpath"
keys ctrl+a ctrl+u
save_expect "$work/a.txt" "41 42 43" "Ctrl+A, Ctrl+U"
keys ctrl+a ctrl+c ctrl+End ctrl+v
save_expect "$work/a.txt" "$(hex_of "ABCABC")" "Ctrl+C, Ctrl+V"
keys F6 F3
save_expect "$work/a.txt" "$(hex_of "ABCABC$year")" "F6 with the format %04Y, then F3 before any search"
keys ctrl+a ctrl+x
save_expect "$work/a.txt" "" "Ctrl+X"
keys ctrl+shift+v
e2e_shot commands-history
keys 1
save_expect "$work/a.txt" "41 42 43" "Ctrl+Shift+V and the history's second entry"
keys ctrl+v
save_expect "$work/a.txt" "$(hex_of "ABCABCABC$year")" "Ctrl+V pastes what was cut"
keys ctrl+z
save_expect "$work/a.txt" "41 42 43" "Ctrl+Z"

# 2. The system menu's always on top, kept in the settings at close.
keys alt+space t
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
ini="$(iconv -f CP932 -t UTF-8 "$(dirname "$program")/qwilpad.ini")"
printf '%s\n' "$ini" | grep -q '^常に手前に表示=1' || e2e_fail "always on top was not kept: $ini"
echo "always on top written at close"

# 3. The conversions from the menu, over a zero byte and half-width kana.
printf 'a\0b\xb6\xde' > "$work/k.txt"
e2e_start_window '^\[k\.txt\] - ' "$program" "$(qwil_windows_path "$work/k.txt")"
keys ctrl+a ctrl+u
save_expect "$work/k.txt" "41 00 42 b6 de" "upper case over a zero byte"
keys ctrl+a alt+c k f
e2e_shot commands-kana
save_expect "$work/k.txt" "41 00 42 83 4b" "ｶﾞ to full-width katakana from the menu"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
echo "the commands' keys work"
