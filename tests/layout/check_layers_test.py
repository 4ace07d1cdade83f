#!/usr/bin/env python3
"""The layering check passes on the tree as it stands and catches each kind of breach."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import check_layers  # noqa: E402

SRC = pathlib.Path(__file__).resolve().parents[2] / "src"


def tree(files):
    root = pathlib.Path(tempfile.mkdtemp())
    for name, text in files.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)
    return root


class LayersTest(unittest.TestCase):
    def test_the_source_tree_reaches_only_downwards(self):
        self.assertEqual(check_layers.breaches(SRC), [])

    def test_breaches_are_found(self):
        cases = {
            # upwards, sideways on one row, into an unknown folder, and a library linked upwards
            "records/a.cpp": '#include "forms/find_box.h"\n',
            "customers/b.cpp": '#include "products/product_file.h"\n',
            "forms/c.h": '#include "gadgets/x.h"\n',
            "storage/CMakeLists.txt": "kestrava_library(kestrava_storage SOURCES a.cpp DEPS kestrava_records)\n",
            "stuff/d.cpp": "",
        }
        found = check_layers.breaches(tree(cases))
        self.assertEqual(len(found), len(cases), found)
        for name in cases:
            self.assertTrue(any(line.startswith(name) for line in found), name)

    def test_downwards_own_folder_and_platform_siblings_pass(self):
        root = tree({
            "shell/a.cpp": '#include "customers/x.h"\n#include "records/y.h"\n#include "shell/z.h"\n',
            "platform/barcode/b.cpp": '#include "platform/print/canvas.h"\n',
            "forms/CMakeLists.txt": "# DEPS kestrava_shell in a comment\n"
                                    "kestrava_library(kestrava_forms SOURCES a.cpp DEPS kestrava_records "
                                    "kestrava_platform_ui Qt6::Widgets)\n",
            "main.cpp": '#include "shell/start_up.h"\n',
        })
        self.assertEqual(check_layers.breaches(root), [])


if __name__ == "__main__":
    unittest.main()
