#!/bin/bash
# Qwilpad.exe as a user works with it: a file named on the command line is shown
# with its name in the title, an edit marks the title, Ctrl+S saves with CR LF
# between the lines and clears the mark, typed kana are saved as their Shift_JIS
# bytes through the save dialog, and Alt+F4 on a modified document asks first:
# Cancel keeps the window, No closes it (exit code 0) with the file as it was,
# Yes on an untitled document shows the save dialog, and cancelling that keeps
# the window. Started from a folder that cannot be written, the program keeps
# its settings in %APPDATA%\Qwilpad and reads them back at the next start.
# Usage: mainwin_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin mainwin
program="$(e2e_program_copy "$exe" "$E2E_OUT/mainwin-program")"
work="$E2E_OUT/mainwin-files"
rm -rf "$work"
mkdir -p "$work"

# Starts the program and sets wid to its main window once its title matches.
start_window() {
  local title="$1"
  shift
  e2e_start_window "$title" "$program" "$@"
}

# A window whose title is exactly TEXT (the save question's caption is the
# document's name, the save dialog's its title).
wait_dialog() {
  local text="$1" regex
  regex="^$(printf '%s' "$text" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$"
  e2e_find_window "$regex" 20
}

expect_bytes() { e2e_wait_bytes "$1" "$2" 0 || e2e_fail "the saved bytes"; }

# 1. The command-line file, an edit at its end and Ctrl+S.
printf 'a\nb\rc\r\nd' > "$work/a.txt"
winpath="$(qwil_windows_path "$work/a.txt")"
titlepath="$(printf '%s' "$winpath" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
start_window "^\\[a\\.txt\\] - ${titlepath}\$" "$winpath"
e2e_shot mainwin-file
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 80 'X'
e2e_wait_title "$wid" "^\\[a\\.txt \\*\\] - ${titlepath}\$" >/dev/null || e2e_fail "no modified mark after typing"
xdotool key --clearmodifiers ctrl+s
e2e_wait_title "$wid" "^\\[a\\.txt\\] - ${titlepath}\$" >/dev/null || e2e_fail "the mark stayed after Ctrl+S"
expect_bytes "$work/a.txt" "61 0d 0a 62 0d 0a 63 0d 0a 64 58"
echo "saved with CR LF between the lines, the mark gone"

# 2. Alt+F4 on a modified document: Cancel, then No.
xdotool type --delay 80 'Y'
e2e_wait_title "$wid" '\*\]' >/dev/null || e2e_fail "no modified mark"
e2e_close "$wid"
question="$(wait_dialog "$winpath")" || e2e_fail "no save question captioned with the document's name"
e2e_shot mainwin-question
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key --clearmodifiers Escape
e2e_wait_gone "^$(printf '%s' "$winpath" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$" 5
e2e_wait_idle
xdotool getwindowname "$wid" >/dev/null 2>&1 || e2e_fail "Cancel closed the window"
[ -s "$E2E_OUT/mainwin.rc" ] && e2e_fail "the program ended after Cancel"
echo "Cancel keeps the window"
e2e_focus "$wid"
e2e_close "$wid"
question="$(wait_dialog "$winpath")" || e2e_fail "no save question the second time"
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key --clearmodifiers n
rc="$(e2e_wait_exit 60)" || e2e_fail "No did not close the window"
[ "$rc" = 0 ] || e2e_fail "exit code $rc after No"
expect_bytes "$work/a.txt" "61 0d 0a 62 0d 0a 63 0d 0a 64 58"
echo "No closes with exit code 0 and leaves the file as it was"

