#!/usr/bin/env python3
"""Writes damaged and hostile .xlsx and .ods files for the tests, from LibreOffice's mixed.xlsx
and mixed.ods (tools/make-format-fixtures.sh). Standard library only.

Usage: tools/make-hostile-workbooks.py MIXED.xlsx MIXED.ods OUTDIR

  zipbomb.xlsx      the sheet inflates to 80 MB of blanks (about 80 KB packed)
  lyingsize.xlsx    the zip directory gives the sheet a size of 100 bytes; it is larger
  xmlbomb.xlsx      the sheet nests entity definitions ("billion laughs")
  nosheetpart.xlsx  the sheet's part is missing from the zip
  millionrows.xlsx  a value in row 1,000,000
  millionrows.ods   the same in an .ods: rows repeated, then a value
  edgeformat.ods    formatting repeated to the sheet's last row and column around a value in
                    C3; the formatted columns' cells A3:B3 count, the repeats to the edge not
  noresult.xlsx     a formula without its cached result in A1
  noresult.ods      the same in an .ods
  handmade.xlsx     written here, not by a spreadsheet: a chart sheet before the worksheet
                    "Data"; B2:F2 hold a rich text with a phonetic guide, the text A_x000D_B
                    escaped, an inline text, the error #N/A and the boolean false; A3 and B3
                    give no reference of their own
  literals.ods      in A1:E1 (row repeated twice): the booleans true and false, a text with
                    three blanks and a comment, noon on 2000-01-01, 50 %
"""

import os
import struct
import sys
import zipfile

SHEET = "xl/worksheets/sheet1.xml"
SHEET_START = ('<?xml version="1.0" encoding="UTF-8"?>\n<worksheet xmlns="http://schemas.'
               'openxmlformats.org/spreadsheetml/2006/main"><sheetData>')
SHEET_END = "</sheetData></worksheet>"


def rewrite(source, target, replace=None, drop=()):
    """Copies a zip, with parts replaced (name -> bytes) or left out."""
    replace = replace or {}
    with zipfile.ZipFile(source) as zin, zipfile.ZipFile(target, "w") as zout:
        for info in zin.infolist():
            if info.filename in drop:
                continue
            data = replace.get(info.filename, zin.read(info.filename))
            # The .ods mimetype stays first and stored, as the format wants.
            method = zipfile.ZIP_STORED if info.filename == "mimetype" else zipfile.ZIP_DEFLATED
            zout.writestr(info.filename, data, compress_type=method)


def lie_about_size(path, name, size):
    """Sets the uncompressed size of one part in its local header and the directory."""
    data = bytearray(open(path, "rb").read())
    encoded = name.encode()
    for signature, field in ((b"PK\x03\x04", 22), (b"PK\x01\x02", 24)):
        name_at = 30 if signature == b"PK\x03\x04" else 46
        at = data.find(signature)
        while at >= 0:
            length = struct.unpack_from("<H", data, at + (26 if name_at == 30 else 28))[0]
            if bytes(data[at + name_at:at + name_at + length]) == encoded:
                struct.pack_into("<I", data, at + field, size)
            at = data.find(signature, at + 4)
    open(path, "wb").write(bytes(data))


def ods_content(rows):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content '
            'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body>'
            '<office:spreadsheet><table:table table:name="Blad1">%s</table:table>'
            '</office:spreadsheet></office:body></office:document-content>' % rows).encode()


