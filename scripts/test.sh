#!/usr/bin/env bash
# Installs what is missing, builds kuMemo and runs every test headless; then
# plays a whole round with a screen reader's ears (tools/atspi/round.sh) and
# again with the screen reader Orca, checking what it spoke;
# runs every test again built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for 20 seconds; then builds
# the Debian package, checks it with lintian and installs and removes it in a
# throw-away root.
set -euo pipefail
cd "$(dirname "$0")/.."
# The installation test validates what it installs with the desktop tools.
# The round with a screen reader runs on the accessibility bus in a virtual
# screen under a window manager.
# The rounds give each Japanese character they type a key of its own with
# xmodmap.
# Orca speaks through speech-dispatcher and espeak-ng (into libao's null
# device).
# A compiler cache makes the second and later runs on one machine quick;
# lld makes every link quick.
scripts/deps.sh ccache lld clang libclang-rt-14-dev desktop-file-utils appstream shared-mime-info \
  xvfb openbox dbus at-spi2-core python3-pyatspi xdotool x11-utils x11-xserver-utils imagemagick \
  orca speech-dispatcher speech-dispatcher-espeak-ng espeak-ng
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
tools/atspi/round.sh
tools/atspi/round.sh orca
scripts/build.sh sanitize
ctest --test-dir build-sanitize --output-on-failure -j2
scripts/fuzz.sh 20
# The tests ran twice above; the package build need not run them again.
DEB_BUILD_OPTIONS=nocheck scripts/package.sh
