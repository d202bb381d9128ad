#!/usr/bin/env python3
"""The compiler refuses inconsistent window sources instead of writing a stream from them."""
import os
import subprocess
import sys
import tempfile
import unittest

COMPILER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "form_compiler.py")

VALID = """handlers A B
window 0x52010001
  stored 0 0
  texts "" ""
unit 0x06010000 window
  source 0
  name ""
  second-name ""
  position 1 2 3 4
  container window
  cursor default
  tag ""
  flags visible
  on 0 A
  data 6
    dword 1
unit 0x16010002 group-box
  source 0
  name "组"
  second-name ""
  position 1 2 3 4
  container window
  children 0x16010003
  cursor default
  tag ""
  flags visible
  data 1
    block {
      ztext "x"
    }
unit 0x16010003 edit-box
  source 0
  name "框"
  second-name ""
  position 1 2 3 4
  container 0x16010002
  cursor default
  tag ""
  flags visible tabstop
  on 1 B
  data 2
    items "一" "二"
"""


def compile_source(source):
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "w.form")
        with open(path, "w", encoding="utf-8") as f:
            f.write(source)
        out = os.path.join(d, "w.bin")
        run = subprocess.run([sys.executable, COMPILER, path, "--stream", out],
                             capture_output=True, text=True)
        data = None
        if run.returncode == 0:
            with open(out, "rb") as f:
                data = f.read()
        return run, data


class FormCompilerTest(unittest.TestCase):
    def test_valid_source_compiles(self):
        run, data = compile_source(VALID)
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn("组".encode("cp936") + b"\0", data)
        # Nested block: length 2, then "x\0"; items: 16-bit count 2, then counted texts.
        self.assertIn(b"\x02\0\0\0x\0", data)
        self.assertIn(b"\x02\0\x02\0\0\0" + "一".encode("cp936"), data)

    def test_inconsistent_sources_are_refused(self):
        cases = {
            "child not listed by its container": ("  children 0x16010003\n", ""),
            "container that is no unit": ("container 0x16010002", "container 0x16010009"),
            "handler not in the table": ("on 1 B", "on 1 C"),
            "event bound twice": ("  on 0 A\n", "  on 0 A\n  on 0 B\n"),
            "missing field": ("  tag \"\"\n  flags visible tabstop", "  flags visible tabstop"),
            "field given twice": ("  source 0\n  name \"框\"", "  source 0\n  source 0\n  name \"框\""),
            "block left open": ("      ztext \"x\"\n    }\n", "      ztext \"x\"\n"),
            "window's own unit not first": ("unit 0x06010000 window", "unit 0x06010000 label"),
            "repeated unit identifier": ("unit 0x16010003 edit-box", "unit 0x16010002 edit-box"),
            "invalid identifier": ("unit 0x16010003 edit-box", "unit 0x16000000 edit-box"),
            "dword out of range": ("    dword 1\n", "    dword 0x100000000\n"),
            "text GBK cannot hold": ("name \"框\"", "name \"\U0001F600\""),
            "unknown keyword": ("  flags visible\n  data 1", "  flags visible\n  colour 1\n  data 1"),
        }
        for name, (old, new) in cases.items():
            with self.subTest(name):
                self.assertIn(old, VALID)
                run, data = compile_source(VALID.replace(old, new, 1))
                self.assertNotEqual(run.returncode, 0)
                self.assertIsNone(data)
                self.assertIn("w.form", run.stderr)
                self.assertNotIn("Traceback", run.stderr)


if __name__ == "__main__":
    unittest.main()
