#!/usr/bin/python3
"""The saver on KWin's virtual backend (Wayland) at 1920 x 1080 logical pixels and scale 2 (an
output of 3840 x 2160 pixels), run as an ordinary user with an X server in DISPLAY as well, as in a
real session: it covers the output as a full-screen window and its picture moves, and the clock's
label in KWin's screenshot differs from the saver's under Xvfb at 3840 x 2160 by at most 0.03 of
its luminance range (mean absolute difference): the saver draws at the output's pixels.

Usage: kwin_desktop.py hidpi SAVER. Needs root (to make the user)."""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
import kwin_session  # noqa: E402
import monitor_shapes  # noqa: E402
from desktop import check  # noqa: E402

TITLE = "Solvane Screensaver"


def moving(kwin):
    a = kwin.screenshot()
    time.sleep(0.3)
    b = kwin.screenshot()
    return desktop.region_changed(a, b, (0, 0, a.shape[1], a.shape[0])) > 200


def hidpi(saver):
    reference = monitor_shapes.xvfb_picture(saver, (3840, 2160))
    with desktop.workspace() as (procs, work):
        user = desktop.OrdinaryUser()
        kwin = kwin_session.KWin(procs, work, user, size=(1920, 1080), scale=2)
        env = dict(kwin.env, DISPLAY=desktop.start_xvfb(procs))
        desktop.Saver(procs, [saver, "/s"], env, work, user, monitor_shapes.settings(0, clock_only=True))
        check(desktop.wait_until(lambda: [w for w in kwin.windows(TITLE) if w["fullscreen"]] and moving(kwin), 30),
              "the saver does not show as a moving full-screen window")
        window = kwin.windows(TITLE)[0]
        check(window["frame"] == [0, 0, 1920, 1080], "the window covers %s" % window["frame"])
        shot = kwin.screenshot()
    if os.environ.get("SOLVANE_SCREENSHOTS"):
        monitor_shapes.save(shot, os.environ["SOLVANE_SCREENSHOTS"], "kwin-3840x2160.png")
    check(shot.shape[:2] == reference.shape[:2], "KWin's screenshot is %s" % (shot.shape,))
    difference = monitor_shapes.label_difference(shot, reference)
    print("KWin at scale 2: the clock's label differs from Xvfb's by %.3f of its range" % difference)
    check(difference <= 0.03, "the label differs by %.3f" % difference)


def main():
    desktop.need_root()
    desktop.need_programs("kwin_wayland", "dbus-run-session", "wayland-scanner", "Xvfb")
    mode, saver = sys.argv[1], sys.argv[2]
    case = lambda: {"hidpi": hidpi}[mode](saver)  # noqa: E731
    case.__name__ = "KWin " + mode
    desktop.main([case])


if __name__ == "__main__":
    main()
