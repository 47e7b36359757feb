#!/usr/bin/env bash
# Checks that every include in src/ points down the layers: a folder includes
# its own headers and those of the folders below it, never one above or
# beside it. Prints each include that runs back up and fails when there is
# one; it runs as the test "layers".
set -euo pipefail
cd "$(dirname "$0")/../src"

# The folders each folder may include besides itself, from the top down:
#   shell → editor → printing ┐
#   shell → session → learner ┴→ formats → data → platform
declare -A below=(
  [shell]="editor session printing learner formats data platform"
  [editor]="printing formats data platform"
  [session]="learner formats data platform"
  [printing]="formats data platform"
  [learner]="formats data platform"
  [formats]="data platform"
  [data]="platform"
  [platform]=""
)

status=0
for folder in */; do
  folder=${folder%/}
  if [[ ! -v below[$folder] ]]; then
    echo "src/$folder/ has no layer: give it its place in scripts/check_layers.sh"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=${text#*\"}
    target=${target%%/*}
    if [[ $target != "$folder" && " ${below[$folder]} " != *" $target "* ]]; then
      echo "src/$file:$line: $folder/ may not include $target/: $text"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' "$folder" || true)
done
exit $status
