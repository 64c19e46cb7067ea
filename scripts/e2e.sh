# shellcheck shell=bash
# Helpers of the end-to-end tests and of ./run.sh (source it, don't run it):
# Qwilpad.exe runs in Wine's virtual desktop, which draws title bars and frames
# as Windows does (a bare Xvfb has no window manager), and xdotool drives it.
#
#   e2e_begin NAME              display (a private Xvfb when there is none), output folder
#   e2e_start EXE [ARGS...]     starts EXE in the virtual desktop, in the background (call it
#                               directly, not inside $(...): it keeps the process id)
#   e2e_find_window REGEX [S]   prints the X window whose title matches, waiting up to S seconds
#   e2e_find_main_window [S]    prints the started program's visible top-level window (any title)
#   e2e_wait_title WID REGEX [S] waits until the window's title matches, prints it
#   e2e_start_window TITLE EXE [ARGS...]  e2e_start, then sets wid to the main window once its
#                               title matches TITLE (a regex; "." for any) and gives it the focus
#   e2e_focus WID               gives the window the focus and waits until the program took it
#   e2e_wait_idle [S]           waits until the started program has read all its input and
#                               sleeps: what was typed is handled and what it drew is on screen
#   e2e_wait_gone REGEX [S]     waits until no visible window's title matches
#   e2e_until S COMMAND...      runs COMMAND every quarter second until it succeeds, up to S seconds
#   e2e_hex FILE                the file's bytes in hex, as "61 0d 0a" (nothing for an empty file)
#   e2e_wait_bytes FILE HEX [S] waits until the file holds exactly those bytes; says what it
#                               holds when it does not within S seconds
#   e2e_program_copy EXE DIR    copies EXE into DIR (made afresh), prints the copy's path: a
#                               program keeps its settings beside itself, so each test has its own
#   e2e_screenshot FILE         saves the virtual desktop as a PNG once the program is idle
#   e2e_shot NAME               e2e_screenshot to build/e2e/NAME.png, says where it is
#   e2e_close WINDOW            Alt+F4 to the window (the system's close: WM_CLOSE)
#   e2e_wait_exit [S]           waits for the program's end and prints its exit code
#   e2e_end                     ends what e2e_begin and e2e_start started
#   e2e_fail MESSAGE            says what failed, ends everything, exits 1
#   e2e_skip REASON             says why the test cannot run here, ends everything, exits 77
#                               (which ctest shows as skipped, never as passed)
#   e2e_reg_dword KEY NAME      prints a REG_DWORD value of the prefix's registry in decimal
#                               (nothing when it is absent)
#   e2e_reg_put KEY NAME [N]    sets that value to N; without N removes it
#   e2e_crop_editor SHOT WID OUT  crops the editor's text area of window WID from a screenshot

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

E2E_NAME=""
E2E_OUT=""
E2E_DESKTOP=""
E2E_PID=""
E2E_CLASS=""
E2E_OWN_DISPLAY=0
E2E_STARTS=0

e2e_begin() {
  E2E_NAME="$1"
  E2E_OUT="$QWIL_ROOT/build/e2e"
  E2E_DESKTOP="qwil-$E2E_NAME-0"
  mkdir -p "$E2E_OUT"
  qwil_wine_env
  if ! qwil_prefix_ready; then
    "$QWIL_ROOT/scripts/setup.sh" --prefix || e2e_fail "no Wine prefix"
  fi
  if [ -z "${DISPLAY:-}" ]; then
    qwil_xvfb_start || e2e_fail "no display"
    E2E_OWN_DISPLAY=1
  fi
  # Settings a program left in the user's folder would be preferred over any
  # beside the program: every test starts without them.
  rm -rf "$(e2e_user_settings_dir)"
  # Nor may a text an earlier test left unsaved be offered to them.
  rm -rf "$(e2e_recovery_dir)"
  trap e2e_end EXIT
}

# Where Qwilpad keeps its settings when its own folder cannot take them
# (%APPDATA%\Qwilpad of the prefix's user).
e2e_user_settings_dir() {
  printf '%s/drive_c/users/%s/AppData/Roaming/Qwilpad\n' "$WINEPREFIX" "$(id -un)"
}

# Where Qwilpad keeps unsaved text (%LOCALAPPDATA%\Qwilpad\recovery of the prefix's user).
e2e_recovery_dir() {
  printf '%s/drive_c/users/%s/AppData/Local/Qwilpad/recovery\n' "$WINEPREFIX" "$(id -un)"
}

e2e_program_copy() {
  local exe="$1" dir="$2"
  rm -rf "$dir"
  mkdir -p "$dir" && cp "$exe" "$dir/" || e2e_fail "cannot copy $exe to $dir"
  printf '%s/%s\n' "$dir" "$(basename "$exe")"
}

