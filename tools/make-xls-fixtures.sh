#!/usr/bin/env bash
# Rebuilds the test workbooks in tests/data/xls/ from their readable sources in
# tests/data/xls/src/: every .fods is saved as .xls (Excel 97-2003) by LibreOffice, and
# biff5.py writes the stream of the Excel 95 workbook biff5.xls, which gsf wraps in an OLE2
# file. The bare BIFF streams of cells.xls and long.xls are kept beside them as .biff files
# for the tests that damage streams byte by byte. Needs soffice (libreoffice-calc-nogui),
# python3 and gsf (libgsf-bin); the tests only read the committed files.
set -euo pipefail
cd "$(dirname "$0")/../tests/data/xls"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A private profile keeps the conversion independent of the user's LibreOffice settings.
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to xls \
    --outdir . src/*.fods

mkdir "$work/ole"
python3 src/biff5.py "$work/ole/Book"
rm -f biff5.xls
(cd "$work/ole" && gsf createole "$OLDPWD/biff5.xls" Book)
for name in cells long; do
    gsf cat "$name.xls" Workbook >"$name.biff"
done
ls -l ./*.xls ./*.biff
