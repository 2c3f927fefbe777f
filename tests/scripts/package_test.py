#!/usr/bin/env python3
"""scripts/package end to end: the release folder and zip, unsigned and signed with Authenticode.

Each run configures both build trees and builds the programs again (nothing to do after scripts/test),
then packages into a folder of its own. The signatures are checked with osslsigncode against the
test certificate authority that issued the test code-signing certificate (scripts/setup).

    package_test.py WORK_DIR
"""
import os
import shutil
import subprocess
import sys
import unittest
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WORK = Path(sys.argv[1])
DEV_DIR = Path(os.environ.get("VELKAR_DEV_DIR", Path.home() / ".velkar-dev"))
PROGRAMS = ["VelkarLauncher.exe", "velkar-update.exe", "velkar-publish.exe"]


def package(out: Path, *options, env=None) -> subprocess.CompletedProcess:
    return subprocess.run([str(ROOT / "scripts/package"), "--out", str(out), *map(str, options)],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=1200,
                          env=dict(os.environ, **(env or {})))


def verify(program: Path) -> subprocess.CompletedProcess:
    return subprocess.run(["osslsigncode", "verify", "-CAfile", str(DEV_DIR / "ca.crt"), "-in", str(program)],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)


def folder_of(out: Path) -> Path:
    folders = [p for p in out.iterdir() if p.is_dir()]
    assert len(folders) == 1, folders
    return folders[0]


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(WORK, ignore_errors=True)
        WORK.mkdir(parents=True)

    def check(self, result: subprocess.CompletedProcess) -> subprocess.CompletedProcess:
        self.assertEqual(result.returncode, 0, result.stdout[-3000:] + result.stderr[-3000:])
        return result

    def assert_signed_package(self, out: Path):
        folder = folder_of(out)
        self.assertIn("Signed:", (folder / "README.txt").read_text())
        with zipfile.ZipFile(out / (folder.name + ".zip")) as archive:
            for name in PROGRAMS:
                with self.subTest(name):
                    result = verify(folder / name)
                    self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
                    self.assertIn("Subject: /CN=Velkar Test Publisher", result.stdout)
                    self.assertIn("Signature verification: ok", result.stdout)
                    self.assertEqual(archive.read(f"{folder.name}/{name}"), (folder / name).read_bytes())

    def test_an_unsigned_package_says_so(self):
        out = WORK / "unsigned"
        result = self.check(package(out))
        self.assertIn("NOT SIGNED", result.stdout.splitlines()[-1])
        folder = folder_of(out)
        self.assertIn("NOT SIGNED", (folder / "README.txt").read_text())
        self.assertEqual(sorted(p.name for p in folder.iterdir()), sorted(PROGRAMS + ["README.txt", "velkar-publish"]))
        for name in PROGRAMS:
            self.assertNotEqual(verify(folder / name).returncode, 0, name)

    def test_signed_with_the_password_in_a_file(self):
        out = WORK / "signed-file"
        result = self.check(package(out, "--sign-pfx", DEV_DIR / "codesign.pfx",
                                    "--sign-password-file", DEV_DIR / "codesign-password.txt"))
        self.assertIn("Signed:", result.stdout.splitlines()[-1])
        self.assert_signed_package(out)
        # Signed, the programs still run.
        publish = subprocess.run([str(ROOT / "scripts/wine-run"), str(folder_of(out) / "velkar-publish.exe")],
                                 stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
        self.assertEqual(publish.returncode, 2, publish.stderr)
        self.assertIn(b"usage:", publish.stderr)

    def test_signed_with_the_password_in_the_environment(self):
        password = (DEV_DIR / "codesign-password.txt").read_text().strip()
        out = WORK / "signed-environment"
        self.check(package(out, "--sign-pfx", DEV_DIR / "codesign.pfx", env={"VELKAR_SIGN_PASSWORD": password}))
        self.assert_signed_package(out)

        wrong = package(WORK / "wrong-password", "--sign-pfx", DEV_DIR / "codesign.pfx",
                        env={"VELKAR_SIGN_PASSWORD": password + "x"})
        self.assertEqual(wrong.returncode, 1)
        self.assertIn("package: signing VelkarLauncher.exe failed", wrong.stderr)
        self.assertEqual(list((WORK / "wrong-password").iterdir()), [])

    def test_a_password_on_the_command_line_is_refused(self):
        result = package(WORK / "refused", "--sign-pfx", DEV_DIR / "codesign.pfx", "--sign-password", "secret")
        self.assertEqual(result.returncode, 2)
        self.assertIn("give the password in a file or in VELKAR_SIGN_PASSWORD", result.stderr)
        self.assertFalse((WORK / "refused").exists())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
