"""Checks the release folder scripts/release.sh --dist made, as winget and a
Windows user meet it: the three winget manifests (schema 1.6) with every field
the format requires, their version against the resource script, the installer's
hash against the file, the portable zip and its readme.

Usage: release_check.py DIST_DIR RESOURCE_SCRIPT
Prints the installer manifest's Silent and InstallLocation switches, one a line,
for the caller to install with; says what is wrong on stderr and exits 1.
"""
import hashlib
import os
import re
import struct
import sys
import zipfile

import yaml

ID_PATTERN = re.compile(r'^[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}$')
VERSION_PATTERN = re.compile(r'^[^\\/:*?"<>|\x01-\x1f]{1,128}$')
LOCALE_PATTERN = re.compile(r'^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$')
errors = []


def check(ok, message):
    if not ok:
        errors.append(message)
    return ok


def text_field(doc, name, low, high, where):
    value = doc.get(name)
    check(isinstance(value, str) and low <= len(value) <= high,
          f"{where}: {name} must be a string of {low} to {high} characters, is {value!r}")


def sha256(path):
    with open(path, 'rb') as f:
        return hashlib.sha256(f.read()).hexdigest()


def rc_versions(rc_path):
    """ProductVersion ("0.33") and PRODUCTVERSION (0,0,3,3) of the resource script."""
    with open(rc_path, encoding='utf-8') as f:
        rc = f.read()
    text = re.search(r'VALUE "ProductVersion", "([^"]*)"', rc)
    numbers = re.search(r'PRODUCTVERSION\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)', rc)
    if not text or not numbers:
        sys.exit(f"{rc_path}: no product version")
    return text.group(1), tuple(int(n) for n in numbers.groups())


def load_manifest(path, manifest_type, version):
    """The manifest's fields, after the ones every manifest type requires."""
    where = os.path.basename(path)
    with open(path, 'rb') as f:
        raw = f.read()
    try:
        doc = yaml.safe_load(raw.decode('utf-8'))
    except (UnicodeDecodeError, yaml.YAMLError) as e:
        check(False, f"{where}: not UTF-8 YAML: {e}")
        return {}
    if not check(isinstance(doc, dict), f"{where}: not a mapping"):
        return {}
    check(isinstance(doc.get('PackageIdentifier'), str) and len(doc['PackageIdentifier']) <= 128
          and ID_PATTERN.match(doc['PackageIdentifier']), f"{where}: bad PackageIdentifier")
    # A string: an unquoted 0.33 would be a number to YAML, and 1.10 would be 1.1.
    check(doc.get('PackageVersion') == version and VERSION_PATTERN.match(version),
          f"{where}: PackageVersion {doc.get('PackageVersion')!r} is not the resource's {version!r}")
    check(doc.get('ManifestType') == manifest_type, f"{where}: ManifestType is not {manifest_type}")
    check(doc.get('ManifestVersion') == '1.6.0', f"{where}: ManifestVersion is not 1.6.0")
    return doc


def product_version_of_exe(path):
    """The PRODUCTVERSION of the exe's VS_FIXEDFILEINFO (the installer's own, the
    first one: the program inside it is compressed)."""
    with open(path, 'rb') as f:
        data = f.read()
    at = data.find(struct.pack('<I', 0xFEEF04BD))
    if at < 0:
        return None
    ms, ls = struct.unpack_from('<II', data, at + 16)
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def check_installer(doc, setup, version):
    installers = doc.get('Installers')
    if not check(isinstance(installers, list) and installers, "installer manifest: no Installers"):
        return {}
    for entry in installers:
        # A field of the entry, or of the manifest's root for all entries.
        def field(name, entry=entry):
            return entry.get(name, doc.get(name))
        check(field('Architecture') == 'x64', "installer: Architecture is not x64")
        check(field('InstallerType') == 'nullsoft', "installer: InstallerType is not nullsoft")
        check(field('Scope') == 'user', "installer: Scope is not user")
        url = field('InstallerUrl')
        check(isinstance(url, str) and re.match(r'^[Hh][Tt][Tt][Pp][Ss]?://.+$', url) and len(url) <= 2048
              and url.endswith(f'/{version}/Qwilpad-{version}-setup.exe'),
              f"installer: InstallerUrl {url!r} does not lead to the installer")
        digest = field('InstallerSha256')
        check(isinstance(digest, str) and re.fullmatch(r'[0-9A-F]{64}', digest),
              f"installer: InstallerSha256 {digest!r} is not 64 upper-case hex digits")
        check(digest == sha256(setup).upper(), "installer: InstallerSha256 is not the installer's hash")
        switches = field('InstallerSwitches') or {}
        check(switches.get('Silent') == '/S' and switches.get('SilentWithProgress') == '/S',
              "installer: the silent switches are not the installer's /S")
        check('<INSTALLPATH>' in str(switches.get('InstallLocation')),
              "installer: InstallLocation does not take the folder (<INSTALLPATH>)")
    return installers[0].get('InstallerSwitches', doc.get('InstallerSwitches', {}))


