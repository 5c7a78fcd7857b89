#!/usr/bin/python3
"""A screen locker started over the running saver, as xautolock's -locker or xss-lock start one:
i3lock on Xorg with openbox, run as an ordinary user with a password. The locker covers the whole
screen and takes the keyboard (its password, typed with xdotool, ends it); while it covers, the saver
spends at most 0.05 times the processor time it spends shown over 8 s, wakes at most 5 times a
second, and its music (SDL's disk driver, writing in real time) writes nothing; after the locker
ends, the saver moves again within a second and its music goes on within half a second. Shown, it
wakes at most 60 times a second of its own accord (voluntary context switches; those the machine's
other work forces on it are printed beside).

Prints the figures, per hour, for README's cost of a night.

Usage: locker.py SAVER   Needs root (Xorg, the locker's user)."""

import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop
from desktop import check

PASSWORD = "unseen-saver-7"
LOCKER_COLOUR = (0, 0, 128)


def first_move_after(x, monitor, since):
    """When the first screenshot that differs from the one before it was taken (a screenshot takes
    a while), in seconds after since; infinite when none does within 3 s."""
    before = x.screenshot()
    while time.monotonic() - since < 3:
        taken = time.monotonic()
        shot = x.screenshot()
        if desktop.region_changed(before, shot, monitor) > 200:
            return taken - since
        before = shot
    return float("inf")


def locker_share(shot, monitor):
    x, y, w, h = monitor
    return float((shot[y:y + h, x:x + w] == LOCKER_COLOUR).all(axis=2).mean())


def size_of(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


def sounding_since(path, since):
    """SDL's disk driver starts its file anew with each device opened (and writes silence until
    the device plays): music written after `since` (wall clock) is a file changed since then that
    holds a sample other than silence."""
    if not os.path.exists(path) or os.path.getmtime(path) <= since:
        return False
    with open(path, "rb") as f:
        return any(f.read())


def locker(saver_command):
    user = desktop.OrdinaryUser()
    subprocess.run(["chpasswd"], input="%s:%s\n" % (user.name, PASSWORD), text=True, check=True)
    with desktop.workspace() as (procs, work):
        music = os.path.join(work, "music.raw")
        x, monitor, saver = desktop.saver_on_openbox(procs, work, saver_command, SDL_AUDIODRIVER="disk",
                                                     SDL_DISKAUDIOFILE=music)
        time.sleep(3)  # the start's first feed fetches (which wait in short slices) are over
        shown, shown_vol, shown_nonvol = desktop.usage(saver.proc.pid, 8)
        check(saver.running() and shown > 0, "the saver stopped (%s): %s" %
              (saver.proc.returncode, open(saver.log.name).read()[-2000:]))
        print("shown: %.2f s of processor time in 8 s, %.1f wake-ups a second (+ %.1f forced)" %
              (shown, shown_vol, shown_nonvol))
        check(shown_vol <= 60, "shown, the saver wakes %.1f times a second" % shown_vol)

        env = {"DISPLAY": x.display, "HOME": user.home, "PATH": "/usr/bin:/bin"}
        log = open(os.path.join(work, "i3lock.log"), "w")
        lock = procs.start(user.command(["i3lock", "-n", "-c", "%02x%02x%02x" % LOCKER_COLOUR], env), stderr=log)
        # Its indicator shows while it waits for the keyboard, and goes once it has it.
        check(desktop.wait_until(lambda: locker_share(x.screenshot(), monitor) > 0.999, 5),
              "i3lock does not cover the whole screen, or waits for the keyboard")
        time.sleep(1)
        shot = x.screenshot()
        if os.environ.get("SOLVANE_SCREENSHOTS"):
            x.save(shot, os.path.join(os.environ["SOLVANE_SCREENSHOTS"], "locker-over-saver.png"))
        check(lock.poll() is None, "i3lock ended: %s" % open(log.name).read())
        check(locker_share(shot, monitor) > 0.999, "the saver shows beside i3lock")
        written = size_of(music)
        locked, locked_vol, locked_nonvol = desktop.usage(saver.proc.pid, 8)
        print("locked: %.3f s of processor time in 8 s (%.3f x shown), %.1f wake-ups a second (+ %.1f forced)" %
              (locked, locked / shown, locked_vol, locked_nonvol))
        check(size_of(music) == written, "the music wrote %d bytes under the locker" % (size_of(music) - written))
        check(locked <= 0.05 * shown, "under the locker the saver costs %.3f x shown" % (locked / shown))
        check(locked_vol + locked_nonvol <= 5, "under the locker the saver wakes %.1f times a second" %
              (locked_vol + locked_nonvol))

        x.xdotool("type", "--delay", "50", PASSWORD)
        x.xdotool("key", "Return")
        unlocking = time.time()
        check(desktop.wait_until(lambda: lock.poll() is not None, 10), "the typed password did not reach i3lock")
        ended = time.monotonic()
        # The music is listened for beside the screenshots, which take a while each.
        heard = []
        listening = threading.Thread(target=lambda: desktop.wait_until(
            lambda: sounding_since(music, unlocking) and not heard.append(time.monotonic() - ended), 3, 0.02))
        listening.start()
        check(lock.returncode == 0, "i3lock ended with %s" % lock.returncode)
        moved_after = first_move_after(x, monitor, ended)
        listening.join()
        sound_after = heard[0] if heard else float("inf")
        print("after the locker: moves after %.2f s, music after %.2f s" % (moved_after, sound_after))
        check(moved_after <= 1.0, "the saver moves again only after %.2f s" % moved_after)
        check(sound_after <= 0.5, "the music goes on only after %.2f s" % sound_after)
        check(saver.running(), "the saver ended under the locker")
        print("an hour costs %.0f s of processor time shown, %.1f s under a locker" %
              (shown / 8 * 3600, locked / 8 * 3600))
        x.xdotool("key", "Escape")
        check(saver.ended_within(3), "Escape did not end the saver")


def main():
    desktop.need_root()
    desktop.need_programs("Xorg", "xrandr", "xdotool", "xsetroot", "xprop", "xwd", "openbox", "i3lock", "chpasswd")
    saver_command = sys.argv[1:]
    case = lambda: locker(saver_command)
    case.__name__ = "i3lock over the running saver"
    desktop.main([case])


if __name__ == "__main__":
    main()
