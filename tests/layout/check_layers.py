#!/usr/bin/env python3
"""Checks that every folder of src/ reaches only downwards.

The folders stand in rows from the ground up (src/README.md). A file may include files of its own
folder and of folders on lower rows, never of a folder on its own row or above; each folder's
library lists only libraries of lower rows. Platform folders are one row and may use each other.

  check_layers.py [source root]      prints each breach and exits 1 when there is one
"""
import pathlib
import re
import sys

ROWS = [
    ["platform"],
    ["storage", "mail"],
    ["records"],
    ["forms"],
    ["reports"],
    ["documents"],
    ["exchange"],
    ["companies", "customers", "products"],
    ["invoicing", "purchasing"],
    ["shell"],
]
ROW = {folder: row for row, folders in enumerate(ROWS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
LIBRARY = re.compile(r"\bkestrava_([a-z_]+)")


def folder_of(relative):
    """The row folder of a path below src/ ("platform/ui/form.h" -> "platform")."""
    first = relative.split("/", 1)[0]
    return "shell" if first == "main.cpp" else first


def may_use(own, other):
    if own == other:
        return True
    if own not in ROW or other not in ROW:
        return False
    return ROW[other] < ROW[own]


def library_folder(name):
    # kestrava_platform_ui -> platform, kestrava_records -> records
    return "platform" if name.startswith("platform_") else name


def breaches(src):
    src = pathlib.Path(src)
    found = []
    for path in sorted(src.rglob("*")):
        if not path.is_file():
            continue
        relative = path.relative_to(src).as_posix()
        if "/" not in relative and relative != "main.cpp":
            continue  # the notes beside the folders
        own = folder_of(relative)
        if own not in ROW:
            found.append(f"{relative}: folder {own!r} has no row")
            continue
        if path.suffix in (".h", ".cpp"):
            for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if "/" not in included:
                    continue  # a header of the same directory
                other = folder_of(included)
                if not may_use(own, other):
                    found.append(f"{relative}: includes {included} ({other} is not below {own})")
        elif path.name == "CMakeLists.txt":
            text = re.sub(r"#.*", "", path.read_text(encoding="utf-8"))
            for deps in re.findall(r"DEPS([^)]*)\)", text):
                for name in LIBRARY.findall(deps):
                    other = library_folder(name)
                    if not may_use(own, other):
                        found.append(f"{relative}: links kestrava_{name} ({other} is not below {own})")
    return found


def main(argv):
    src = argv[1] if len(argv) > 1 else pathlib.Path(__file__).resolve().parents[2] / "src"
    found = breaches(src)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
