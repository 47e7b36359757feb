#!/usr/bin/env bash
# Draws the program's icon in the sizes desktops ask for from its SVG,
# into desktop/icons/<size>.png. Run by hand after changing the SVG, and
# commit the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh librsvg2-bin
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" desktop/icons/jp.kumemostudios.kumemo.svg \
    -o "desktop/icons/$size.png"
done
