#!/bin/bash
# Installs what the builds and tests need and makes the Wine prefix. Idempotent:
# when everything is there it only checks, which takes about a second.
#
#   scripts/setup.sh            everything (Debian packages, ja_JP.UTF-8, build/wineprefix)
#   scripts/setup.sh --native   only the packages of the native build (qwilbench, unit tests)
#   scripts/setup.sh --prefix   only the Wine prefix (packages and locale must be there)
#   scripts/setup.sh --corpus   only the Japanese manual pages of scripts/enc_corpus.sh
#
# Runs as root on Debian 12 (apt-get is called only when a package is missing).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

NATIVE_PACKAGES=(cmake make g++ libgtest-dev googletest)
# Only the 64-bit Windows toolchain with posix threads (which GoogleTest needs),
# not the whole mingw-w64 set; wine32 is not needed either.
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 fonts-wine fonts-ipafont-gothic locales
  xvfb xdotool imagemagick
  # X extensions winex11 loads at run time (Debian only recommends them): font
  # smoothing, screen size, input, cursors, clipboard notifications.
  libxrender1 libxrandr2 libxinerama1 libxi6 libxcursor1 libxcomposite1 libxfixes3 libxxf86vm1
  # The printing tests' PDF printer (scripts/cups.sh) and the readers of its PDFs;
  # Wine prints through libcups, which comes with them.
  cups printer-driver-cups-pdf poppler-utils poppler-data
  # The installer (scripts/release.sh) and its installation test; the portable
  # zip, and Debian's YAML reader for the release test's look at the winget manifests.
  nsis zip python3-yaml
)

# Raise this when the prefix's settings change: older prefixes are then made anew.
PREFIX_VERSION=3

missing_packages() {
  local p
  for p in "$@"; do
    if [ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null)" != "ii " ]; then
      printf '%s\n' "$p"
    fi
  done
}

# apt's status lines (APT::Status-Fd) as one line of ours every tenth of the
# way, so that a first run that downloads for minutes shows it is moving.
report_progress() {
  local kind percent what phase shown=""
  while IFS=: read -r kind _ percent what; do
    case "$kind" in
      dlstatus) phase="downloading" ;;
      pmstatus) phase="unpacking and setting up" ;;
      *) continue ;;
    esac
    [[ "$percent" =~ ^[0-9]+ ]] || continue
    percent=$((BASH_REMATCH[0] / 10 * 10))
    [ "$shown" = "$phase $percent" ] && continue
    shown="$phase $percent"
    qwil_say "setup: $phase, ${percent}% ($what)"
  done
}

