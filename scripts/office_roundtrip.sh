#!/usr/bin/env bash
# The other direction, tried by hand (CI does not run it): writes a question
# file with the program's own code, splits out its RTF fields, has
# LibreOffice Writer turn each into text and HTML, and compares them with
# what the program shows: the text, and bold, italic, underline, colour and
# size of every run. Needs a build in build/; installs the office suite
# when missing. Leaves its files in the folder given (default: a new one).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$(mktemp -d)}"
mkdir -p "$out"
command -v soffice >/dev/null || "$root/scripts/deps.sh" libreoffice-writer-nogui

cmake --build "$root/build" --target kumemo_core >/dev/null
g++ -std=c++17 -I"$root/src" "$root/scripts/office_roundtrip.cpp" \
    "$root/build/libkumemo_core.a" $(pkg-config --cflags --libs Qt6Widgets) -lmspack \
    -o "$out/office_roundtrip"

"$out/office_roundtrip" write "$out"
# Every field the writer stores ends with "\par", CR LF, "}", CR LF.
OUT="$out" perl -0777 -ne 'my $n = 0;
    while (/(\{\\rtf1.*?\\par\r\n\}\r\n)/sg) {
        open(my $f, ">", sprintf("%s/field_%d.rtf", $ENV{OUT}, ++$n)) or die;
        print $f $1;
    }' "$out/check.kmd"

profile="file://$out/profile"
for rtf in "$out"/field_*.rtf; do
    for target in 'txt:Text (encoded):UTF8' 'html:HTML (StarWriter)'; do
        soffice -env:UserInstallation="$profile" --headless --convert-to "$target" \
            --outdir "$out" "$rtf" >/dev/null 2> >(grep -v javaldx >&2)
    done
done
"$out/office_roundtrip" check "$out"
