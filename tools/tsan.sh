#!/usr/bin/env bash
# ThreadSanitizer check of the threaded parts: the frame timer, the display host's frame loop
# against the saver's shutdown, the application's cross-thread hand-overs, the gadget values
# written on the UI side while frames draw them, the feed thread, frames flipped from another
# thread, the brightness ramp set while frames are shown, the mixer behind ALSA's pulse plugin
# (the sound server's client threads) and the saver's music (SDL's audio thread, in the saver
# process the sound tests start), the settings dialog (its pictures decoded on a second thread),
# TLS (its module loaded once, from whichever thread connects first), the saver session (one
# frame thread per monitor), the gadget band painted on the main thread while frames draw, the
# frame thread stopped and started as the window is unseen and seen, the music paused and
# resumed, and the X11 sight watcher.
# Builds build-tsan with -DSOLVANE_TSAN=ON and runs those test suites; any reported race fails
# the run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-tsan
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOLVANE_TSAN=ON >/dev/null
cmake --build "$build" -j2 --target solvane-tests solvane

# Qt is not instrumented, and its thread pool hands work between Qt's own threads through locks the
# checker cannot see: copies and frees that Qt's code makes are not taken as accesses. In
# ConfigurationTest.ProxyTypedIsUsedAtOnce Qt's GUI library converts an image on that pool, freeing
# through the tests' own allocator; that case is left out, the dialog's threads are checked by the
# suite's other cases.
export TSAN_OPTIONS="ignore_noninstrumented_modules=1 halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan.supp"
"$build/solvane-tests" --gtest_filter="${SOLVANE_TSAN_FILTER:-MultimediaTimerTest.*:KssThreadTest.*:KssTest.*:KssSightTest.*:WindowSightTest.*:SoundLoop.PausedWritesNothingAndGoesOnWhereItWas:Unit1Test.*:ApplicationTest.*:GadgetHandOver.*:FeedThread.*:FeedFetch.*:QtWindowSystemTest.*:FlipChainTest.*:KssBrightnessTest.*:MasterMixVolume.*:SaverSoundTest.*:ConfigurationTest.*:Tls.*:SaverSessionTest.*:SceneLayers.TheBandIsPaintedWhileFramesDraw-ConfigurationTest.ProxyTypedIsUsedAtOnce}"
