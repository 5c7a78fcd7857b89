#!/usr/bin/env bash
# Set-up, a release build and the saver itself. With a display (DISPLAY set) the saver runs on it
# until Escape or a mouse movement ends it. Without one it runs on a private Xvfb server at
# 1280x1024 for a few seconds, a screenshot is saved, and the saver is ended with Escape.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DSOLVANE_SANITIZE=OFF -DSOLVANE_TSAN=OFF >/dev/null
cmake --build build -j2 --target solvane

if [ -n "${DISPLAY:-}" ]; then
  exec build/solvane /s
fi

display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

build/solvane /s &
saver_pid=$!
sleep "${SOLVANE_RUN_SECONDS:-4}"
shot=build/screenshot.png
import -window root "$shot"
echo "No display here: the saver ran on Xvfb $display (1280x1024); screenshot saved to $shot"
xdotool key Escape
status=0
wait "$saver_pid" || status=$?
echo "Ended the saver with Escape; it exited with code $status"
