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
    # ---- End of test workbooks.
)

for pair in "${workbooks[@]}"; do
    read -r source target <<<"$pair"
    echo "$source -> $target"
    python3 "$root/tools/make-workbook.py" "$root/$source" "$root/$target"
done
