#!/bin/bash
# Runs a Windows program under Wine in the project's prefix (build/wineprefix,
# code page 932) and exits with the program's exit code. ctest uses it as the
# emulator of the windows tree.
#
# Without a DISPLAY it starts a private Xvfb for the duration, so windows can be
# created headless; the Xvfb ends after every Wine process of the prefix has.
# ./test.sh gives the whole ctest run one display, which is quicker.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

qwil_wine_env
if ! qwil_prefix_ready; then
  "$QWIL_ROOT/scripts/setup.sh" --prefix || exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$@"
fi

trap qwil_xvfb_stop EXIT
qwil_xvfb_start || exit 1
wine "$@"
rc=$?
# Wine's desktop process holds this display until the wineserver goes.
qwil_wine_settle 120
exit "$rc"
