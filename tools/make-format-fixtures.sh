#!/usr/bin/env bash
# Rebuilds tests/data/formats/: the same workbooks in .xls, .xlsx and .ods for the tests that
# read them alike. Needs soffice (LibreOffice) and python3; the tests only read the committed
# files.
#   mixed.*            src/mixed.fods saved in all three formats
#   default/, calc/    the default workbooks (data/src) and the calculation's test workbooks
#                      (tests/data/calc/src) as .xlsx and .ods; their .xls are the committed ones
#   hostile/           damaged and hostile files, from tools/make-hostile-workbooks.py
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out=$root/tests/data/formats

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for format in xls xlsx ods; do
    # The export filters are make-workbook.py's, so that both scripts save alike.
    filter=$(python3 -c "import runpy
print(runpy.run_path('$root/tools/make-workbook.py')['FILTERS']['.$format'])")
    soffice -env:UserInstallation="file://$work/profile" --headless --convert-to "$filter" \
        --outdir "$out" "$out/src/mixed.fods" >/dev/null
done

for name in pb_bara_glid_data lb_bara_glid_data faktorer; do
    for format in xlsx ods; do
        python3 "$root/tools/make-workbook.py" "$root/data/src/$name.txt" \
            "$out/default/$name.$format"
        python3 "$root/tools/make-workbook.py" "$root/tests/data/calc/src/$name.txt" \
            "$out/calc/$name.$format"
    done
done

python3 "$root/tools/make-hostile-workbooks.py" "$out/mixed.xlsx" "$out/mixed.ods" "$out/hostile"
ls -l "$out" "$out"/*/
