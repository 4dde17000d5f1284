#!/usr/bin/env bash
# twbkf scan as a whole process against a plain read of the same file, both
# from the page cache, alternated, medians of ROUNDS runs each; with the peak
# memory of the scan. Make a file of a million small files with
# `bench/many_files --file FILE`.
#
#   bench/scan_process.sh TWBKF FILE [ROUNDS]
set -euo pipefail
twbkf=$1 file=$2 rounds=${3:-7}
median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
# Wall seconds to the millisecond, then the peak resident set size in KiB.
seconds() {
  local start end peak
  start=$(date +%s%N)
  peak=$(/usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1)
  end=$(date +%s%N)
  awk -v ns=$((end - start)) -v kib="$peak" 'BEGIN {printf "%.4f %s\n", ns / 1e9, kib}'
}

cat "$file" >/dev/null  # into the page cache
reads=() scans=() peaks=()
for ((round = 0; round < rounds; ++round)); do
  reads+=("$(seconds dd if="$file" of=/dev/null bs=64K | cut -d' ' -f1)")
  read -r scan peak < <(seconds "$twbkf" scan "$file" --quiet)
  scans+=("$scan") peaks+=("$peak")
done
read_median=$(printf '%s\n' "${reads[@]}" | median)
scan_median=$(printf '%s\n' "${scans[@]}" | median)
peak_median=$(printf '%s\n' "${peaks[@]}" | median)
rows=$("$twbkf" scan "$file" --quiet | head -1 | sed 's/[^0-9]//g')
echo "dd bs=64K:  median $read_median s"
echo "twbkf scan: median $scan_median s, peak memory ${peak_median} KiB, $rows rows"
awk -v s="$scan_median" -v r="$read_median" -v p="$peak_median" -v n="$rows" \
  'BEGIN {printf "scan/read: %.2f times (goal at most 2.0); %.0f bytes of peak memory per row (goal at most 100)\n", s / r, p * 1024 / n}'
