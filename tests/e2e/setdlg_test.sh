#!/bin/bash
# The settings dialogs as a user reaches them: the Settings menu's display
# settings item (Alt+O, V) takes a tab width of 4 and OK writes it into the
# settings file at once; the settings item (Alt+O, S) takes the date format
# %04Y; the key assignment item (Alt+O, K) binds Ctrl+Shift+H to copy and OK
# writes the key file. Closing the program keeps both in the file; the display settings are
# shot once more after a restart. Screenshots of each dialog under build/e2e/.
# Usage: setdlg_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin setdlg
program="$(e2e_program_copy "$exe" "$E2E_OUT/setdlg-program")"
ini="$E2E_OUT/setdlg-program/qwilpad.ini"

start_window() {
  e2e_start "$program"
  wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
  e2e_wait_title "$wid" '^\[無題\.txt\] - $' >/dev/null || e2e_fail "the title of the started window"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  sleep 0.5
}

shot() {
  e2e_screenshot "$E2E_OUT/$1.png" || e2e_fail "no screenshot"
  echo "screenshot: $E2E_OUT/$1.png"
}

# The settings file holds the line (CR LF ended, code page 932) in its section.
ini_has() {
  local section="$1" line="$2"
  [ -f "$ini" ] || return 1
  iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r' |
    awk -v s="[$section]" -v l="$line" '$0 ~ /^\[/ {in_s = ($0 == s)} in_s && $0 == l {found = 1} END {exit !found}' &&
    grep -q $'\r$' "$ini"
}

# Opens a dialog from the Settings menu by its access key; sets dlg.
open_dialog() {
  local key="$1" title="$2"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  xdotool key --clearmodifiers alt+o
  sleep 0.5
  xdotool key "$key"
  dlg="$(e2e_find_window "^$title\$" 20)" || e2e_fail "no dialog titled $title"
  xdotool windowfocus --sync "$dlg" 2>/dev/null || true
  sleep 0.5
}

start_window
rm -f "$ini"

# 1. Display settings: the tab width field has the focus, its text selected.
open_dialog v "表示の設定"
xdotool key --clearmodifiers ctrl+a BackSpace
xdotool type --delay 80 '4'
shot setdlg-display
xdotool key --clearmodifiers Return
sleep 1
xdotool getwindowname "$dlg" >/dev/null 2>&1 && e2e_fail "OK left the display settings open"
ini_has Qwil "タブ幅=4" || e2e_fail "OK did not write タブ幅=4"
echo "display settings: タブ幅=4 written at OK"

# 2. Settings: the date format is the second field (after the folder and its button).
open_dialog s "設定"
xdotool key --clearmodifiers Tab Tab ctrl+a BackSpace
xdotool type --delay 80 '%04Y'
sleep 1
shot setdlg-settings
xdotool key --clearmodifiers Return
sleep 1
ini_has "日時の書式" '0="%04Y"' || e2e_fail "OK did not write the date format"
ini_has "日時の書式" "書式数=1" || e2e_fail "no 書式数=1"
echo "settings: 0=\"%04Y\" written at OK"

# 2b. Key assignment (Alt+O, K): Ctrl+Shift+H in the hot-key control, コピー
# picked from the command list (the twelfth name), Enter presses the default
# 追加; OK (the fourth stop after the hot-key control) writes the key file.
open_dialog k "キーの割り当て"
xdotool key --clearmodifiers ctrl+shift+h
sleep 0.3
xdotool key --clearmodifiers Tab Tab
for _ in $(seq 1 11); do xdotool key --clearmodifiers Down; done
xdotool key --clearmodifiers Return
sleep 0.5
e2e_wait_title "$dlg" '^キーの割り当て \*$' >/dev/null || e2e_fail "追加 did not mark the dialog changed"
shot setdlg-keyassign
xdotool key --clearmodifiers Tab Tab Tab Tab space
sleep 1
xdotool getwindowname "$dlg" >/dev/null 2>&1 && e2e_fail "OK left the key assignment open"
keyfile="$E2E_OUT/setdlg-program/qwilpad.key"
[ -f "$keyfile" ] || e2e_fail "OK wrote no key file"
expected="$(printf '[キー割り当て]\r\n00000348=コピー\r\n' | iconv -f UTF-8 -t CP932 | od -An -tx1)"
actual="$(od -An -tx1 "$keyfile")"
[ "$expected" = "$actual" ] || e2e_fail "the key file holds: $actual"
echo "key assignment: 00000348=コピー written at OK"

# 3. Closing keeps both; a restart shows the tab width again.
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
ini_has Qwil "タブ幅=4" || e2e_fail "the close lost タブ幅=4"
ini_has "日時の書式" '0="%04Y"' || e2e_fail "the close lost the date format"
start_window
open_dialog v "表示の設定"
shot setdlg-display-again
xdotool key --clearmodifiers Escape
sleep 0.5
e2e_close "$wid"
e2e_wait_exit 60 >/dev/null || e2e_fail "Qwilpad.exe did not end the second time"
ini_has Qwil "タブ幅=4" || e2e_fail "the second close changed the tab width"
echo "both kept across a restart"
e2e_end
