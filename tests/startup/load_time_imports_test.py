#!/usr/bin/env python3
"""The launcher's load-time imports, read from the built file with objdump.

Windows resolves a program's load-time imports before its first line runs, and looks for each in the
program's own folder first unless the library is on the system's known-library list (those always
come from the system folder). So the launcher may import at load time only known libraries; every
other library it uses is delay-loaded after the entry point has restricted the search to the system
folder. The entry point's call itself is imported too.

What only Windows can show: the known-library list itself and the loader's search order (Wine keeps
its own libraries for most names whatever the folder holds; tests/e2e's planted_libraries scenario
shows what Wine can). The list below is Windows 10's.

    load_time_imports_test.py OBJDUMP LAUNCHER_EXE
"""
import re
import subprocess
import sys
import unittest

OBJDUMP, LAUNCHER = sys.argv[1], sys.argv[2]

KNOWN_LIBRARIES = {
    "advapi32", "clbcatq", "combase", "comdlg32", "coml2", "difxapi", "gdi32", "gdiplus", "imagehlp", "imm32",
    "kernel32", "msctf", "msvcrt", "normaliz", "nsi", "ole32", "oleaut32", "psapi", "rpcrt4", "sechost",
    "setupapi", "shcore", "shell32", "shlwapi", "user32", "wldap32", "ws2_32",
}
# Used by the launcher, and on no known-library list: they must be delay-loaded.
DELAY_LOADED = {"winhttp", "bcrypt", "crypt32", "version", "dwmapi", "d2d1", "dwrite", "windowscodecs"}


def load_time_imports() -> dict:
    """Library (lower case, without ".dll") -> the names imported from it."""
    dump = subprocess.run([OBJDUMP, "-p", LAUNCHER], check=True, capture_output=True, text=True).stdout
    table = dump.split("The Import Tables", 1)[1]
    imports = {}
    for block in re.split(r"\n\s*DLL Name: ", table)[1:]:
        name, _, rest = block.partition("\n")
        imports[name.strip().lower().removesuffix(".dll")] = set(re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\w+)", rest, re.M))
    return imports


class LoadTimeImports(unittest.TestCase):
    def test_only_known_libraries_are_imported_at_load_time(self):
        imports = load_time_imports()
        self.assertIn("kernel32", imports)
        self.assertEqual(sorted(set(imports) - KNOWN_LIBRARIES), [])
        self.assertEqual(sorted(set(imports) & DELAY_LOADED), [])

    def test_the_search_is_restricted_by_the_entry_point(self):
        self.assertIn("SetDefaultDllDirectories", load_time_imports()["kernel32"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
