#!/bin/bash
# scripts/bench_start.sh QWILPAD_EXE FILE [COUNT]: how long Qwilpad.exe takes,
# from the moment Wine is asked to start it with FILE on its command line, to
# show its window (any visible window of the program) and to show the file's
# name in its title ("[NAME] - ..."), i.e. the file loaded and painted. Wine's
# server is kept running between the starts, as Windows itself would be, and
# one start of Wine's cmd comes first so that Wine's own files are in the
# cache. Each start gets a fresh copy of the program (no settings) and is
# killed once titled. Prints one line per start; the window is looked for
# every 10 ms, so the times are good to about 15 ms.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

exe="${1:?usage: $0 QWILPAD_EXE FILE [COUNT]}"
file="${2:?usage: $0 QWILPAD_EXE FILE [COUNT]}"
count="${3:-3}"
[ -f "$exe" ] && [ -f "$file" ] || { echo "no such file: $exe or $file" >&2; exit 1; }

qwil_wine_env
qwil_prefix_ready || "$QWIL_ROOT/scripts/setup.sh" --prefix || exit 1
own_display=0
if [ -z "${DISPLAY:-}" ]; then
  qwil_xvfb_start || exit 1
  own_display=1
fi
dir="$QWIL_ROOT/build/bench-start"
name="$(basename "$file")"
# The title is a regular expression for xdotool: the brackets and dots are the
# name's own.
titled="^\\[$(printf '%s' "$name" | sed -e 's/[.[*^$]/\\&/g' -e 's/]/\\]/g')\\] - "
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1

now_ms() { date +%s%3N; }
# Wine names the X windows of a program after its file, in lower case.
class="$(basename "$exe" | tr '[:upper:]' '[:lower:]')"

for ((i = 1; i <= count; i++)); do
  rm -rf "$dir" && mkdir -p "$dir" && cp "$exe" "$dir/" || exit 1
  start=$(now_ms)
  wine "$dir/$(basename "$exe")" "$(qwil_windows_path "$file")" >/dev/null 2>&1 &
  pid=$!
  visible="" title_ms=""
  while [ -z "$title_ms" ] && kill -0 "$pid" 2>/dev/null; do
    if [ -z "$visible" ] && xdotool search --onlyvisible --class "$class" >/dev/null 2>&1; then
      visible=$(($(now_ms) - start))
    fi
    if xdotool search --onlyvisible --name "$titled" >/dev/null 2>&1; then title_ms=$(($(now_ms) - start)); fi
    sleep 0.01
  done
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  echo "start $i visible_ms=${visible:--1} titled_ms=${title_ms:--1} file=$name"
done
wineserver -k 2>/dev/null
[ "$own_display" -eq 1 ] && qwil_xvfb_stop
exit 0
