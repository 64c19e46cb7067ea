#!/bin/bash
# The release as a Windows user and winget get it: scripts/release.sh --dist packs
# the tree's exe with the installer, the portable zip, SHA256SUMS and the winget
# manifests. tests/e2e/release_check.py checks the manifests' fields, versions and
# hash, the zip and its readme; SHA256SUMS must verify; and the installer, run
# with the manifest's own silent and folder switches, installs where winget asks
# and the entry it leaves is the manifest's ProductCode.
# Usage: release_test.sh QWILPAD_EXE (ctest passes the built exe).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin release
dist="$E2E_OUT/release-dist"
rm -rf "$dist"
"$QWIL_ROOT/scripts/release.sh" --dist "$exe" "$dist" || e2e_fail "release.sh --dist failed"
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || e2e_fail "SHA256SUMS does not match the files"

# Debian's Python, which python3-yaml serves (not one a user put first on PATH).
mapfile -t switches < <(/usr/bin/python3 "$QWIL_ROOT/tests/e2e/release_check.py" "$dist" "$QWIL_ROOT/res/qwilpad.rc") ||
  e2e_fail "the release folder is wrong"
[ "${#switches[@]}" -eq 2 ] || e2e_fail "the release check gave no switches"
echo "manifests, SHA256SUMS, zip and readme: right"

folder="$E2E_OUT/release-installed"
product="$(sed -n 's/^ *ProductCode: *//p' "$dist"/manifests/q/Qwilpad/Qwilpad/*/Qwilpad.Qwilpad.installer.yaml)"
entry="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
rm -rf "$folder"
env -u DISPLAY wine reg delete "$entry" /f >/dev/null 2>&1
env -u DISPLAY wine "$dist"/Qwilpad-*-setup.exe "${switches[0]}" \
  "${switches[1]/<INSTALLPATH>/$(qwil_windows_path "$folder")}" >/dev/null 2>&1 ||
  e2e_fail "the installer failed with the manifest's switches"
cmp -s "$exe" "$folder/Qwilpad.exe" || e2e_fail "the installer did not install into the manifest's folder"
env -u DISPLAY wine reg query "$entry" >/dev/null 2>&1 || e2e_fail "no uninstall entry named $product"
echo "installed with the manifest's switches into $folder, entry $product"

# The uninstaller returns at once; its entry, removed last, tells when it is done.
env -u DISPLAY wine "$folder/uninstall.exe" /S >/dev/null 2>&1 || e2e_fail "the uninstaller did not start"
entry_gone() { ! env -u DISPLAY wine reg query "$entry" >/dev/null 2>&1; }
e2e_until 20 entry_gone || e2e_fail "the uninstallation did not finish"
