#!/usr/bin/env python3
"""Checks of what the package target publishes; each prints what it found wrong.

  check_release.py times <zip> <installer> <quorvane.exe> <epoch>
      every zip entry dated the release time, with no owner or extra times; the zip's
      program is the build's; the installer's header dated the release time
  check_release.py winget <winget folder> <installer> <version> <CHANGELOG.md>
      the three manifests valid against the 1.10.0 schemas and true to the installer,
      the version and the changelog
  check_release.py registered <winget folder> <exported Uninstall key (.reg)>
      the manifest's ProductCode and AppsAndFeaturesEntries are what the installer wrote
"""
import hashlib
import json
import os
import re
import struct
import sys
import time
import zipfile

import jsonschema
import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
SCHEMAS = os.environ.get("QV_WINGET_SCHEMAS", os.path.join(HERE, "winget-schemas", "1.10.0"))
IDENTIFIER = "Quorvane.Quorvane"
MANIFESTS = {  # file: (schema, ManifestType)
    IDENTIFIER + ".yaml": ("manifest.version.1.10.0.json", "version"),
    IDENTIFIER + ".installer.yaml": ("manifest.installer.1.10.0.json", "installer"),
    IDENTIFIER + ".locale.en-US.yaml": ("manifest.defaultLocale.1.10.0.json", "defaultLocale"),
}
problems = []


def expect(ok, what):
    if not ok:
        problems.append(what)


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def pe_timestamp(path):
    with open(path, "rb") as f:
        head = f.read(4096)
    (pe,) = struct.unpack_from("<I", head, 0x3C)
    return struct.unpack_from("<I", head, pe + 8)[0]


