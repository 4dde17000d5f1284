#!/bin/sh
# ctest's runner of Windows programs: run-under-wine.sh WINE PROGRAM ARGS...
# The first program of a Wine prefix starts Wine's services, which inherit
# its output and live on after it; had they ctest's pipe, ctest would wait
# for them for ever. The program writes to a file instead, shown when it ends.
wine=$1
shift
out=$(mktemp) || exit 1
"$wine" "$@" >"$out" 2>&1
code=$?
cat "$out"
rm -f "$out"
exit "$code"
