#!/usr/bin/env bash
# Installs what is missing, builds kuMemo and runs every test headless; then
# plays a whole round with a screen reader's ears (tools/atspi/round.sh);
# runs every test again built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
# The installation test validates what it installs with the desktop tools.
# The round with a screen reader runs on the accessibility bus in a virtual
# screen under a window manager.
scripts/deps.sh clang libclang-rt-14-dev desktop-file-utils appstream shared-mime-info \
  xvfb openbox dbus at-spi2-core python3-pyatspi xdotool x11-utils imagemagick
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
tools/atspi/round.sh
scripts/build.sh sanitize
ctest --test-dir build-sanitize --output-on-failure -j2
scripts/fuzz.sh 20
