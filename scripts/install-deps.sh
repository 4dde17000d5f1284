#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when
# any is missing. Safe to run again: it asks apt only when something is absent.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-svg-dev fonts-dejavu-core shared-mime-info libcli11-dev
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
  # Another apt at work (an engineer's, an update) is waited for, not failed on.
  "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends "${missing[@]}" >&2
fi
