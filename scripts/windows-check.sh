#!/usr/bin/env bash
# The Windows build of twbkf, checked on this machine under Wine:
#   1. cross-builds twbkf.exe and the core tests with MinGW-w64;
#   2. runs the tests under Wine;
#   3. lets twbkf.exe and the Linux build's twbkf scan, list, verify and
#      extract the same backups (the bundled sample, a realistic backup and
#      one of hostile names) and requires the same results: output bytes
#      (the type column of list --json apart), exit codes, snapshots, logs,
#      and saved files with their bytes and times, under the names that the
#      Windows rules give them;
#   4. stops a scan with Ctrl+C typed in a terminal, as on Linux;
#   5. builds the release zip and runs the twbkf.exe that it holds.
# Wine runs in a prefix of its own inside the build folder, never ~/.wine.
#
# Usage: scripts/windows-check.sh [LINUX_BUILD]   (default: build-test, a
# Linux build with tests, as ./test.sh makes it)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux_build=$(realpath "${1:-build-test}")
windows_build=$root/build-mingw
jobs=$(nproc)

part_start=$SECONDS
part() {
  echo "-- $1: $((SECONDS - part_start)) s"
  part_start=$SECONDS
}

echo "Cross-building twbkf.exe and the tests with MinGW-w64"
cmake -S . -B "$windows_build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$windows_build" -j"$jobs"
part "cross-build"

export WINEPREFIX=$windows_build/wine-prefix WINEARCH=win64 WINEDEBUG=-all
# No .NET or HTML engine: nothing here needs them, and Wine would offer to
# download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A new prefix is made to the end first: until then every program starts
# slowly.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  wineboot --init >/dev/null 2>&1
  wineserver --wait
fi
# One Wine server for every program below, ended with this script. Its
# services, and those a console program needs, start now, away from the
# output that ctest waits to see closed.
wineserver --persistent
trap 'wineserver --kill 2>/dev/null || true' EXIT
wine "$windows_build/cli/twbkf.exe" --version >/dev/null 2>&1
part "Wine prefix"

ctest --test-dir "$windows_build" --output-on-failure
part "tests under Wine"

# --- twbkf.exe against twbkf ---------------------------------------------
work=$windows_build/comparison
rm -rf "$work"
mkdir -p "$work/linux/home" "$work/windows"
"$linux_build/tests/make_comparison_backups" "$work"
cp samples/damaged.bkf "$work/sample.bkf"
linux_twbkf=$linux_build/cli/twbkf
windows_twbkf=$windows_build/cli/twbkf.exe
failures=0

fail() {
  echo "DIFFERENT: $*"
  failures=$((failures + 1))
}

# twbkf SIDE NAME ARGUMENTS...: runs the side's program in its own folder,
# keeping its standard output, standard error and exit code as NAME.*.
twbkf() {
  local side=$1 name=$2
  shift 2
  local code=0
  if [[ $side == linux ]]; then
    (cd "$work/linux" && HOME=$work/linux/home "$linux_twbkf" "$@") >"$work/linux/$name.out" 2>"$work/linux/$name.err" || code=$?
  else
    (cd "$work/windows" && wine "$windows_twbkf" "$@") >"$work/windows/$name.out" 2>"$work/windows/$name.err" || code=$?
  fi
  echo "$code" >"$work/$side/$name.code"
}

# What may differ between the two and is not a result: where the saved
# folders (compared on their own below) and the log lie, and the type column, which comes from each
# system's own type database.
comparable() {
  sed -E -e 's#^(Saved into ).*$#\1...#' \
    -e 's#^(Activity log: ).*$#\1...#' \
    -e 's/"type": "([^"\\]|\\.)*"/"type": ""/' \
    -e 's/("cells": \["([^"\\]|\\.)*", )"([^"\\]|\\.)*"/\1""/' "$1"
}

# same NAME ARGUMENTS...: both programs, the same output and exit code.
same() {
  local name=$1
  shift
  twbkf linux "$name" "$@"
  twbkf windows "$name" "$@"
  cmp -s "$work/linux/$name.code" "$work/windows/$name.code" ||
    fail "$name: exit code $(<"$work/linux/$name.code") on Linux, $(<"$work/windows/$name.code") on Windows"
  cmp -s <(comparable "$work/linux/$name.out") <(comparable "$work/windows/$name.out") ||
    fail "$name: standard output (diff $work/linux/$name.out $work/windows/$name.out)"
}

# same_code NAME ARGUMENTS...: failures that name a path the systems write
# differently: the same exit code, and a message on both.
same_code() {
  local name=$1
  shift
  twbkf linux "$name" "$@"
  twbkf windows "$name" "$@"
  cmp -s "$work/linux/$name.code" "$work/windows/$name.code" ||
    fail "$name: exit code $(<"$work/linux/$name.code") on Linux, $(<"$work/windows/$name.code") on Windows"
  [[ -s $work/linux/$name.err && -s $work/windows/$name.err ]] || fail "$name: a message is missing"
}

# The UTF-16 text after its first line (which names a path of its system).
after_first_line() {
  perl -0777 -ne 'print substr($_, index($_, "\r\0\n\0") + 4)' "$1"
}

same_text_files() {
  local what=$1 linux_file=$2 windows_file=$3
  [[ -s $linux_file && -s $windows_file ]] || {
    fail "$what: missing ($linux_file, $windows_file)"
    return
  }
  cmp -s <(after_first_line "$linux_file") <(after_first_line "$windows_file") ||
    fail "$what: $linux_file and $windows_file differ after their first line"
}

same_trees() {
  local what=$1
  if ! "$linux_build/tests/compare_saved_trees" "$work/linux/$what" "$work/windows/$what" >"$work/$what.trees"; then
    fail "saved files of $what:"
    head -n 20 "$work/$what.trees"
  fi
  tail -n 1 "$work/$what.trees" | sed "s/^/   $what: /"
}

