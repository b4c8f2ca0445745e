#!/usr/bin/env python3
"""The package manifests of a release: every file parses, carries the fields its schema
requires, names one package and version, and gives the real SHA-256 and download address of
the file it installs."""
import hashlib
import json
import os
import subprocess
import sys
import tempfile
import unittest

import yaml

SCRIPT = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "make_manifests.py")
REQUIRED = {
    "version": {"PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestVersion"},
    "installer": {"PackageIdentifier", "PackageVersion", "Installers", "ManifestVersion"},
    "defaultLocale": {"PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher",
                      "PackageName", "License", "ShortDescription", "ManifestVersion"},
    "locale": {"PackageIdentifier", "PackageVersion", "PackageLocale", "ManifestVersion"},
}


class Manifests(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        d = self.dir.name
        self.files = {}
        for name, size in (("setup.exe", 3000), ("x64.zip", 2000), ("x86.zip", 1000)):
            path = os.path.join(d, "Lumatrove-9.8.7-" + name)
            with open(path, "wb") as f:
                f.write(os.urandom(size))
            self.files[name] = path
        subprocess.run([sys.executable, SCRIPT, "--version", "9.8.7", "--base-url",
                        "https://dl.example.org/lt/", "--setup", self.files["setup.exe"],
                        "--zip-x64", self.files["x64.zip"], "--zip-x86", self.files["x86.zip"],
                        "--out", os.path.join(d, "out")], check=True)
        self.out = os.path.join(d, "out")

    def tearDown(self):
        self.dir.cleanup()

    def sha(self, name):
        with open(self.files[name], "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()

    def url(self, name):
        return "https://dl.example.org/lt/9.8.7/" + os.path.basename(self.files[name])

    def test_winget_set(self):
        folder = os.path.join(self.out, "winget", "manifests", "k", "KorvalWorks", "Lumatrove",
                              "9.8.7")
        manifests = {}
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read()
            self.assertTrue(text.startswith("# yaml-language-server: $schema=https://aka.ms/"
                                            "winget-manifest."), name)
            m = yaml.safe_load(text)
            kind = m["ManifestType"]
            self.assertIn(kind, REQUIRED, name)
            self.assertLessEqual(REQUIRED[kind], set(m), name)
            self.assertEqual(m["ManifestVersion"], "1.6.0")
            self.assertEqual(m["PackageIdentifier"], "KorvalWorks.Lumatrove")
            self.assertEqual(m["PackageVersion"], "9.8.7")
            self.assertTrue(name.startswith(m["PackageIdentifier"]), name)
            manifests.setdefault(kind, []).append(m)
        self.assertEqual(sorted(manifests), ["defaultLocale", "installer", "locale", "version"])
        self.assertEqual(manifests["version"][0]["DefaultLocale"], "zh-TW")
        self.assertEqual(manifests["defaultLocale"][0]["PackageLocale"], "zh-TW")
        self.assertEqual([m["PackageLocale"] for m in manifests["locale"]], ["en-US"])
        installer = manifests["installer"][0]
        self.assertEqual(installer["InstallerType"], "nullsoft")
        self.assertEqual(sorted(i["Architecture"] for i in installer["Installers"]), ["x64", "x86"])
        for i in installer["Installers"]:
            self.assertEqual(i["InstallerSha256"], self.sha("setup.exe").upper())
            self.assertEqual(i["InstallerUrl"], self.url("setup.exe"))

    def test_scoop(self):
        with open(os.path.join(self.out, "scoop", "lumatrove.json"), encoding="utf-8") as f:
            m = json.load(f)
        for field in ("version", "description", "homepage", "license", "architecture", "bin"):
            self.assertIn(field, m)
        self.assertEqual(m["version"], "9.8.7")
        for arch, name in (("64bit", "x64.zip"), ("32bit", "x86.zip")):
            self.assertEqual(m["architecture"][arch]["hash"], self.sha(name))
            self.assertEqual(m["architecture"][arch]["url"], self.url(name))
        self.assertEqual(m["bin"], [["lumatrove.com", "lumatrove"]])


if __name__ == "__main__":
    unittest.main()
