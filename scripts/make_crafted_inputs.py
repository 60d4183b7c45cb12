#!/usr/bin/env python3
"""Writes the two hostile inputs the scanner and the registry reader are
measured on (with /usr/bin/time -v, see README):

  crafted.img     36 MB of bare TRE headers, a million of them, 36 bytes
                  apiece; every fifth holds a box on the map.
  prefix/system.reg
                  135 KB: one key line of 45,000 parts and a value at its end,
                  in a folder laid out as a Wine prefix.

Usage: scripts/make_crafted_inputs.py FOLDER
"""
import os
import struct
import sys


def tre_header(usable):
    h = bytearray(36)
    h[0:2] = struct.pack("<H", 36)
    h[2:12] = b"GARMIN TRE"
    north = 0x200000 if usable else 0xE00000  # 45 or -45 degrees, south 0
    h[21:24] = north.to_bytes(3, "little")
    h[24:27] = (0x200000).to_bytes(3, "little")
    return bytes(h)


def main():
    folder = sys.argv[1]
    os.makedirs(os.path.join(folder, "prefix", "drive_c"), exist_ok=True)
    good, bad = tre_header(True), tre_header(False)
    with open(os.path.join(folder, "crafted.img"), "wb") as out:
        block = b"".join(good if k % 5 == 0 else bad for k in range(1000))
        for _ in range(1000):
            out.write(block)
    key = "\\\\".join("k" for _ in range(45000))
    with open(os.path.join(folder, "prefix", "system.reg"), "w", newline="\n") as out:
        out.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n")
        out.write("[" + key + "] 1700000000\n\"Deep\"=\"end\"\n")


if __name__ == "__main__":
    main()