def check_times(zip_path, setup, exe, epoch):
    dos = time.gmtime(epoch)[:5] + (time.gmtime(epoch).tm_sec // 2 * 2,)
    with zipfile.ZipFile(zip_path) as archive:
        for info in archive.infolist():
            expect(info.date_time == dos, f"{info.filename} dated {info.date_time}, not {dos}")
            expect(not info.extra, f"{info.filename} carries extra fields (owner, times)")
        with open(exe, "rb") as f:
            expect(archive.read("Quorvane/quorvane.exe") == f.read(),
                   "the zip's quorvane.exe is not the build's")
    expect(pe_timestamp(setup) == epoch,
           f"the installer's header is dated {pe_timestamp(setup)}, not {epoch}")


class ManifestLoader(yaml.SafeLoader):
    """Reads dates as the text they are, as winget does."""


ManifestLoader.yaml_implicit_resolvers = {
    key: [(tag, regex) for tag, regex in resolvers if tag != "tag:yaml.org,2002:timestamp"]
    for key, resolvers in yaml.SafeLoader.yaml_implicit_resolvers.items()
}


def load_manifests(folder):
    found = sorted(os.listdir(folder))
    expect(found == sorted(MANIFESTS), f"{folder} holds {found}")
    manifests = {}
    for name, (schema_file, kind) in MANIFESTS.items():
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            manifest = yaml.load(f, Loader=ManifestLoader)
        with open(os.path.join(SCHEMAS, schema_file), encoding="utf-8") as f:
            schema = json.load(f)
        for error in jsonschema.Draft7Validator(schema).iter_errors(manifest):
            problems.append(f"{name}: {'/'.join(map(str, error.path))}: {error.message}")
        expect(manifest.get("ManifestType") == kind, f"{name}: ManifestType is not {kind}")
        manifests[kind] = manifest
    return manifests


def changelog_notes(changelog, version):
    with open(changelog, encoding="utf-8") as f:
        text = f.read()
    match = re.search(r"^## \[" + re.escape(version) + r"\] - (\d{4}-\d\d-\d\d)\n(.*?)(?=^## |\Z)",
                      text, re.M | re.S)
    if not match:
        problems.append(f"{changelog} has no section for {version}")
        return None, None
    notes = re.sub(r"^\[[^\]\n]+\]: .*$", "", match.group(2), flags=re.M)
    return match.group(1), notes.strip()


def check_winget(folder, setup, version, changelog):
    manifests = load_manifests(folder)
    for kind, manifest in manifests.items():
        expect(manifest.get("PackageIdentifier") == IDENTIFIER, f"{kind}: PackageIdentifier")
        expect(manifest.get("PackageVersion") == version,
               f"{kind}: PackageVersion {manifest.get('PackageVersion')}, the project's is {version}")
        expect(manifest.get("ManifestVersion") == "1.10.0", f"{kind}: ManifestVersion")
    installer = manifests["installer"]
    entries = installer.get("Installers") or [{}]
    expect(len(entries) == 1, "one installer")
    expect(str(entries[0].get("InstallerSha256", "")).lower() == sha256(setup),
           f"InstallerSha256 is not the hash of {setup}")
    expect(str(entries[0].get("InstallerUrl", "")).endswith("/" + os.path.basename(setup)),
           "InstallerUrl does not name the installer")
    wanted = {
        "InstallerType": "nullsoft",
        "Scope": "user",
        "UpgradeBehavior": "install",
        "InstallerSwitches": {"Silent": "/S", "SilentWithProgress": "/S",
                              "InstallLocation": "/D=<INSTALLPATH>"},
        # The installer's exit code while Quorvane runs: winget says to close it.
        "ExpectedReturnCodes": [{"InstallerReturnCode": 3, "ReturnResponse": "packageInUse"}],
    }
    for key, value in wanted.items():
        expect(installer.get(key) == value, f"installer: {key} is {installer.get(key)!r}")
    expect(entries[0].get("Architecture") == "x64", "installer: Architecture")
    apps = installer.get("AppsAndFeaturesEntries") or [{}]
    expect(apps[0].get("DisplayVersion") == version, "AppsAndFeaturesEntries: DisplayVersion")

    date, notes = changelog_notes(changelog, version)
    locale = manifests["defaultLocale"]
    expect(installer.get("ReleaseDate") == date, "installer: ReleaseDate is not the changelog's")
    expect(locale.get("ReleaseNotes") == notes, "locale: ReleaseNotes are not the changelog's")
    expect(locale.get("License") == "MIT", "locale: License")
    for key in ("Publisher", "PackageName", "ShortDescription", "Tags"):
        expect(bool(locale.get(key)), f"locale: no {key}")
    expect(manifests["version"].get("DefaultLocale") == locale.get("PackageLocale"),
           "version: DefaultLocale is not the locale manifest's")


def read_reg_export(path):
    """Keys and their text values from a `reg export` file (UTF-16 with a BOM)."""
    with open(path, "rb") as f:
        raw = f.read()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode()
    keys, current = {}, None
    for line in text.splitlines():
        if line.startswith("["):
            current = keys.setdefault(line.strip("[]").rsplit("\\", 1)[-1], {})
        elif current is not None and (m := re.match(r'^"([^"]+)"="(.*)"$', line)):
            current[m.group(1)] = m.group(2).replace("\\\\", "\\").replace('\\"', '"')
    return keys


def check_registered(folder, export):
    installer = load_manifests(folder)["installer"]
    keys = read_reg_export(export)
    code = installer.get("ProductCode")
    expect(code in keys, f"ProductCode {code!r} is no Uninstall key; there are {sorted(keys)}")
    written = keys.get(code, {})
    for entry in installer.get("AppsAndFeaturesEntries") or []:
        expect(entry.get("ProductCode") == code, "AppsAndFeaturesEntries: ProductCode")
        for name in ("DisplayName", "Publisher", "DisplayVersion"):
            expect(entry.get(name) == written.get(name),
                   f"{name}: the manifest says {entry.get(name)!r}, the installer wrote "
                   f"{written.get(name)!r}")


def main(args):
    if len(args) == 5 and args[0] == "times":
        check_times(args[1], args[2], args[3], int(args[4]))
    elif len(args) == 5 and args[0] == "winget":
        check_winget(*args[1:])
    elif len(args) == 3 and args[0] == "registered":
        check_registered(args[1], args[2])
    else:
        sys.exit(__doc__)
    for problem in problems:
        print(problem)
    print(f"{args[0]}: {'FAILED' if problems else 'ok'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
