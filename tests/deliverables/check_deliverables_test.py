#!/usr/bin/python3
"""Each static check must catch its fault: the shipped programs pass, and a copy
broken in one way is rejected with a line that names the fault.

    check_deliverables_test.py BIN_DIR VERSION
"""
import shutil
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

import pefile

import check_deliverables as checks

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "installer"))
import check_packages as packages  # noqa: E402

BIN_DIR = None


def utf16(text):
    return text.encode("utf-16-le")


class BrokenCopies(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)

    def copy(self, program):
        path = self.folder / program.name
        shutil.copy(BIN_DIR / program.name, path)
        return path

    def patched(self, program, old, new):
        """A copy with every occurrence of old bytes replaced by as many new ones."""
        self.assertEqual(len(old), len(new))
        path = self.copy(program)
        data = path.read_bytes()
        self.assertIn(old, data, "the bytes to break are where the program keeps them")
        path.write_bytes(data.replace(old, new))
        return path

    def rewritten(self, program, change):
        """A copy whose parsed structures were changed by change(pe)."""
        path = self.copy(program)
        pe = pefile.PE(str(path))
        change(pe)
        data = pe.write()
        pe.close()
        path.write_bytes(data)
        return path

    def assertRejected(self, path, program, words):
        faults = checks.check(path, program)
        self.assertTrue(any(words in fault for fault in faults), f"{words!r} not in {faults}")

    def test_the_programs_as_built_pass(self):
        for program in checks.PROGRAMS:
            with self.subTest(program.name):
                self.assertEqual([], checks.check(BIN_DIR / program.name, program))

    def test_another_machine(self):
        def to_x64(pe):
            pe.FILE_HEADER.Machine = 0x8664
        broken = self.rewritten(checks.LAUNCHER, to_x64)
        self.assertRejected(broken, checks.LAUNCHER, "not i386")
        # Nor may a release package carry it.
        archive = self.folder / "release.zip"
        with zipfile.ZipFile(archive, "w") as package:
            package.write(BIN_DIR / checks.MAIN.name, checks.MAIN.name)
            package.write(broken, checks.LAUNCHER.name)
            package.writestr("README.txt", "")
        faults = packages.check_zip(archive, BIN_DIR)
        self.assertTrue(any("not i386" in fault for fault in faults), faults)

    def test_swapped_subsystems(self):
        def to_console(pe):
            pe.OPTIONAL_HEADER.Subsystem = checks.SUBSYSTEM_CONSOLE
        self.assertRejected(self.rewritten(checks.MAIN, to_console), checks.MAIN, "subsystem")

    def test_a_library_that_is_not_the_systems(self):
        broken = self.patched(checks.MAIN, b"msvcrt.dll", b"libgcc.dll")
        self.assertRejected(broken, checks.MAIN, "libgcc.dll")

    def test_another_version(self):
        def older(pe):
            pe.VS_FIXEDFILEINFO[0].FileVersionLS = checks.VERSION_WORDS[1] - 1
        self.assertRejected(self.rewritten(checks.MAIN, older), checks.MAIN, "fixed FileVersion")
        other = checks.VERSION[:-1] + ("1" if checks.VERSION[-1] != "1" else "2")
        broken = self.patched(checks.LAUNCHER, utf16(checks.VERSION), utf16(other))
        self.assertRejected(broken, checks.LAUNCHER, "ProductVersion")

    def test_another_string_block_or_translation(self):
        broken = self.patched(checks.MAIN, utf16("040904e4"), utf16("040904b0"))
        self.assertRejected(broken, checks.MAIN, "no string block 040904e4")
        broken = self.patched(checks.LAUNCHER, b"\x09\x04\xb0\x04", b"\x09\x04\xe4\x04")
        self.assertRejected(broken, checks.LAUNCHER, "translation")

    def test_another_execution_level(self):
        broken = self.patched(checks.MAIN, b'"requireAdministrator"', b'"highestAvailable"    ')
        self.assertRejected(broken, checks.MAIN, "execution level")
        broken = self.patched(checks.LAUNCHER, b'"asInvoker"', b'"asInvokeR"')
        self.assertRejected(broken, checks.LAUNCHER, "execution level")

    def test_a_missing_resource(self):
        for kind, number, words in ((checks.RT_BITMAP, 168, "[168]"), (checks.RT_DIALOG, 102, "[102]"),
                                    (checks.RT_MENU, 130, "[130]"), (checks.RT_GROUP_ICON, 132, "[132]")):
            def renumber(pe):
                for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
                    if entry.id == kind:
                        for name in entry.directory.entries:
                            if name.id == number:
                                name.struct.Name = number + 1000
            with self.subTest(kind=kind):
                self.assertRejected(self.rewritten(checks.MAIN, renumber), checks.MAIN, words)


if __name__ == "__main__":
    BIN_DIR = Path(sys.argv.pop(1))
    checks.use_version(sys.argv.pop(1))
    unittest.main()
