#!/usr/bin/env bash
# Set-up, a sanitized build (AddressSanitizer and UndefinedBehaviorSanitizer) and the whole test
# suite. Tests that need a display get a private Xvfb server; the others use SDL's offscreen driver.
# Then the Debian package is built and checked in a clean root, installed, and run on real desktops.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# No two folders of platform/ may include each other (it reads the sources only).
tools/check-includes.py

build=build-test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOLVANE_SANITIZE=ON >/dev/null
cmake --build "$build" -j"$(nproc)"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display SOLVANE_TEST_DISPLAY=$display
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
# LeakSanitizer needs ptrace, which some sandboxes refuse; fall back to ASan without leak checks.
if ! "$build/solvane-tests" --gtest_list_tests >/dev/null 2>&1; then
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
fi
(cd "$build" && ctest --output-on-failure -j2 --timeout 300)

# The Debian package: a release build of only what ships, installed into a clean root, checked
# file by file, and the installed program run.
tools/package.sh
tests/packaging/check_package.sh build-deb/solvane_*.deb

# The installed saver on real desktops (Xorg with several monitors and window managers, sway, the
# idle starters); as root only, since they need Xorg and a user of their own. The package is taken
# away again afterwards.
if [ "$(id -u)" -eq 0 ]; then
  kill $xvfb_pid 2>/dev/null || true
  trap 'dpkg -r solvane >/dev/null 2>&1 || true' EXIT
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "$PWD"/build-deb/solvane_*.deb >/dev/null
  env -u DISPLAY -u SOLVANE_TEST_DISPLAY tests/desktop/run_all.sh /usr/bin/solvane
fi
