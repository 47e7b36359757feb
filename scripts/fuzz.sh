#!/usr/bin/env bash
# Runs each fuzz target (or the ones named) for the given number of seconds,
# 60 by default, one after another, built with clang, libFuzzer, ASan and
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
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  corpus=build-sanitize/fuzz-corpus/$name
  log=build-sanitize/fuzz-logs/$name.log
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1
           -artifact_prefix=build-sanitize/fuzz-findings/"$name"-)
  [ -f fuzz/dict/"$name".dict ] && options+=(-dict=fuzz/dict/"$name".dict)
  if ! build-sanitize/fuzz/"$target" "${options[@]}" "$corpus" fuzz/seeds/"$name" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "$target: FAILED after a finding (log: $log)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  echo "$target: ${seconds} s, $runs runs, $speed exec/s, $coverage edges"
done
