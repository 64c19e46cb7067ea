#!/bin/bash
# scripts/bench_corpus.sh SIZE_MB OUT: writes a benchmark text of real Japanese
# prose: the Japanese manual pages (Debian's manpages-ja) converted to code page
# 932 with CR LF line ends, repeated to SIZE_MB million bytes and cut at a line
# end. About 36 bytes a line; the same arguments always give the same bytes.
set -euo pipefail
mb=${1:?usage: bench_corpus.sh SIZE_MB OUT}
out=${2:?usage: bench_corpus.sh SIZE_MB OUT}
pages=/usr/share/man/ja
if [ ! -d "$pages" ]; then
  echo "bench_corpus.sh: installing manpages-ja for the Japanese manual pages" >&2
  apt-get install -y manpages-ja >/dev/null || { echo "bench_corpus.sh: cannot install manpages-ja" >&2; exit 1; }
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The pages in a fixed order, each from its own encoding (UTF-8 or EUC-JP).
find "$pages" -name '*.gz' | LC_ALL=C sort | while read -r page; do
  zcat "$page" > "$tmp/page"
  if iconv -f UTF-8 -t UTF-8 "$tmp/page" >/dev/null 2>&1; then from=UTF-8; else from=EUC-JP; fi
  iconv -c -f "$from" -t CP932 "$tmp/page" 2>/dev/null || true
done | sed 's/$/\r/' > "$tmp/corpus"
size=$((mb * 1000000))
corpus=$(stat -c %s "$tmp/corpus")
: > "$out"
for ((left = size; left >= corpus; left -= corpus)); do cat "$tmp/corpus" >> "$out"; done
head -c "$left" "$tmp/corpus" > "$tmp/part"
# Every line ends with CR LF: the last CR with the LF behind it ends the cut.
last=$(LC_ALL=C grep -a -b -o $'\r' "$tmp/part" | tail -n 1 | cut -d: -f1 || true)
if [ -n "$last" ] && [ $((last + 2)) -le "$left" ]; then head -c $((last + 2)) "$tmp/part" >> "$out"; fi
echo "$out: $(stat -c %s "$out") bytes, $(tr -cd '\n' < "$out" | wc -c) lines"
