#!/usr/bin/python3
"""Static checks of the release packages, read from their files on the build
host, so they run whatever the host can execute.

    check_packages.py DIST_DIR BIN_DIR NAME-VERSION VERSION

The setup must be a 32-bit program of this version that asks for
administrator rights; the zip must hold the programs of BIN_DIR as built
(signed or not), each one passing the programs' own checks (so a 64-bit one is
refused), and a read-me; SHA256SUMS must list both packages with their sums. Exits 1 and names
every fault otherwise.
"""
import hashlib
import sys
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "deliverables"))
import check_deliverables as checks  # noqa: E402


def check_setup(path):
    setup = checks.Program(path.name, checks.SUBSYSTEM_GUI, "040904e4", 1252, "requireAdministrator")
    try:
        pe = checks.pefile.PE(str(path))
    except (OSError, checks.pefile.PEFormatError) as error:
        return [f"cannot be read: {error}"]
    return (checks.check_header(pe, setup) + checks.check_version(pe, setup)
            + checks.check_manifest(checks.resource_ids(pe), setup))


def without_signature(data):
    """A program as the linker wrote it: without the Authenticode certificate
    table at its end, the padding before it, and the two header fields that
    signing sets (the table's place and the checksum)."""
    pe = checks.pefile.PE(data=data, fast_load=True)
    table = pe.OPTIONAL_HEADER.DATA_DIRECTORY[4]  # IMAGE_DIRECTORY_ENTRY_SECURITY
    plain = bytearray(data[:table.VirtualAddress] if table.Size else data)
    for field, offset in ((pe.OPTIONAL_HEADER, "CheckSum"), (table, "VirtualAddress"), (table, "Size")):
        start = field.get_field_absolute_offset(offset)
        plain[start:start + 4] = bytes(4)
    return bytes(plain).rstrip(b"\0")


def check_zip(path, bin_dir):
    try:
        with zipfile.ZipFile(path) as archive:
            files = {Path(name).name: archive.read(name) for name in archive.namelist()
                     if not name.endswith("/")}
    except (OSError, zipfile.BadZipFile) as error:
        return [f"cannot be read: {error}"]
    faults = []
    wanted = {program.name for program in checks.PROGRAMS} | {"README.txt"}
    if set(files) != wanted:
        faults.append(f"holds {sorted(files)}, not {sorted(wanted)}")
    for program in checks.PROGRAMS:
        if program.name in files:
            faults += [f"{program.name}: {fault}" for fault in checks.check(files[program.name], program)]
            built = (bin_dir / program.name).read_bytes()
            if without_signature(files[program.name]) != without_signature(built):
                faults.append(f"{program.name} is not the one built")
    return faults


def check_sums(dist_dir, names):
    path = dist_dir / "SHA256SUMS"
    if not path.exists():
        return ["missing"]
    listed = {}
    for line in path.read_text().splitlines():
        digest, _, name = line.partition("  ")
        listed[name] = digest
    faults = []
    if set(listed) != set(names):
        faults.append(f"lists {sorted(listed)}, not {sorted(names)}")
    for name in names:
        package = dist_dir / name
        if name in listed and package.exists() and hashlib.sha256(package.read_bytes()).hexdigest() != listed[name]:
            faults.append(f"wrong sum for {name}")
    return faults


def main(argv):
    if len(argv) != 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    dist_dir, bin_dir, name = Path(argv[1]), Path(argv[2]), argv[3]
    checks.use_version(argv[4])
    setup, archive = f"{name}-setup.exe", f"{name}.zip"
    results = {
        setup: check_setup(dist_dir / setup),
        archive: check_zip(dist_dir / archive, bin_dir),
        "SHA256SUMS": check_sums(dist_dir, [setup, archive]),
    }
    for file, faults in results.items():
        for fault in faults:
            print(f"{file}: {fault}")
        if not faults:
            print(f"{file}: as shipped")
    return 1 if any(results.values()) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
