#!/usr/bin/python3
"""The display going away under the running saver, as at a logout or when the server crashes:
Xorg with the dummy driver (two monitors under openbox) ended with SIGTERM and then with SIGKILL,
and sway headless ended under it. Each time the saver ends within 2 s, with status 0 or 1 and not
on a signal, and the sound server's volume reads what it read before the saver started.

Usage: display_lost.py xorg|sway SAVER. Needs root (Xorg, a user of its own for sway)."""

import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop
import real_desktops
import sway_desktop
from desktop import check

LIMIT = 2.0  # seconds from the loss to the saver's end
USERS_VOLUME, SAVERS_VOLUME = 30000, 51200  # the saver's default 200 of 256


def ended_cleanly(saver, pulse, lost_at, what):
    # Waited for beyond the limit, to tell a slow end from a hang.
    ended = saver.ended_within(LIMIT + 3)
    took = time.monotonic() - lost_at
    check(ended, "%s: the saver still runs %.1f s later" % (what, took))
    code = saver.proc.returncode
    check(code in (0, 1), "%s: the saver ended with %s" % (what, code))
    check(took <= LIMIT, "%s: the saver ended %.2f s later" % (what, took))
    volume = pulse.volume()
    check(volume == USERS_VOLUME, "%s: the volume reads %d, not the user's %d" % (what, volume, USERS_VOLUME))
    print("%s: ended after %.2f s with %d, the user's volume back" % (what, took, code))


def xorg(saver_command):
    for sent in (signal.SIGTERM, signal.SIGKILL):
        with desktop.workspace() as (procs, work):
            pulse = desktop.PulseServer(procs, work)
            pulse.set_volume(USERS_VOLUME)
            x = desktop.Xorg(procs, work)
            x.set_monitors(*real_desktops.LAYOUTS["two"])
            x.fill_root()
            desktop.start_window_manager("openbox", x, procs, work)
            saver = desktop.Saver(procs, saver_command + ["/s"], x.env, work, sound=pulse.env)
            monitors = x.monitors()
            check(desktop.wait_until(lambda: all(real_desktops.covered_and_moving(x, m) for m in monitors), 20),
                  lambda: "the saver does not cover every monitor: %s" % real_desktops.coverage(x, monitors, saver))
            check(pulse.volume() == SAVERS_VOLUME, "the saver's volume is %d" % pulse.volume())
            lost = time.monotonic()
            x.proc.send_signal(sent)
            ended_cleanly(saver, pulse, lost, "Xorg ended by %s" % sent.name)


def sway(saver_command):
    with desktop.workspace() as (procs, work):
        user = desktop.OrdinaryUser()
        pulse = desktop.PulseServer(procs, work)
        pulse.set_volume(USERS_VOLUME)
        compositor = desktop.Sway(procs, work, user)
        saver = desktop.Saver(procs, saver_command + ["/s"], compositor.env, work, user, sound=pulse.env)
        check(desktop.wait_until(lambda: sway_desktop.moving(compositor), 10), "the saver shows no moving picture")
        check(pulse.volume() == SAVERS_VOLUME, "the saver's volume is %d" % pulse.volume())
        lost = time.monotonic()
        os.killpg(compositor.proc.pid, signal.SIGTERM)
        ended_cleanly(saver, pulse, lost, "sway ended")


def main():
    desktop.need_root()
    desktop.need_programs("Xorg", "xrandr", "xdotool", "xwd", "openbox", "sway", "grim", "pulseaudio", "pactl")
    mode, saver_command = sys.argv[1], sys.argv[2:]
    case = (lambda: xorg(saver_command)) if mode == "xorg" else (lambda: sway(saver_command))
    case.__name__ = "the display lost under the saver: " + mode
    desktop.main([case])


if __name__ == "__main__":
    main()
