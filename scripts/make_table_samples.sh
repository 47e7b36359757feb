#!/usr/bin/env bash
# Regenerates what LibreOffice Calc makes of the question tables in
# tests/data/table (the tests read the committed files; only this script
# needs the office suite, and installs it when missing):
#   calc_source.fods -> calc_utf8.csv   a sheet saved as CSV in UTF-8
#                       calc_cp932.csv  the same in code page 932 (Shift-JIS)
#   sample.csv       -> calc_from_export.csv
#                       the program's export of examples/sample.kmd, opened by
#                       Calc with the character set left to it, saved again
#                       as UTF-8: the Japanese texts must come through intact
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
samples="$root/tests/data/table"
source "$root/scripts/office.sh"
office_start libreoffice-calc-nogui
csv='Text - txt - csv (StarCalc)'
# Character sets by LibreOffice's numbers: 76 UTF-8, 60 Microsoft's code page
# 932; left empty when reading, Calc chooses.
office_convert calc_source.fods "csv:$csv:44,34,76,1" calc_utf8.csv
office_convert calc_source.fods "csv:$csv:44,34,60,1" calc_cp932.csv
office_convert sample.csv "csv:$csv:44,34,76,1" calc_from_export.csv "$csv:44,34,,1"
# What Calc read must still be Japanese, not bytes taken one by one.
grep -q "日本で一番高い山はどれですか。" "$samples/calc_from_export.csv"
