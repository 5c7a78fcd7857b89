#!/usr/bin/env bash
# The saver on real desktops, as installed: Xorg with the dummy driver under no window manager,
# openbox, xfwm4 and i3 (one monitor, two, one 4K; a monitor switched off and on; another
# window taking the focus; the processor
# time of two monitors against one; two monitors under five tiling window managers with both
# cores busy; i3lock started over the running saver), the X server and sway ended under the running
# saver, sway headless with its Xwayland (the saver's frames on the socket, its cost against
# Xorg's, hidden and shown again,
# HiDPI outputs), KWin at scale 2,
# the idle starters README names (xautolock, swayidle, MATE's screensaver) and the saver's own
# idle watcher (`solvane --idle`) on Xorg, sway, KWin and GNOME Shell. One after the other: each
# measures start-up and covering times, which other work beside it would disturb.
# Usage: run_all.sh [SAVER] (default /usr/bin/solvane, which MATE's test needs). Needs root.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
saver=${1:-/usr/bin/solvane}
[ "$(id -u)" -eq 0 ] || { echo "skipped: the desktop tests need root (Xorg, a user of their own)"; exit 77; }
python=/usr/bin/python3
runs=(
  "real_desktops.py one $saver"
  "real_desktops.py two $saver"
  "real_desktops.py 4k $saver"
  "real_desktops.py hotplug $saver"
  "real_desktops.py focus $saver"
  "real_desktops.py cpu $saver"
  "real_desktops.py busy $saver"
  "display_lost.py xorg $saver"
  "display_lost.py sway $saver"
  "locker.py $saver"
  "sway_desktop.py full-screen $saver"
  "sway_desktop.py swayidle $saver"
  "sway_desktop.py frames $saver"
  "sway_desktop.py cost $saver"
  "sway_desktop.py hidden $saver"
  "sway_desktop.py hidden-renderer $saver"
  "sway_desktop.py hidpi $saver"
  "kwin_desktop.py hidpi $saver"
  "x11_idle_starters.py xautolock $saver"
  "x11_idle_starters.py mate $saver"
  "idle_watcher.py xorg $saver"
  "idle_watcher.py sway $saver"
  "idle_watcher.py kwin $saver"
  "idle_watcher.py kwin-lock $saver"
  "idle_watcher.py gnome $saver"
  "idle_watcher.py cost $saver"
)
failed=0
for run in "${runs[@]}"; do
  echo "== $run"
  # shellcheck disable=SC2086
  "$python" "$here"/$run || failed=1
done
exit $failed
