#!/usr/bin/python3
"""Static checks of the two programs that ship, read from their PE files on the
build host: they run whatever the host can execute.

    check_deliverables.py BIN_DIR VERSION

VERSION is the project's, as "a.b.c.d". Exits 1 and names every fault when a
program is not what ships.
"""
import re
import sys
from pathlib import Path

import pefile

MACHINE_I386 = 0x14C
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
RT_BITMAP, RT_MENU, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 2, 4, 5, 14, 16, 24

# What Windows itself provides, and nothing else: the run-time is linked in.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
    "comctl32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll",
}

# The project's version, which the caller passes in (use_version).
VERSION = VERSION_WORDS = None


def use_version(text):
    """Expects this version, "a.b.c.d", in every program checked from now on."""
    global VERSION, VERSION_WORDS
    a, b, c, d = (int(part) for part in text.split("."))
    VERSION, VERSION_WORDS = text, (a << 16 | b, c << 16 | d)


class Program:
    """What one program must be."""

    def __init__(self, name, subsystem, string_block, code_page, level, resources=None):
        self.name = name
        self.subsystem = subsystem
        self.string_block = string_block
        self.code_page = code_page
        self.level = level
        self.resources = resources or {}


MAIN = Program(
    "Norvik_Tallo.exe", SUBSYSTEM_GUI, "040904e4", 1252, "requireAdministrator",
    {
        RT_DIALOG: {102},
        RT_MENU: {130},
        RT_GROUP_ICON: {132},
        RT_BITMAP: set(range(133, 169)) - {135},
    })
LAUNCHER = Program("BootStartNorvik_Tallo.exe", SUBSYSTEM_CONSOLE, "040904b0", 1200, "asInvoker")
PROGRAMS = (MAIN, LAUNCHER)


def resource_ids(pe):
    """{type id: {name id: bytes of the first language}}"""
    found = {}
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in directory.entries if directory else []:
        names = found.setdefault(kind.id, {})
        for name in kind.directory.entries:
            language = name.directory.entries[0].data.struct
            names[name.id] = pe.get_data(language.OffsetToData, language.Size)
    return found


def check_header(pe, program):
    faults = []
    if pe.FILE_HEADER.Machine != MACHINE_I386:
        faults.append(f"machine is 0x{pe.FILE_HEADER.Machine:x}, not i386 (0x14c)")
    if pe.OPTIONAL_HEADER.Subsystem != program.subsystem:
        faults.append(f"subsystem is {pe.OPTIONAL_HEADER.Subsystem}, not {program.subsystem}")
    return faults


def check_imports(pe):
    imported = {entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}
    return [f"imports {dll}, which is not a system library" for dll in sorted(imported - SYSTEM_DLLS)]


def check_version(pe, program):
    faults = []
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        return ["no version resource"]
    for field in ("FileVersion", "ProductVersion"):
        words = (getattr(fixed[0], field + "MS"), getattr(fixed[0], field + "LS"))
        if words != VERSION_WORDS:
            faults.append(f"fixed {field} is not {VERSION}")
    tables, translations = {}, []
    for info in (item for group in getattr(pe, "FileInfo", []) for item in group):
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables[table.LangID.decode().lower()] = {
                    k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations += var.entry.values()
    strings = tables.get(program.string_block)
    if strings is None:
        faults.append(f"no string block {program.string_block} (found {sorted(tables)})")
    else:
        for key, want in (("FileVersion", VERSION), ("ProductVersion", VERSION),
                          ("InternalName", program.name), ("OriginalFilename", program.name)):
            if strings.get(key) != want:
                faults.append(f"{key} is {strings.get(key)!r}, not {want!r}")
    want_translation = f"0x0409 0x{program.code_page:04x}"
    if [t.lower() for t in translations] != [want_translation]:
        faults.append(f"translation is {translations}, not [{want_translation!r}]")
    return faults


def check_manifest(resources, program):
    manifest = resources.get(RT_MANIFEST, {}).get(1)
    if manifest is None:
        return ["no manifest (resource 24, id 1)"]
    levels = re.findall(rb'<requestedExecutionLevel\s+level="([^"]*)"\s+uiAccess="([^"]*)"', manifest)
    if levels != [(program.level.encode(), b"false")]:
        return [f"execution level is {levels}, not {program.level} without uiAccess"]
    return []


def check_resources(resources, program):
    faults = []
    for kind, wanted in program.resources.items():
        missing = wanted - set(resources.get(kind, {}))
        if missing:
            faults.append(f"resource type {kind} lacks {sorted(missing)}")
    return faults


def check(source, program):
    """Every fault of one program, a file or its bytes, as readable lines."""
    try:
        pe = pefile.PE(data=source) if isinstance(source, bytes) else pefile.PE(str(source))
    except (OSError, pefile.PEFormatError) as error:
        return [f"cannot be read: {error}"]
    resources = resource_ids(pe)
    return (check_header(pe, program) + check_imports(pe) + check_version(pe, program)
            + check_manifest(resources, program) + check_resources(resources, program))


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    bin_dir = Path(argv[1])
    use_version(argv[2])
    failed = False
    for program in PROGRAMS:
        faults = check(bin_dir / program.name, program)
        for fault in faults:
            print(f"{program.name}: {fault}")
        if not faults:
            print(f"{program.name}: as shipped")
        failed = failed or bool(faults)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
