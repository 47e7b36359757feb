#!/usr/bin/env bash
# Installs what is missing, builds kuMemo and starts it. A question file named
# (kuMemo's only argument) is found from the folder the script was run in.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
(cd "$root" && scripts/deps.sh && scripts/build.sh)
exec "$root/build/kuMemo" "$@"
