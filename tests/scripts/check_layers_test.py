#!/usr/bin/env python3
"""scripts/check-layers on small trees: every include against the layering is
named, includes that respect it pass, and the real tree passes."""
import pathlib
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
SCRIPT = ROOT / "scripts" / "check-layers"


def run(src):
    return subprocess.run([sys.executable, str(SCRIPT), str(src)], capture_output=True, text=True)


class CheckLayers(unittest.TestCase):
    def tree(self, files):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        src = pathlib.Path(folder.name)
        for name, text in files.items():
            path = src / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text)
        return src

    def test_includes_against_the_layering_are_each_named(self):
        cases = {
            "upward": ("storage/store.cpp", '#include "check/checkurl.h"\n', "storage/ includes check/checkurl.h, a folder above it"),
            "sideways": ("fetch/fetcher.cpp", '#include "strip/strippers.h"\n', "fetch/ includes strip/strippers.h, a folder beside it"),
            "program into program": ("cli/main.cpp", '#include "dialogs/aboutbox.h"\n', "cli/ includes dialogs/aboutbox.h, a folder beside it"),
            "core into desktop": ("text/lines.h", '  #  include "app/mainwindow.h"\n', "text/ includes app/mainwindow.h, a folder above it"),
        }
        for name, (file, line, message) in cases.items():
            with self.subTest(name):
                src = self.tree({file: "#pragma once\n" + line, "check/checkurl.h": ""})
                result = run(src)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(f"{src / file}:2: {message}", result.stderr)

    def test_own_and_lower_folders_and_system_headers_pass(self):
        src = self.tree({
            "app/window.cpp": '#include "app/window.h"\n#include "check/checkurl.h"\n#include "text/lines.h"\n#include <QString>\n',
            "storage/settings.h": '#include "strip/strippers.h"\n#include "text/buildinfo.h"\n',
            "check/run.cpp": '#include "uimodel/urllistmodel.h"\n#include "fetch/fetcher.h"\n',
        })
        result = run(src)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, "")

    def test_a_folder_without_a_level_is_reported(self):
        src = self.tree({"newthing/a.cpp": '#include "text/lines.h"\n'})
        result = run(src)
        self.assertEqual(result.returncode, 1)
        self.assertIn("folder 'newthing' has no level", result.stderr)

    def test_the_source_tree_keeps_its_layering(self):
        result = run(ROOT / "src")
        self.assertEqual(result.returncode, 0, result.stderr)


if __name__ == "__main__":
    unittest.main()
