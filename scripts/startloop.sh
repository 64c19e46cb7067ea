#!/bin/bash
# Starts and closes Qwilpad.exe many times in a row, as a user does who opens it
# again right after closing it: every start must show the main window and every
# close must end with exit code 0. The starts take turns over three key files (a
# hand-written one of 3,000 bindings, one binding "7fffffff=ffffffffff", none)
# and two settings files (none, one with a saved window rectangle). The program's
# debug log lines (Wine's debugstr channel) of a failed start are kept.
#
#   scripts/startloop.sh QWILPAD_EXE [COUNT]     COUNT starts, 300 by default
#
# With STARTLOOP_QUICK=1 the next start follows as soon as the program's exit
# code is there, without waiting for its virtual desktop to close.
#
# Prints one line per failure and ends with "N passed, N failed"; exits 1 when
# any start failed. About two seconds a start: not part of ./test.sh.
set -uo pipefail
source "$(dirname "$0")/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE [COUNT]}"
count="${2:-300}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin startloop
program="$(e2e_program_copy "$exe" "$E2E_OUT/startloop-program")"
dir="$(dirname "$program")"
key="$dir/qwilpad.key"
ini="$dir/qwilpad.ini"
failures="$E2E_OUT/startloop-failures"
rm -rf "$failures"
mkdir -p "$failures"
export WINEDEBUG=-all,+debugstr

big_key_file() {
  local k
  printf '[キー割り当て]\n'
  # Every combination of Shift, Ctrl and Alt with 200 keys, F4 left out: Alt+F4
  # is how this script closes the window.
  for k in $(seq 1 3000); do
    vk=$((k % 200 + 0x30))
    [ "$vk" -eq $((0x73)) ] && vk=$((0x74))
    printf '%08x=コピー\n' $(((k % 7) << 8 | vk))
  done
}
big_key_file | iconv -f UTF-8 -t CP932 > "$E2E_OUT/startloop-big.key"
printf '7fffffff=ffffffffff\n' > "$E2E_OUT/startloop-odd.key"
printf '[ウィンドウ]\r\nウィンドウのＸ座標=40\r\nウィンドウのＹ座標=30\r\nウィンドウの横幅=600\r\nウィンドウの高さ=400\r\n' | iconv -f UTF-8 -t CP932 > "$E2E_OUT/startloop-placed.ini"

# The files of start k: key file k mod 3, settings file k mod 2.
prepare() {
  local k="$1"
  case $((k % 3)) in
    0) cp "$E2E_OUT/startloop-big.key" "$key" ;;
    1) cp "$E2E_OUT/startloop-odd.key" "$key" ;;
    2) rm -f "$key" ;;
  esac
  if [ $((k % 2)) -eq 0 ]; then rm -f "$ini"; else cp "$E2E_OUT/startloop-placed.ini" "$ini"; fi
}

# One start and close; sets why when it failed.
one_start() {
  local wid rc
  why=""
  e2e_start "$program"
  if ! wid="$(e2e_find_main_window 60 2>&1)"; then
    why="no main window: $wid"
    e2e_wait_exit 30 >/dev/null 2>&1 || e2e_kill_program
    return 1
  fi
  e2e_close "$wid"
  if [ "${STARTLOOP_QUICK:-0}" = 1 ]; then
    for _ in $(seq 1 240); do [ -s "$E2E_OUT/$E2E_NAME.rc" ] && break; sleep 0.25; done
    rc="$(tr -d '\r\n ' < "$E2E_OUT/$E2E_NAME.rc" 2>/dev/null)"
    E2E_PID=""
    [ "$rc" = 0 ] || { why="exit code ${rc:-none} after the close"; return 1; }
    return 0
  fi
  if ! rc="$(e2e_wait_exit 60 2>&1)"; then
    e2e_kill_program
    why="did not end: $rc"
    return 1
  fi
  [ "$rc" = 0 ] || { why="exit code $rc after the close"; return 1; }
}

passed=0
failed=0
for k in $(seq 1 "$count"); do
  prepare "$k"
  if one_start; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    cp "$E2E_OUT/startloop.log" "$failures/start-$k.log"
    printf 'start %d (key file %d, settings %d): %s; log: %s\n' "$k" $((k % 3)) $((k % 2)) "$why" "$failures/start-$k.log"
  fi
  [ $((k % 50)) -eq 0 ] && echo "startloop: $k starts, $failed failed"
done
echo "startloop: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
