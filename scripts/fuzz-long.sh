#!/usr/bin/env bash
# Runs each libFuzzer target for a while: 300 seconds each unless a number of
# seconds is given. Usage: scripts/fuzz-long.sh [SECONDS] [TARGET...]
#
# The corpus each target grows is kept in build-fuzz/corpus/<target> and taken
# up again by the next run (delete it to start from the seeds alone); the seeds
# are made afresh every time in a scratch folder. Crashing inputs go to
# build-fuzz/artifacts/. At the end the figures of every target are printed:
# coverage (cov: edges, ft: features), corpus entries and size, executions
# per second and in all.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-300}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(scan snapshot matcher save)

build=build-fuzz
source scripts/fuzz-setup.sh

failed=0
summary=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$build/fuzz-long-$target.log"
  echo "-- ${target}_fuzzer: ${seconds} s, corpus $corpus, log $log"
  status=ok
  if ! "$build/fuzz/${target}_fuzzer" "$corpus" "$scratch/seeds/$target" \
      -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=60 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$target-" >"$log" 2>&1; then
    status=FAILED
    failed=1
    tail -n 60 "$log" >&2
  fi
  done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|NEW|REDUCE|pulse|INITED)' "$log" | tail -n 1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  per_second=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  files=$(find "$corpus" -type f | wc -l)
  bytes=$(du -sb "$corpus" | cut -f1)
  summary+=("$target ($status): $done_line")
  summary+=("    total execs ${execs:-?}, ${per_second:-?} exec/s on average, corpus kept: $files files, $bytes bytes")
  echo "${summary[-2]}"
  echo "${summary[-1]}"
done

echo
echo "== Figures after ${seconds} s per target =="
printf '%s\n' "${summary[@]}"
if ((failed)); then
  echo "A target failed; its input is in $artifacts" >&2
  exit 1
fi
