#!/usr/bin/env bash
# Installs the Debian packages that are missing: by default those that
# building and running need; with --tests also those of the tests, the
# sanitizers, fuzzing and the package checks. Safe to run again: it asks apt
# only when something is absent, and waits for the package lock when another
# program holds it.
#
#   scripts/install-deps.sh [--tests]
#
# For Debian 12 and the systems that carry its packages under the same names
# (apt-get, Qt 6.4 or later); elsewhere install the packages below by hand.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-svg-dev fonts-dejavu-core shared-mime-info libcli11-dev libarchive-dev
)
if [[ ${1:-} == --tests ]]; then
  packages+=(
    # GoogleTest's CMake files in Debian 12 also name GoogleMock's library and
    # fail without it, although no test uses GoogleMock.
    libgtest-dev libgmock-dev
    clang libclang-rt-14-dev libtsan2
    dpkg-dev lintian desktop-file-utils appstream libxml2-utils librsvg2-bin fp-utils
    # twbkf.exe: cross-built with MinGW-w64 (its POSIX thread model), GoogleTest
    # from its sources, tested under Wine (and in a terminal that tmux gives
    # it), packed with zip.
    g++-mingw-w64-x86-64-posix googletest wine wine64 tmux zip unzip
  )
elif [[ $# -gt 0 ]]; then
  echo "usage: $0 [--tests]" >&2
  exit 1
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}" >&2
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  # Another program installing packages holds the lock: wait for it.
  wait_lock=(-o DPkg::Lock::Timeout=600)
  "${sudo_cmd[@]}" apt-get "${wait_lock[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "${wait_lock[@]}" install -y -qq \
    --no-install-recommends "${missing[@]}" >&2
fi