# The virtual desktop's own process does not pass the program's exit code on,
# so a batch file runs the program, which cmd waits for in a batch file, and
# writes the code to a file. Run directly, not through start.exe: its
# ShellExecuteEx now and then fails before the program runs. The batch file is
# code page 932, as cmd reads it.
e2e_start() {
  local exe="$1" arg args="" batch="$E2E_OUT/$E2E_NAME.cmd"
  shift
  # Wine names the X windows of a program after its file, in lower case.
  E2E_CLASS="$(basename "$exe" | tr '[:upper:]' '[:lower:]')"
  E2E_EXE_WIN="$(qwil_windows_path "$exe")"
  # A desktop of its own for every start. Wine closes a virtual desktop a moment
  # after its last program ended; a program started into it just then finds it
  # gone: its windows cannot be made, and the exit code is 1.
  E2E_STARTS=$((E2E_STARTS + 1))
  E2E_DESKTOP="qwil-$E2E_NAME-$E2E_STARTS"
  for arg in "$@"; do args+=" \"$arg\""; done
  rm -f "$E2E_OUT/$E2E_NAME.rc"
  printf '@echo off\r\n"%s"%s\r\n>"%s" echo %%ERRORLEVEL%%\r\n' \
    "$(qwil_windows_path "$exe")" "$args" "$(qwil_windows_path "$E2E_OUT/$E2E_NAME.rc")" |
    iconv -f UTF-8 -t CP932 > "$batch" || e2e_fail "cannot write $batch"
  wine explorer "/desktop=$E2E_DESKTOP,1024x768" cmd /c "$(qwil_windows_path "$batch")" \
    >"$E2E_OUT/$E2E_NAME.log" 2>&1 &
  E2E_PID=$!
}

# Polls `xdotool search --onlyvisible ARGS...` for up to S seconds; prints the first
# window. Stops early when the program has ended.
e2e_search() {
  local seconds="$1" wid
  shift
  for _ in $(seq 1 $((seconds * 4))); do
    wid="$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1)"
    if [ -n "$wid" ]; then
      printf '%s\n' "$wid"
      return 0
    fi
    if [ -s "$E2E_OUT/$E2E_NAME.rc" ]; then
      qwil_say "the program ended (exit code $(tr -d '\r\n ' < "$E2E_OUT/$E2E_NAME.rc"))"
      # cmd's own complaint, when it could not start the program at all.
      iconv -f CP932 -t UTF-8 "$E2E_OUT/$E2E_NAME.log" 2>/dev/null | tail -n 5 >&2
      return 1
    fi
    sleep 0.25
  done
  qwil_say "no window matching $* appeared within ${seconds}s"
  return 1
}

e2e_find_window() { e2e_search "${2:-60}" --name "$1"; }

e2e_find_main_window() { e2e_search "${1:-60}" --classname "^${E2E_CLASS//./\\.}\$"; }

e2e_until() {
  local seconds="$1" tries
  shift
  tries=$((seconds * 4))
  [ "$tries" -ge 1 ] || tries=1
  for _ in $(seq 1 "$tries"); do
    "$@" && return 0
    sleep 0.25
  done
  "$@"
}

e2e_wait_title() {
  local wid="$1" regex="$2" seconds="${3:-20}" name=""
  title_matches() {
    name="$(xdotool getwindowname "$wid" 2>/dev/null)"
    [[ "$name" =~ $regex ]]
  }
  if e2e_until "$seconds" title_matches; then
    printf '%s\n' "$name"
    return 0
  fi
  qwil_say "the title stayed \"$name\", not matching $regex"
  return 1
}

e2e_start_window() {
  local title="$1"
  shift
  e2e_start "$@"
  wid="$(e2e_find_main_window 60)" || e2e_fail "the main window did not appear"
  e2e_wait_title "$wid" "$title" >/dev/null || e2e_fail "the title of the started window"
  e2e_focus "$wid"
}

e2e_focus() {
  local wid="$1"
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  e2e_wait_idle
}

e2e_wait_gone() {
  local regex="$1" seconds="${2:-5}"
  none_matches() { ! xdotool search --onlyvisible --name "$regex" >/dev/null 2>&1; }
  e2e_until "$seconds" none_matches
}

e2e_hex() { od -An -tx1 "$1" 2>/dev/null | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

e2e_wait_bytes() {
  local file="$1" expected="$2" seconds="${3:-10}" got=""
  holds_bytes() {
    got="$(e2e_hex "$file")"
    [ -f "$file" ] && [ "$got" = "$expected" ]
  }
  e2e_until "$seconds" holds_bytes && return 0
  qwil_say "$file holds [$got], expected [$expected]"
  return 1
}

# The Unix processes of the started program: Wine gives each the program's
# Windows path as its command line (the launcher names it later on its own).
e2e_program_pids() {
  local f pid line
  [ -n "${E2E_EXE_WIN:-}" ] || return 0
  for f in /proc/[0-9]*/cmdline; do
    pid="${f#/proc/}"; pid="${pid%/cmdline}"
    [ "$pid" = "$$" ] && continue
    line="$({ tr '\0' ' ' < "$f"; } 2>/dev/null)"
    case "$line" in
      "$E2E_EXE_WIN"*) printf '%s\n' "$pid" ;;
    esac
  done
}

