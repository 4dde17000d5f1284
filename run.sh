#!/usr/bin/env bash
# Installs what is missing, builds, and recovers the bundled damaged sample:
# with twbkf always, and in the desktop program when a display is present.
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

out=build/sample-recovered
rm -rf "$out" && mkdir -p "$out"
echo
echo "Saving them into $out (one file of the sample is cut short, so the save reports it):"
status=0
build/cli/twbkf extract "$sample" --to "$out" --quiet || status=$?
# 4 means some file could not be saved completely, as expected for this sample.
[[ $status -eq 0 || $status -eq 4 ]]

# With a display, the desktop program opens on the sample as well.
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  echo
  echo "Opening the sample in the desktop program."
  build/shell/tallowin-bkf "$sample"
fi