def handmade_xlsx(path):
    main_ns = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    rel_ns = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    rel_type = rel_ns + "/"
    parts = {
        "[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/'
                               'content-types"/>',
        "_rels/.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/'
                       'relationships"><Relationship Id="rId1" Type="%sofficeDocument" '
                       'Target="xl/workbook.xml"/></Relationships>' % rel_type,
        "xl/workbook.xml": '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Diagram" '
                           'sheetId="1" r:id="rId1"/><sheet name="Data" sheetId="2" r:id="rId2"/>'
                           '</sheets></workbook>' % (main_ns, rel_ns),
        "xl/_rels/workbook.xml.rels":
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="rId1" Type="%schartsheet" Target="chartsheets/sheet1.xml"/>'
            '<Relationship Id="rId2" Type="%sworksheet" Target="/xl/worksheets/../worksheets/'
            'data.xml"/><Relationship Id="rId3" Type="%ssharedStrings" '
            'Target="sharedStrings.xml"/></Relationships>' % (rel_type, rel_type, rel_type),
        "xl/sharedStrings.xml": '<sst xmlns="%s"><si><r><t>Rik </t></r><r><t>text</t></r><rPh>'
                                '<t>ふりがな</t></rPh></si><si><t>A_x000D_B</t></si></sst>'
                                % main_ns,
        "xl/worksheets/data.xml":
            '<worksheet xmlns="%s"><sheetData><row r="2"><c r="B2" t="s"><v>0</v></c>'
            '<c r="C2" t="s"><v>1</v></c><c r="D2" t="inlineStr"><is><t>inne</t></is></c>'
            '<c r="E2" t="e"><v>#N/A</v></c><c r="F2" t="b"><v>0</v></c></row>'
            '<row><c><v>1.5E-3</v></c><c><v>-4</v></c></row></sheetData></worksheet>' % main_ns,
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            z.writestr(name, text.encode())


def main(argv):
    if len(argv) != 4:
        sys.stderr.write(__doc__)
        return 2
    xlsx, ods, out = argv[1:]
    os.makedirs(out, exist_ok=True)
    at = lambda name: os.path.join(out, name)

    rewrite(xlsx, at("zipbomb.xlsx"),
            {SHEET: (SHEET_START + " " * (80 << 20) + SHEET_END).encode()})
    rewrite(xlsx, at("lyingsize.xlsx"))
    lie_about_size(at("lyingsize.xlsx"), SHEET, 100)
    laughs = "".join('<!ENTITY l%d "&l%d;&l%d;&l%d;&l%d;&l%d;&l%d;&l%d;&l%d;&l%d;&l%d;">'
                     % ((i,) + (i - 1,) * 10) for i in range(1, 10))
    rewrite(xlsx, at("xmlbomb.xlsx"), {SHEET: (
        '<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY l0 "ha">' + laughs + ']>'
        + SHEET_START[SHEET_START.index("<worksheet"):]
        + '<row r="1"><c r="A1" t="inlineStr"><is><t>&l9;</t></is></c></row>'
        + SHEET_END).encode()})
    rewrite(xlsx, at("nosheetpart.xlsx"), drop={SHEET})
    rewrite(xlsx, at("millionrows.xlsx"), {SHEET: (
        SHEET_START + '<row r="1000000"><c r="A1000000"><v>1</v></c></row>'
        + SHEET_END).encode()})

    rewrite(ods, at("millionrows.ods"), {"content.xml": ods_content(
        '<table:table-row table:number-rows-repeated="999999"><table:table-cell/>'
        '</table:table-row><table:table-row><table:table-cell office:value-type="float" '
        'office:value="1"/></table:table-row>')})
    rewrite(ods, at("edgeformat.ods"), {"content.xml": ods_content(
        '<table:table-column table:number-columns-repeated="1024" '
        'table:default-cell-style-name="ce1"/>'
        '<table:table-row table:number-rows-repeated="2"><table:table-cell '
        'table:style-name="ce1" table:number-columns-repeated="1024"/></table:table-row>'
        '<table:table-row><table:table-cell table:number-columns-repeated="2"/>'
        '<table:table-cell office:value-type="float" office:value="7"/>'
        '<table:table-cell table:number-columns-repeated="1021"/></table:table-row>'
        '<table:table-row table:number-rows-repeated="1048573"><table:table-cell '
        'table:number-columns-repeated="1024"/></table:table-row>')})
    rewrite(xlsx, at("noresult.xlsx"), {SHEET: (
        SHEET_START + '<row r="1"><c r="A1"><f>1+1</f></c></row>' + SHEET_END).encode()})
    rewrite(ods, at("noresult.ods"), {"content.xml": ods_content(
        '<table:table-row><table:table-cell table:formula="of:=1+1"/></table:table-row>')})
    handmade_xlsx(at("handmade.xlsx"))
    rewrite(ods, at("literals.ods"), {"content.xml": ods_content(
        '<table:table-row table:number-rows-repeated="2">'
        '<table:table-cell office:value-type="boolean" office:boolean-value="true"/>'
        '<table:table-cell office:value-type="boolean" office:boolean-value="false"/>'
        '<table:table-cell office:value-type="string"><office:annotation><text:p>not this'
        '</text:p></office:annotation><text:p>a<text:s text:c="3"/>b</text:p></table:table-cell>'
        '<table:table-cell office:value-type="date" office:date-value="2000-01-01T12:00:00"/>'
        '<table:table-cell office:value-type="percentage" office:value="0.5"/>'
        '</table:table-row>')})
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
