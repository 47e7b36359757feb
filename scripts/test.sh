#!/usr/bin/env bash
# Installs what is missing, builds kuMemo and runs every test headless; then
# runs every test again built with AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for 20 seconds; then builds
# the Debian package, checks it with lintian and installs and removes it in a
# throw-away root.
set -euo pipefail
cd "$(dirname "$0")/.."
# The installation test validates what it installs with the desktop tools.
scripts/deps.sh clang libclang-rt-14-dev desktop-file-utils appstream shared-mime-info
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j2
scripts/build.sh sanitize
ctest --test-dir build-sanitize --output-on-failure -j2
scripts/fuzz.sh 20
# The tests ran twice above; the package build need not run them again.
DEB_BUILD_OPTIONS=nocheck scripts/package.sh
