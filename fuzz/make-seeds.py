#!/usr/bin/env python3
"""Writes the hand-made edge inputs of the fuzz corpora (fuzz/corpus/TARGET/edge-*).

The committed fixtures (workbooks, their BIFF streams, input files) are the other seeds; these
add what the fixtures never show: empty and one-byte inputs, truncated headers, counts far
beyond the data, records that run past the end, odd line ends and number texts.
    fuzz/make-seeds.py            (from anywhere; writes into fuzz/corpus/)

The committed corpus holds these, the fixtures that add coverage, and inputs the fuzzers found
that add coverage (found-*), minimised with -merge=1 (see fuzz.sh).
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "edge-" + name), "wb") as f:
        f.write(data)


# --- BIFF streams --------------------------------------------------------------------------

def rec(kind, body=b""):
    return struct.pack("<HH", kind, len(body)) + body


def bof(version=0x0600, kind=0x0005):
    return rec(0x0809, struct.pack("<HH", version, kind) + b"\0" * 12)


EOF_ = rec(0x000A)


def short_name(text):
    return struct.pack("<BB", len(text), 0) + text.encode("latin-1")


def long_string(text, wide=False):
    if wide:
        return struct.pack("<HB", len(text), 1) + text.encode("utf-16-le")
    return struct.pack("<HB", len(text), 0) + text.encode("latin-1")


def workbook(sheets, sst=b"", extra_globals=b"", version=0x0600):
    """A stream with globals and the given sheets (name, cell records)."""

    def globals_part(offsets):
        body = bof(version, 0x0005) + rec(0x0042, struct.pack("<H", 1252)) + extra_globals
        for (name, _), offset in zip(sheets, offsets):
            if version == 0x0600:
                entry = struct.pack("<IBB", offset, 0, 0) + short_name(name)
            else:
                entry = struct.pack("<IBB", offset, 0, 0) + bytes([len(name)]) + name.encode()
            body += rec(0x0085, entry)
        return body + sst + EOF_

    offsets = [0] * len(sheets)
    start = len(globals_part(offsets))
    parts = []
    for name, cells in sheets:
        parts.append(bof(version, 0x0010) + cells + EOF_)
    at = start
    for i, part in enumerate(parts):
        offsets[i] = at
        at += len(part)
    return globals_part(offsets) + b"".join(parts)


def number(row, col, value):
    return rec(0x0203, struct.pack("<HHHd", row, col, 0, value))


def rk(row, col, value):
    return rec(0x027E, struct.pack("<HHHI", row, col, 0, value))


def biff_seeds():
    write("biff", "empty", b"")
    write("biff", "one-byte", b"\x09")
    write("biff", "bof-only", bof())
    write("biff", "bof-eof", bof() + EOF_)
    write("biff", "bof-truncated", bof()[:7])
    write("biff", "biff4-bof", rec(0x0409, struct.pack("<HH", 0, 0x10)))
    write("biff", "biff5", workbook([("Blad1", number(0, 0, 1.5))], version=0x0500))
    write("biff", "filepass", bof() + rec(0x002F, b"\x01\x00" + b"\0" * 52) + EOF_)
    write("biff", "record-past-end", bof() + struct.pack("<HH", 0x0085, 0xFFFF) + b"\0" * 8)
    write("biff", "continue-first", rec(0x003C, b"\0" * 8) + bof() + EOF_)
    # SST: a count far beyond its strings; one string split by CONTINUE, switching to 16 bits.
    write("biff", "sst-huge-count", workbook([("A", b"")],
                                             sst=rec(0x00FC, struct.pack("<II", 2**32 - 1,
                                                                         2**32 - 1))))
    split = rec(0x00FC, struct.pack("<II", 1, 1) + struct.pack("<HB", 6, 0) + b"abc")
    split += rec(0x003C, b"\x01" + "def".encode("utf-16-le"))
    cells = rec(0x00FD, struct.pack("<HHHI", 0, 0, 0, 0)) + rec(0x00FD,
                                                                struct.pack("<HHHI", 1, 0, 0, 7))
    write("biff", "sst-continue", workbook([("Blad1", cells)], sst=split))
    rich = rec(0x00FC, struct.pack("<II", 1, 1) + struct.pack("<HBHI", 2, 0x0C, 1, 4) + b"xy"
               + b"\0" * 4 + b"\0" * 4)
    write("biff", "sst-rich-phonetic", workbook([("Blad1", rec(0x00FD, struct.pack(
        "<HHHI", 0, 0, 0, 0)))], sst=rich))
    write("biff", "sheet-past-end",
          bof() + rec(0x0085, struct.pack("<IBB", 0x7FFFFFFF, 0, 0) + short_name("X")) + EOF_)
    write("biff", "sheet-at-globals",
          bof() + rec(0x0085, struct.pack("<IBB", 0, 0, 0) + short_name("X")) + EOF_)
    write("biff", "two-sheets-same-offset",
          workbook([("A", number(1, 1, 2)), ("a", number(0, 0, 1))]))
    mulrk = struct.pack("<HH", 3, 0) + b"".join(struct.pack("<HI", 0, (i << 2) | 2)
                                                for i in range(255)) + struct.pack("<H", 254)
    mulblank = struct.pack("<HH", 65535, 200) + struct.pack("<H", 0) * 56 + struct.pack("<H", 255)
    write("biff", "mulrk-mulblank-wide",
          workbook([("Blad1", rec(0x00BD, mulrk) + rec(0x00BE, mulblank))]))
    formula = rec(0x0006, struct.pack("<HHH", 0, 0, 0) + b"\x00\x00\x00\x00\x00\x00\xff\xff"
                  + b"\0" * 6)
    write("biff", "formula-text-without-string", workbook([("Blad1", formula)]))
    write("biff", "formula-text-string",
          workbook([("Blad1", formula + rec(0x0207, long_string("ab", wide=True)))]))
    boolerr = rec(0x0205, struct.pack("<HHHBB", 0, 1, 0, 0x2A, 1))
    nan = number(0, 2, float("nan"))
    write("biff", "boolerr-nan", workbook([("Blad1", boolerr + nan)]))
    rks = rk(0, 0, 0x3FF00001) + rk(0, 1, 0xFFFFFFFF) + rk(1, 0, 0x7FF00000)
    write("biff", "rk-values", workbook([("Blad1", rks)]))
    chart = bof(0x0600, 0x0020) + number(5, 5, 1) + EOF_
    write("biff", "embedded-chart", workbook([("Blad1", number(0, 0, 1) + chart)]))
    dialog = rec(0x0081, b"\x10\x00")
    write("biff", "dialog-sheet", workbook([("Dlg", dialog), ("Blad1", number(0, 0, 1))]))
    label = rec(0x0204, struct.pack("<HHH", 0, 0, 0) + long_string("text"))
    write("biff", "label-column-256", workbook([("Blad1", label + number(0, 256, 1))]))
    write("biff", "no-eof", workbook([("Blad1", number(0, 0, 1))])[:-4])


# --- Workbook files --------------------------------------------------------------------------

def read(path):
    with open(os.path.join(ROOT, path), "rb") as f:
        return f.read()


def patch(data, offset, fmt, *values):
    data = bytearray(data)
    struct.pack_into(fmt, data, offset, *values)
    return bytes(data)


def workbook_seeds():
    cells = read("tests/data/xls/cells.xls")
    write("workbook", "empty", b"")
    write("workbook", "one-byte", b"\xD0")
    write("workbook", "signature-only", cells[:8])
    write("workbook", "header-only", cells[:512])
    write("workbook", "header-truncated", cells[:76])
    write("workbook", "sector-shift-30", patch(cells, 0x1E, "<H", 30))
    write("workbook", "fat-count-huge", patch(cells, 0x2C, "<I", 0xFFFFFFFF))
    write("workbook", "directory-sector-huge", patch(cells, 0x30, "<I", 0x00FFFFFF))
    write("workbook", "minifat-huge", patch(cells, 0x40, "<I", 0x7FFFFFFF))
    # The directory entry of the workbook stream with a size far beyond the file.
    at = cells.find("Workbook".encode("utf-16-le"))
    if at >= 0:
        write("workbook", "stream-size-huge", patch(cells, at + 0x78, "<I", 0x7FFFFFF0))
        write("workbook", "stream-start-huge", patch(cells, at + 0x74, "<I", 0x00FFFFF0))
    write("workbook", "biff4-file", rec(0x0409, struct.pack("<HHH", 0, 0x10, 0)) + EOF_)
    write("workbook", "zip-file", b"PK\x03\x04" + b"\0" * 26)


# --- Input data files -----------------------------------------------------------------------

HEADING = "Emissionsberäkning tunnlar: Indata".encode("cp1252")
LABELS = ("Segment nr:\tLängd:\tLutning:\tPb, medelhastighet:\tPb, Flöde:\t"
          "Lb, medelhastighet:\tLb, Flöde:\tLbs, medelhastighet:\tLbs, Flöde:").encode("cp1252")


def input_file(count=b" 1 ", rows=(b"1\t400\t0\t50\t100\t50\t10\t50\t1",), wear=b"10\t0,5",
               scenario=b"Prov", year=b"2005", end=b"\r\n"):
    lines = [HEADING, b"2026-12-06 14:03:07", b"", scenario, year, count, b"", LABELS]
    lines += list(rows) + [b"", b"SPS-tal:\tAndel dubbadePb:", wear]
    return end.join(lines) + end


def inputfile_seeds():
    write("inputfile", "empty", b"")
    write("inputfile", "one-byte", b"E")
    write("inputfile", "heading-only", HEADING)
    write("inputfile", "heading-crlf", HEADING + b"\r\n")
    write("inputfile", "cr-only", input_file(end=b"\r"))
    write("inputfile", "lf-only", input_file(end=b"\n"))
    write("inputfile", "lf-cr", input_file(end=b"\n\r"))
    write("inputfile", "count-32767", input_file(count=b"32767"))
    write("inputfile", "count-32768", input_file(count=b"32768"))
    write("inputfile", "count-minus", input_file(count=b"-1"))
    write("inputfile", "count-half", input_file(count=b"0,5", rows=()))
    write("inputfile", "count-exponent", input_file(count=b"1E+0"))
    write("inputfile", "count-text", input_file(count=b"ett"))
    write("inputfile", "no-wear-line", input_file()[:-len(b"10\t0,5\r\n")])
    write("inputfile", "wear-blank", input_file(wear=b" \t"))
    write("inputfile", "wear-one-field", input_file(wear=b"10"))
    write("inputfile", "row-short", input_file(rows=(b"1\t400\t0\t50\t100\t50\t10\t50",)))
    write("inputfile", "row-numbers", input_file(
        count=b"3", rows=(b"07\t1E+39\t0\t50\t100\t50\t10\t50\t1",
                          b"40000\t1\t0\t50\t100\t50\t10\t50\t1",
                          b"2,5\t1,2345678\t-0,0\t1e-45\t3,4028235E+38\t5,\t,5\t-,5\t1")))
    write("inputfile", "scenario-high-bytes", input_file(scenario=b"\x80\x81\x8d\xa0\xff\ttab"))
    write("inputfile", "year-other", input_file(year=b"2015"))
    write("inputfile", "utf8-bom", b"\xef\xbb\xbf" + input_file())
    write("inputfile", "nul-bytes", input_file(rows=(b"1\t4\x0000\t0\t50\t100\t50\t10\t50\t1",)))


# --- Number texts ---------------------------------------------------------------------------
# The first byte: bit 0 en_US (else sv_SE), bit 1 UTF-16 little-endian (else UTF-8).

def number_seeds():
    texts = ["", "1,5", "1.5", "-0,5", "\u22122,5", "+7", ",5", "5,", ",", "-", "1E+08",
             "1,234568E+07", "1E-05", "1e-45", "3,4028235E+38", "3,5E+38", "1,7976931348623157E+308",
             "2,5", "3,5", "32767,5", "-32768,5", "-32768,6", " 12 ", "\t7\u00a0", "inf", "nan",
             "0x10", "1,2,3", "1 000", "\u0663", "\uff11", "1e", "1e+", "--1", "0" * 400 + "1",
             "9" * 40, "0,00499999", "0,005", "-0,005", "1,005", "123456789012345678"]
    for i, text in enumerate(texts):
        for mode in (0, 1):
            en = text.replace(",", ".") if mode else text
            write("numbertext", "%02d-%s" % (i, "en" if mode else "sv"),
                  bytes([mode]) + en.encode("utf-8"))
    write("numbertext", "utf16-sv", bytes([2]) + "\u22121,5E+3".encode("utf-16-le"))
    write("numbertext", "utf16-en", bytes([3]) + "-1.5e3".encode("utf-16-le"))
    write("numbertext", "utf16-lone-surrogate", bytes([2]) + b"1\x00\x00\xd8,\x005\x00")
    write("numbertext", "utf8-invalid", bytes([0]) + b"1,\xff5")
    # Raw bits for the formatters: NaN, infinity, a denormal.
    write("numbertext", "bits-nan", bytes([0]) + struct.pack("<d", float("nan")))
    write("numbertext", "bits-inf", bytes([1]) + struct.pack("<d", float("-inf")))
    write("numbertext", "bits-denormal", bytes([0]) + struct.pack("<f", 1e-45) + b"\0" * 4)


# --- .xlsx and .ods ------------------------------------------------------------------------

def zip_seeds():
    """The fixtures of tests/data/formats as they are, and repacked without compression, so
    that the fuzzer's changes reach the XML (the zip's checksums are not checked)."""
    import glob
    import shutil
    import zipfile
    formats = os.path.join(ROOT, "tests", "data", "formats")
    for target in ("xlsx", "ods"):
        folder = os.path.join(CORPUS, target)
        os.makedirs(folder, exist_ok=True)
        for path in sorted(glob.glob(os.path.join(formats, "**", "*." + target), recursive=True)):
            if os.path.basename(path) == "zipbomb.xlsx":
                continue  # 80 MB inflated: refused at once, and slows every mutation of it
            name = os.path.relpath(path, formats).replace(os.sep, "-")
            # Deflated, the large workbooks add little over their stored copies below.
            if not name.startswith(("default-", "calc-")):
                shutil.copyfile(path, os.path.join(folder, name))
            if "lyingsize" in name:
                continue  # its part does not inflate to the size it gives
            with zipfile.ZipFile(path) as zin, zipfile.ZipFile(
                    os.path.join(folder, "stored-" + name), "w", zipfile.ZIP_STORED) as zout:
                for info in zin.infolist():
                    # Parts the readers never open only slow the fuzzer down.
                    if not info.filename.endswith(("styles.xml", "settings.xml", ".png")):
                        zout.writestr(info.filename, zin.read(info.filename))
    write("xlsx", "zip-empty", b"PK\x05\x06" + b"\0" * 18)
    write("ods", "local-header-only", b"PK\x03\x04" + b"\0" * 26)


if __name__ == "__main__":
    zip_seeds()
    biff_seeds()
    workbook_seeds()
    inputfile_seeds()
    number_seeds()
