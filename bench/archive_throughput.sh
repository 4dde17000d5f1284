#!/usr/bin/env bash
# twbkf extract into a tar archive, a zstd-compressed one and a zip archive,
# against a save into a folder followed by `tar cf` of that folder (what a
# user would do without the archive output), all from the page cache;
# medians of ROUNDS runs each. Make FILE with
# `bench/extract_throughput --file FILE --rounds 1` (2 GiB of files with
# random bytes, which no compression shrinks).
#
#   bench/archive_throughput.sh TWBKF FILE [ROUNDS]
set -euo pipefail
twbkf=$1 file=$2 rounds=${3:-3}
median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || [[ $? -eq 4 ]]
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN {printf "%.4f\n", ns / 1e9}'
}
work=$(mktemp -d "${TMPDIR:-/tmp}/archive-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cat "$file" >/dev/null  # into the page cache
bytes=$(stat -c %s "$file")
declare -A times
for ((round = 0; round < rounds; ++round)); do
  rm -rf "$work"/* && mkdir "$work/folder"
  times[folder]+="$(seconds "$twbkf" extract "$file" -C "$work/folder" -q) "
  times[folder+tar]+="$(seconds tar cf "$work/folder.tar" -C "$work/folder" .) "
  for kind in tar tar.zst zip; do
    times[$kind]+="$(seconds "$twbkf" extract "$file" -o "$work/out.$kind" --force -q) "
  done
done
for kind in folder folder+tar tar tar.zst zip; do
  median_s=$(printf '%s\n' ${times[$kind]} | median)
  awk -v k="$kind" -v s="$median_s" -v b="$bytes" 'BEGIN {printf "%-11s median %7.3f s  %7.1f MiB/s of the BKF file\n", k, s, b / s / 1048576}'
done
