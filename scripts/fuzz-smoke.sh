#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/, makes the seed
# corpus, and runs each target for a fixed number of inputs with a fixed seed,
# so that a run takes the same path every time. The corpus is worked on in a
# scratch folder; nothing in the repository changes. A crash leaves its input
# in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz

# The targets, with the number of inputs each runs. A snapshot load is slow under the sanitizers (each one touches
# a few MiB of fresh memory), so it runs fewer inputs than the scan.
targets=(scan snapshot matcher save)
declare -A runs=([scan]=3000 [snapshot]=1500 [matcher]=200000 [save]=3000)

source scripts/fuzz-setup.sh

for target in "${targets[@]}"; do
  echo "-- ${target}_fuzzer: ${runs[$target]} runs"
  mkdir -p "$scratch/corpus/$target"
  cp -r "$scratch/seeds/$target/." "$scratch/corpus/$target/"
  if ! "$build/fuzz/${target}_fuzzer" "$scratch/corpus/$target" -seed=1 -runs="${runs[$target]}" \
      -max_len="${max_len[$target]}" -timeout=60 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$target-" >"$scratch/$target.log" 2>&1; then
    cat "$scratch/$target.log" >&2
    echo "${target}_fuzzer failed; the input is in $artifacts" >&2
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$scratch/$target.log" || true
done
echo "Fuzz smoke runs passed"
