#!/bin/bash
# The editor in Qwilpad.exe as a user meets it: a file named on the command line
# is shown, and what is typed with xdotool (ASCII, kana, Return, Backspace, over
# a selection made with Shift) lands where the caret keys put it. The typed window and a window showing a file that
# holds the expected text must look exactly the same, pixel for pixel.
# Usage: editor_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin editor
exe="$(e2e_program_copy "$exe" "$E2E_OUT/editor-program")"

# What the keys below must produce, as the file's bytes (code page 932).
expected="$E2E_OUT/editor-expected.txt"
printf 'AxyzB\xe3\x81\x82C\xe3\x81\x84\r\n2n' | iconv -f UTF-8 -t CP932 > "$expected" ||
  e2e_fail "cannot write $expected"

# A click on the desktop beside the window takes the focus away, and the caret
# with it, so that its blinking cannot make two pictures differ.
unfocus() {
  local desktop
  desktop="$(xdotool search --onlyvisible --name "^$E2E_DESKTOP - " 2>/dev/null | head -n 1)"
  [ -n "$desktop" ] || e2e_fail "no virtual desktop window"
  xdotool mousemove --window "$desktop" 1010 750 click 1
  e2e_wait_idle
}

# The editor's text area, cropped from a screenshot of the desktop: the title
# and the status bar name the document and the caret, which differ between a
# typed and a loaded document; the text must not.
window_picture() {
  local shot="$E2E_OUT/$1.png" out="$E2E_OUT/$1-window.png"
  e2e_screenshot "$shot" || e2e_fail "no screenshot"
  e2e_crop_editor "$shot" "$wid" "$out" || e2e_fail "cannot crop $shot"
  echo "screenshot: $shot" >&2
  printf '%s\n' "$out"
}

# A click on the title bar gives the window the focus back before Alt+F4; a
# typed document is given up with No to the save question (captioned with the
# untitled document's name).
close_window() {
  xdotool mousemove --window "$wid" 200 10 click 1
  e2e_wait_idle
  e2e_close "$wid"
  if [ "${1:-}" = modified ]; then
    local question
    question="$(e2e_find_window '^無題\.txt$' 20)" || e2e_fail "no save question for the typed document"
    xdotool windowfocus --sync "$question" 2>/dev/null || true
    xdotool key --clearmodifiers n
  fi
  local rc
  rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
  [ "$rc" = 0 ] || e2e_fail "exit code $rc"
}

# Dark pixels (the text colour is black on white) in a band of the picture.
ink_in() {
  convert "$1" -crop "$2" +repage -threshold 50% -negate -format '%[fx:int(mean*w*h+0.5)]' info:
}

# 1. The file on the command line is shown: its two lines have ink, below them
#    the editor is empty.
e2e_start_window . "$exe" "$expected"
unfocus
shown="$(window_picture editor-file)"
# The text starts below the title and menu bars; rows of the default font are
# 16 pixels high.
ink1="$(ink_in "$shown" 200x14+0+0)"
ink2="$(ink_in "$shown" 200x14+0+16)"
ink3="$(ink_in "$shown" 600x200+0+45)"
echo "ink: line 1 $ink1, line 2 $ink2, below $ink3"
[ "$ink1" -gt 20 ] || e2e_fail "the first line of the file is not shown"
[ "$ink2" -gt 5 ] || e2e_fail "the second line of the file is not shown"
[ "$ink3" -eq 0 ] || e2e_fail "something is drawn below the file's two lines"
close_window

# 2. Typing into an empty document, with the caret moved by keys in between.
e2e_start_window . "$exe"
xdotool key shift  # xdotool drops the first non-ASCII key of a session
xdotool type --delay 80 'xyz'
xdotool key Home
xdotool type --delay 80 'A'
xdotool key End
xdotool type --delay 80 'B'
xdotool type --delay 150 'あい'
xdotool key Left
xdotool type --delay 80 'C'
xdotool key End Return
xdotool type --delay 80 '2nd'
xdotool key shift+Left
xdotool type --delay 80 'X'
xdotool key ctrl+Home ctrl+End BackSpace
e2e_wait_idle
unfocus
typed="$(window_picture editor-typed)"
close_window modified

differ="$(compare -metric AE "$typed" "$shown" "$E2E_OUT/editor-diff.png" 2>&1)"
echo "pixels that differ between the typed and the loaded text: $differ"
[ "$differ" = 0 ] || e2e_fail "the typed text does not look like the file (see $E2E_OUT/editor-diff.png)"
echo "the typed text is the expected text"
