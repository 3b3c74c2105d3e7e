#!/usr/bin/env python3
"""Writes the BIFF5 "Book" stream of biff5.xls (LibreOffice cannot save Excel 95 files).

Sheets: "Blad ÅÄÖ" (worksheet), "Diagram" (a chart sheet, not a worksheet), "PB  0%".
Texts and sheet names are Windows-1252 bytes (CODEPAGE 1252).
"""
import struct
import sys


def record(rtype, body=b""):
    return struct.pack("<HH", rtype, len(body)) + body


def bof(dt):
    return record(0x0809, struct.pack("<HHHH", 0x0500, dt, 0x0DBB, 0x07CC))


def cell(rtype, row, col, rest):
    return record(rtype, struct.pack("<HHH", row, col, 15) + rest)


def text(s):
    b = s.encode("cp1252")
    return struct.pack("<H", len(b)) + b


def formula(row, col, result, rgce):
    return cell(0x0006, row, col, result + struct.pack("<HIH", 0, 0, len(rgce)) + rgce)


def special(kind, value=0):
    return struct.pack("<BBBBBBH", kind, 0, value, 0, 0, 0, 0xFFFF)


sheet1 = b"".join([
    bof(0x0010),
    record(0x0200, struct.pack("<HHHHH", 0, 5, 0, 5, 0)),
    cell(0x0204, 0, 0, text("åäö € – Pb")),
    cell(0x0203, 0, 1, struct.pack("<d", 1.5)),
    cell(0x027E, 0, 2, struct.pack("<I", (7 << 2) | 2)),
    cell(0x027E, 0, 3, struct.pack("<I", (1234 << 2) | 3)),
    # MULRK A2:C2: 1, -2 (integers), 0.5 (the high 30 bits of the double)
    record(0x00BD, struct.pack("<HH", 1, 0)
           + struct.pack("<HI", 15, (1 << 2) | 2)
           + struct.pack("<Hi", 15, (-2 << 2) | 2)
           + struct.pack("<HI", 15, 0x3FE00000)
           + struct.pack("<H", 2)),
    # RSTRING D2 with one formatting run
    cell(0x00D6, 1, 3, text("Rik text") + struct.pack("<BBB", 1, 4, 1)),
    formula(2, 0, special(0), b"\x17\x01x"),
    record(0x0207, text("Blad ÅÄÖ€")),
    formula(2, 1, struct.pack("<d", 3.0), b"\x1e\x03\x00"),
    formula(2, 2, special(1, 1), b"\x1d\x01"),
    formula(2, 3, special(2, 0x07), b"\x1e\x01\x00\x1e\x00\x00\x06"),
    cell(0x0205, 3, 0, struct.pack("<BB", 0, 0)),
    cell(0x0205, 3, 1, struct.pack("<BB", 0x2A, 1)),
    cell(0x0201, 4, 4, b""),
    record(0x000A),
])
chart = bof(0x0020) + record(0x000A)
sheet3 = bof(0x0010) + cell(0x0203, 9, 2, struct.pack("<d", 99.0)) + record(0x000A)

names = [("Blad ÅÄÖ", 0x0000, sheet1), ("Diagram", 0x0200, chart), ("PB  0%", 0x0000, sheet3)]


def globals_stream(offsets):
    out = bof(0x0005) + record(0x0042, struct.pack("<H", 1252))
    for (name, grbit, _), offset in zip(names, offsets):
        b = name.encode("cp1252")
        out += record(0x0085, struct.pack("<IHB", offset, grbit, len(b)) + b)
    return out + record(0x000A)


start = len(globals_stream([0] * len(names)))
offsets = []
for _, _, substream in names:
    offsets.append(start)
    start += len(substream)
stream = globals_stream(offsets) + b"".join(s for _, _, s in names)
open(sys.argv[1], "wb").write(stream)
