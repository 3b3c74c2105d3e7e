#!/usr/bin/env python3
"""Turns one readable text source into one workbook: .xls, .xlsx or .ods, by OUT's extension.

Usage: tools/make-workbook.py SOURCE.txt OUT.xls|OUT.xlsx|OUT.ods

The source is written as a flat-XML OpenDocument spreadsheet (.fods) into a temporary
directory and converted with LibreOffice (soffice --headless --convert-to), which also
computes and stores the cached results of formula cells. Only the Python standard library is
used. Set SOFFICE to use another LibreOffice binary.

Source format (UTF-8 text, one line per sheet row):

  # comment               A line whose first character is '#' is a comment and ignored.
  == SHEET: <name>        Starts a worksheet; sheets appear in the workbook in source order.
                          The name is everything after "== SHEET: " exactly as written,
                          blanks included (trailing blanks too, so do not leave any by
                          accident): "== SHEET: PB  0%" names the sheet "PB  0%".
  == OFFSET: R C          Optional, directly after the sheet header: the sheet's first source
                          row goes to sheet row R and its first field to column C (1-based),
                          so the used range can start elsewhere than A1. Default 1 1.
  .                       A line that is a single '.' is an entirely empty row that still
                          belongs to the used range (formatted blank cells across the sheet's
                          columns), so a used range can end in empty rows.
  (empty line)            A row with no cells: it takes a row number, but holds nothing.
  anything else           One sheet row. Fields are separated by TAB, the first field is the
                          first column. Each field is one cell:
                            - an empty field is no cell;
                            - a number when it parses as a C-locale float ("0.046", "-7",
                              "1e-3"; no blanks, no "inf"/"nan", no decimal comma);
                            - a formula when it starts with '=', in the spreadsheet's English
                              A1 syntax with ',' between arguments ("=1-SUM(K3:K7)"); the
                              workbook stores it with its computed result;
                            - a text when it starts with "'": the quote is dropped, so "'123"
                              is the text 123, "'=x" the text =x and "'" alone the empty text;
                            - otherwise a text, exactly as written (blanks kept).

A text cell in column A that starts with '#', '==' or is '.' must be quoted with "'".
Line ends (LF or CR LF) are not part of the last field.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape, quoteattr

NUMBER = re.compile(r"[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\Z", re.ASCII)
OFFSET = re.compile(r"== OFFSET: *(\d+) +(\d+) *\Z")
SHEET_PREFIX = "== SHEET: "
FORBIDDEN_IN_SHEET_NAME = set("[]:*?/\\")


class SourceError(Exception):
    pass


class Sheet:
    def __init__(self, name, line_no):
        self.name = name
        self.line_no = line_no
        self.row_offset = 0  # 0-based sheet row of the first source row
        self.col_offset = 0  # 0-based sheet column of the first field
        self.rows = []  # list of (kind, cells); kind "row" or "blank"

    def width(self):
        return max((len(cells) for kind, cells in self.rows if kind == "row"), default=1) or 1


def parse_cell(field):
    """Returns (kind, value) for one source field: None, ('number', float), ('formula', str),
    ('text', str)."""
    if field == "":
        return None
    if NUMBER.match(field):
        return ("number", float(field))
    if field.startswith("="):
        return ("formula", field)
    if field.startswith("'"):
        return ("text", field[1:])
    return ("text", field)


def parse_source(text, source_name):
    sheets = []
    for line_no, raw in enumerate(text.split("\n"), start=1):
        line = raw[:-1] if raw.endswith("\r") else raw
        where = "%s:%d" % (source_name, line_no)
        if line.startswith("#"):
            continue
        if line.startswith(SHEET_PREFIX):
            name = line[len(SHEET_PREFIX):]
            if not name or len(name) > 31 or set(name) & FORBIDDEN_IN_SHEET_NAME:
                raise SourceError("%s: invalid sheet name %r" % (where, name))
            if any(s.name.lower() == name.lower() for s in sheets):
                raise SourceError("%s: sheet %r appears twice" % (where, name))
            sheets.append(Sheet(name, line_no))
            continue
        if line.startswith("== OFFSET:"):
            m = OFFSET.match(line)
            if not sheets or sheets[-1].rows or not m or int(m.group(1)) < 1 \
                    or int(m.group(2)) < 1:
                raise SourceError("%s: '== OFFSET: R C' belongs directly after a sheet header,"
                                  " with R and C from 1" % where)
            sheets[-1].row_offset = int(m.group(1)) - 1
            sheets[-1].col_offset = int(m.group(2)) - 1
            continue
        if line.startswith("=="):
            raise SourceError("%s: unknown directive %r (quote a text with ')" % (where, line))
        if not sheets:
            if line == "":
                continue  # blank lines before the first sheet
            raise SourceError("%s: row before the first '== SHEET:' line" % where)
        if line == ".":
            sheets[-1].rows.append(("blank", []))
        else:
            if re.search(r"[\x00-\x08\x0b-\x1f]", line):
                raise SourceError("%s: control character in a row" % where)
            sheets[-1].rows.append(("row", [parse_cell(f) for f in line.split("\t")]))
    # A final line end does not make an extra row; nor do blank lines at a sheet's end, which
    # would hold nothing anyway.
    for sheet in sheets:
        while sheet.rows and sheet.rows[-1] == ("row", [None]):
            sheet.rows.pop()
    if not sheets:
        raise SourceError("%s: no '== SHEET:' line" % source_name)
    return sheets


def text_paragraph(value):
    """The <text:p> of a text cell; a blank at either end or after another blank must be
    written as <text:s/>, or the reader collapses it."""
    out = []
    for i, ch in enumerate(value):
        if ch == " " and (i == 0 or i == len(value) - 1 or value[i - 1] == " "):
            out.append("<text:s/>")
        else:
            out.append(escape(ch))
    return "<text:p>%s</text:p>" % "".join(out)


def cell_xml(cell):
    if cell is None:
        return "<table:table-cell/>"
    kind, value = cell
    if kind == "number":
        return ('<table:table-cell office:value-type="float" office:value="%s"/>'
                % repr(value))
    if kind == "formula":
        # msoxl: the formula is in the spreadsheet's English A1 syntax, as in the source.
        return '<table:table-cell table:formula=%s/>' % quoteattr("msoxl:" + value)
    return ('<table:table-cell office:value-type="string" office:string-value=%s>%s'
            '</table:table-cell>' % (quoteattr(value), text_paragraph(value)))


def sheet_xml(sheet):
    out = ['<table:table table:name=%s>' % quoteattr(sheet.name)]
    if sheet.col_offset:
        out.append('<table:table-column table:number-columns-repeated="%d"/>'
                   % sheet.col_offset)
    out.append('<table:table-column table:number-columns-repeated="%d"/>' % sheet.width())
    if sheet.row_offset:
        out.append('<table:table-row table:number-rows-repeated="%d"><table:table-cell/>'
                   '</table:table-row>' % sheet.row_offset)
    lead = ('<table:table-cell table:number-columns-repeated="%d"/>' % sheet.col_offset
            if sheet.col_offset else "")
    for kind, cells in sheet.rows:
        if kind == "blank":
            # A style of its own makes the spreadsheet keep these cells as formatted blanks.
            out.append('<table:table-row>%s<table:table-cell table:style-name="blank" '
                       'table:number-columns-repeated="%d"/></table:table-row>'
                       % (lead, sheet.width()))
        else:
            out.append("<table:table-row>%s%s</table:table-row>"
                       % (lead, "".join(cell_xml(c) for c in cells)))
    out.append("</table:table>")
    return "\n".join(out)


def fods(sheets):
    return """<?xml version="1.0" encoding="UTF-8"?>
