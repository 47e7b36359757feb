#!/usr/bin/env bash
# Installs what is missing, builds kuMemo, its tests and its fuzz targets with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test
# headless; then runs each fuzz target for 20 seconds while a whole round is
# played with a screen reader's ears (tools/atspi/round.sh) and again with
# the screen reader Orca, checking what it spoke; then builds the Debian
# package, checks it with lintian and installs and removes it in a throw-away
# root.
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
# The program, the tests and the fuzz targets are built once, with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer: every test and both rounds
# run under them. The Debian package builds the program again, with the
# distribution's compiler and hardening.
scripts/build.sh sanitize
ctest --test-dir build-sanitize --output-on-failure -j2
# The rounds wait on the program and the screen reader far more than they
# compute: they play on screens of their own while the fuzz targets run.
rounds=build-sanitize/rounds.log
(
  export KUMEMO=$PWD/build-sanitize/kuMemo
  tools/atspi/round.sh && tools/atspi/round.sh orca
) >"$rounds" 2>&1 &
playing=$!
fuzzed=0
scripts/fuzz.sh 20 || fuzzed=$?
played=0
wait "$playing" || played=$?
cat "$rounds"
if [ "$fuzzed" -ne 0 ] || [ "$played" -ne 0 ]; then
  [ "$played" -eq 0 ] || echo "The rounds FAILED (log: $rounds)" >&2
  exit 1
fi
# The tests ran above; the package build need not run them again.
DEB_BUILD_OPTIONS=nocheck scripts/package.sh
