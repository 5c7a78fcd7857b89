#!/usr/bin/env bash
# Builds the Debian package into build-deb/: set-up, a release build of only what the package
# ships (Debian's hardening flags, no sanitizers), the install rules packed by CPack, with
# dependencies read by dpkg-shlibdeps. The package's path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

build=build-deb
# Debian's own compiler and linker flags (stack protector, fortify, full RELRO), without -g:
# CPack strips the program anyway.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP=-g \
  DEB_CXXFLAGS_MAINT_STRIP=-g dpkg-buildflags --export=sh)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DSOLVANE_PACKAGE_ONLY=ON -DSOLVANE_BUILD_TESTS=OFF -DSOLVANE_SANITIZE=OFF -DSOLVANE_TSAN=OFF -DSOLVANE_FUZZ=OFF \
  -DCMAKE_C_FLAGS="$CPPFLAGS $CFLAGS" -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" -DCMAKE_SHARED_LINKER_FLAGS="$LDFLAGS" \
  -DCMAKE_MODULE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/solvane_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/solvane_*.deb
