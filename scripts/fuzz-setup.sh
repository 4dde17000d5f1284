# Sourced by the fuzz scripts: builds the clang flavour in $build, makes the
# seed corpus in a scratch folder removed on exit, and sets the longest input
# of each target. Inputs of about 200 KB let the scan reach both its 64 KiB
# windows and its tail pass.
declare -A max_len=([scan]=200000 [snapshot]=65536 [matcher]=4096 [save]=200000)

scripts/fuzz-build.sh "$build"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tallowin-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
"$build"/fuzz/make_seeds "$scratch/seeds"
artifacts="$PWD/$build/artifacts"
mkdir -p "$artifacts"
