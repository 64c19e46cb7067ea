# shellcheck shell=bash
# Shared by the scripts (source it, don't run it): the worktree's root, the Wine
# environment of the project's prefix, and a private Xvfb for headless runs.

QWIL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QWIL_PREFIX="$QWIL_ROOT/build/wineprefix"
# Written last by scripts/setup.sh: a prefix without it is half made and is redone.
QWIL_PREFIX_STAMP="$QWIL_PREFIX/.qwil-ready"

qwil_say() { printf '%s\n' "$*" >&2; }

# Wine's ANSI code page follows the locale (ja_JP.UTF-8 gives 932). Mono and
# Gecko are switched off so that no installer ever asks, and so is the menu
# builder that would write desktop entries into $HOME.
qwil_wine_env() {
  export WINEPREFIX="$QWIL_PREFIX"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=ja_JP.UTF-8
  export LC_ALL=ja_JP.UTF-8
  export HOME="${HOME:-$QWIL_ROOT/build/home}"
  qwil_make_trash
}

# The recycle bin is the desktop's trash folder. Each Wine process looks for it
# once, at its first use, and never makes its parents: in a new HOME without it
# every file sent to the recycle bin is deleted for good. So it is made before
# any Wine process starts.
qwil_make_trash() {
  local data
  for data in "$HOME/.local/share" ${XDG_DATA_HOME:+"$XDG_DATA_HOME"}; do
    mkdir -p "$data/Trash/files" "$data/Trash/info" 2>/dev/null || qwil_say "cannot make the trash folder in $data"
  done
}

qwil_prefix_ready() { [ -f "$QWIL_PREFIX_STAMP" ]; }

# Starts an Xvfb on a free display and exports DISPLAY. The server is ours alone:
# qwil_xvfb_stop ends it by its process id.
QWIL_XVFB_PID=""
qwil_xvfb_start() {
  local geometry="${1:-1280x1024x24}" numfile
  numfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
  QWIL_XVFB_PID=$!
  # Xvfb writes its display number once it accepts connections.
  for _ in $(seq 1 100); do
    [ -s "$numfile" ] && break
    if ! kill -0 "$QWIL_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ ! -s "$numfile" ]; then
    rm -f "$numfile"
    qwil_say "Xvfb did not start"
    qwil_xvfb_stop
    return 1
  fi
  DISPLAY=":$(head -n 1 "$numfile")"
  export DISPLAY
  rm -f "$numfile"
}

qwil_xvfb_stop() {
  if [ -n "$QWIL_XVFB_PID" ]; then
    kill "$QWIL_XVFB_PID" 2>/dev/null || true
    wait "$QWIL_XVFB_PID" 2>/dev/null || true
    QWIL_XVFB_PID=""
  fi
}

# Waits for every Wine process of the prefix to end (and the wineserver with
# them); after the timeout they are ended, so that nothing outlives the run.
qwil_wine_settle() {
  local seconds="${1:-60}"
  if ! timeout "$seconds" wineserver -w 2>/dev/null; then
    qwil_say "Wine processes still running after ${seconds}s: ending them"
    wineserver -k 2>/dev/null || true
  fi
}

# A Unix path as the Windows path Wine gives it (the Unix root is drive Z:).
qwil_windows_path() {
  local p
  p="$(realpath -m -- "$1")"
  printf 'Z:%s\n' "${p//\//\\}"
}
