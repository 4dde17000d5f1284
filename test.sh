#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in a plain build,
# once for Windows under Wine (with the Windows build's recoveries compared
# with this one's), once under AddressSanitizer and UndefinedBehaviorSanitizer
# and once under ThreadSanitizer; then checks the installed tree and the
# Debian package.
set -euo pipefail
cd "$(dirname "$0")"

# Each part says how long it took, and the whole run at the end.
part=""
part_start=$SECONDS
section() {
  if [[ -n $part ]]; then echo "== $part: $((SECONDS - part_start)) s"; fi
  part=$1
  part_start=$SECONDS
  echo "== $1 =="
}

section "Packages"
scripts/install-deps.sh --tests
jobs=$(nproc)

section "Build and test"
# Built as the Debian package is (and as the README builds by hand: Release),
# so that its checks at the end reuse this tree.
mapfile -t package_flags < <(scripts/package-flags.sh)
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Release "${package_flags[@]}" >/dev/null
cmake --build build-test -j"$jobs"
ctest --test-dir build-test --output-on-failure -j"$jobs"

section "twbkf for Windows: cross-built, tested under Wine, recoveries compared with Linux's"
scripts/windows-check.sh build-test

section "Build and test under ASan and UBSan"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTALLOWIN_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

section "Build and test under ThreadSanitizer"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_SANITIZE_THREADS=ON >/dev/null
cmake --build build-tsan -j"$jobs"
# Qt is not built with ThreadSanitizer: its own locks and queues are out of
# its sight, so what the uninstrumented libraries do is left out and every
# hand-over between our threads goes through something it can see.
QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1:ignore_noninstrumented_modules=1 \
  ctest --test-dir build-tsan --output-on-failure -j"$jobs"

section "Fuzz smoke runs"
scripts/fuzz-smoke.sh

section "Install tree and Debian package"
scripts/package-check.sh build-test
section "Done"
echo "All of ./test.sh: $SECONDS s"
