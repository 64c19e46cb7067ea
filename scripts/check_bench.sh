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
# A missing file is an error with a message, not a crash.
if "$bench" load "$dir/missing.txt" 2> "$dir/err.txt"; then exit 1; fi
grep -q "cannot open" "$dir/err.txt"
echo "bench tools ok"
