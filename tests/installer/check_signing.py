#!/usr/bin/python3
"""Packages signed as scripts/package --sign signs them, with a throwaway
certificate: the shipped ones verify and pass the static checks, a file changed
after signing fails, and this build's setup installs signed programs and a
signed uninstaller in the Wine prefix that WINE_RUN runs in.

    check_signing.py SOURCE CPACK VERSION SHIPPED_BUILD SHIPPED_NAME BUILD NAME WINE_RUN PREFIX
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
NAMES = "source cpack version shipped_build shipped_name build name wine_run prefix".split()
ARGS = {}


def run(*command, env=None):
    subprocess.run(command, check=True, capture_output=True, env=env)


class SignedPackages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        cls.folder = Path(cls.work.name)
        key, cls.cert, p12 = (str(cls.folder / name) for name in ("key.pem", "cert.pem", "key.p12"))
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=Norvik_Tallo test",
            "-days", "2", "-keyout", key, "-out", cls.cert)
        run("openssl", "pkcs12", "-export", "-inkey", key, "-in", cls.cert, "-passout", "pass:x", "-out", p12)
        cls.env = dict(os.environ, NT_SIGN_PKCS12=p12, NT_SIGN_PASSWORD="x")

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def signed_dist(self, build, name):
        dist = self.folder / name
        run("cmake", "-DSIGN=ON", f"-DCONFIG={build}/CPackConfig.cmake", f"-DWORK={dist}-work", f"-DDIST={dist}",
            f"-DNAME={name}", f"-DCPACK={ARGS['cpack']}", f"-DSOURCE={ARGS['source']}",
            "-P", f"{ARGS['source']}/installer/make_dist.cmake", env=self.env)
        return dist

    def verifies(self, path):
        verify = ["osslsigncode", "verify", "-CAfile", self.cert, "-in", str(path)]
        return subprocess.run(verify, capture_output=True).returncode == 0

    def test_shipped_packages_verify_and_pass_the_static_checks(self):
        name = ARGS["shipped_name"]
        dist = self.signed_dist(ARGS["shipped_build"], name)
        zipfile.ZipFile(dist / f"{name}.zip").extractall(self.folder / "unzipped")
        signed = [dist / f"{name}-setup.exe"] + sorted((self.folder / "unzipped").glob("*/*.exe"))
        self.assertEqual(len(signed), 3)
        for path in signed:
            self.assertTrue(self.verifies(path), f"{path.name} does not verify")
        bin_dir = f"{ARGS['shipped_build']}/bin"
        self.assertEqual(packages.main(["", str(dist), bin_dir, name, ARGS["version"]]), 0)

        data = bytearray(signed[1].read_bytes())
        data[len(data) // 2] ^= 1
        signed[1].write_bytes(data)
        self.assertFalse(self.verifies(signed[1]), "a file changed after signing still verifies")

    def test_setup_installs_signed_programs_and_uninstaller(self):
        setup = self.signed_dist(ARGS["build"], ARGS["name"]) / f"{ARGS['name']}-setup.exe"
        drive = Path(ARGS["prefix"]) / "drive_c"
        run(ARGS["wine_run"], str(setup), "/S")
        try:
            for name in ("Norvik_Tallo.exe", "BootStartNorvik_Tallo.exe", "Uninstall.exe"):
                self.assertTrue(self.verifies(drive / FOLDER / name), f"installed {name} does not verify")
        finally:
            # The entry's quiet uninstall command as one line: the uninstaller
            # reads _?= only unquoted, and Wine would quote an argument.
            folder = "C:\\" + FOLDER.replace("/", "\\")
            script = drive / "nt-signing-uninstall.bat"
            script.write_text(f'"{folder}\\Uninstall.exe" /S _?={folder}\r\n')
            run(ARGS["wine_run"], "cmd", "/c", "C:\\" + script.name)
            script.unlink()


if __name__ == "__main__":
    ARGS.update(zip(NAMES, sys.argv[1:]))
    del sys.argv[1:len(NAMES) + 1]
    unittest.main()
