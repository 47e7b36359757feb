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
source "$root/scripts/office.sh"
office_start libreoffice-writer-nogui
office_convert libreoffice_source.html 'rtf:Rich Text Format' libreoffice_from_html.rtf
office_convert libreoffice_source.fodt 'rtf:Rich Text Format' libreoffice_from_odt.rtf
office_convert libreoffice_source.fodt 'html:HTML (StarWriter)' libreoffice_from_odt.html
