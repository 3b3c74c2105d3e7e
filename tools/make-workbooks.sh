#!/usr/bin/env bash
# Regenerates the default workbooks in data/ from their sources in data/src/, and the test
# workbooks listed below, with tools/make-workbook.py (needs LibreOffice: soffice).
# Run from anywhere: tools/make-workbooks.sh
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Source and workbook, relative to the repository root, one pair per line.
workbooks=(
    "data/src/pb_bara_glid_data.txt data/pb_bara_glid_data.xls"
    "data/src/lb_bara_glid_data.txt data/lb_bara_glid_data.xls"
    "data/src/faktorer.txt data/faktorer.xls"

    # ---- Test workbooks: append "tests/data/<name>.txt tests/data/<name>.xls" lines here.
    "tests/data/calc/src/pb_bara_glid_data.txt tests/data/calc/pb_bara_glid_data.xls"
    "tests/data/calc/src/lb_bara_glid_data.txt tests/data/calc/lb_bara_glid_data.xls"
    "tests/data/calc/src/faktorer.txt tests/data/calc/faktorer.xls"
    "tests/data/calc/src/faktorer_textcell.txt tests/data/calc/faktorer_textcell.xls"
    "tests/data/calc/src/faktorer_localetext.txt tests/data/calc/faktorer_localetext.xls"
    "tests/data/calc/src/pb_noclosing.txt tests/data/calc/pb_noclosing.xls"
    "tests/data/calc/src/lb_missingsheet.txt tests/data/calc/lb_missingsheet.xls"
    # ---- End of test workbooks.
)

for pair in "${workbooks[@]}"; do
    read -r source target <<<"$pair"
    echo "$source -> $target"
    python3 "$root/tools/make-workbook.py" "$root/$source" "$root/$target"
done
