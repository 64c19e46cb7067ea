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

start_window() {
  local title="$1"
  shift
  e2e_start "$program" "$@"
  wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
  e2e_wait_title "$wid" "$title" >/dev/null || e2e_fail "the title of the started window"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  sleep 0.5
}

hex() { od -An -tx1 "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }
hex_of() { printf '%s' "$1" | od -An -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

keys() {
  local k
  for k in "$@"; do
    xdotool key --clearmodifiers "$k"
    sleep 0.3
  done
}

# Ctrl+S, then the file must hold the bytes (hex, as od prints them).
save_expect() {
  local file="$1" expected="$2" what="$3" got=""
  keys ctrl+s
  for _ in $(seq 1 40); do
    got="$(hex "$file")"
    [ "$got" = "$expected" ] && break
    sleep 0.25
  done
  [ "$got" = "$expected" ] || e2e_fail "$what: $file holds [$got], expected [$expected]"
  echo "$what: [$got]"
}

shot() {
  e2e_screenshot "$E2E_OUT/$1.png" || e2e_fail "no screenshot"
  echo "screenshot: $E2E_OUT/$1.png"
}

# 1. Case, the clipboard, the date, find next, cut and the history popup.
printf 'abc' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
start_window '^\[a\.txt\] - ' "$winpath"
keys ctrl+a ctrl+u
save_expect "$work/a.txt" "41 42 43" "Ctrl+A, Ctrl+U"
keys ctrl+a ctrl+c ctrl+End ctrl+v
save_expect "$work/a.txt" "$(hex_of "ABCABC")" "Ctrl+C, Ctrl+V"
keys F6 F3
save_expect "$work/a.txt" "$(hex_of "ABCABC$year")" "F6 with the format %04Y, then F3 before any search"
keys ctrl+a ctrl+x
save_expect "$work/a.txt" "" "Ctrl+X"
keys ctrl+shift+v
sleep 1
shot commands-history
keys 1
save_expect "$work/a.txt" "41 42 43" "Ctrl+Shift+V and the history's second entry"
keys ctrl+v
save_expect "$work/a.txt" "$(hex_of "ABCABCABC$year")" "Ctrl+V pastes what was cut"
keys ctrl+z
save_expect "$work/a.txt" "41 42 43" "Ctrl+Z"

# 2. The system menu's always on top, kept in the settings at close.
keys alt+space
sleep 0.5
keys t
sleep 0.5
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
ini="$(iconv -f CP932 -t UTF-8 "$(dirname "$program")/qwilpad.ini")"
printf '%s\n' "$ini" | grep -q '^常に手前に表示=1' || e2e_fail "always on top was not kept: $ini"
echo "always on top written at close"

# 3. The conversions from the menu, over a zero byte and half-width kana.
printf 'a\0b\xb6\xde' > "$work/k.txt"
start_window '^\[k\.txt\] - ' "$(qwil_windows_path "$work/k.txt")"
keys ctrl+a ctrl+u
save_expect "$work/k.txt" "41 00 42 b6 de" "upper case over a zero byte"
keys ctrl+a alt+c k f
shot commands-kana
save_expect "$work/k.txt" "41 00 42 83 4b" "ｶﾞ to full-width katakana from the menu"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
echo "the commands' keys work"
