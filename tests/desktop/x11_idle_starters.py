#!/usr/bin/python3
"""The installed saver started the ways README gives for X11 desktops, each after the idle time:
xautolock under Xorg and openbox (README's line, with its shortest idle time of one minute), and
MATE's screensaver with the package's entry (activated as its idle timer would). Each time the
saver covers the screen and moves, and a key ends it.

Usage: x11_idle_starters.py xautolock|mate [SAVER]   (SAVER: the installed /usr/bin/solvane by
default; MATE runs only programs in its hack folders, which the package installs into). Needs root."""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop
from desktop import check

README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")
SAVER_ENTRY = "/usr/share/applications/screensavers/solvane.desktop"


def saver_pids(display):
    """The savers on this test's display: other tests may run savers of their own beside it."""
    found = subprocess.run(["pgrep", "-x", "solvane"], capture_output=True, text=True).stdout.split()
    mine = []
    for pid in found:
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                environment = f.read().split(b"\0")
        except OSError:
            continue  # ended meanwhile
        if b"DISPLAY=" + display.encode() in environment:
            mine.append(int(pid))
    return mine


def covered_and_moving(x):
    monitor = x.monitors()[0]
    a = x.screenshot()
    time.sleep(0.3)
    b = x.screenshot()
    return desktop.desktop_pixels(b, monitor) == 0 and desktop.region_changed(a, b, monitor) > 200


def xautolock(saver):
    check("xautolock -time 10 -locker 'solvane /s' &" in open(README).read(), "README has no xautolock line")
    with desktop.workspace() as (procs, work):
        x = desktop.Xorg(procs, work)
        x.set_monitors("1920x1080")
        x.fill_root()
        desktop.start_window_manager("openbox", x, procs, work)
        env = desktop.saver_env(dict(x.env, PATH=os.path.dirname(saver) + ":" + x.env["PATH"]), work)
        procs.start(["xautolock", "-time", "1", "-locker", "solvane /s"], env=env)
        check(desktop.wait_until(lambda: saver_pids(x.env["DISPLAY"]), 75, 0.5), "xautolock did not start the saver")
        check(desktop.wait_until(lambda: covered_and_moving(x), 5), "the saver does not cover the screen")
        x.xdotool("key", "Escape")
        check(desktop.wait_until(lambda: not saver_pids(x.env["DISPLAY"]), 3), "a key did not end the saver")


def mate(saver):
    check(os.path.exists(SAVER_ENTRY), SAVER_ENTRY + " is missing: install the package first")
    with desktop.workspace() as (procs, work):
        x = desktop.Xorg(procs, work)
        x.set_monitors("1920x1080")
        x.fill_root()
        read, write = os.pipe()
        procs.start(["dbus-daemon", "--session", "--nofork", "--print-address=%d" % write], pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as f:
            bus = f.readline().strip()
        home = os.path.join(work, "mate-home")
        env = desktop.saver_env(dict(x.env, DBUS_SESSION_BUS_ADDRESS=bus, HOME=home, XDG_CURRENT_DESKTOP="MATE",
                                     GSETTINGS_BACKEND="keyfile"), work)
        env["XDG_CONFIG_HOME"] = os.path.join(home, ".config")
        for key, value in (("mode", "single"), ("themes", "['screensavers-solvane']"), ("lock-enabled", "false")):
            subprocess.run(["gsettings", "set", "org.mate.screensaver", key, value], env=env, check=True)
        procs.start(["mate-screensaver", "--no-daemon"], env=env)
        command = lambda *args: subprocess.run(["mate-screensaver-command", *args], env=env, capture_output=True)
        check(desktop.wait_until(lambda: command("--query").returncode == 0, 10), "mate-screensaver does not answer")
        command("--activate")
        check(desktop.wait_until(lambda: saver_pids(x.env["DISPLAY"]), 10, 0.2),
              "MATE's screensaver did not start the saver")
        check(desktop.wait_until(lambda: covered_and_moving(x), 5), "the saver does not cover the screen")
        x.xdotool("key", "Escape")
        check(desktop.wait_until(lambda: not saver_pids(x.env["DISPLAY"]), 3), "a key did not end the saver")


def main():
    desktop.need_root()
    mode = sys.argv[1]
    saver = sys.argv[2] if len(sys.argv) > 2 else "/usr/bin/solvane"
    if mode == "xautolock":
        desktop.need_programs("Xorg", "openbox", "xautolock", "xdotool", "xwd")
        case = lambda: xautolock(saver)
    else:
        desktop.need_programs("Xorg", "mate-screensaver", "dbus-daemon", "gsettings", "xdotool", "xwd")
        case = lambda: mate(saver)
    case.__name__ = mode
    desktop.main([case])


if __name__ == "__main__":
    main()
