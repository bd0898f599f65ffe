#!/usr/bin/env python3
"""Checks the built executable's PE header: hardening flags, relocations,
imports from operating-system DLLs only, and no section both writable and
executable. Given the same program built for the other architecture, checks
that both import the same functions by the same mechanism.
Usage: pe_hardening_test.py <exe> [<other-architecture exe>]"""
import os
import sys
import unittest

import pefile

from pe_imports import (delay_loaded_dlls, functions_own_code_imports, imported_functions,
                        load_time_dlls)

# What a Win32 dialog program may import: the operating system's own DLLs.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll", "shell32.dll",
    "advapi32.dll", "msvcrt.dll", "ntdll.dll",
}
# API sets are forwarders into the system, resolved by the loader.
API_SET_PREFIXES = ("api-ms-win-", "ext-ms-win-")

# GetWindowLongPtr and SetWindowLongPtr are macros for GetWindowLong and
# SetWindowLong on 32-bit: the program's only own imports that differ by name.
POINTER_SIZED = {"GetWindowLongPtrA": "GetWindowLongA", "SetWindowLongPtrA": "SetWindowLongA"}

EXE = None
PEER = None


def own_imports(pe, exe):
    """{dll: functions} of the imports that the program's own code refers to, by
    the link map the build writes one folder above it. The rest come with the
    toolchain's runtime, which differs by architecture and by release."""
    build = os.path.dirname(os.path.dirname(os.path.abspath(exe)))
    own = functions_own_code_imports(os.path.join(build, "ZendryCertificates.map"))
    return {dll: sorted(POINTER_SIZED.get(f, f) for f in functions if f in own)
            for dll, functions in imported_functions(pe).items()}


class PeHardeningTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(EXE)

    def test_gui_subsystem_and_machine(self):
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem,
                         pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"])
        self.assertIn(self.pe.FILE_HEADER.Machine, (0x14C, 0x8664))

    def test_aslr_and_nx_flags(self):
        flags = self.pe.OPTIONAL_HEADER.DllCharacteristics
        for name in ("IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE",
                     "IMAGE_DLLCHARACTERISTICS_NX_COMPAT"):
            with self.subTest(flag=name):
                self.assertTrue(flags & pefile.DLL_CHARACTERISTICS[name], f"{name} not set")
        if self.pe.FILE_HEADER.Machine == 0x14C:
            # No SEH handlers are emitted for x86: the image must say so.
            self.assertTrue(flags & pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_NO_SEH"])

    def test_relocations_survive_for_aslr(self):
        directory = self.pe.OPTIONAL_HEADER.DATA_DIRECTORY[
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
        self.assertGreater(directory.Size, 0, "no base relocations")
        self.assertFalse(self.pe.FILE_HEADER.Characteristics &
                         pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_RELOCS_STRIPPED"])

    def test_imports_only_operating_system_dlls(self):
        names = [n.lower() for n in load_time_dlls(self.pe) + delay_loaded_dlls(self.pe)]
        self.assertTrue(names)
        foreign = [n for n in names
                   if n not in SYSTEM_DLLS and not n.startswith(API_SET_PREFIXES)]
        self.assertEqual(foreign, [], f"imports beyond the system: {foreign}")

    def test_picker_and_launch_dlls_are_not_loaded_at_start(self):
        # Loading them at start-up costs every run time that most runs never use;
        # the program loads them itself when first needed.
        at_start = {n.lower() for n in load_time_dlls(self.pe)}
        for dll in ("comdlg32.dll", "shell32.dll"):
            with self.subTest(dll=dll):
                self.assertNotIn(dll, at_start)

    def test_no_delay_imports(self):
        # dlltool's 32-bit delay-import thunks called address 0; the program's
        # own loader is the same source on both architectures.
        self.assertEqual(delay_loaded_dlls(self.pe), [])

    def test_same_imports_as_the_other_architecture(self):
        # Tests may run on the other architecture's build: a link mechanism that
        # only one of them uses would go unseen there.
        if PEER is None:
            self.skipTest("no build of the other architecture given")
        peer = pefile.PE(PEER)
        self.assertNotEqual(peer.FILE_HEADER.Machine, self.pe.FILE_HEADER.Machine)
        self.maxDiff = None
        own = own_imports(self.pe, EXE)
        # The program's own calls into the system, user32's and kernel32's at least.
        self.assertGreater(len(own.get("user32.dll", [])), 10)
        self.assertGreater(len(own.get("kernel32.dll", [])), 10)
        self.assertEqual(own, own_imports(peer, PEER))

    def test_no_section_is_writable_and_executable(self):
        write = pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_WRITE"]
        execute = pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_EXECUTE"]
        for section in self.pe.sections:
            name = section.Name.rstrip(b"\0").decode()
            with self.subTest(section=name):
                self.assertFalse(section.Characteristics & write and
                                 section.Characteristics & execute)

    def test_no_link_time_stamp(self):
        # Reproducible builds: the linker writes no time stamp.
        self.assertEqual(self.pe.FILE_HEADER.TimeDateStamp, 0)


if __name__ == "__main__":
    EXE = sys.argv.pop(1) if len(sys.argv) > 1 else os.environ.get("ZC_EXE")
    if not EXE:
        sys.exit("usage: pe_hardening_test.py <exe> [<other-architecture exe>]")
    PEER = sys.argv.pop(1) if len(sys.argv) > 1 else None
    unittest.main(verbosity=2)