for backup in sample realistic hostile; do
  bkf=../$backup.bkf
  same "$backup-scan" scan "$bkf" --snapshot "$backup.TWBKF" --quiet
  same_text_files "$backup snapshot" "$work/linux/$backup.TWBKF" "$work/windows/$backup.TWBKF"
  same "$backup-list" list "$bkf" --quiet
  same "$backup-list-json" list "$bkf" --json --quiet
  same "$backup-list-snapshot" list "$backup.TWBKF" --json --quiet
  same "$backup-list-match" list "$bkf" --match "*.txt" --quiet
  same "$backup-verify" verify "$bkf" --quiet
  same "$backup-verify-json" verify "$backup.TWBKF" --json --quiet
  mkdir -p "$work/linux/$backup-out" "$work/windows/$backup-out"
  same "$backup-extract" extract "$bkf" --to "$backup-out" --quiet
  same "$backup-extract-snapshot" extract "$backup.TWBKF" --to "$backup-out" --prefix Snapshot- --quiet
  same_trees "$backup-out"
done

# The log: the same lines after the BKF file's path.
same "log" scan ../sample.bkf --log --quiet
windows_log=$(sed -n 's/^Activity log: //p' "$work/windows/log.out" | tr -d '\r')
same_text_files "activity log" "$work/linux/home/TwBkf.log" "$(winepath -u "$windows_log" 2>/dev/null)"

# The snapshot of hostile names whose BKF file has moved.
cp "$work/hostile.TWBKF" "$work/linux/" && cp "$work/hostile.TWBKF" "$work/windows/"
same "hostile-names-list" list hostile.TWBKF --json --quiet
same "hostile-names-verify" verify hostile.TWBKF --bkf ../hostile.bkf --quiet
mkdir -p "$work/linux/names-out" "$work/windows/names-out"
same "hostile-names-extract" extract hostile.TWBKF --bkf ../hostile.bkf --to names-out --prefix "Rück-" --quiet
same_trees "names-out"

# Failures: the same exit codes, each with its message.
same_code "missing-source" list ../no-such.bkf --quiet
same_code "missing-destination" extract ../sample.bkf --to no-such-folder --quiet
same_code "usage" extract ../sample.bkf --quiet
part "recoveries compared with Linux's"

# --- Ctrl+C typed in a terminal ----------------------------------------------
# A console event reaches a Wine program only through a terminal: tmux gives
# it one and types Ctrl+C, as a person would, while the progress line runs.
cp "$work/hostile.bkf" "$work/huge.bkf"
truncate -s 64G "$work/huge.bkf"
# A tmux server of its own, with this script's environment (Wine's prefix).
session=twbkf-check-$$
terminal() { tmux -L "$session" "$@"; }
(cd "$work/linux" && HOME=$work/linux/home timeout --preserve-status -s INT 3 "$linux_twbkf" scan ../huge.bkf --snapshot huge.TWBKF \
  >huge.out 2>huge.err) && echo 0 >"$work/linux/huge.code" || echo $? >"$work/linux/huge.code"
rm -f "$work/windows/huge.code"
terminal new-session -d -s "$session" -x 160 -y 10 \
  "cd '$work/windows' && wine '$windows_twbkf' scan ../huge.bkf --snapshot huge.TWBKF >huge.out; echo \$? >huge.code"
sleep 4
progress=$(terminal capture-pane -t "$session" -p)
terminal send-keys -t "$session" C-c
for _ in $(seq 60); do
  [[ -f $work/windows/huge.code ]] && break
  sleep 1
done
terminal kill-server 2>/dev/null || true
[[ $progress == *" of "*%*"file(s) found"* ]] || fail "no progress line in the terminal: $progress"
cmp -s "$work/linux/huge.code" "$work/windows/huge.code" 2>/dev/null ||
  fail "Ctrl+C: exit code $(<"$work/linux/huge.code") on Linux, $(cat "$work/windows/huge.code" 2>/dev/null) on Windows"
cmp -s "$work/linux/huge.out" "$work/windows/huge.out" || fail "Ctrl+C: standard output"
same_text_files "snapshot after Ctrl+C" "$work/linux/huge.TWBKF" "$work/windows/huge.TWBKF"
part "Ctrl+C in a terminal"

# --- The release zip ----------------------------------------------------------
zip=$(scripts/windows-release.sh "$windows_build")
listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[[ $listing == "LICENSE.txt README.txt THIRD-PARTY-NOTICES.txt twbkf.exe " ]] || fail "the zip holds: $listing"
rm -rf "$work/unzipped" && mkdir -p "$work/unzipped"
unzip -q "$zip" -d "$work/unzipped"
dlls=$(x86_64-w64-mingw32-objdump -p "$work/unzipped/twbkf.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
[[ $dlls == "kernel32.dll msvcrt.dll ntdll.dll ole32.dll shell32.dll " ]] || fail "twbkf.exe needs other DLLs: $dlls"
(cd "$work/unzipped" && wine twbkf.exe --version) | head -n 1 | grep -q "^twbkf (Tallowin for BKF) " ||
  fail "the zip's twbkf.exe does not run"
(cd "$work/unzipped" && wine twbkf.exe list ../sample.bkf --quiet) | cmp -s - "$work/linux/sample-list.out" ||
  fail "the zip's twbkf.exe lists the sample differently"
echo "   $(basename "$zip"): $(stat -c %s "$zip") bytes, $listing"
part "release zip"

if ((failures)); then
  echo "twbkf.exe differs from the Linux build in $failures place(s)"
  exit 1
fi
echo "twbkf.exe under Wine gives the Linux build's results on every backup compared."
