#!/usr/bin/python3
"""Signed packages, made as scripts/package --sign makes them but with a
throwaway certificate: every signed file verifies against it, the static
checks pass on the shipped packages signed, a file changed after signing
fails, and the setup of the build under test installs signed programs and a
signed uninstaller.

    check_signing.py SOURCE_DIR CPACK VERSION SHIPPED_BUILD SHIPPED_NAME BUILD NAME WINE_RUN PREFIX

WINE_RUN runs a Windows program in the Wine prefix PREFIX.
"""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

import check_packages as packages

FOLDER = "Program Files/Norvik/VGA/Norvik_Tallo"
ARGS = None


def run(*command, **options):
    return subprocess.run(command, check=True, capture_output=True, **options)


class SignedPackages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.folder = Path(cls.work.name)
        key, cert = cls.folder / "key.pem", cls.folder / "cert.pem"
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=Norvik_Tallo test",
            "-days", "2", "-keyout", str(key), "-out", str(cert))
        run("openssl", "pkcs12", "-export", "-inkey", str(key), "-in", str(cert), "-passout", "pass:throwaway",
            "-out", str(cls.folder / "key.p12"))
        cls.env = dict(os.environ, NT_SIGN_PKCS12=str(cls.folder / "key.p12"), NT_SIGN_PASSWORD="throwaway")

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def signed_dist(self, build, name):
        """The build's packages, signed, in a folder of this test's own."""
        dist = self.folder / f"{name}-dist"
        if not dist.exists():
            run("cmake", "-DSIGN=ON", f"-DCONFIG={build}/CPackConfig.cmake", f"-DWORK={self.folder}/{name}-work",
                f"-DDIST={dist}", f"-DNAME={name}", f"-DCPACK={ARGS['cpack']}", f"-DSOURCE={ARGS['source']}",
                "-P", f"{ARGS['source']}/installer/make_dist.cmake", env=self.env)
        return dist

    def verifies(self, path):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", str(self.folder / "cert.pem"), "-in", str(path)],
                              capture_output=True).returncode == 0

    def test_shipped_packages_signed_verify_and_pass_the_static_checks(self):
        name = ARGS["shipped_name"]
        dist = self.signed_dist(ARGS["shipped_build"], name)
        with zipfile.ZipFile(dist / f"{name}.zip") as archive:
            archive.extractall(self.folder / "unzipped")
        signed = [dist / f"{name}-setup.exe"] + sorted((self.folder / "unzipped").glob("*/*.exe"))
        self.assertEqual(len(signed), 3)
        for path in signed:
            self.assertTrue(self.verifies(path), f"{path.name} does not verify")
        self.assertEqual(packages.main(["", str(dist), f"{ARGS['shipped_build']}/bin", name, ARGS["version"]]), 0)

        changed = self.folder / "changed.exe"
        data = bytearray(signed[1].read_bytes())
        data[len(data) // 2] ^= 1
        changed.write_bytes(data)
        self.assertFalse(self.verifies(changed), "a file changed after signing still verifies")

    def test_signed_setup_installs_signed_programs_and_uninstaller(self):
        setup = self.signed_dist(ARGS["build"], ARGS["name"]) / f"{ARGS['name']}-setup.exe"
        drive = Path(ARGS["prefix"]) / "drive_c"
        run(ARGS["wine_run"], str(setup), "/S")
        try:
            for name in ("Norvik_Tallo.exe", "BootStartNorvik_Tallo.exe", "Uninstall.exe"):
                self.assertTrue(self.verifies(drive / FOLDER / name), f"installed {name} does not verify")
        finally:
            # The entry's quiet uninstall command, given whole: the uninstaller
            # reads _?= unquoted, and Wine would quote it as an argument.
            folder = "C:\\" + FOLDER.replace("/", "\\")
            script = drive / "nt-signing-uninstall.bat"
            script.write_text(f'"{folder}\\Uninstall.exe" /S _?={folder}\r\n')
            run(ARGS["wine_run"], "cmd", "/c", "C:\\" + script.name)
            script.unlink()


if __name__ == "__main__":
    ARGS = dict(zip(["source", "cpack", "version", "shipped_build", "shipped_name", "build", "name", "wine_run",
                     "prefix"], sys.argv[1:10]))
    del sys.argv[1:10]
    unittest.main()
