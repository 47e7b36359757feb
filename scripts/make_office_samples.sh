#!/usr/bin/env bash
# Regenerates what LibreOffice Writer makes of the sources in tests/data/rtf:
#   libreoffice_source.html -> libreoffice_from_html.rtf
#   libreoffice_source.fodt -> libreoffice_from_odt.rtf, and
#                              libreoffice_from_odt.html (the HTML it puts on the clipboard)
# The tests read the committed files; only this script needs the office
# suite, and installs it when missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
samples="$root/tests/data/rtf"
command -v soffice >/dev/null || "$root/scripts/deps.sh" libreoffice-writer-nogui

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A profile of its own, so that the user's settings play no part.
profile="file://$work/profile"
convert() { # source, filter, extension of the result, name of the result
    mkdir -p "$work/out"
    soffice -env:UserInstallation="$profile" --headless --convert-to "$3:$2" \
        --outdir "$work/out" "$samples/$1" >/dev/null 2> >(grep -v javaldx >&2)
    mv "$work/out/${1%.*}.$3" "$samples/$4"
    echo "$samples/$4"
}
convert libreoffice_source.html 'Rich Text Format' rtf libreoffice_from_html.rtf
convert libreoffice_source.fodt 'Rich Text Format' rtf libreoffice_from_odt.rtf
convert libreoffice_source.fodt 'HTML (StarWriter)' html libreoffice_from_odt.html
