#!/bin/bash
# Builds what a Windows user takes, in build/dist/: an optimized Qwilpad.exe
# (Release, statically linked, stripped of its symbols), its installer, a portable
# zip (the exe and a Japanese readme), SHA256SUMS of those three, and the winget
# manifests of the installer.
#
#   scripts/release.sh                     all of it, built from a Release tree
#   scripts/release.sh --dist EXE DIR      all of it around EXE, into DIR
#                                          (the release test packs the tree's exe)
#   scripts/release.sh --package EXE DIR   only the installer around EXE, into DIR
#                                          (the installation test packs the tree's exe)
#
# VERSION is the ProductVersion of res/qwilpad.rc. The installer is res/installer.nsi
# built with NSIS (makensis, installed by scripts/setup.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# Where the installers will be downloaded from. There is no such site yet: this
# placeholder stands in the winget manifest until there is one. An installer's
# address is BASE/VERSION/Qwilpad-VERSION-setup.exe.
RELEASE_BASE_URL="${QWIL_RELEASE_BASE_URL:-https://qwilpad.example.com/download}"
WINGET_ID="Qwilpad.Qwilpad"
WINGET_MANIFEST_VERSION="1.6.0"

# "0.33" from the version resource, so that both always say the same.
release_version() {
  sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$QWIL_ROOT/res/qwilpad.rc" | head -n 1
}

# "0.0.3.3" from the resource's PRODUCTVERSION 0,0,3,3: the installer's own
# version resource wants four numbers.
release_file_version() {
  sed -n 's/^ *PRODUCTVERSION *\([0-9]*\), *\([0-9]*\), *\([0-9]*\), *\([0-9]*\).*/\1.\2.\3.\4/p' \
    "$QWIL_ROOT/res/qwilpad.rc" | head -n 1
}

checked_version() {
  local version
  version="$(release_version)"
  [ -n "$version" ] || { qwil_say "release: no ProductVersion in res/qwilpad.rc"; return 1; }
  printf '%s\n' "$version"
}

# package EXE DIR: DIR/Qwilpad-VERSION-setup.exe; prints its path.
package() {
  local exe dir version file_version out log
  exe="$(realpath -- "$1")"
  dir="$2"
  version="$(checked_version)"
  file_version="$(release_file_version)"
  [ -n "$file_version" ] || { qwil_say "release: no PRODUCTVERSION in res/qwilpad.rc"; return 1; }
  mkdir -p "$dir"
  out="$(realpath -- "$dir")/Qwilpad-$version-setup.exe"
  log="$(realpath -- "$dir")/makensis.log"
  if ! makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DFILEVERSION="$file_version" \
       -DEXE="$exe" -DOUTFILE="$out" "$QWIL_ROOT/res/installer.nsi" >"$log" 2>&1; then
    cat "$log" >&2
    qwil_say "release: makensis failed"
    return 1
  fi
  printf '%s\n' "$out"
}

# portable_zip DIR VERSION: DIR/Qwilpad-VERSION-portable.zip of DIR/Qwilpad.exe
# and readme.txt. The readme is code page 932 with CR LF: what Notepad on a
# Japanese Windows reads as its ANSI text in every version, and what Qwilpad,
# which shows every file as Shift_JIS, shows as well.
portable_zip() {
  local dir="$1" version="$2" stage zip
  zip="$dir/Qwilpad-$version-portable.zip"
  stage="$(mktemp -d)"
  cp -- "$dir/Qwilpad.exe" "$stage/Qwilpad.exe"
  if ! sed "s/@VERSION@/$version/g; s/\$/\r/" "$QWIL_ROOT/res/readme-ja.txt" |
       iconv -f UTF-8 -t CP932 > "$stage/readme.txt"; then
    rm -rf "$stage"
    qwil_say "release: res/readme-ja.txt has characters code page 932 lacks"
    return 1
  fi
  # zip adds to an archive that is there: the old one goes first.
  rm -f -- "$zip"
  (cd "$stage" && zip -q -X "$zip" Qwilpad.exe readme.txt) || { rm -rf "$stage"; return 1; }
  rm -rf "$stage"
}

