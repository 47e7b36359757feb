#!/usr/bin/env bash
# Regenerates the RTF samples that LibreOffice Writer writes, from the HTML
# and flat ODT sources beside them in tests/data/rtf:
#   libreoffice_from_html.html -> libreoffice_from_html.rtf
#   libreoffice_from_odt.fodt  -> libreoffice_from_odt.rtf
# The tests read the committed .rtf files; only this script needs the office
# suite, and installs it when missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
samples="$root/tests/data/rtf"
command -v soffice >/dev/null || "$root/scripts/deps.sh" libreoffice-writer-nogui

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A profile of its own, so that the user's settings play no part.
profile="file://$work/profile"
for source in "$samples"/libreoffice_from_html.html "$samples"/libreoffice_from_odt.fodt; do
    soffice -env:UserInstallation="$profile" --headless --convert-to 'rtf:Rich Text Format' \
        --outdir "$work" "$source" >/dev/null 2> >(grep -v javaldx >&2)
    name="$(basename "${source%.*}")"
    cp "$work/$name.rtf" "$samples/$name.rtf"
    echo "$samples/$name.rtf"
done
