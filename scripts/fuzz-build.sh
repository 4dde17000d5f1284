#!/usr/bin/env bash
# Builds the libFuzzer targets and the seed maker with clang in build-fuzz/
# (the folder given as the first argument, if any). Tests, the command line
# program and the benchmarks are left out: the fuzz flavour needs none of them.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-fuzz}
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTALLOWIN_BUILD_FUZZ=ON -DTALLOWIN_BUILD_CLI=OFF \
  -DTALLOWIN_BUILD_TESTS=OFF -DTALLOWIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzzers
