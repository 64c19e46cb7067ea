#!/bin/bash
# The installer, silently (/S) in the test prefix: the program lands in
# %LOCALAPPDATA%\Programs\Qwilpad with its Start-menu shortcut, its entry in the
# list of installed programs and its "Open with" entry for .txt (the default
# program for .txt stays untouched); the installed program opens a file and keeps
# its settings beside itself, or in %APPDATA%\Qwilpad when its folder is read-only;
# the silent uninstall removes all of it but the settings, and with
# /REMOVESETTINGS the settings as well.
# Usage: install_test.sh QWILPAD_EXE (ctest passes the built exe; the installer
# is packed around it by scripts/release.sh, as the release is).
set -uo pipefail
source "$(dirname "$0")/../../scripts/e2e.sh"

exe="${1:?usage: $0 QWILPAD_EXE}"
[ -f "$exe" ] || { echo "no such file: $exe" >&2; exit 1; }

e2e_begin install
user="$WINEPREFIX/drive_c/users/$(id -un)"
dir="$user/AppData/Local/Programs/Qwilpad"
link="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Qwilpad.lnk"
settings="$(e2e_user_settings_dir)"
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Qwilpad'
mounted=""

finish() {
  if [ -n "$mounted" ]; then umount "$mounted" 2>/dev/null || umount -l "$mounted" 2>/dev/null || true; fi
  e2e_end
}
trap finish EXIT

# Wine's reg prints code page 932.
reg_query() { env -u DISPLAY wine reg query "$@" 2>/dev/null | iconv -f CP932 -t UTF-8 | tr -d '\r'; }

# True when the key is there (reg prints its complaint on stdout, so only its code counts).
reg_has() { env -u DISPLAY wine reg query "$1" >/dev/null 2>&1; }

# The value's data as reg shows it ("" when the key or value is missing).
reg_value() {
  reg_query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# The program names its settings after itself in lower case; Windows names are
# the same in any case.
has_file() { ls -- "$1" 2>/dev/null | grep -qix -- "$2"; }

# The key's default value ("" when there is none: a missing key prints nothing,
# a key without one prints Wine's "value not set" text, in Japanese here).
reg_default() {
  reg_query "$1" /ve | sed -n 's/^ *([^)]*) *REG_[A-Z_]* *//p' |
    sed -e '/^(値の設定なし)$/d' -e '/^(value not set)$/d'
}

remove_leftovers() {
  rm -rf "$dir" "$link" "$settings"
  env -u DISPLAY wine reg delete "$uninst_key" /f >/dev/null 2>&1 || true
}

install_silently() {
  env -u DISPLAY wine "$setup" /S >/dev/null 2>&1 || e2e_fail "the silent installation failed"
  [ -f "$dir/Qwilpad.exe" ] && [ -f "$dir/uninstall.exe" ] || e2e_fail "nothing installed in $dir"
}

# The uninstaller copies itself away and returns at once: its work is done when
# its entry, which it removes last, is gone from the registry.
uninstall_silently() {
  env -u DISPLAY wine "$dir/uninstall.exe" /S "$@" >/dev/null 2>&1 || e2e_fail "the uninstaller did not start"
  uninstalled() { ! reg_has "$uninst_key" && [ ! -e "$dir/uninstall.exe" ]; }
  e2e_until 20 uninstalled || e2e_fail "the silent uninstallation did not finish"
}

# Opens doc.txt in the installed program, waits for its title, closes it: the
# settings are written on the way out.
run_installed() {
  local wid rc
  e2e_start "$dir/Qwilpad.exe" "$(qwil_windows_path "$E2E_OUT/install-doc.txt")"
  wid="$(e2e_find_main_window 60)" || e2e_fail "the installed program showed no window"
  e2e_wait_title "$wid" 'install-doc\.txt' >/dev/null || e2e_fail "the installed program did not open the file"
  [ -n "${1:-}" ] && { e2e_screenshot "$E2E_OUT/$1.png" || e2e_fail "no screenshot"; }
  e2e_close "$wid"
  rc="$(e2e_wait_exit 60)" || e2e_fail "the installed program did not end"
  [ "$rc" = 0 ] || e2e_fail "the installed program ended with $rc"
}

setup="$("$QWIL_ROOT/scripts/release.sh" --package "$exe" "$E2E_OUT/install-dist")" || e2e_fail "no installer"
printf 'テキスト\r\n' | iconv -f UTF-8 -t CP932 > "$E2E_OUT/install-doc.txt"
remove_leftovers
default_txt="$(reg_default 'HKCU\Software\Classes\.txt')"

install_silently
cmp -s "$exe" "$dir/Qwilpad.exe" || e2e_fail "the installed Qwilpad.exe differs from the packed one"
[ -f "$link" ] || e2e_fail "no Start-menu shortcut at $link"
# The shortcut's target, as the link file stores it (code page 932 or UTF-16).
grep -aq 'Programs\\Qwilpad\\Qwilpad\.exe' "$link" ||
  iconv -f UTF-16LE -t UTF-8 "$link" 2>/dev/null | grep -aq 'Programs\\Qwilpad\\Qwilpad\.exe' ||
  e2e_fail "the shortcut does not lead to the installed program"
win_dir='C:\users\'"$(id -un)"'\AppData\Local\Programs\Qwilpad'
[ "$(reg_value "$uninst_key" DisplayName)" = Qwilpad ] || e2e_fail "no DisplayName in the uninstall entry"
# The version the resource script gives the program.
version="$(sed -n 's/^ *VALUE "ProductVersion", "\([^"]*\)".*/\1/p' "$QWIL_ROOT/res/qwilpad.rc" | head -n 1)"
[ -n "$version" ] || e2e_fail "no ProductVersion in res/qwilpad.rc"
[ "$(reg_value "$uninst_key" DisplayVersion)" = "$version" ] || e2e_fail "the uninstall entry's version is not $version"
[ "$(reg_value "$uninst_key" InstallLocation)" = "$win_dir" ] || e2e_fail "the uninstall entry's folder is wrong"
[ "$(reg_value "$uninst_key" UninstallString)" = "\"$win_dir\\uninstall.exe\"" ] ||
  e2e_fail "the uninstall entry does not name the uninstaller"
reg_query 'HKCU\Software\Classes\.txt\OpenWithProgids' | grep -q 'Qwilpad\.txt' || e2e_fail "no \"Open with\" entry"
[ "$(reg_default 'HKCU\Software\Classes\Qwilpad.txt\shell\open\command')" = "\"$win_dir\\Qwilpad.exe\" \"%1\"" ] ||
  e2e_fail "the \"Open with\" command is wrong"
[ "$(reg_default 'HKCU\Software\Classes\.txt')" = "$default_txt" ] || e2e_fail "the installer took over .txt"
echo "installed: program, shortcut, uninstall entry ($version), \"Open with\" for .txt"

run_installed install-running
has_file "$dir" Qwilpad.ini || e2e_fail "the installed program wrote no settings beside itself"
! has_file "$settings" Qwilpad.ini || e2e_fail "settings went to the user's folder although the program's is writable"

# A folder nobody may write in (a read-only bind mount, which holds for root too).
if [ "$(id -u)" -eq 0 ] && mount --bind "$dir" "$dir" 2>/dev/null; then
  mounted="$dir"
  rm -f "$dir"/[Qq]wilpad.ini 2>/dev/null
  if mount -o remount,ro,bind "$dir" 2>/dev/null && ! touch "$dir/probe" 2>/dev/null; then
    run_installed
    has_file "$settings" Qwilpad.ini || e2e_fail "with its folder read-only the program wrote no settings to $settings"
    ! has_file "$dir" Qwilpad.ini || e2e_fail "settings were written into the read-only folder"
    echo "read-only program folder: settings in %APPDATA%\\Qwilpad"
  else
    echo "skipped the read-only folder: no read-only remount here"
  fi
  umount "$dir" && mounted=""
else
  echo "skipped the read-only folder: mounting needs root"
  mkdir -p "$settings" && printf '[x]\r\n' > "$settings/Qwilpad.ini"
fi

uninstall_silently
[ ! -e "$dir/Qwilpad.exe" ] || e2e_fail "the program is still there"
[ ! -e "$link" ] || e2e_fail "the shortcut is still there"
reg_query 'HKCU\Software\Classes\.txt\OpenWithProgids' | grep -q 'Qwilpad\.txt' && e2e_fail "the \"Open with\" entry is still there"
reg_has 'HKCU\Software\Classes\Qwilpad.txt' && e2e_fail "the file type is still there"
reg_has 'HKCU\Software\Classes\Applications\Qwilpad.exe' && e2e_fail "the application entry is still there"
has_file "$settings" Qwilpad.ini || e2e_fail "the uninstaller removed the settings unasked"
echo "uninstalled: program, shortcut and registry entries gone, settings kept"

# Asked to, it removes the settings of both places.
install_silently
printf '[x]\r\n' > "$dir/Qwilpad.ini"
uninstall_silently /REMOVESETTINGS
[ ! -e "$dir" ] || e2e_fail "the program's folder is still there: $(ls "$dir")"
[ ! -e "$settings" ] || e2e_fail "the user's settings are still there"
echo "uninstalled with /REMOVESETTINGS: settings gone as well"
