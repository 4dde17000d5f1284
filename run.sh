#!/usr/bin/env bash
# Installs what is missing, builds, and recovers the bundled damaged sample.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTALLOWIN_BUILD_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)"

sample=samples/damaged.bkf
echo
echo "Scanning $sample (a backup with a zeroed region, a region of noise, and cut short):"
build/cli/twbkf scan "$sample" --quiet
echo
echo "Recovered files (size, modified, catalogue path):"
build/cli/twbkf list "$sample" --quiet
