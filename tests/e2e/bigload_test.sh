#!/bin/bash
# A large file named on the command line: the window shows while the file
# loads, its title saying which file is being opened and how far the load has
# come (a screenshot while it loads, one after). Escape during a second load
# keeps the document that was open, unmodified, and saving it writes the
# bytes it had.
# Usage: bigload_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin bigload
exe="$(e2e_program_copy "$exe" "$E2E_OUT/bigload-program")"
data="$E2E_OUT/bigload-data"
mkdir -p "$data"
big="$data/big.txt"
small="$data/small.txt"
# Large enough to take a few seconds under Wine (QWIL_E2E_BIG_MB sets another size).
bytes=$(( ${QWIL_E2E_BIG_MB:-256} << 20 ))
line="$(printf '大きな文書の一行です。 Qwilpad 0123456789\r' | iconv -f UTF-8 -t CP932)"
{ yes "$line" || true; } | head -c "$bytes" > "$big" || e2e_fail "cannot write $big"
printf 'small text\r\nsecond line\r\n' > "$small"
cp "$small" "$data/small.orig"

e2e_start "$exe" "$(qwil_windows_path "$big")"
wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
shown="$(e2e_wait_title "$wid" 'big\.txt を開いています\.\.\. [0-9]+%' 30)" ||
  e2e_fail "the title told nothing of the load"
e2e_screenshot "$E2E_OUT/bigload-loading.png" || e2e_fail "no screenshot"
echo "while loading: $shown"
e2e_wait_title "$wid" '^\[big\.txt\] - ' 180 >/dev/null || e2e_fail "the file was not opened"
e2e_screenshot "$E2E_OUT/bigload-loaded.png" || e2e_fail "no screenshot"

# The open dialog (Ctrl+O) with a file's whole name typed in.
open_file() {
  local dialog
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+o
  dialog="$(e2e_find_window '^ファイルを開く$' 30)" || e2e_fail "no open dialog"
  xdotool windowfocus --sync "$dialog" 2>/dev/null || true
  xdotool type --delay 20 "$(qwil_windows_path "$1")"
  xdotool key Return
}

open_file "$small"
e2e_wait_title "$wid" '^\[small\.txt\] - ' 30 >/dev/null || e2e_fail "small.txt was not opened"
open_file "$big"
e2e_wait_title "$wid" 'big\.txt を開いています' 30 >/dev/null || e2e_fail "the second load showed no progress"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
xdotool key Escape
# A load that went on would title the window for big.txt; a modified document
# would carry the mark.
e2e_wait_title "$wid" '^\[small\.txt\] - ' 30 >/dev/null || e2e_fail "Escape did not give small.txt back"
echo "after Escape: $(xdotool getwindowname "$wid")"

# Saving writes the text as it was: the file is replaced (a new inode) with
# the same bytes.
inode="$(stat -c %i "$small")"
xdotool key --clearmodifiers ctrl+s
for _ in $(seq 1 80); do
  [ "$(stat -c %i "$small" 2>/dev/null)" != "$inode" ] && break
  sleep 0.25
done
[ "$(stat -c %i "$small" 2>/dev/null)" != "$inode" ] || e2e_fail "Ctrl+S did not save small.txt"
cmp -s "$small" "$data/small.orig" || e2e_fail "small.txt was saved with other bytes"
echo "saved small.txt: bytes unchanged"

e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
echo "closed: exit code 0"
rm -f "$big"