# winget_manifests DIR VERSION INSTALLER: the version, installer and default
# locale manifests in DIR/manifests/q/Qwilpad/Qwilpad/VERSION/. The version is
# quoted: YAML would read 0.33 as a number, and 1.10 as 1.1.
winget_manifests() {
  local dir="$1" version="$2" installer="$3" folder sha head
  folder="$dir/manifests/q/${WINGET_ID//.//}/$version"
  sha="$(sha256sum -- "$installer" | cut -d ' ' -f 1 | tr '[:lower:]' '[:upper:]')"
  head="PackageIdentifier: $WINGET_ID
PackageVersion: \"$version\""
  rm -rf -- "$folder"
  mkdir -p "$folder"
  cat > "$folder/$WINGET_ID.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$WINGET_MANIFEST_VERSION.schema.json
$head
DefaultLocale: ja-JP
ManifestType: version
ManifestVersion: $WINGET_MANIFEST_VERSION
YAML
  # The installer's switches: /S silent (NSIS shows no progress either way),
  # /D= the folder, which NSIS takes only last and unquoted.
  cat > "$folder/$WINGET_ID.installer.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$WINGET_MANIFEST_VERSION.schema.json
$head
Installers:
- Architecture: x64
  InstallerType: nullsoft
  Scope: user
  InstallerUrl: $RELEASE_BASE_URL/$version/$(basename -- "$installer")
  InstallerSha256: $sha
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
    InstallLocation: /D=<INSTALLPATH>
  UpgradeBehavior: install
  ProductCode: Qwilpad
ManifestType: installer
ManifestVersion: $WINGET_MANIFEST_VERSION
YAML
  cat > "$folder/$WINGET_ID.locale.ja-JP.yaml" <<YAML
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$WINGET_MANIFEST_VERSION.schema.json
$head
PackageLocale: ja-JP
Publisher: Qwilpad
PackageName: Qwilpad
License: Proprietary
ShortDescription: Shift_JIS の文書をそのまま読み書きする、日本語 Windows のためのテキストエディタ
Moniker: qwilpad
Tags:
- editor
- shift-jis
- text-editor
ManifestType: defaultLocale
ManifestVersion: $WINGET_MANIFEST_VERSION
YAML
}

# dist EXE DIR: every artefact around EXE into DIR; prints what it made.
dist() {
  local exe="$1" dir="$2" version setup zip
  version="$(checked_version)"
  mkdir -p "$dir"
  [ "$(realpath -- "$exe")" = "$(realpath -m -- "$dir/Qwilpad.exe")" ] || cp -- "$exe" "$dir/Qwilpad.exe"
  setup="$(package "$dir/Qwilpad.exe" "$dir")"
  portable_zip "$dir" "$version"
  zip="$dir/Qwilpad-$version-portable.zip"
  winget_manifests "$dir" "$version" "$setup"
  (cd "$dir" && sha256sum -- Qwilpad.exe "$(basename -- "$setup")" "$(basename -- "$zip")" > SHA256SUMS)
  echo "Program:   $dir/Qwilpad.exe"
  echo "Installer: $setup"
  echo "Portable:  $zip"
  echo "Checksums: $dir/SHA256SUMS"
  echo "winget:    $dir/manifests/q/${WINGET_ID//.//}/$version/"
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
  dist "$dist/Qwilpad.exe" "$dist"
}

usage() { qwil_say "usage: scripts/release.sh [--dist EXE DIR | --package EXE DIR]"; exit 2; }

case "${1:-}" in
  "") build_release ;;
  --dist)
    [ $# -eq 3 ] || usage
    dist "$2" "$3"
    ;;
  --package)
    [ $# -eq 3 ] || usage
    package "$2" "$3"
    ;;
  *) usage ;;
esac
