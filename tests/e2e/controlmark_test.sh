#!/bin/bash
# Bytes that code page 932 has no character for, as Qwilpad.exe shows them: the
# NUL of "nul\0byte" is a small mark in its own cell, in the end-of-file mark's
# colour, and the rest of the line looks exactly like "nul byte" (the "b" behind
# it is whole, nothing of the mark reaches out of its cell); 0x1A, 0x80, 0xA0,
# 0xFD to 0xFF, 0x01 and 0x7F get the mark too, each in its cell, never a glyph.
# Usage: controlmark_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin controlmark
exe="$(e2e_program_copy "$exe" "$E2E_OUT/controlmark-program")"
# The marks' colour, which nothing else on the desktop has: magenta.
mark="#C800C8"
printf '[テキストの配色]\r\nファイル終端記号色=C800C8\r\n' | iconv -f UTF-8 -t CP932 > "$(dirname "$exe")/qwilpad.ini" ||
  e2e_fail "cannot write the settings"
doc="$E2E_OUT/controlmark-program/controls.txt"
printf 'nul\000byte\r\nnul byte\r\n\032\200\240\375\376\377\001\177' > "$doc" || e2e_fail "cannot write $doc"
bytes_before="$(od -An -tx1 "$doc")"

e2e_start_window '^\[controls\.txt\] - ' "$exe" "$doc"
# The caret goes with the focus, so that it cannot stand in a cell looked at.
desktop="$(xdotool search --onlyvisible --name "^$E2E_DESKTOP - " 2>/dev/null | head -n 1)"
[ -n "$desktop" ] || e2e_fail "no virtual desktop window"
xdotool mousemove --window "$desktop" 1010 750 click 1
shot="$E2E_OUT/controlmark.png"
e2e_screenshot "$shot" || e2e_fail "no screenshot"
echo "screenshot: $shot"

# The marks' colour bounds the NUL's mark above and line 3's first mark on the
# left: each stands one pixel right of its cell's left edge and a quarter of the
# 16-pixel row below its top (the default font's cells are 8 x 16).
box="$(convert "$shot" -fill black +opaque "$mark" -fill white -opaque "$mark" -format '%@' info:)"
[[ "$box" =~ ^[1-9][0-9]*x[1-9][0-9]*\+([0-9]+)\+([0-9]+)$ ]] || e2e_fail "no mark in the marks' colour (see $shot)"
left=$((BASH_REMATCH[1] - 1))
top=$((BASH_REMATCH[2] - 4))
echo "the marks span $box: line 1 starts at ($left, $top)"

# Row 1 ("nul\0byte") and row 2 ("nul byte"), eight cells each, with the fourth
# cell painted over: what is left must be the same pixels.
row() { convert "$shot" -crop "64x16+$left+$(($top + 16 * $1))" +repage "$2"; }
row 0 "$E2E_OUT/controlmark-row1.png"
row 1 "$E2E_OUT/controlmark-row2.png"
for r in 1 2; do
  convert "$E2E_OUT/controlmark-row$r.png" -fill white -draw 'rectangle 24,0 31,15' \
    "$E2E_OUT/controlmark-row$r-masked.png" || e2e_fail "cannot mask row $r"
done
differ="$(compare -metric AE "$E2E_OUT/controlmark-row1-masked.png" "$E2E_OUT/controlmark-row2-masked.png" \
  "$E2E_OUT/controlmark-diff.png" 2>&1)"
echo "pixels outside the NUL's cell that differ from \"nul byte\": $differ"
[ "$differ" = 0 ] || e2e_fail "the NUL reaches beyond its cell (see $E2E_OUT/controlmark-diff.png)"

# Pixels of a colour in cell (column, row): that colour becomes white through a
# colour of its own, everything else black.
count_in() {
  convert "$shot" -crop "8x16+$(($left + 8 * $1))+$(($top + 16 * $2))" +repage \
    -fill '#123456' -opaque "$3" -fill black +opaque '#123456' -fill white -opaque '#123456' \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
[ "$(count_in 3 0 "$mark")" -gt 10 ] || e2e_fail "the NUL's cell shows no mark"
[ "$(count_in 3 0 '#000000')" = 0 ] || e2e_fail "the NUL is drawn as text"
[ "$(count_in 3 1 "$mark")" = 0 ] || e2e_fail "the space got a mark"
for k in 0 1 2 3 4 5 6 7; do
  [ "$(count_in "$k" 2 "$mark")" -gt 10 ] || e2e_fail "byte $((k + 1)) of line 3 shows no mark"
  [ "$(count_in "$k" 2 '#000000')" = 0 ] || e2e_fail "byte $((k + 1)) of line 3 is drawn as text"
done
echo "every byte without a character shows the mark in its own cell"

xdotool mousemove --window "$wid" 200 10 click 1
e2e_wait_idle
e2e_close "$wid"
rc="$(e2e_wait_exit 60)" || e2e_fail "Qwilpad.exe did not end"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
[ "$(od -An -tx1 "$doc")" = "$bytes_before" ] || e2e_fail "the file's bytes changed"
echo "the file is as it was"
