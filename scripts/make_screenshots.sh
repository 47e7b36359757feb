#!/usr/bin/env bash
# Builds the program and takes the user guide's pictures of its windows, off
# screen, into docs/screenshots/. Run by hand after changing what a window
# shows, look at the pictures, and commit them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh make_screenshots
build/make_screenshots examples docs/screenshots
