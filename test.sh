#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain build
# and once under AddressSanitizer and UndefinedBehaviorSanitizer; then checks
# the installed tree and the Debian package.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --tests
jobs=$(nproc)

echo "== Build and test =="
# Built as the Debian package is (and as the README builds by hand: Release),
# so that its checks at the end reuse this tree.
mapfile -t package_flags < <(scripts/package-flags.sh)
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release "${package_flags[@]}" >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

echo "== Build and test under ASan and UBSan =="
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTALLOWIN_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Fuzz smoke runs =="
scripts/fuzz-smoke.sh

echo "== Install tree and Debian package =="
scripts/package-check.sh build-test
