#!/usr/bin/python3
"""The saver on sway's headless backend (Wayland), run as an ordinary user: 1 s after the start and
again after 5 s it runs as a full-screen toplevel without a title bar (the compositor's tree says
so), no pixel shows the desktop's colour and the picture moves (grim), the output keeps its mode;
a 4-pixel pointer move leaves it running, a 6-pixel move ends it, and so does Escape in a second
run. With "swayidle": the README's swayidle line in sway's start-up starts the saver after the idle
time, and a key ends it.

Usage: sway_desktop.py full-screen|swayidle SAVER. Needs root (to make the user)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop
from desktop import check

OUTPUT = (0, 0, 1920, 1080)


def covered_and_moving(sway, when):
    a = sway.screenshot()
    time.sleep(0.3)
    b = sway.screenshot()
    shown = desktop.desktop_pixels(a, OUTPUT)
    check(shown == 0, "%s: %d pixels show the desktop" % (when, shown))
    check(desktop.region_changed(a, b, OUTPUT) > 200, "%s: the picture does not move" % when)


def moving(sway):
    try:
        covered_and_moving(sway, "")
        return True
    except desktop.Failure:
        return False


def full_screen_without_title(sway):
    windows = sway.saver_windows()
    check(len(windows) == 1, "the tree holds %d saver windows" % len(windows))
    node = windows[0]
    check(node["fullscreen_mode"] == 1, "not full screen: %s" % node["fullscreen_mode"])
    check(node["rect"] == {"x": 0, "y": 0, "width": 1920, "height": 1080}, "covers %s" % node["rect"])
    check(node["deco_rect"]["height"] == 0, "a title bar of %d pixels" % node["deco_rect"]["height"])


def full_screen(saver):
    with desktop.workspace() as (procs, work):
        user = desktop.OrdinaryUser()
        sway = desktop.Sway(procs, work, user)
        modes = sway.modes()
        started = time.monotonic()
        run = desktop.Saver(procs, [saver, "/s"], sway.env, work, user)
        for at in (1, 5):
            time.sleep(max(0, started + at - time.monotonic()))
            check(run.running(), "the saver ended by itself before %d s" % at)
            full_screen_without_title(sway)
            covered_and_moving(sway, "after %d s" % at)
            check(sway.modes() == modes, "the output's mode changed")
        sway.pointer((1, 1), (4, 0))
        check(not run.ended_within(0.5), "a 4-pixel move ended the saver")
        # A new virtual pointer enters the window first: its first small step only finds the place.
        sway.pointer((1, 0), (6, 0))
        check(run.ended_within(3), "a 6-pixel move did not end the saver")
        again = desktop.Saver(procs, [saver, "/s"], sway.env, work, user)
        check(desktop.wait_until(lambda: len(sway.saver_windows()) == 1, 5), "the second run shows no window")
        # As a person would: the key once the scene shows (a key before the compositor focused the
        # new window goes to whatever had the focus).
        check(desktop.wait_until(lambda: moving(sway), 5), "the second run shows no moving picture")
        sway.key("Escape")
        check(again.ended_within(3), "Escape did not end the saver")


def swayidle(saver):
    """README: swayidle -w timeout 600 'solvane /s', here with a 2 s idle time."""
    readme = open(os.path.join(os.path.dirname(__file__), "..", "..", "README.md")).read()
    check("swayidle -w timeout 600 'solvane /s'" in readme, "README has no swayidle line")
    with desktop.workspace() as (procs, work):
        user = desktop.OrdinaryUser()
        saver_dir = os.path.dirname(saver)
        env = desktop.saver_env({"XDG_RUNTIME_DIR": user.runtime_dir(work)}, work, user)
        exports = " ".join("%s=%s" % kv for kv in env.items())
        sway = desktop.Sway(procs, work, user, "exec env PATH=%s:$PATH %s swayidle -w timeout 2 'solvane /s'\n"
                            % (saver_dir, exports))
        check(desktop.wait_until(lambda: len(sway.saver_windows()) == 1, 10), "swayidle did not start the saver")
        time.sleep(1)
        full_screen_without_title(sway)
        covered_and_moving(sway, "started by swayidle")
        sway.key("Escape")
        check(desktop.wait_until(lambda: not sway.saver_windows(), 3), "a key did not end the saver")


def main():
    desktop.need_root()
    desktop.need_programs("sway", "grim", "wtype", "swayidle", "swaymsg")
    mode, saver = sys.argv[1], sys.argv[2]
    case = (lambda: full_screen(saver)) if mode == "full-screen" else (lambda: swayidle(saver))
    case.__name__ = "sway " + mode
    desktop.main([case])


if __name__ == "__main__":
    main()
