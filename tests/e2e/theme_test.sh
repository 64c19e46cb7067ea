#!/bin/bash
# Qwilpad on a dark desktop: with the app theme dark (HKCU\Software\Microsoft\
# Windows\CurrentVersion\Themes\Personalize, AppsUseLightTheme = 0) and no
# colours of the user's own, a file opened shows light text on a dark editor
# (build/e2e/theme-dark.png, checked pixel by pixel), and the close pins no
# colours in the settings file. The theme goes back to what it was afterwards,
# whatever happened.
# Usage: theme_test.sh QWILPAD_EXE
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin theme
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
old="$(e2e_reg_dword "$key" AppsUseLightTheme)"
finish() {
  e2e_reg_put "$key" AppsUseLightTheme "$old"
  e2e_end
}
trap finish EXIT
e2e_reg_put "$key" AppsUseLightTheme 0 || e2e_fail "cannot set AppsUseLightTheme"
[ "$(e2e_reg_dword "$key" AppsUseLightTheme)" = 0 ] || e2e_fail "AppsUseLightTheme did not become 0"

exe="$(e2e_program_copy "$exe" "$E2E_OUT/theme-program")"
doc="$E2E_OUT/theme-doc.txt"
printf 'Qwilpad on a dark desktop\r\n暗い画面でも読める文字\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789\r\n' |
  iconv -f UTF-8 -t CP932 > "$doc" || e2e_fail "cannot write $doc"
e2e_start "$exe" "$(qwil_windows_path "$doc")"
wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
e2e_wait_title "$wid" 'theme-doc\.txt' >/dev/null || e2e_fail "the file was not opened"

shot="$E2E_OUT/theme-dark.png"
editor="$E2E_OUT/theme-dark-editor.png"
e2e_screenshot "$shot" || e2e_fail "no screenshot"
echo "screenshot: $shot"
e2e_crop_editor "$shot" "$wid" "$editor" || e2e_fail "cannot crop $shot"
# The editor is mostly background: its mean brightness is that of the
# background. The text is the light pixels, in the three lines of the file
# (16 pixels each in the default font).
mean="$(convert "$editor" -colorspace Gray -format '%[fx:mean]' info:)"
light_in() {
  convert "$editor" -crop "$1" +repage -colorspace Gray -threshold 60% -format '%[fx:int(mean*w*h+0.5)]' info:
}
text="$(light_in 600x48+0+0)"
below="$(light_in 600x200+0+64)"
echo "editor: mean brightness $mean, light pixels in the text $text, below it $below"
awk -v m="$mean" 'BEGIN { exit !(m < 0.2) }' || e2e_fail "the editor's background is not dark (mean $mean)"
[ "$text" -gt 200 ] || e2e_fail "no light text in the editor ($text light pixels)"
[ "$below" -eq 0 ] || e2e_fail "light pixels below the text: the background is not one dark colour"

e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
ini="$E2E_OUT/theme-program/qwilpad.ini"
[ -f "$ini" ] || e2e_fail "no settings file was written"
if iconv -f CP932 -t UTF-8 "$ini" | grep -qE '^(文字色|背景色)='; then
  e2e_fail "the theme's colours were written into $ini as if the user had chosen them"
fi
echo "dark editor, light text; no colours pinned in the settings file"
