"""Runs docs/examples/tesserine_ctypes.py against a native libtesserine.so.

    python3 test_ctypes_example.py LIBRARY
"""
import importlib.util
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLE = ROOT / "docs" / "examples" / "tesserine_ctypes.py"
LIBRARY = None


def example():
    module_spec = importlib.util.spec_from_file_location("tesserine_ctypes", EXAMPLE)
    module = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(module)
    return module


class CtypesExample(unittest.TestCase):
    def setUp(self):
        self.ex = example()
        self.lib = self.ex.load(LIBRARY)
        self.dir = tempfile.mkdtemp()

    def tearDown(self):
        shutil.rmtree(self.dir)

    def test_pattern_has_the_finder_patterns(self):
        self.ex.save_bmp(self.lib, b"HELLO", os.path.join(self.dir, "a.bmp"))
        rows = self.ex.pattern(self.lib)
        self.assertEqual(len(rows), 21)
        self.assertTrue(all(len(r) == 21 for r in rows))
        self.assertEqual(rows[0][:7], "1111111")
        self.assertEqual(rows[0][-7:], "1111111")
        self.assertEqual(rows[-1][:7], "1111111")
        self.assertEqual(rows[6][:8], "11111110")

    def test_message_that_fits_no_version_gives_no_pattern(self):
        self.lib.QRSetMessage(b"7" * 7090)
        self.assertEqual(self.ex.pattern(self.lib), [])

    @unittest.skipUnless(shutil.which("zbarimg"), "zbarimg not installed")
    def test_bmp_decodes_to_the_message_bytes(self):
        message = "Grüße, 中文 via ctypes".encode("utf-8")
        path = os.path.join(self.dir, "qr.bmp")
        self.assertTrue(self.ex.save_bmp(self.lib, message, path))
        with open(path, "rb") as f:
            header = f.read(30)
        self.assertEqual(header[:2], b"BM")
        self.assertEqual(header[28], 1)  # black on white: 1 bit per pixel
        decoded = subprocess.run(["zbarimg", "-q", "--raw", "--nodbus", "-Sbinary", path],
                                 capture_output=True, check=False).stdout
        self.assertEqual(decoded.rstrip(b"\n"), message)

    def test_runs_as_a_script(self):
        result = subprocess.run([sys.executable, str(EXAMPLE), LIBRARY, "SCRIPT"], cwd=self.dir,
                                capture_output=True, text=True, check=False)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(result.stdout.splitlines()), 21)
        self.assertTrue(os.path.exists(os.path.join(self.dir, "qr.bmp")))


if __name__ == "__main__":
    LIBRARY = os.path.abspath(sys.argv.pop(1))
    unittest.main()
