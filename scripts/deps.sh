#!/usr/bin/env bash
# Installs the Debian packages kuMemo needs to build, run and test, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-charts-dev qt6-translations-l10n fonts-ipafont-gothic
          libmspack-dev libzip-dev libzstd-dev libsqlite3-dev poppler-utils libxcb1-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
