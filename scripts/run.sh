#!/usr/bin/env bash
# Installs what is missing, builds kuMemo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
exec build/kuMemo "$@"
