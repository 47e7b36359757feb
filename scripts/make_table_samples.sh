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
command -v soffice >/dev/null || "$root/scripts/deps.sh" libreoffice-calc-nogui

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A profile of its own, so that the user's settings play no part.
profile="file://$work/profile"
csv='Text - txt - csv (StarCalc)'
convert() { # source, filter options when reading or "", character set written, result
    local in=()
    [ -n "$2" ] && in=(--infilter="$csv:$2")
    mkdir -p "$work/out"
    HOME="$work" soffice -env:UserInstallation="$profile" --headless "${in[@]}" \
        --convert-to "csv:$csv:44,34,$3,1" --outdir "$work/out" "$samples/$1" >/dev/null \
        2> >(grep -v javaldx >&2)
    mv "$work/out/${1%.*}.csv" "$samples/$4"
    echo "$samples/$4"
}
# Character sets by LibreOffice's numbers: 76 UTF-8, 60 Microsoft's code page 932.
convert calc_source.fods "" 76 calc_utf8.csv
convert calc_source.fods "" 60 calc_cp932.csv
convert sample.csv "44,34,,1" 76 calc_from_export.csv
# What Calc read must still be Japanese, not bytes taken one by one.
grep -q "日本で一番高い山はどれですか。" "$samples/calc_from_export.csv"
