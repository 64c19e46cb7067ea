#!/bin/bash
# scripts/bench_big.sh [--repeat N] [SMALL_MB BIG_MB]: every walk over a whole
# document timed on a small and a large text of real Japanese prose
# (scripts/bench_corpus.sh, 110 MB and 1870 MB by default, kept in
# $QWIL_BENCH_DIR, default build/bench), side by side: load, save, wrapping on
# and off, find with ignore case and width, replace all, the recovery snapshot
# and print pagination, each in a process of its own so that its peak memory
# (rss_kb) is its own, and vim's load of the same files for comparison. With
# --repeat each is run N times and the range is shown (the machine may be shared).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
repeat=1
if [ "${1:-}" = "--repeat" ]; then repeat=$2; shift 2; fi
small=${1:-110}
big=${2:-1870}
dir=${QWIL_BENCH_DIR:-$root/build/bench}
mkdir -p "$dir"
"$root/scripts/bench.sh" load /dev/null >/dev/null || exit 1
bench="$root/build/release/qwilbench"
for mb in "$small" "$big"; do
  [ -s "$dir/man$mb.txt" ] || "$root/scripts/bench_corpus.sh" "$mb" "$dir/man$mb.txt" >&2 || exit 1
done

# The value of key=... in a result line.
field() { sed -n "s/.*[ ^]$1=\([0-9.]*\).*/\1/p; s/^$1=\([0-9.]*\).*/\1/p" | head -n 1; }

# One operation on one file, repeated: "min-max ms peak_kb".
measure() {
  local file=$1 op=$2 timekey=$3 out ms kb lo="" hi="" peak=0
  for ((i = 0; i < repeat; i++)); do
    case $op in
      load) out=$("$bench" load "$file") ;;
      save) out=$("$bench" roundtrip "$file" "$dir/out.txt") ;;
      wrap) out=$("$bench" wrap "$file" --wrap 80) ;;
      find) out=$("$bench" find "$file" error --count --flags 6) ;;
      replace) out=$("$bench" replace-all "$file" ファイル FILE "$dir/out.txt") ;;
      snapshot) out=$("$bench" snapshot "$file" --dir "$dir/rcv") ;;
      print) out=$("$bench" print "$file") ;;
      vim) out=$( { /usr/bin/time -f "ms=%e rss_kb=%M" vim --cmd 'set enc=cp932 fencs=' -u NONE -i NONE -n -N -es \
                   -c 'q!' "$file"; } 2>&1 | tail -n 1)
           out=$(echo "$out" | awk '{split($1, a, "="); printf "ms=%.1f %s\n", a[2] * 1000, $2}') ;;
    esac
    ms=$(echo "$out" | field "$timekey")
    kb=$(echo "$out" | field rss_kb)
    [ -z "$ms" ] && { echo "failed: $op $file: $out" >&2; echo "- - -"; return; }
    if [ -z "$lo" ] || awk "BEGIN{exit !($ms < $lo)}"; then lo=$ms; fi
    if [ -z "$hi" ] || awk "BEGIN{exit !($ms > $hi)}"; then hi=$ms; fi
    [ -n "$kb" ] && [ "$kb" -gt "$peak" ] && peak=$kb
  done
  rm -rf "$dir/out.txt" "$dir/rcv"
  echo "$lo $hi $peak"
}

fmt_range() { if [ "$1" = "$2" ]; then echo "$1"; else echo "$1-$2"; fi; }

bytes_small=$(stat -L -c %s "$dir/man$small.txt")
bytes_big=$(stat -L -c %s "$dir/man$big.txt")
printf '%-10s %-9s %18s %12s %18s %12s %8s %8s\n' operation key "${small}MB ms" "peak/file" "${big}MB ms" \
  "peak/file" "x time" "x bytes"
for row in "load ms" "save save_ms" "wrap on_ms" "find ms" "replace ms" "snapshot ms" "print ms" "vim ms"; do
  set -- $row
  [ "$1" = vim ] && ! command -v vim >/dev/null && continue
  read -r slo shi skb < <(measure "$dir/man$small.txt" "$1" "$2")
  read -r blo bhi bkb < <(measure "$dir/man$big.txt" "$1" "$2")
  ratio=$(awk "BEGIN{ if ($slo > 0) printf \"%.1f\", $blo / $slo; else print \"-\" }" 2>/dev/null)
  printf '%-10s %-9s %18s %12s %18s %12s %8s %8s\n' "$1" "$2" "$(fmt_range "$slo" "$shi")" \
    "$(awk "BEGIN{printf \"%.2f\", $skb * 1024 / $bytes_small}")" "$(fmt_range "$blo" "$bhi")" \
    "$(awk "BEGIN{printf \"%.2f\", $bkb * 1024 / $bytes_big}")" "$ratio" \
    "$(awk "BEGIN{printf \"%.1f\", $bytes_big / $bytes_small}")"
done
