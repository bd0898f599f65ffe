#!/usr/bin/env python3
"""The DLLs a PE file imports: at load time, and delay-loaded (on first call).
Usage: pe_imports.py <exe>   prints two lines, "imports: ..." and "delay-loaded: ..."."""
import itertools
import os
import re
import struct
import sys

import pefile

DELAY_IMPORT = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]


def load_time_dlls(pe):
    return [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]


def imported_functions(pe):
    """{dll: sorted function names}, load-time imports, DLL names in lower case."""
    return {entry.dll.decode().lower():
            sorted(i.name.decode() if i.name else f"#{i.ordinal}" for i in entry.imports)
            for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}


def functions_own_code_imports(link_map):
    """The functions whose import entries the program's own objects refer to,
    by the map's cross references: a symbol and its definer on one line, then a
    line for each referrer, the build's own with relative paths."""
    own, name = set(), None
    with open(link_map, encoding="utf-8", errors="replace") as lines:
        table = itertools.dropwhile(lambda text: not text.startswith("Cross Reference"), lines)
        for line in table:
            if line.strip() and not line[0].isspace():
                # __imp_Name on x86_64, _imp__Name@bytes on i686.
                name = re.fullmatch(r"(?:__imp_|_imp__)(.+?)(?:@\d+)?", line.split()[0])
            elif line.strip() and name and not os.path.isabs(line.strip()):
                own.add(name.group(1))
    return own


def delay_loaded_dlls(pe):
    if pe.OPTIONAL_HEADER.DATA_DIRECTORY[DELAY_IMPORT].Size:
        return [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])]
    # GNU ld links delay-import descriptors without filling the data directory:
    # find them in the image. Each is eight 32-bit fields: attributes (1: RVAs),
    # then the RVAs of the DLL's name, its module handle, import address and
    # name tables, two optional tables, and a zero time stamp.
    image = pe.get_memory_mapped_image()
    size = len(image)
    names = []
    for offset in range(0, size - 32, 4):
        attributes, name, handle, iat, names_table, _, _, stamp = struct.unpack_from(
            "<8I", image, offset)
        if attributes != 1 or stamp != 0:
            continue
        if not all(0 < rva < size for rva in (name, handle, iat, names_table)):
            continue
        text = image[name:image.find(b"\0", name)]
        if re.fullmatch(rb"[A-Za-z0-9_.-]+\.dll", text, re.IGNORECASE):
            names.append(text.decode())
    return names


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: pe_imports.py <exe>")
    pe = pefile.PE(sys.argv[1])
    print("imports:", " ".join(load_time_dlls(pe)))
    print("delay-loaded:", " ".join(delay_loaded_dlls(pe)))
