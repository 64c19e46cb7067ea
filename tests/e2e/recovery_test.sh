#!/bin/bash
# Nothing typed is lost when Qwilpad is ended the hard way: a file is opened,
# typed into, and once its recovery file is there (within six seconds) the
# process is killed (kill -9 of its Wine process); the next start asks whether to restore it, Yes shows the typed
# text with " *" in the title, and Ctrl+S writes it to the original path. The
# same with an untitled document, saved through the save dialog. After a
# normal close nothing is asked at the next start.
# Usage: recovery_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin recovery
program="$(e2e_program_copy "$exe" "$E2E_OUT/recovery-program")"
work="$E2E_OUT/recovery-files"
recovery="$(e2e_recovery_dir)"
rm -rf "$work"
mkdir -p "$work"

start_window() {
  local title="$1"
  shift
  e2e_start_window "$title" "$program" "$@"
}

expect_bytes() { e2e_wait_bytes "$1" "$2" 0 || e2e_fail "the saved bytes"; }

recovery_files() { find "$recovery" -maxdepth 1 -type f -name 'qwilpad-*' 2>/dev/null | wc -l; }

# A recovery file is there within six seconds of the last key (the program
# writes one four seconds after the first unsaved change).
recovery_written() {
  has_recovery_file() { [ "$(recovery_files)" -ge 1 ]; }
  e2e_until 6 has_recovery_file
}

# The Unix process of the window: the X property Wine sets, else the process
# whose command line names this test's copy of the program.
program_pid() {
  local pid proc
  pid="$(xdotool getwindowpid "$wid" 2>/dev/null)"
  if [ -n "$pid" ] && [ "$pid" != 0 ]; then
    printf '%s\n' "$pid"
    return 0
  fi
  for proc in /proc/[0-9]*; do
    if tr '\0' ' ' < "$proc/cmdline" 2>/dev/null | grep -q 'recovery-program.Qwilpad\.exe'; then
      printf '%s\n' "${proc#/proc/}"
      return 0
    fi
  done
  return 1
}

# Once the recovery file is there the process is killed.
kill_after_typing() {
  recovery_written || e2e_fail "no recovery file six seconds after typing"
  local pid
  pid="$(program_pid)" || e2e_fail "no process of the window"
  kill -9 "$pid" || e2e_fail "cannot kill process $pid"
  e2e_wait_exit 30 >/dev/null || e2e_fail "the killed program did not end"
  echo "killed process $pid, $(recovery_files) recovery file(s) left"
}

# Starts the program, which must ask; Yes.
restart_and_restore() {
  start_window '.'
  question="$(e2e_find_window '^Qwilpad$' 20)" || e2e_fail "no restore question at the next start"
  e2e_shot "$1"
  e2e_focus "$question"
  xdotool key --clearmodifiers y
}

# 1. A named file.
printf 'first\r\nline' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
titlepath="$(printf '%s' "$winpath" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
start_window "^\\[a\\.txt\\] - ${titlepath}\$" "$winpath"
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 80 ' typed'
e2e_wait_title "$wid" "^\\[a\\.txt \\*\\] - ${titlepath}\$" >/dev/null || e2e_fail "no modified mark after typing"
kill_after_typing
expect_bytes "$work/a.txt" "66 69 72 73 74 0d 0a 6c 69 6e 65"
restart_and_restore recovery-question
e2e_wait_title "$wid" "^\\[a\\.txt \\*\\] - ${titlepath}\$" >/dev/null || e2e_fail "the restored document's title"
e2e_shot recovery-restored
e2e_focus "$wid"
xdotool key --clearmodifiers ctrl+s
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${titlepath}\$" >/dev/null || e2e_fail "the mark stayed after Ctrl+S"
expect_bytes "$work/a.txt" "66 69 72 73 74 0d 0a 6c 69 6e 65 20 74 79 70 65 64"
[ "$(recovery_files)" = 0 ] || e2e_fail "a recovery file stayed after the save"
echo "the typed text came back and Ctrl+S wrote it to $winpath"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"

# 2. An untitled document.
start_window '^\[無題\.txt\] - $'
xdotool key shift  # xdotool drops the first non-ASCII key of a session
xdotool type --delay 150 'かな'
xdotool type --delay 80 ' abc'
e2e_wait_title "$wid" '^\[無題\.txt \*\] - $' >/dev/null || e2e_fail "no modified mark on the untitled document"
kill_after_typing
restart_and_restore recovery-untitled-question
e2e_wait_title "$wid" '^\[無題\.txt \*\] - $' >/dev/null || e2e_fail "the restored untitled document's title"
e2e_shot recovery-untitled-restored
e2e_focus "$wid"
xdotool key --clearmodifiers ctrl+s
dialog="$(e2e_find_window '^名前を付けて保存$' 20)" || e2e_fail "Ctrl+S showed no save dialog"
e2e_focus "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 40 "$(qwil_windows_path "$work/kana.txt")"
xdotool key --clearmodifiers Return
kanapath="$(qwil_windows_path "$work/kana.txt" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
e2e_wait_title "$wid" "^\\[kana\\.txt\\] - ${kanapath}\$" >/dev/null || e2e_fail "the saved document's title"
expect_bytes "$work/kana.txt" "82 a9 82 c8 20 61 62 63"
echo "the untitled text came back as 82 A9 82 C8 20 61 62 63"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"

# 3. A normal close: No to the save question, and nothing is asked next time.
start_window '^\[無題\.txt\] - $'
xdotool type --delay 80 'dropped'
recovery_written || e2e_fail "no recovery file while modified"
e2e_close "$wid"
question="$(e2e_find_window '^無題\.txt$' 20)" || e2e_fail "no save question"
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key --clearmodifiers n
rc="$(e2e_wait_exit 60)" || e2e_fail "No did not close the window"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
[ "$(recovery_files)" = 0 ] || e2e_fail "the recovery file stayed after a normal close"
start_window '^\[無題\.txt\] - $'
if e2e_find_window '^Qwilpad$' 4 >/dev/null 2>&1; then
  e2e_fail "a question at the start after a normal close"
fi
e2e_shot recovery-clean-start
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
echo "nothing asked after a normal close"
