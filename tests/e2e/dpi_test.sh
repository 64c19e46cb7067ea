#!/bin/bash
# Qwilpad on a display at 144 DPI (150 %), as Wine sets it: HKCU\Control
# Panel\Desktop, LogPixels. The Windows tests' live case checks the figures of a
# window made there (the editor's line height 1.5 times the 96-DPI one, the menu
# bar and the status bar big enough for their text); then the program itself
# opens a file and a screenshot shows text, menus and status bar at that size.
# The display goes back to 96 DPI afterwards, whatever happened.
# Usage: dpi_test.sh QWILPAD_EXE (the Windows tests' program lies beside it).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }
tests="$(dirname "$exe")/qwilwin_tests.exe"
[ -f "$tests" ] || { echo "no $tests beside $exe" >&2; exit 1; }

e2e_begin dpi
desktop='HKCU\Control Panel\Desktop'

finish() {
  e2e_reg_put "$desktop" LogPixels
  e2e_end
}
trap finish EXIT

e2e_reg_put "$desktop" LogPixels 144 || e2e_fail "cannot set LogPixels"
# The live case runs on Wine's default desktop, where reg.exe and the launcher
# of the previous test's virtual desktop ran just before. Wine closes a desktop a
# moment after its last program has ended, and a program that joins it just then
# can make no window at all. So the live case starts only once every Wine process
# of the prefix has ended, and gets a desktop of its own.
qwil_wine_settle 60
QWIL_EXPECT_DPI=144 wine "$tests" --gtest_filter='DpiLiveTest.*' --gtest_brief=1 >"$E2E_OUT/dpi-live.log" 2>&1 ||
  { cat "$E2E_OUT/dpi-live.log"; e2e_fail "the live case failed at 144 DPI"; }
grep -q 'SKIPPED\|Skipped' "$E2E_OUT/dpi-live.log" && { cat "$E2E_OUT/dpi-live.log"; e2e_fail "the live case did not run"; }
echo "at 144 DPI: line height 1.5 times, menu bar and status bar fit"

exe="$(e2e_program_copy "$exe" "$E2E_OUT/dpi-program")"
printf 'Qwilpad 144 DPI\r\n日本語のテキスト\r\n' | iconv -f UTF-8 -t CP932 > "$E2E_OUT/dpi-doc.txt"
e2e_start "$exe" "$(qwil_windows_path "$E2E_OUT/dpi-doc.txt")"
wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
e2e_wait_title "$wid" 'dpi-doc\.txt' >/dev/null || e2e_fail "the file was not opened"
shot="$E2E_OUT/dpi-144.png"
e2e_screenshot "$shot" || e2e_fail "no screenshot"
colours="$(convert "$shot" -format '%k' info:)"
[ "$colours" -gt 2 ] || e2e_fail "the screenshot $shot is blank"
echo "screenshot: $shot"
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
