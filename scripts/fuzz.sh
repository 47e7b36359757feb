#!/usr/bin/env bash
# Runs each fuzz target (or the ones named) for the given number of seconds,
# 60 by default, one per core at a time, built with clang, libFuzzer, ASan and
# UBSan into build-sanitize/. Seeds come from fuzz/seeds/<target>/; what a
# run finds stays in build-sanitize/fuzz-corpus/<target>/ for the next one.
# A crash, hang, leak or sanitizer report fails the script; the input that
# caused it is kept in build-sanitize/fuzz-findings/ and can be replayed with
# build-sanitize/fuzz/<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))
scripts/deps.sh clang libclang-rt-14-dev
if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi
scripts/build.sh sanitize "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p build-sanitize/fuzz-findings build-sanitize/fuzz-logs
fuzz() {
  local target=$1 name=${1#fuzz_}
  local corpus=build-sanitize/fuzz-corpus/$name log=build-sanitize/fuzz-logs/$name.log
  mkdir -p "$corpus"
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
                 -artifact_prefix=build-sanitize/fuzz-findings/"$name"-)
  [ -f fuzz/dict/"$name".dict ] && options+=(-dict=fuzz/dict/"$name".dict)
  if ! build-sanitize/fuzz/"$target" "${options[@]}" "$corpus" fuzz/seeds/"$name" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "$target: FAILED after a finding (log: $log)" >&2
    return 1
  fi
  local runs speed coverage
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  echo "$target: ${seconds} s, $runs runs, $speed exec/s, $coverage edges"
}
# Each target runs on one core: as many at once as there are cores, each
# for its full time.
cores=$(nproc)
running=0
failed=0
for target in "${targets[@]}"; do
  if [ "$running" -ge "$cores" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  fuzz "$target" &
  running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
