#!/usr/bin/env bash
# Checks the benchmark tools themselves: a generated file loads with the expected
# line count and comes back byte for byte from a round trip, wrapped and not.
set -euo pipefail
gen=$1 bench=$2 dir=$3
mkdir -p "$dir"
"$gen" 2 "$dir/in.txt"
lines=$(tr -cd '\n' < "$dir/in.txt" | wc -c)
out=$("$bench" load "$dir/in.txt")
echo "$out"
case "$out" in
  "lines=$((lines + 1)) "*) ;;
  *) echo "expected $((lines + 1)) lines"; exit 1 ;;
esac
"$bench" load "$dir/in.txt" --wrap 80 --tab 4 | grep -q '^lines=.* height=[0-9]* ms='
"$bench" roundtrip "$dir/in.txt" "$dir/out.txt"
cmp "$dir/in.txt" "$dir/out.txt"
# Every kind of line end comes back as CR LF.
printf 'a\nb\rc\r\n' > "$dir/ends.txt"
"$bench" roundtrip "$dir/ends.txt" "$dir/ends.out" > /dev/null
printf 'a\r\nb\r\nc\r\n' | cmp - "$dir/ends.out"
# Typing and row moves run and report their times, wrapped and not.
"$bench" type "$dir/in.txt" --keys 50 | grep -q ' us_per_key=[0-9.]* '
"$bench" type "$dir/in.txt" --keys 50 --line 1 --wrap 80 | grep -q '^keys=50 line=1 .* us_per_key='
"$bench" rows "$dir/in.txt" --moves 500 --wrap 40 | grep -q '^moves=500 .* us_per_move='
if "$bench" type "$dir/missing.txt" --keys 5 2> /dev/null; then exit 1; fi
# Find counts what replace all replaces, and after it nothing is left to find.
n=$("$bench" find "$dir/in.txt" 東京 --count | sed -n 's/^count=\([0-9]*\) status="not found" .*/\1/p')
[ -n "$n" ] && [ "$n" -gt 0 ]
"$bench" replace-all "$dir/in.txt" 東京 大阪 "$dir/rep.txt" | grep -q "^replacements=$n status=\"found\" undo_steps=$n "
"$bench" find "$dir/rep.txt" 東京 --count | grep -q '^count=0 '
"$bench" find "$dir/in.txt" 'id=[0-9]+' --flags 16 > "$dir/ids.txt"
head -n 1 "$dir/ids.txt" | grep -Eq '^[0-9]+ [0-9]+ [0-9]+$'
printf 'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa!\r\n' > "$dir/hard.txt"
"$bench" find "$dir/hard.txt" '^(a|a)*$' --flags 16 | grep -q '^too complex$'
# Printing counts pages: 60 lines of 100 pixels fit between 20 mm margins on A4
# at 600 dpi, so 120 lines take two.
for i in $(seq 1 120); do printf 'line %d\r\n' "$i"; done > "$dir/print.txt"
"$bench" print "$dir/print.txt" | grep -q '^pages=2 characters=[0-9]* result="done" ms='
# The recovery file of a document too large for one step starts as a journal
# over it, gives way to a snapshot, and both read back as the document.
"$gen" 6 "$dir/six.txt"
"$bench" recovery "$dir/six.txt" --keys 100 --dir "$dir/rcv" | grep -q ' journal=yes .* snapshot_steps=[1-9][0-9]* .* recovered=ok$'
[ -z "$(ls -A "$dir/rcv")" ]
# A missing file is an error with a message, not a crash.
if "$bench" load "$dir/missing.txt" 2> "$dir/err.txt"; then exit 1; fi
grep -q "cannot open" "$dir/err.txt"
echo "bench tools ok"
