#!/usr/bin/env bash
# Builds the Debian package with Debian's compiler and linker flags
# (dpkg-buildflags: optimisation and hardening):
#   scripts/package.sh [OUTPUT_FOLDER]     (default: the current folder)
# Install it with: sudo apt install ./tessaly_*.deb
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(mkdir -p "${1:-.}" && cd "${1:-.}" && pwd)"
"$root/scripts/setup.sh"
# CMake reads CXXFLAGS and LDFLAGS from the environment when it first
# configures a folder; CPPFLAGS (the fortify level) has no place of its
# own, so it goes with the compiler flags. A fresh folder each time, so
# the flags are never those of an earlier configure.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
rm -rf "$root/build-package"
"$root/scripts/build.sh" "$root/build-package" -DCMAKE_BUILD_TYPE=None \
  -DTESSALY_BUILD_TESTS=OFF -DTESSALY_BUILD_BENCH=OFF
(cd "$root/build-package" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/tessaly_*.deb
