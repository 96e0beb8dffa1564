#!/usr/bin/env python3
"""Writes cp1251.txt: every byte of code page 1251 and the Unicode scalar Python's own codec
gives it, one line per byte, "BB UUUU" in hex; a byte the codec leaves undefined is written
"BB -". The codepage tests compare our table with this file.

Usage: make_cp1251.py > cp1251.txt"""

lines = ["# code page 1251 by Python's cp1251 codec: byte, Unicode scalar (- when undefined)"]
for byte in range(256):
    try:
        text = bytes([byte]).decode("cp1251")
        lines.append(f"{byte:02X} {ord(text):04X}")
    except UnicodeDecodeError:
        lines.append(f"{byte:02X} -")
print("\n".join(lines))
