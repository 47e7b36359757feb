#!/usr/bin/env bash
# Configures and builds kuMemo into build/. With "sanitize" first, builds it
# with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz
# targets (not the benchmarks and tools), into build-sanitize/. Further
# arguments name the targets to build.
set -euo pipefail
cd "$(dirname "$0")/.."
directory=build
# Line tables are all a debugger's backtrace and a sanitizer's report need;
# full debugging information makes every compile and link slower.
options=(-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
if [ "${1:-}" = sanitize ]; then
  shift
  directory=build-sanitize
  # The benchmarks and tools are run by hand, from build/ only.
  options=(-DCMAKE_CXX_COMPILER=clang++ -DKUMEMO_FUZZ=ON -DKUMEMO_TOOLS=OFF
           -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG")
fi
# A compiler cache turns a file compiled before, in this clone or another
# one, into a copy: paths are taken relative to the clone.
if command -v ccache >/dev/null; then
  # Precompiled headers are cached too: their macros and times do not
  # change what a file compiles to.
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=pch_defines,time_macros
  options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# lld links the many test programs in a fraction of the default linker's
# time, for both compilers.
if command -v ld.lld >/dev/null; then
  options+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
fi
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
cmake -S . -B "$directory" -G Ninja "${options[@]}" >/dev/null
cmake --build "$directory" "${targets[@]}"