# 3. An untitled document: kana typed and saved through the save dialog; then
#    Yes to the question and the save dialog cancelled keeps the window.
start_window '^\[無題\.txt\] - $'
xdotool key shift  # xdotool drops the first non-ASCII key of a session
xdotool type --delay 150 'あいう'
e2e_wait_title "$wid" '^\[無題\.txt \*\] - $' >/dev/null || e2e_fail "no modified mark on the untitled document"
xdotool key --clearmodifiers ctrl+s
dialog="$(wait_dialog '名前を付けて保存')" || e2e_fail "Ctrl+S on an untitled document showed no save dialog"
e2e_shot mainwin-savedialog
e2e_focus "$dialog"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 40 "$(qwil_windows_path "$work/kana.txt")"
xdotool key --clearmodifiers Return
kanapath="$(qwil_windows_path "$work/kana.txt" | sed 's/[][\\.^$*+?(){}|]/\\&/g')"
e2e_wait_title "$wid" "^\\[kana\\.txt\\] - ${kanapath}\$" >/dev/null || e2e_fail "the saved document's title"
expect_bytes "$work/kana.txt" "82 a0 82 a2 82 a4"
echo "あいう saved as 82 A0 82 A2 82 A4"
xdotool key --clearmodifiers ctrl+n
e2e_wait_title "$wid" '^\[無題\.txt\] - $' >/dev/null || e2e_fail "Ctrl+N gave no untitled document"
xdotool type --delay 80 'unsaved'
e2e_close "$wid"
question="$(wait_dialog '無題.txt')" || e2e_fail "no save question for the untitled document"
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key --clearmodifiers y
dialog="$(wait_dialog '名前を付けて保存')" || e2e_fail "Yes showed no save dialog"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool key --clearmodifiers Escape
e2e_wait_gone '^名前を付けて保存$' 5
e2e_wait_idle
[ -s "$E2E_OUT/mainwin.rc" ] && e2e_fail "cancelling the save dialog closed the program"
xdotool getwindowname "$wid" >/dev/null 2>&1 || e2e_fail "the window went"
echo "Yes and a cancelled save dialog keep the window"
xdotool windowfocus --sync "$wid" 2>/dev/null || true
e2e_close "$wid"
question="$(wait_dialog '無題.txt')" || e2e_fail "no save question at the last close"
xdotool windowfocus --sync "$question" 2>/dev/null || true
xdotool key --clearmodifiers n
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"

# 4. A program folder nobody may write in: the settings go to the user's folder
#    and are read from there at the next start.
if [ -z "${QWIL_MOUNT_DIR:-}" ] || [ "$(cat "$QWIL_MOUNT_DIR/status" 2>/dev/null)" != ready ]; then
  e2e_fail "no read-only folder to start the program from: $(cat "${QWIL_MOUNT_DIR:-.}/status" 2>/dev/null)"
fi
rm -f "$QWIL_MOUNT_DIR/ro.src/Qwilpad.exe"
cp "$program" "$QWIL_MOUNT_DIR/ro.src/" || e2e_fail "cannot put the program into the read-only folder"
program="$QWIL_MOUNT_DIR/ro/Qwilpad.exe"
user="$(e2e_user_settings_dir)"
start_window '^\[無題\.txt\] - $'
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program in the read-only folder did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
[ -f "$user/qwilpad.ini" ] || e2e_fail "no settings in $user"
[ -e "$QWIL_MOUNT_DIR/ro/qwilpad.ini" ] && e2e_fail "settings beside a program that cannot have them"
echo "settings written to $user/qwilpad.ini"
# A size chosen by the user, as the settings file keeps it.
iconv -f CP932 -t UTF-8 "$user/qwilpad.ini" |
  sed 's/^ウィンドウのＸ座標=.*/ウィンドウのＸ座標=30/; s/^ウィンドウのＹ座標=.*/ウィンドウのＹ座標=40/;
       s/^ウィンドウの横幅=.*/ウィンドウの横幅=520/; s/^ウィンドウの高さ=.*/ウィンドウの高さ=360/' |
  iconv -f UTF-8 -t CP932 > "$user/qwilpad.ini.new" && mv "$user/qwilpad.ini.new" "$user/qwilpad.ini"
start_window '^\[無題\.txt\] - $'
eval "$(xdotool getwindowgeometry --shell "$wid")"
e2e_shot mainwin-usersettings
echo "window read back at ${WIDTH}x${HEIGHT}"
[ "$WIDTH" = 520 ] && [ "$HEIGHT" = 360 ] || e2e_fail "the window is ${WIDTH}x${HEIGHT}, not the 520x360 of the user's settings"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "the program did not end"
rm -rf "$user" "$QWIL_MOUNT_DIR/ro.src/Qwilpad.exe"
echo "the settings of the user's folder were read back"
