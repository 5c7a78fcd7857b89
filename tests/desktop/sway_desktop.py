#!/usr/bin/python3
"""The saver on sway's headless backend (Wayland), run as an ordinary user with sway's Xwayland in
DISPLAY, as in a real session: 1 s after the start and again after 5 s it runs as a full-screen
xdg-shell toplevel without a title bar (the compositor's tree says so), no pixel shows the
desktop's colour and the picture moves (grim), the output keeps its mode; a 4-pixel pointer move
leaves it running, a 6-pixel move ends it, and so does Escape in a second run. With "swayidle":
the README's swayidle line in sway's start-up starts the saver after the idle time, and a key ends
it.

With "cost": the processor time and wake-ups of 10 s of the running saver on one 1920 x 1080
output, under Xorg with openbox and under sway over the same 10 s; sway may cost at most 1.3
times Xorg, and wake at most 60 times a second of its own accord (voluntary context switches; those
a busy machine's other work forces are printed beside). With "hidden": 10 s shown, 10 s with its
workspace switched away and 10 s with the output powered off: unseen it costs at most 0.05 times
the shown figure and wakes at most 5 times a second (all context switches); shown again, the
picture moves within a second; "hidden-renderer" the same with the pictures put by SDL's GL
renderer, as where a GPU renders. With "hidpi": at 3840 x 2160, scale 2, and 2880 x 1620, scale
1.5, the clock's label in grim's screenshot differs from the saver's under Xvfb at the same pixel
size by at most 0.03 of its luminance range (mean absolute difference): the saver draws at the
output's pixels. With
"frames": the saver's requests on the Wayland socket (WAYLAND_DEBUG) over a few seconds: each
picture waits for the compositor's frame callback of the last, none comes faster than the frame
timer's 45 ms, at most 3 buffers are shown in turn, and most pictures damage less than the window;
with SDL_VIDEODRIVER=x11 the saver's window is Xwayland's.

Usage: sway_desktop.py full-screen|swayidle|cost|hidden|hidden-renderer|hidpi|frames SAVER. Needs root (to make the user,
and Xorg)."""

import collections
import os
import re
import sys
import time

import numpy
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop
import monitor_shapes
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
    check(node["shell"] == "xdg_shell", "a window of the %s shell" % node["shell"])
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
        # The first frames may come seconds after the window on a busy host (the scene's pictures
        # are decoded first).
        check(desktop.wait_until(lambda: moving(sway), 20), "started by swayidle: no moving picture")
        full_screen_without_title(sway)
        sway.key("Escape")
        check(desktop.wait_until(lambda: not sway.saver_windows(), 3), "a key did not end the saver")


def shown_on_sway(procs, work, saver, mode="1920x1080", scale=1, settings=None, env=None):
    """sway with the saver running, once its picture moves; the saver's settings text and more of
    its environment when given."""
    user = desktop.OrdinaryUser()
    sway = desktop.Sway(procs, work, user, mode=mode, scale=scale)
    run = desktop.Saver(procs, [saver, "/s"], dict(sway.env, **(env or {})), work, user, settings)
    check(desktop.wait_until(lambda: len(sway.saver_windows()) == 1 and moving(sway), 20), "the saver does not show")
    full_screen_without_title(sway)
    return sway, run


def cost(saver):
    """Both savers shown at once, each on its own desktop: this host's speed drifts by more than
    the difference measured between two runs one after the other, and at once it weighs on both."""
    with desktop.workspace() as (procs, work), desktop.workspace() as (sway_procs, sway_work):
        _, _, on_xorg = desktop.saver_on_openbox(procs, work, [saver], timeout=20)
        _, on_sway = shown_on_sway(sway_procs, sway_work, saver)
        xorg, sway = desktop.usages([on_xorg.pid(), on_sway.pid()], 10)
    print("10 s shown: Xorg with openbox %.2f s, %.1f wake-ups/s (+ %.1f forced); sway %.2f s, %.1f wake-ups/s "
          "(+ %.1f forced); sway %.2f x Xorg" % (xorg + sway + (sway[0] / xorg[0],)))
    check(sway[0] <= 1.3 * xorg[0], "sway costs %.2f x Xorg" % (sway[0] / xorg[0]))
    check(sway[1] <= 60, "under sway the saver wakes %.1f times a second" % sway[1])


def moved_within(sway, seconds):
    """The time from now until a screenshot shows the picture changed, or None."""
    start = time.monotonic()
    last = sway.screenshot()
    while time.monotonic() - start < seconds:
        taken = time.monotonic()
        shot = sway.screenshot()
        if desktop.region_changed(last, shot, OUTPUT) > 200:
            return taken - start
        last = shot
    return None


def hidden(saver, env=None):
    with desktop.workspace() as (procs, work):
        sway, run = shown_on_sway(procs, work, saver, env=env)
        shown = desktop.usage(run.pid(), 10)
        print("shown: %.2f s, %.1f wake-ups/s (+ %.1f forced)" % shown)
        for hide, show, what in ((("workspace", "2"), ("workspace", "1"), "its workspace switched away"),
                                 (("output", "*", "dpms", "off"), ("output", "*", "dpms", "on"), "the output off")):
            sway.command(*hide)
            if what == "the output off" and sway.outputs()[0]["dpms"]:
                print("skipped the output powered off: sway's headless output cannot be")
                continue
            time.sleep(1)  # the compositor stops asking for pictures; the saver notices
            cpu, voluntary, forced = desktop.usage(run.pid(), 10)
            sway.command(*show)
            moved = moved_within(sway, 3)
            print("%s: %.2f s (%.3f x shown), %.1f wake-ups/s; moving again after %s s"
                  % (what, cpu, cpu / shown[0], voluntary + forced, moved))
            check(cpu <= 0.05 * shown[0], "%s it costs %.2f x shown" % (what, cpu / shown[0]))
            check(voluntary + forced <= 5, "%s it wakes %.1f times a second" % (what, voluntary + forced))
            check(moved is not None and moved <= 1.0, "shown again after %s, it moves after %s s" % (what, moved))