# What waits unread on the program's connection to the X server: the bytes in
# the receive queue of its socket whose other end is the server's (ss prints
# each end with its own and its peer's inode).
e2e_x_queue() {
  ss -xpH 2>/dev/null | awk -v p="pid=$1," '
    $5 ~ /X11-unix/ { server[$8] = 1 }
    index($0, p) { queue[$6] = $3 }
    END { n = 0; for (i in queue) if (i in server) n += queue[i]; print n }'
}

# One look at the program: what it has unread from the X server and its CPU
# time, which the next look compares; nothing when a thread of it is running.
e2e_idle_sample() {
  local pid="$1"
  grep -qs '^[^)]*) R' /proc/"$pid"/task/*/stat && return 1
  printf '%s:%s\n' "$(e2e_x_queue "$pid")" \
    "$(awk '{sub(/^[^)]*\) /, ""); print $12 + $13}' /proc/"$pid"/stat 2>/dev/null)"
}

# A program waiting for input with none pending is asleep with all its input
# read: events for its windows wake it at once. When no thread of it runs and
# neither what waits for it (an event Wine never asks for may stay queued on a
# connection no thread reads) nor its CPU time changes from one look to the
# next, what it was given has been handled. A program that never settles (or has ended) lets
# the caller go on after S seconds, and the caller's own checks say what is wrong.
e2e_wait_idle() {
  local seconds="${1:-10}" pid last="" now
  pid="$(e2e_program_pids | head -n 1)"
  [ -n "$pid" ] || return 0
  for _ in $(seq 1 $((seconds * 10))); do
    [ -d "/proc/$pid" ] || return 0
    now="$(e2e_idle_sample "$pid")"
    if [ -n "$now" ] && [ "$now" = "$last" ]; then return 0; fi
    last="$now"
    sleep 0.1
  done
  qwil_say "the program did not settle within ${seconds}s"
  return 1
}

# The virtual desktop's window when there is one, else the whole screen; taken
# once the program has drawn what it was asked to.
e2e_screenshot() {
  local file="$1" target=root wid
  wid="$(xdotool search --onlyvisible --name "^$E2E_DESKTOP - " 2>/dev/null | head -n 1)"
  [ -n "$wid" ] && target="$wid"
  e2e_wait_idle
  import -window "$target" "$file"
}

e2e_shot() {
  e2e_screenshot "$E2E_OUT/$1.png" || e2e_fail "no screenshot"
  echo "screenshot: $E2E_OUT/$1.png"
}

e2e_close() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers alt+F4
}

# The exit code is there once the batch file's wait for the program is over.
e2e_wait_exit() {
  local seconds="${1:-60}" rcfile="$E2E_OUT/$E2E_NAME.rc"
  for _ in $(seq 1 $((seconds * 4))); do
    [ -s "$rcfile" ] && break
    sleep 0.25
  done
  if [ ! -s "$rcfile" ]; then
    qwil_say "the program did not end within ${seconds}s"
    return 1
  fi
  # The virtual desktop closes with its last window; the next start gets a new one.
  for _ in $(seq 1 40); do
    kill -0 "$E2E_PID" 2>/dev/null || break
    sleep 0.25
  done
  wait "$E2E_PID" 2>/dev/null || true
  E2E_PID=""
  tr -d '\r\n ' < "$rcfile"
  printf '\n'
}

e2e_end() {
  if [ -n "$E2E_PID" ] && kill -0 "$E2E_PID" 2>/dev/null; then
    kill "$E2E_PID" 2>/dev/null || true
  fi
  E2E_PID=""
  if [ "$E2E_OWN_DISPLAY" = 1 ]; then
    qwil_wine_settle 60
    qwil_xvfb_stop
    E2E_OWN_DISPLAY=0
  fi
}

# A program left running by a failed test would be the window the next test
# finds, so a failure ends the program this test started (matched by its whole
# path, which no other test's copy shares).
e2e_kill_program() {
  local pid
  for pid in $(e2e_program_pids); do kill "$pid" 2>/dev/null || true; done
}

e2e_fail() {
  qwil_say "FAIL ($E2E_NAME): $*"
  e2e_kill_program
  e2e_end
  exit 1
}

e2e_skip() {
  echo "SKIPPED e2e.$(basename "$0" .sh): $*"
  e2e_end
  exit 77
}

# The prefix's registry through Wine's reg (its output is code page 932).
e2e_reg_dword() {
  local hex
  hex="$(env -u DISPLAY wine reg query "$1" /v "$2" 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r' |
    awk -v name="$2" '$1 == name && $2 == "REG_DWORD" {print $3}')"
  [ -n "$hex" ] && printf '%d\n' "$hex"
}

e2e_reg_put() {
  if [ $# -ge 3 ] && [ -n "$3" ]; then
    env -u DISPLAY wine reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1
  else
    env -u DISPLAY wine reg delete "$1" /v "$2" /f >/dev/null 2>&1 || true
  fi
}

# Below the title and menu bars, inside the frame, above the status bar.
e2e_crop_editor() {
  local shot="$1" wid="$2" out="$3" X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  convert "$shot" -crop "$((WIDTH - 40))x$((HEIGHT - 110))+$((X + 6))+$((Y + 45))" +repage "$out"
}
