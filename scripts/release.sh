#!/bin/bash
# Builds what a Windows user takes: an optimized Qwilpad.exe (Release, statically
# linked, stripped of its symbols) and its installer, both in build/dist/.
#
#   scripts/release.sh                     build/dist/Qwilpad.exe and
#                                          build/dist/Qwilpad-VERSION-setup.exe
#   scripts/release.sh --package EXE DIR   only the installer around EXE, into DIR
#                                          (the installation test packs the tree's exe)
#
# VERSION is the ProductVersion of res/qwilpad.rc. The installer is res/installer.nsi
# built with NSIS (makensis, installed by scripts/setup.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# "0.33" from the version resource, so that both always say the same.
release_version() {
  sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$QWIL_ROOT/res/qwilpad.rc" | head -n 1
}

# package EXE DIR: DIR/Qwilpad-VERSION-setup.exe; prints its path.
package() {
  local exe dir version out log
  exe="$(realpath -- "$1")"
  dir="$2"
  version="$(release_version)"
  [ -n "$version" ] || { qwil_say "release: no ProductVersion in res/qwilpad.rc"; return 1; }
  mkdir -p "$dir"
  out="$(realpath -- "$dir")/Qwilpad-$version-setup.exe"
  log="$(realpath -- "$dir")/makensis.log"
  if ! makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DEXE="$exe" -DOUTFILE="$out" \
       "$QWIL_ROOT/res/installer.nsi" >"$log" 2>&1; then
    cat "$log" >&2
    qwil_say "release: makensis failed"
    return 1
  fi
  printf '%s\n' "$out"
}

build_release() {
  local tree="$QWIL_ROOT/build/win64-release" dist="$QWIL_ROOT/build/dist" log
  log="$QWIL_ROOT/build/release-build.log"
  "$QWIL_ROOT/scripts/setup.sh"
  mkdir -p "$dist"
  qwil_say "release: building Qwilpad.exe (Release) in $tree"
  if ! { cmake -S "$QWIL_ROOT" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$QWIL_ROOT/cmake/mingw-w64.cmake" \
           -DCMAKE_BUILD_TYPE=Release && cmake --build "$tree" -j2 --target Qwilpad; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    qwil_say "release: the build failed (whole log: $log)"
    return 1
  fi
  x86_64-w64-mingw32-strip --strip-all -o "$dist/Qwilpad.exe" "$tree/Qwilpad.exe"
  local setup
  setup="$(package "$dist/Qwilpad.exe" "$dist")"
  echo "Program:   $dist/Qwilpad.exe"
  echo "Installer: $setup"
}

case "${1:-}" in
  "") build_release ;;
  --package)
    [ $# -eq 3 ] || { qwil_say "usage: scripts/release.sh [--package EXE DIR]"; exit 2; }
    package "$2" "$3"
    ;;
  *)
    qwil_say "usage: scripts/release.sh [--package EXE DIR]"
    exit 2
    ;;
esac