install_packages() {
  local missing log="$QWIL_ROOT/build/setup.log"
  mapfile -t missing < <(missing_packages "$@")
  [ "${#missing[@]}" -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    qwil_say "setup: these Debian packages are missing and installing them needs root: ${missing[*]}"
    return 1
  fi
  mkdir -p "$QWIL_ROOT/build"
  qwil_say "setup: installing the missing Debian packages and what they need: ${missing[*]}"
  qwil_say "setup: a first run downloads a few hundred megabytes, which takes some minutes (apt's output: $log)"
  export DEBIAN_FRONTEND=noninteractive
  qwil_say "setup: updating the package lists"
  # Everything apt and the packages' scripts print goes to the log (the locales
  # package's script would announce a locale generation of its own); fd 3
  # carries only the status lines.
  if ! apt-get update -q >"$log" 2>&1 ||
     ! apt-get install -y -q --no-install-recommends -o Dpkg::Use-Pty=0 -o APT::Status-Fd=3 "${missing[@]}" \
         3>&1 >>"$log" 2>&1 | report_progress; then
    tail -n 20 "$log" >&2
    qwil_say "setup: installing the packages failed (whole log: $log)"
    return 1
  fi
  qwil_say "setup: packages installed"
}

# Wine's ANSI code page follows the locale: without ja_JP.UTF-8 it is 1252.
ensure_locale() {
  if locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then return 0; fi
  qwil_say "setup: generating the ja_JP.UTF-8 locale"
  # Listed in locale.gen as well, so that a later locale-gen keeps it.
  if [ -f /etc/locale.gen ] && ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    printf 'ja_JP.UTF-8 UTF-8\n' >> /etc/locale.gen
  fi
  localedef -i ja_JP -c -f UTF-8 -A /usr/share/locale/locale.alias ja_JP.UTF-8
}

prefix_stamp_text() {
  printf 'prefix %s, %s\n' "$PREFIX_VERSION" "$(wine --version 2>/dev/null)"
}

prefix_is_current() {
  qwil_prefix_ready && [ "$(cat "$QWIL_PREFIX_STAMP")" = "$(prefix_stamp_text)" ]
}

# Registry settings: no crash dialog; the Japanese fonts Windows programs ask for
# (the dialogs' "ＭＳ Ｐゴシック", the menus' "MS UI Gothic") mapped to the IPA
# fonts; smoothed text as on a Japanese Windows desktop; the windows of the
# Windows tests and of winbench left unmanaged, since without a window manager (a bare Xvfb) Wine
# waits two seconds for one to take back every visible window that closes.
write_registry_file() {
  cat <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS UI Gothic"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\qwilwin_tests.exe\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\AppDefaults\winbench.exe\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="2"
"FontSmoothingType"=dword:00000001
EOF
}

create_prefix() {
  qwil_say "setup: creating the Wine prefix in $QWIL_PREFIX"
  # Whatever an interrupted creation left running in the old prefix goes first.
  [ -d "$QWIL_PREFIX" ] && { wineserver -k >/dev/null 2>&1 || true; }
  rm -rf "$QWIL_PREFIX"
  mkdir -p "$QWIL_PREFIX" "$HOME"
  # No display: wineboot then shows no progress window and asks nothing.
  env -u DISPLAY wineboot -i >/dev/null 2>&1 || true
  wineserver -w
  [ -f "$QWIL_PREFIX/system.reg" ] || { qwil_say "setup: wineboot made no prefix"; return 1; }

  # Debian's Wine does not find its own TrueType fonts (Marlett for the caption
  # buttons, Tahoma); from the prefix's Fonts folder it does.
  local f fonts="$QWIL_PREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  for f in /usr/share/wine/fonts/*.ttf; do
    [ -e "$f" ] && ln -sf "$f" "$fonts/"
  done

  # regedit reads a UTF-16 file with its byte order mark.
  local reg="$QWIL_PREFIX/drive_c/qwil-settings.reg"
  { printf '\xff\xfe'; write_registry_file | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } > "$reg"
  env -u DISPLAY wine regedit /S 'C:\qwil-settings.reg' >/dev/null 2>&1 || true
  wineserver -w
  rm -f "$reg"
  check_prefix
  prefix_stamp_text > "$QWIL_PREFIX_STAMP"
}

# The settings must have reached the registry, and Wine must have made the prefix
# for code page 932 (it records the locale's code page at creation); a prefix
# failing either is not stamped, so the next run makes it anew.
check_prefix() {
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$QWIL_PREFIX/user.reg" ||
     ! grep -q '"Managed"="N"' "$QWIL_PREFIX/user.reg"; then
    qwil_say "setup: the registry settings did not reach the prefix"
    return 1
  fi
  if ! grep -q '^"ACP"="932"' "$QWIL_PREFIX/system.reg"; then
    qwil_say "setup: the prefix's ANSI code page is not 932 (is the ja_JP.UTF-8 locale there?)"
    return 1
  fi
}

ensure_prefix() {
  qwil_wine_env
  prefix_is_current && return 0
  mkdir -p "$QWIL_ROOT/build"
  # Tests may start Wine in parallel; only one of them makes the prefix.
  exec 9>"$QWIL_ROOT/build/.wineprefix.lock"
  flock 9
  if ! prefix_is_current; then
    create_prefix
  fi
  flock -u 9
  exec 9>&-
}

main() {
  case "${1:-}" in
    --native)
      install_packages "${NATIVE_PACKAGES[@]}"
      ;;
    --prefix)
      ensure_prefix
      ;;
    --corpus)
      install_packages manpages-ja
      ;;
    "")
      install_packages "${NATIVE_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"
      ensure_locale
      # A fresh process: this one read the locale list before the locale existed.
      "$QWIL_ROOT/scripts/setup.sh" --prefix
      ;;
    *)
      qwil_say "usage: scripts/setup.sh [--native | --prefix | --corpus]"
      return 2
      ;;
  esac
}

main "$@"
