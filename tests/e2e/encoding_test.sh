#!/bin/bash
# A UTF-8 file in Qwilpad.exe as a user meets it: it opens read-only, so what is
# typed goes nowhere and Ctrl+S is refused with a message, the file keeping its
# bytes; File > "Shift_JIS に変換して開き直す" lists the character code page 932
# cannot hold, the user lets it become "?" and keeps the file's name, and Ctrl+S
# then writes the text in Shift_JIS.
# Usage: encoding_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin encoding
exe="$(e2e_program_copy "$exe" "$E2E_OUT/encoding-program")"
dir="$E2E_OUT/encoding-files"
rm -rf "$dir" && mkdir -p "$dir" || e2e_fail "cannot make $dir"
file="$dir/utf8.txt"
original="$dir/original.txt"
expected="$dir/expected.txt"
printf '日本語のメモ\r\nsmile \xf0\x9f\x98\x80 end' > "$original"
cp "$original" "$file"
printf '日本語のメモ\r\nsmile ? end' | iconv -f UTF-8 -t CP932 > "$expected" || e2e_fail "cannot write $expected"

# Waits up to S seconds for the file to hold exactly the bytes of another.
wait_bytes() {
  local got="$1" want="$2" seconds="${3:-20}"
  for _ in $(seq 1 $((seconds * 4))); do
    cmp -s "$got" "$want" && return 0
    sleep 0.25
  done
  return 1
}

# Answers the message box captioned CAPTION with KEY and waits until that box
# is gone (the next question may have the same caption).
answer() {
  local caption="$1" key="$2" box
  box="$(e2e_find_window "^$caption\$" 20)" || e2e_fail "no message box \"$caption\""
  xdotool windowfocus --sync "$box" 2>/dev/null || true
  xdotool key --clearmodifiers "$key"
  for _ in $(seq 1 40); do
    xdotool search --onlyvisible --name "^$caption\$" 2>/dev/null | grep -qx "$box" || return 0
    sleep 0.25
  done
  e2e_fail "the message box \"$caption\" stayed"
}

e2e_start "$exe" "$file"
wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
e2e_wait_title "$wid" '^\[utf8\.txt\] - ' >/dev/null || e2e_fail "the file was not opened"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key shift  # xdotool drops the first non-ASCII key of a session
xdotool type --delay 80 'typed'
xdotool key ctrl+s
answer 'Shift_JIS 以外のファイル' Return
cmp -s "$file" "$original" || e2e_fail "the UTF-8 file was changed"
name="$(xdotool getwindowname "$wid")"
[[ "$name" == *" *]"* ]] && e2e_fail "typing into the read-only document modified it"
e2e_screenshot "$E2E_OUT/encoding-readonly.png" || e2e_fail "no screenshot"
echo "screenshot: $E2E_OUT/encoding-readonly.png"

# File > the conversion (its key is J); the list first, then the name.
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key --clearmodifiers j
answer 'Shift_JIS に変換して開き直す' y
answer 'Shift_JIS に変換して開き直す' y
e2e_wait_title "$wid" '^\[utf8\.txt \*\] - ' >/dev/null || e2e_fail "the converted document is not the file's, modified"
cmp -s "$file" "$original" || e2e_fail "the conversion wrote the file before any save"
e2e_screenshot "$E2E_OUT/encoding-converted.png" || e2e_fail "no screenshot"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key --clearmodifiers ctrl+s
wait_bytes "$file" "$expected" || e2e_fail "the saved file is not the text in Shift_JIS: $(od -An -tx1 "$file" | head -n 3)"
echo "saved in Shift_JIS"

e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
echo "encoding: ok"
