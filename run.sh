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
echo "Scanning $sample (a backup as the Windows backup utility writes it, with a zeroed region,"
echo "a region of noise, a cluster overwritten with other data, a lost file block and a lost"
echo "folder block, and cut short); what each backup set holds, and how it is damaged:"
build/cli/twbkf scan "$sample" --quiet
echo
echo "Recovered files (size, modified, catalogue path); empty files, a sparse file, an encrypted"
echo "file, and a file whose block was lost, back from the backup's own catalogue, among them:"
build/cli/twbkf list "$sample" --quiet
echo
echo "Checking every file against the checksum the backup stores with it (nothing is written):"
# 4 means some file is damaged or incomplete, as expected for this sample.
status=0
build/cli/twbkf verify "$sample" --quiet || status=$?
[[ $status -eq 0 || $status -eq 4 ]]

out=build/sample-recovered
rm -rf "$out" && mkdir -p "$out"
echo
echo "Saving them into $out (the damaged and the cut file are kept, and the save names them):"
status=0
build/cli/twbkf extract "$sample" -C "$out" --quiet || status=$?
[[ $status -eq 0 || $status -eq 4 ]]

archive=build/sample-recovered.tar.zst
echo
echo "The same files as a tar archive, $archive (the same names and bytes, the same summary):"
status=0
build/cli/twbkf extract "$sample" -o "$archive" --force --quiet || status=$?
[[ $status -eq 0 || $status -eq 4 ]]

# With a display, the desktop program opens on the sample as well.
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  echo
  echo "Opening the sample in the desktop program."
  build/shell/tallowin-bkf "$sample"
fi
