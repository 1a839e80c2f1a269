"""Calling the Tesserine engine from Python through ctypes.

On Windows, Tesserine.dll uses __stdcall, so it is loaded with ctypes.WinDLL
(a 32-bit Python needs the 32-bit DLL, a 64-bit Python the 64-bit one).
Elsewhere libtesserine.so uses the platform's only convention (ctypes.CDLL).

    python tesserine_ctypes.py [LIBRARY] [TEXT]

writes qr.bmp and prints the symbol as text.
"""
import ctypes
import os
import sys
from ctypes import POINTER, byref, c_char, c_char_p, c_double, c_int, c_short, c_uint


def load(path=None):
    """Loads the engine and declares the argument and result types of its exports."""
    if os.name == "nt":
        lib = ctypes.WinDLL(path or "Tesserine.dll")
    else:
        lib = ctypes.CDLL(path or "libtesserine.so.1")
    signatures = {
        "QRSetDefault": ([], None),
        "QRSetSize": ([c_int, c_int], None),
        "QRSetMessage": ([c_char_p], None),
        "QRConfigure": ([c_int, c_int, c_int], None),
        "QRAppearance": ([c_double, c_int, c_int], None),
        "QRSetBackColor": ([c_int, c_int, c_int], None),
        "QRSetBarColor": ([c_int, c_int, c_int], None),
        "QRSaveAsBMP": ([c_char_p], c_short),
        "QRSaveAsWMF": ([c_char_p], c_short),
        "QRCopyToClipboard": ([], c_short),
        "QRGetActualRC": ([POINTER(c_short), POINTER(c_short)], None),
        "QRGetPatternData": ([POINTER(c_char), POINTER(c_uint), POINTER(c_short), POINTER(c_short)], c_short),
    }
    for name, (arguments, result) in signatures.items():
        function = getattr(lib, name)
        function.argtypes = arguments
        function.restype = result
    return lib


def ansi(text):
    """The bytes the engine expects: the system's ANSI code page on Windows
    (the engine never converts character sets), UTF-8 elsewhere."""
    return text.encode("mbcs" if os.name == "nt" else "utf-8")


def save_bmp(lib, message, path, level=1):
    """Black on white, 0.2 cm modules, upright, 500 x 500: True when written."""
    lib.QRSetMessage(message)
    lib.QRSetBackColor(255, 255, 255)
    lib.QRSetBarColor(0, 0, 0)
    lib.QRConfigure(0, level, 0)  # automatic version, level M, automatic mask
    lib.QRAppearance(0.2, 1, 0)
    lib.QRSetSize(500, 500)
    return lib.QRSaveAsBMP(os.fsencode(path)) == -1


def pattern(lib):
    """The current symbol as rows of '1' (dark) and '0' (light), top row
    first; empty when the message fits no version."""
    length, rows, columns = c_uint(0), c_short(0), c_short(0)
    lib.QRGetPatternData(None, byref(length), byref(rows), byref(columns))  # asks for the size
    if length.value == 0:
        return []
    buffer = ctypes.create_string_buffer(length.value)
    lib.QRGetPatternData(buffer, byref(length), byref(rows), byref(columns))
    n, data = rows.value, buffer.raw
    # Columns left to right, each from its bottom row up.
    return ["".join(chr(data[c * n + n - 1 - r]) for c in range(n)) for r in range(n)]


if __name__ == "__main__":
    engine = load(sys.argv[1] if len(sys.argv) > 1 else None)
    text = sys.argv[2] if len(sys.argv) > 2 else "Hello from ctypes"
    if not save_bmp(engine, ansi(text), "qr.bmp"):
        sys.exit("QRSaveAsBMP failed")
    for row in pattern(engine):
        print(row.replace("1", "##").replace("0", "  "))