def check_readme(data, version):
    check(not data.startswith(b'\xef\xbb\xbf'), "readme: a UTF-8 byte order mark")
    # Bytes valid as UTF-8 would let Notepad take them for UTF-8.
    try:
        data.decode('utf-8')
        check(False, "readme: valid UTF-8, which Notepad would read as such")
    except UnicodeDecodeError:
        pass
    try:
        text = data.decode('cp932')
    except UnicodeDecodeError:
        check(False, "readme: not code page 932")
        return
    check(text.endswith('\r\n') and '\n' not in text.replace('\r\n', ''), "readme: lines not ended with CR LF")
    for needed in (f'Qwilpad {version}', 'Qwilpad.exe', 'qwilpad.ini', r'%APPDATA%\Qwilpad', 'アンインストール'):
        check(needed in text, f"readme: says nothing of {needed}")


def main():
    dist, rc_path = sys.argv[1], sys.argv[2]
    version, numbers = rc_versions(rc_path)
    exe = os.path.join(dist, 'Qwilpad.exe')
    setup = os.path.join(dist, f'Qwilpad-{version}-setup.exe')
    portable = os.path.join(dist, f'Qwilpad-{version}-portable.zip')

    with open(os.path.join(dist, 'SHA256SUMS'), encoding='ascii') as f:
        listed = sorted(line.split()[1] for line in f if line.strip())
    check(listed == sorted(os.path.basename(p) for p in (exe, setup, portable)),
          f"SHA256SUMS lists {listed}, not the three artefacts")
    check(product_version_of_exe(setup) == numbers,
          f"installer: its version resource says {product_version_of_exe(setup)}, the resource script {numbers}")

    folder = os.path.join(dist, 'manifests', 'q', 'Qwilpad', 'Qwilpad', version)
    ident = 'Qwilpad.Qwilpad'
    names = {f'{ident}.yaml', f'{ident}.installer.yaml', f'{ident}.locale.ja-JP.yaml'}
    check(set(os.listdir(folder)) == names, f"{folder}: holds {sorted(os.listdir(folder))}")
    docs = {kind: load_manifest(os.path.join(folder, name), kind, version)
            for kind, name in (('version', f'{ident}.yaml'), ('installer', f'{ident}.installer.yaml'),
                               ('defaultLocale', f'{ident}.locale.ja-JP.yaml'))}
    check(all(d.get('PackageIdentifier') == ident for d in docs.values()),
          f"the manifests do not all name {ident}")
    check(docs['version'].get('DefaultLocale') == 'ja-JP', "version manifest: DefaultLocale is not ja-JP")
    locale = docs['defaultLocale']
    check(locale.get('PackageLocale') == 'ja-JP' and LOCALE_PATTERN.match(locale['PackageLocale']),
          "locale manifest: PackageLocale is not ja-JP")
    text_field(locale, 'Publisher', 2, 256, "locale manifest")
    text_field(locale, 'PackageName', 2, 256, "locale manifest")
    text_field(locale, 'License', 3, 512, "locale manifest")
    text_field(locale, 'ShortDescription', 3, 256, "locale manifest")
    switches = check_installer(docs['installer'], setup, version)

    with zipfile.ZipFile(portable) as z:
        check(sorted(z.namelist()) == ['Qwilpad.exe', 'readme.txt'], f"zip: holds {z.namelist()}")
        with open(exe, 'rb') as f:
            check(z.read('Qwilpad.exe') == f.read(), "zip: its Qwilpad.exe is not the release's")
        check_readme(z.read('readme.txt'), version)

    if errors:
        sys.exit('\n'.join(errors))
    print(switches.get('Silent', ''))
    print(switches.get('InstallLocation', ''))


main()