<office:document
 xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 xmlns:msoxl="http://schemas.microsoft.com/office/excel/formula"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
<style:style style:name="blank" style:family="table-cell" style:parent-style-name="Default">
<style:table-cell-properties style:cell-protect="none"/></style:style>
</office:automatic-styles>
<office:body><office:spreadsheet>
%s
</office:spreadsheet></office:body></office:document>
""" % "\n".join(sheet_xml(s) for s in sheets)


# LibreOffice's export filter for each workbook format.
FILTERS = {".xls": "xls:MS Excel 97", ".xlsx": "xlsx:Calc MS Excel 2007 XML",
           ".ods": "ods:calc8"}


def convert(fods_path, out_dir, extension=".xls"):
    soffice = os.environ.get("SOFFICE", "soffice")
    # A profile of our own, so a running LibreOffice or a parallel run does not interfere.
    profile = os.path.join(out_dir, "profile")
    cmd = [soffice, "-env:UserInstallation=file://" + profile, "--headless",
           "--convert-to", FILTERS[extension], "--outdir", out_dir, fods_path]
    result = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    xls = os.path.splitext(fods_path)[0] + extension
    if result.returncode != 0 or not os.path.isfile(xls) or os.path.getsize(xls) == 0:
        raise SourceError("LibreOffice could not convert %s:\n%s" % (fods_path, result.stdout))
    return xls


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make-workbook.py SOURCE.txt OUT.xls|OUT.xlsx|OUT.ods\n")
        return 2
    source, target = argv[1], argv[2]
    extension = os.path.splitext(target)[1].lower()
    if extension not in FILTERS:
        sys.stderr.write("make-workbook.py: OUT must end in .xls, .xlsx or .ods\n")
        return 2
    try:
        with open(source, encoding="utf-8") as f:
            sheets = parse_source(f.read(), source)
        with tempfile.TemporaryDirectory(prefix="make-workbook-") as tmp:
            path = os.path.join(tmp, "workbook.fods")
            with open(path, "w", encoding="utf-8") as f:
                f.write(fods(sheets))
            xls = convert(path, tmp, extension)
            # Replace the target only once the new workbook is complete.
            partial = target + ".part"
            shutil.copyfile(xls, partial)
            os.replace(partial, target)
    except (OSError, UnicodeDecodeError, SourceError) as e:
        sys.stderr.write("make-workbook.py: %s\n" % e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
