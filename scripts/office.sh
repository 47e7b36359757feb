# Sourced by the scripts that have LibreOffice convert sample files:
#   office_start PACKAGE      installs PACKAGE when it is missing and
#                             makes a scratch folder with a profile of its own,
#                             so that the user's settings play no part
#   office_convert SOURCE TARGET RESULT [READ_FILTER]
#                             converts $samples/SOURCE with the target filter
#                             TARGET ("extension:filter:options") into
#                             $samples/RESULT, reading it with READ_FILTER
#                             when given
office_start() {
    "$root/scripts/deps.sh" "$1"
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
}

office_convert() {
    local in=()
    [ -n "${4:-}" ] && in=(--infilter="$4")
    mkdir -p "$work/out"
    HOME="$work" soffice -env:UserInstallation="file://$work/profile" --headless "${in[@]}" \
        --convert-to "$2" --outdir "$work/out" "$samples/$1" >/dev/null \
        2> >(grep -v javaldx >&2)
    mv "$work/out/${1%.*}.${2%%:*}" "$samples/$3"
    echo "$samples/$3"
}
