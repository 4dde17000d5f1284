#!/usr/bin/env bash
# Builds the Windows release, twbkf-VERSION-windows-x86_64.zip: one static,
# stripped twbkf.exe that needs nothing but Windows' own DLLs, the README and
# the licence as text, and the notices of the third-party code that the
# static program holds (CLI11, and the runtime that MinGW-w64 links in: the
# GCC runtime libraries, the MinGW-w64 C runtime and winpthreads), taken from
# the Debian packages that it is built with. Prints the zip's path.
#
# Usage: scripts/windows-release.sh [BUILD_FOLDER]   (default: build-mingw)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath -m "${1:-build-mingw}")

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >&2
cmake --build "$build" --target twbkf -j"$(nproc)" >&2

version=$(sed -n 's/^project(TallowinBkf VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=twbkf-$version-windows-x86_64
stage=$build/release/$name
rm -rf "$build/release"
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/twbkf.exe" "$build/cli/twbkf.exe"
# Windows' own editors expect CR LF.
sed 's/$/\r/' README.md >"$stage/README.txt"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
{
  echo "twbkf.exe holds code of the following projects, under the licences below."
  echo
  for package in libcli11-dev:"CLI11, the command-line parser" \
    mingw-w64-x86-64-dev:"MinGW-w64: the C runtime and winpthreads" \
    gcc-mingw-w64-base:"GCC: libstdc++ and libgcc, under the GCC Runtime Library Exception"; do
    echo "================================================================================"
    echo "${package#*:}"
    echo "================================================================================"
    cat "/usr/share/doc/${package%%:*}/copyright"
    echo
  done
} | sed 's/$/\r/' >"$stage/THIRD-PARTY-NOTICES.txt"

rm -f "$build/$name.zip"
(cd "$stage" && zip -q -X "$build/$name.zip" twbkf.exe README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt)
echo "$build/$name.zip"
