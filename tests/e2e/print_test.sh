#!/bin/bash
# Printing from Qwilpad.exe as a user does it: a 120-line document opened from
# the command line, Ctrl+P, the print dialog confirmed with Enter, and the job
# goes to the PDF queue of the tree's own CUPS daemon (scripts/cups.sh, started
# by ctest). The PDF holds every line once, in order, as many to a page as fit
# on the first, on as many pages as that makes; the document and its file are
# unchanged and the window closes without a question afterwards.
# Usage: print_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

cups="${QWIL_CUPS_DIR:-}"
[ -n "$cups" ] || { echo "QWIL_CUPS_DIR is not set (run the tests through ctest)" >&2; exit 1; }
status="$(cat "$cups/status" 2>/dev/null)"
[[ "$status" == skip:* ]] && e2e_skip "no PDF printer on this machine: $status"
[ "$status" = ready ] || { echo "the PDF printer was not made: $status (see $cups/log)" >&2; exit 1; }
export CUPS_SERVER="$cups/cups.sock"

e2e_begin print
program="$(e2e_program_copy "$exe" "$E2E_OUT/print-program")"
work="$E2E_OUT/print-files"
rm -rf "$work"
mkdir -p "$work"

lines=120
line_text() {
  if [ "$1" -eq 1 ]; then printf '1行目: 印刷の始まり ABC'
  elif [ "$1" -eq "$lines" ]; then printf '%d行目: 最後の行 XYZ' "$1"
  else printf '%d行目' "$1"
  fi
}
for k in $(seq 1 $lines); do
  line_text "$k"
  if [ "$k" -lt "$lines" ]; then printf "\r\n"; fi
done | iconv -f UTF-8 -t CP932 > "$work/print.txt" || e2e_fail "cannot write the document"
cp "$work/print.txt" "$work/expected.txt"

before="$(ls "$cups/pdf" 2>/dev/null)"
winpath="$(qwil_windows_path "$work/print.txt")"
e2e_start_window '^\[print\.txt\] - ' "$program" "$winpath"

xdotool key --clearmodifiers ctrl+p
dialog="$(e2e_find_window '^印刷$' 30)" || e2e_fail "Ctrl+P showed no print dialog"
e2e_shot print-dialog
e2e_focus "$dialog"
xdotool key --clearmodifiers Return

# The new PDF, once the queue has finished with it and the file is whole
# (cups-pdf writes it under its final name: a whole PDF ends with %%EOF).
pdf=""
pdf_done() {
  pdf="$(ls "$cups/pdf" 2>/dev/null | grep -vxF -f <(printf '%s\n' "$before") | grep '\.pdf$' | head -n 1)"
  [ -n "$pdf" ] && [ -z "$(lpstat -o QwilPDF 2>/dev/null)" ] && tail -c 32 "$cups/pdf/$pdf" | grep -q '%%EOF'
}
e2e_until 60 pdf_done
[ -n "$pdf" ] || e2e_fail "no PDF came out of the queue ($(lpstat -W completed -o QwilPDF 2>&1 | tail -n 2))"
pdf="$cups/pdf/$pdf"
echo "printed: $pdf"

pages="$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')"
[ -n "$pages" ] || e2e_fail "pdfinfo cannot read $pdf"
# The document's lines of each page, spaces dropped (the PDF's text spaces glyphs
# as it likes).
page_lines() { pdftotext -enc UTF-8 -layout -f "$1" -l "$1" "$pdf" - | tr -d ' \f' | grep -v '^$'; }
per_page="$(page_lines 1 | wc -l)"
[ "$per_page" -gt 1 ] || e2e_fail "page 1 holds $per_page lines"
expected_pages=$(((lines + per_page - 1) / per_page))
[ "$pages" -eq "$expected_pages" ] ||
  e2e_fail "$pages pages for $lines lines of $per_page to a page (expected $expected_pages)"
[ "$pages" -gt 1 ] || e2e_fail "120 lines on one page: the font is not the print size"
: > "$work/printed.txt"
for p in $(seq 1 "$pages"); do
  n="$(page_lines "$p" | wc -l)"
  want=$per_page
  [ "$p" -eq "$pages" ] && want=$((lines - per_page * (pages - 1)))
  [ "$n" -eq "$want" ] || e2e_fail "page $p holds $n lines, expected $want"
  page_lines "$p" >> "$work/printed.txt"
done
for k in $(seq 1 $lines); do line_text "$k" | tr -d ' '; printf '\n'; done > "$work/lines.txt"
diff "$work/lines.txt" "$work/printed.txt" > "$work/diff.txt" || e2e_fail "the PDF's text is not the document's lines: $(head -n 6 "$work/diff.txt")"
echo "$pages pages of $per_page lines, every line in order, the first and the last whole"
# Never set in page setup, the margins are 25 mm (70.9 points) on every side; the
# queue's printable area starts at the paper's corner.
first="$(pdftotext -f 1 -l 1 -bbox "$pdf" - | sed -n 's/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)".*/\1 \2/p' | head -n 1)"
read -r fx fy <<< "$first"
awk -v x="$fx" -v y="$fy" 'BEGIN { exit !(x >= 69 && x <= 73 && y >= 66 && y <= 76) }' ||
  e2e_fail "the first line starts at ($first) points: not 25 mm from the corner"
echo "first line at ($first) points from the paper's corner"

cmp -s "$work/print.txt" "$work/expected.txt" || e2e_fail "printing changed the file"
e2e_wait_title "$wid" '^\[print\.txt\] - ' >/dev/null || e2e_fail "the document is marked modified after printing"
e2e_shot print-after
xdotool windowfocus --sync "$wid" 2>/dev/null || true
e2e_close "$wid"
rc="$(e2e_wait_exit 30)" || e2e_fail "the window did not close after printing"
[ "$rc" = 0 ] || e2e_fail "exit code $rc"
rm -f "$pdf"
echo "PASS: print"
