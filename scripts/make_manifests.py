#!/usr/bin/env python3
"""Writes the package manifests of a release: a winget manifest set (schema 1.6; version,
installer, zh-TW default locale and en-US locale) for the installer, and a Scoop manifest for
the x64 and x86 zips, each with the SHA-256 of the files given and download addresses made
from one base URL: <base>/<version>/<file name>.

make_manifests.py --version 2.0.0 --base-url https://example.com/lumatrove \
    --setup Lumatrove-2.0.0-setup.exe --zip-x64 ...-x64.zip --zip-x86 ...-x86.zip --out dist
"""
import argparse
import hashlib
import json
import os

IDENTIFIER = "KorvalWorks.Lumatrove"
MANIFEST_VERSION = "1.6.0"
HOMEPAGE = "https://korvalworks.com/lumatrove/index.html"
PUBLISHER = "KORVAL WORKS"
LICENSE = "Freeware"
DESCRIPTION = {
    "zh-TW": "在通知區域切換網路卡的 IPv4 組態：DHCP 或固定的位址、閘道與 DNS。",
    "en-US": "Switches network adapters between named IPv4 profiles (DHCP or fixed "
             "addresses, gateways and DNS servers) from the notification area.",
}


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def quoted(value):
    # JSON strings are YAML strings too: every value is written unambiguously.
    return json.dumps(value, ensure_ascii=False)


def yaml_document(schema, fields):
    """The manifest as YAML: scalars, lists of scalars and lists of flat mappings."""
    lines = ["# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json"
             % (schema, MANIFEST_VERSION), ""]
    for key, value in fields.items():
        if not isinstance(value, list):
            lines.append("%s: %s" % (key, quoted(value)))
            continue
        lines.append("%s:" % key)
        for item in value:
            if not isinstance(item, dict):
                lines.append("- %s" % quoted(item))
                continue
            for n, (k, v) in enumerate(item.items()):
                lines.append("%s%s: %s" % ("- " if n == 0 else "  ", k, quoted(v)))
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser()
    for name in ("version", "base-url", "setup", "zip-x64", "zip-x86", "out"):
        parser.add_argument("--" + name, required=True)
    a = parser.parse_args()
    base = a.base_url.rstrip("/") + "/" + a.version + "/"

    def url(path):
        return base + os.path.basename(path)

    common = {"PackageIdentifier": IDENTIFIER, "PackageVersion": a.version}
    installer_hash = sha256(a.setup).upper()
    installers = [{"Architecture": arch, "InstallerUrl": url(a.setup),
                   "InstallerSha256": installer_hash} for arch in ("x64", "x86")]
    winget = {
        IDENTIFIER + ".yaml": yaml_document("version", {
            **common, "DefaultLocale": "zh-TW", "ManifestType": "version",
            "ManifestVersion": MANIFEST_VERSION}),
        IDENTIFIER + ".installer.yaml": yaml_document("installer", {
            **common, "InstallerType": "nullsoft", "Scope": "machine",
            "InstallModes": ["interactive", "silent", "silentWithProgress"],
            "UpgradeBehavior": "install", "ElevationRequirement": "elevatesSelf",
            "Commands": ["lumatrove"],
            "AppsAndFeaturesEntries": [{"DisplayName": "Lumatrove", "Publisher": PUBLISHER,
                                        "DisplayVersion": a.version}],
            "Installers": installers, "ManifestType": "installer",
            "ManifestVersion": MANIFEST_VERSION}),
    }
    for locale, kind in (("zh-TW", "defaultLocale"), ("en-US", "locale")):
        winget["%s.locale.%s.yaml" % (IDENTIFIER, locale)] = yaml_document(kind, {
            **common, "PackageLocale": locale, "Publisher": PUBLISHER,
            "PackageName": "Lumatrove", "PackageUrl": HOMEPAGE, "License": LICENSE,
            "ShortDescription": DESCRIPTION[locale], "Moniker": "lumatrove",
            "ManifestType": kind, "ManifestVersion": MANIFEST_VERSION})
    folder = os.path.join(a.out, "winget", "manifests", "k", "KorvalWorks", "Lumatrove",
                          a.version)
    os.makedirs(folder, exist_ok=True)
    for name, text in winget.items():
        with open(os.path.join(folder, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)

    # Scoop keeps each version in a folder of its own: the profiles and the log beside the
    # program come along from the newest earlier version that has them.
    keep = ("$previous = Get-ChildItem (Split-Path $dir) -Directory | Where-Object { "
            "$_.FullName -ne $dir -and $_.Name -ne 'current' -and "
            "(Test-Path (Join-Path $_.FullName 'lumatrove.cfg')) } | "
            "Sort-Object LastWriteTime -Descending | Select-Object -First 1")
    copy = ("if ($previous) { foreach ($f in 'lumatrove.cfg', 'system.log') { "
            "$from = Join-Path $previous.FullName $f; "
            "if (Test-Path $from) { Copy-Item $from (Join-Path $dir $f) } } }")
    scoop = {
        "version": a.version,
        "description": DESCRIPTION["en-US"],
        "homepage": HOMEPAGE,
        "license": LICENSE,
        "architecture": {
            "64bit": {"url": url(a.zip_x64), "hash": sha256(a.zip_x64)},
            "32bit": {"url": url(a.zip_x86), "hash": sha256(a.zip_x86)},
        },
        "extract_dir": "Lumatrove",
        "bin": [["lumatrove.com", "lumatrove"]],
        "shortcuts": [["lumatrove.exe", "Lumatrove"]],
        "pre_install": [keep, copy],
    }
    os.makedirs(os.path.join(a.out, "scoop"), exist_ok=True)
    with open(os.path.join(a.out, "scoop", "lumatrove.json"), "w", encoding="utf-8",
              newline="\n") as f:
        json.dump(scoop, f, ensure_ascii=False, indent=2)
        f.write("\n")


if __name__ == "__main__":
    main()
