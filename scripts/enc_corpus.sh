#!/bin/bash
# scripts/enc_corpus.sh: the encoding rule over every Japanese manual page
# installed (manpages-ja; scripts/setup.sh --corpus installs it), each page
# converted with iconv into every form the rule tells apart, plus each line of
# the Shift_JIS pages alone as a short file. Prints, per form, how many were
# taken for each encoding: a Shift_JIS page must never be taken for UTF-8.
# The unit tests use a small committed sample set instead (tests/tools/encsamples).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

"$QWIL_ROOT/scripts/setup.sh" --corpus
qwil_say "enc_corpus: building qwilbench"
"$QWIL_ROOT/scripts/bench.sh" detect /dev/null >/dev/null || exit 1
bench="$QWIL_ROOT/build/release/qwilbench"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
forms=(sjis utf8 utf8bom utf16le utf16be utf16lebom utf16bebom)
for form in "${forms[@]}"; do mkdir -p "$work/$form"; done

pages=0
ascii=0
euc=0
incomplete=0
while IFS= read -r -d '' page; do
  name="$(basename "$page" .gz)"
  zcat "$page" > "$work/raw" 2>/dev/null || continue
  # The pages are UTF-8 or EUC-JP; everything below starts from UTF-8.
  if iconv -f UTF-8 -t UTF-8 "$work/raw" > "$work/page" 2>/dev/null; then :
  elif iconv -f EUC-JP -t UTF-8 "$work/raw" > "$work/page" 2>/dev/null; then euc=$((euc + 1))
  else continue
  fi
  # A page with characters code page 932 lacks keeps the others (iconv -c).
  iconv -c -f UTF-8 -t CP932 "$work/page" > "$work/sjis/$name" 2>/dev/null || incomplete=$((incomplete + 1))
  # Pure ASCII is Shift_JIS by the rule, whatever the page was written in.
  LC_ALL=C grep -q -P '[\x80-\xff]' "$work/page" || ascii=$((ascii + 1))
  cp "$work/page" "$work/utf8/$name"
  { printf '\xEF\xBB\xBF'; cat "$work/page"; } > "$work/utf8bom/$name"
  iconv -f UTF-8 -t UTF-16LE "$work/page" > "$work/utf16le/$name"
  iconv -f UTF-8 -t UTF-16BE "$work/page" > "$work/utf16be/$name"
  { printf '\xFF\xFE'; cat "$work/utf16le/$name"; } > "$work/utf16lebom/$name"
  { printf '\xFE\xFF'; cat "$work/utf16be/$name"; } > "$work/utf16bebom/$name"
  pages=$((pages + 1))
done < <(find /usr/share/man/ja -name '*.gz' -type f -print0 | sort -z)

echo "pages=$pages ascii_only=$ascii euc_jp=$euc sjis_with_characters_dropped=$incomplete"
# One qwilbench per form: the names are short enough for one command line.
detect() { (cd "$work/$1" && "$bench" detect "${@:2}" ./*); }
for form in "${forms[@]}"; do
  printf '%-12s %s\n' "$form" "$(detect "$form")"
done
printf '%-12s %s\n' "sjis lines" "$(detect sjis --each-line)"
printf '%-12s %s\n' "utf8 lines" "$(detect utf8 --each-line)"
printf '%-12s lines=%s\n' "utf8 non-ASCII lines" "$(LC_ALL=C grep -h -c -P '[\x80-\xff]' "$work"/utf8/* | awk '{ n += $1 } END { print n }')"
