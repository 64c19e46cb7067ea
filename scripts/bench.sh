#!/bin/bash
# scripts/bench.sh ARGS...: builds qwilbench optimized and without sanitizers
# in build/release (incrementally, quietly) and runs `qwilbench ARGS...`.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build/release"
log="$dir/build.log"

"$root/scripts/setup.sh" --native || exit 1
mkdir -p "$dir"
if ! { cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQWIL_SANITIZE=OFF &&
       cmake --build "$dir" -j2 --target qwilbench qwilgen; } >"$log" 2>&1; then
  tail -n 40 "$log" >&2
  echo "bench.sh: the build failed (whole log: $log)" >&2
  exit 1
fi
exec "$dir/qwilbench" "$@"