def hidpi(saver):
    settings = monitor_shapes.settings(0, clock_only=True)
    for mode, scale in (("3840x2160", 2), ("2880x1620", 1.5)):
        size = tuple(int(v) for v in mode.split("x"))
        reference = monitor_shapes.xvfb_picture(saver, size)
        with desktop.workspace() as (procs, work):
            sway, _ = shown_on_sway(procs, work, saver, mode, scale, settings)
            shot = sway.screenshot(scale)
        if os.environ.get("SOLVANE_SCREENSHOTS"):
            Image.fromarray(shot).save(os.path.join(os.environ["SOLVANE_SCREENSHOTS"], "sway-%s.png" % mode))
        check(shot.shape[:2] == reference.shape[:2], "grim gave %s for %s" % (shot.shape, mode))
        difference = monitor_shapes.label_difference(shot, reference)
        print("%s at scale %s: the clock's label differs from Xvfb's by %.3f of its range" % (mode, scale, difference))
        check(difference <= 0.03, "%s at scale %s: the label differs by %.3f" % (mode, scale, difference))


def requests(log):
    """The socket's traffic a WAYLAND_DEBUG=client log records: (seconds, object, message, arguments)."""
    found = []
    for line in log.splitlines():
        match = re.match(r"\[\s*([\d.]+)\]\s+(?:-> )?(\w+@\d+)\.(\w+)\((.*)\)$", line)
        if match:
            found.append((float(match[1]) / 1000, match[2], match[3], match[4]))
    return found


def frames(saver):
    with desktop.workspace() as (procs, work):
        user = desktop.OrdinaryUser()
        sway = desktop.Sway(procs, work, user)
        log = os.path.join(work, "saver.log")
        run = desktop.Saver(procs, [saver, "/s"], dict(sway.env, WAYLAND_DEBUG="client"), work, user)
        check(desktop.wait_until(lambda: moving(sway), 20), "the saver does not show")
        time.sleep(3)
        desktop.stop(run.proc)
        with open(log, errors="replace") as f:
            traffic = requests(f.read())
    attached = collections.Counter(obj for _, obj, message, _ in traffic if message == "attach")
    check(attached, "the saver attached no buffers")
    surface = attached.most_common(1)[0][0]
    height = max(int(args.split(", ")[3]) + int(args.split(", ")[1])
                 for _, obj, message, args in traffic if obj == surface and message == "damage_buffer")
    commits, buffers, shares, rows, pending, waits = [], set(), [], 0, None, 0
    for at, obj, message, args in traffic:
        if obj == surface and message == "attach":
            buffers.add(args.split(",")[0])
        elif obj == surface and message == "damage_buffer":
            rows += int(args.split(", ")[3])
        elif obj == surface and message == "frame":
            waits += pending is not None
            pending = args.split()[-1].rstrip(")")
        elif obj == pending and message == "done":
            pending = None
        elif obj == surface and message == "commit" and rows:
            commits.append(at)
            shares.append(rows / height)
            rows = 0
    shares.sort()
    span = commits[-1] - commits[0]
    print("%d pictures in %.1f s, %d buffers, a picture damages %.2f of the window (median)"
          % (len(commits), span, len(buffers), shares[len(shares) // 2]))
    check(len(commits) >= 20, "only %d pictures" % len(commits))
    check(waits == 0, "%d pictures did not wait for the last one's frame callback" % waits)
    # The first and the last picture may each be shown up to a frame late.
    check(len(commits) - 1 <= span / 0.045 + 2, "pictures come faster than every 45 ms")
    check(len(buffers) <= 3, "%d buffers" % len(buffers))
    check(shares[len(shares) // 2] < 0.9, "most pictures damage the whole window")
    # The driver the user names wins.
    with desktop.workspace() as (procs, work):
        user = desktop.OrdinaryUser()
        sway = desktop.Sway(procs, work, user)
        desktop.Saver(procs, [saver, "/s"], dict(sway.env, SDL_VIDEODRIVER="x11"), work, user)
        check(desktop.wait_until(lambda: len(sway.saver_windows()) == 1, 20), "with SDL_VIDEODRIVER=x11: no window")
        shell = sway.saver_windows()[0]["shell"]
        check(shell == "xwayland", "with SDL_VIDEODRIVER=x11 the saver's window is of the %s shell" % shell)


def hidden_renderer(saver):
    """As with a GPU: the pictures go through SDL's GL renderer (llvmpipe here)."""
    hidden(saver, {"SDL_RENDER_DRIVER": "opengles2"})


CASES = {"full-screen": full_screen, "swayidle": swayidle, "cost": cost, "hidden": hidden,
         "hidden-renderer": hidden_renderer, "hidpi": hidpi, "frames": frames}


def main():
    desktop.need_root()
    desktop.need_programs("sway", "grim", "wtype", "swayidle", "swaymsg", "xprop", "Xvfb", "Xorg", "openbox")
    mode, saver = sys.argv[1], sys.argv[2]
    case = lambda: CASES[mode](saver)  # noqa: E731
    case.__name__ = "sway " + mode
    desktop.main([case])


if __name__ == "__main__":
    main()
