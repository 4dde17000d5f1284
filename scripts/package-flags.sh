#!/usr/bin/env bash
# The CMake settings of a build that becomes the Debian package: installed
# under /usr, compiled with the hardening flags that Debian builds use.
set -euo pipefail
printf '%s\n' "-DCMAKE_INSTALL_PREFIX=/usr" \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
