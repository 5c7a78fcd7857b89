#!/usr/bin/python3
"""The saver on real X desktops: Xorg with the dummy driver, monitors offering 1024 x 768 beside
their own mode, under no window manager, openbox, xfwm4 and i3. For each: 1 s after the start and
again after 5 s without input the saver runs, no pixel of any monitor shows the desktop's colour,
and no monitor changed its mode; soon after every monitor's picture moves; a 4-pixel pointer move
leaves it running, a 6-pixel move ends it, and so does Escape in a second run.

With "hotplug" instead of a layout: a second monitor switched off and on again while the saver runs.
With "focus": a program's window that opens while the saver runs and takes the focus: the saver
takes it back, its picture moves again and Escape still ends it.
With "cpu": the processor time of 20 s of the running saver on one 1920 x 1080 monitor and on two,
both at once on servers of their own; two may cost at most 2.2 times one.
With "busy": two monitors under each tiling window manager while both cores are busy: 5 s without
input the saver runs (window managers put the pointer elsewhere while they place the windows, on a
busy machine late), a 4-pixel move leaves it running, a 6-pixel move ends it.

Usage: real_desktops.py LAYOUT SAVER [ARGS...]   LAYOUT: one, two, 4k, hotplug, focus, cpu or busy. Needs root
(Xorg)."""

import contextlib
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop
from desktop import check, covered_and_moving

LAYOUTS = {"one": ["1920x1080"], "two": ["1920x1080", "1920x1080"], "4k": ["3840x2160"]}


def look(x, monitors, when):
    """No pixel of the desktop on any monitor."""
    shot = x.screenshot()
    if os.environ.get("SOLVANE_SCREENSHOTS"):
        x.save(shot, os.path.join(os.environ["SOLVANE_SCREENSHOTS"], "desktop-last-look.png"))
    for i, monitor in enumerate(monitors):
        shown = desktop.desktop_pixels(shot, monitor)
        check(shown == 0, "%s: monitor %d shows %d pixels of the desktop" % (when, i, shown))


def run(layout, wm, saver_command):
    with desktop.workspace() as (procs, work):
        x = desktop.Xorg(procs, work)
        x.set_monitors(*LAYOUTS[layout])
        x.fill_root()
        desktop.start_window_manager(wm, x, procs, work)
        monitors = x.monitors()
        check(len(monitors) == len(LAYOUTS[layout]), "xrandr shows %s" % monitors)
        modes = x.current_modes()
        mx, my, mw, mh = monitors[0]
        x.xdotool("mousemove", str(mx + mw // 2), str(my + mh // 2))
        started = time.monotonic()
        saver = desktop.Saver(procs, saver_command + ["/s"], x.env, work)
        # Covered after 1 s; the first frames may come seconds later on a busy host (the scene's
        # pictures are decoded first), which the start-up benchmarks measure.
        for at in (1, 5):
            time.sleep(max(0, started + at - time.monotonic()))
            check(saver.running(), "the saver ended by itself before %d s" % at)
            look(x, monitors, "after %d s" % at)
            check(x.current_modes() == modes, "a mode changed: %s, was %s" % (x.current_modes(), modes))
        check(desktop.wait_until(lambda: all(covered_and_moving(x, m) for m in monitors), 10),
              lambda: "after 5 s: %s" % coverage(x, monitors, saver))
        shot = x.screenshot()
        if os.environ.get("SOLVANE_SCREENSHOTS"):
            x.save(shot, os.path.join(os.environ["SOLVANE_SCREENSHOTS"], "desktop-%s-%s.png" % (layout, wm)))
        x.xdotool("mousemove_relative", "--", "4", "0")
        check(not saver.ended_within(0.7), "a 4-pixel move ended the saver")
        x.xdotool("mousemove_relative", "--", "6", "0")
        check(saver.ended_within(3), "a 6-pixel move did not end the saver")
        check(x.current_modes() == modes, "modes after the end: %s, were %s" % (x.current_modes(), modes))
        again = desktop.Saver(procs, saver_command + ["/s"], x.env, work)
        # As a person would: the key once the picture shows on every monitor (a key while the
        # later monitors are still being set up ends the saver only once they are).
        check(desktop.wait_until(lambda: all(covered_and_moving(x, m) for m in monitors), 15),
              lambda: "the second run: %s" % coverage(x, monitors, again))
        check(again.running(), "the second run ended by itself")
        x.xdotool("key", "Escape")
        check(again.ended_within(3), "Escape did not end the saver")


def coverage(x, monitors, saver=None):
    """What each monitor shows, for a failure's message; with the saver, what it is doing."""
    a = x.screenshot()
    time.sleep(0.3)
    b = x.screenshot()
    shown = ", ".join("monitor %d: %d pixels of the desktop, %d changed in 0.3 s" %
                      (i, desktop.desktop_pixels(b, m), desktop.region_changed(a, b, m))
                      for i, m in enumerate(monitors))
    return shown + ("; " + desktop.inside(saver.proc.pid, x) if saver is not None and saver.running() else "")


def hotplug(saver_command):
    """A second monitor switched off while the saver runs, then on again: the first keeps its
    saver throughout, the second is covered again within a second."""
    with desktop.workspace() as (procs, work):
        x = desktop.Xorg(procs, work)
        x.set_monitors("1920x1080", "1920x1080")
        x.fill_root()
        desktop.start_window_manager("openbox", x, procs, work)
        first, second = x.monitors()
        saver = desktop.Saver(procs, saver_command + ["/s"], x.env, work)
        check(desktop.wait_until(lambda: covered_and_moving(x, first) and covered_and_moving(x, second), 15),
              lambda: "the saver does not cover both monitors: %s" % coverage(x, [first, second], saver))
        x.run("xrandr", "--output", "DUMMY1", "--off")
        time.sleep(1)
        check(saver.running(), "the saver ended (%s) when a monitor went" % saver.proc.returncode)
        check(covered_and_moving(x, x.monitors()[0]), "the first monitor lost its saver")
        x.run("xrandr", "--output", "DUMMY1", "--mode", "1920x1080", "--right-of", "DUMMY0")
        switched_on = time.monotonic()
        # When the first screenshot that shows it covered was taken (taking one takes a while).
        covered_at = None
        while covered_at is None and time.monotonic() - switched_on < 3:
            taken = time.monotonic()
            if desktop.desktop_pixels(x.screenshot(), second) == 0:
                covered_at = taken - switched_on
        check(covered_at is not None and covered_at <= 1.0,
              "the monitor switched on again is not covered within a second (%s)" % covered_at)
        print("covered again after at most %.2f s" % covered_at)
        check(desktop.wait_until(lambda: covered_and_moving(x, second), 3), "the returned monitor does not move")
        check(saver.running(), "the saver ended when the monitor came back")


def focus_taken(saver_command):
    with desktop.workspace() as (procs, work):
        x, monitor, saver = desktop.saver_on_openbox(procs, work, saver_command)
        procs.start(["xlogo", "-geometry", "200x200+10+10"], env=x.env)
        other = x.run("xdotool", "search", "--sync", "--onlyvisible", "--class", "xlogo").split()[0]
        x.xdotool("windowfocus", "--sync", other)
        check(desktop.wait_until(lambda: x.run("xdotool", "getwindowfocus").strip() != other, 3),
              "the saver left the focus with the other window")
        check(desktop.wait_until(lambda: covered_and_moving(x, monitor), 5),
              lambda: "the saver's picture stands still once another window took the focus: %s" %
              coverage(x, [monitor], saver))
        x.xdotool("key", "Escape")
        check(saver.ended_within(3), "Escape did not end the saver")


def cpu(saver_command):
    """Both savers run at once, each on a server of its own: this host's speed drifts by more
    than the frames' cost between two runs one after the other (other guests, the page cache),
    and at once the drift weighs on both alike."""
    with contextlib.ExitStack() as stack:
        shown = []
        for layout in ("one", "two"):
            procs, work = stack.enter_context(desktop.workspace())
            x, _, saver = desktop.saver_on_openbox(procs, work, saver_command, 20, LAYOUTS[layout])
            shown.append((x, saver))
        before = [desktop.processor_seconds(saver.proc.pid) for _, saver in shown]
        time.sleep(20)
        one, two = (desktop.processor_seconds(saver.proc.pid) - b for (_, saver), b in zip(shown, before))

        def what(i):
            return desktop.inside(shown[i][1].proc.pid, shown[i][0])
        check(one > 0, lambda: "one monitor: the shown saver used no processor time in 20 s (its picture stood "
              "still); %s" % what(0))
        print("processor time of 20 s running: one monitor %.2f s, two monitors %.2f s (%.2f x)" % (one, two, two / one))
        check(two <= 2.2 * one, lambda: "two monitors cost %.2f x one; one monitor's %s; two monitors' %s" %
              (two / one, what(0), what(1)))
        for x, saver in shown:
            check(saver.running(), "the saver ended by itself")
            x.xdotool("key", "Escape")
            check(saver.ended_within(3), "Escape did not end the saver")


def busy(wm, saver_command):
    with desktop.workspace() as (procs, work):
        x = desktop.Xorg(procs, work)
        x.set_monitors(*LAYOUTS["two"])
        x.fill_root()
        desktop.start_window_manager(wm, x, procs, work)
        mx, my, mw, mh = x.monitors()[0]
        x.xdotool("mousemove", str(mx + mw // 2), str(my + mh // 2))
        procs.start(["stress-ng", "--cpu", "2", "--timeout", "60"])
        saver = desktop.Saver(procs, saver_command + ["/s"], x.env, work)
        # Where the pointer stands, from the start until 5 s after the saver shows on the first
        # monitor (a busy machine starts it late).
        places, started, shown = [], time.monotonic(), None
        while saver.running() and time.monotonic() < (shown + 5 if shown else started + 30):
            place = x.run("xdotool", "getmouselocation").split(" screen")[0]
            places += [place] if place not in places else []
            if shown is None and covered_and_moving(x, x.monitors()[0]):
                shown = time.monotonic()
        check(saver.running(), "the saver ended by itself with no input (the pointer stood at %s)" % places)
        check(shown is not None, "the saver does not show on the first monitor after 30 s")
        print("%s: the pointer stood at %s" % (wm, ", ".join(places)))
        if os.environ.get("SOLVANE_SCREENSHOTS"):
            x.save(x.screenshot(), os.path.join(os.environ["SOLVANE_SCREENSHOTS"], "desktop-busy-%s.png" % wm))
        x.xdotool("mousemove_relative", "--", "4", "0")
        check(not saver.ended_within(1), "a 4-pixel move ended the saver")
        x.xdotool("mousemove_relative", "--", "6", "0")
        check(saver.ended_within(5), "a 6-pixel move did not end the saver")


def main():
    desktop.need_root()
    desktop.need_programs("Xorg", "xrandr", "xdotool", "xsetroot", "xprop", "xwd", "openbox", "xfwm4", "i3")
    layout, saver_command = sys.argv[1], sys.argv[2:]
    if layout == "busy":
        desktop.need_programs("stress-ng", *desktop.TILING_WINDOW_MANAGERS)
        cases = []
        for wm in desktop.TILING_WINDOW_MANAGERS:
            case = (lambda wm: lambda: busy(wm, saver_command))(wm)
            case.__name__ = "two monitors, window manager %s, both cores busy" % wm
            cases.append(case)
        desktop.main(cases)
    singles = {"hotplug": (hotplug, "a monitor switched off and on again"),
               "focus": (focus_taken, "another window took the focus"), "cpu": (cpu, "two monitors cost")}
    if layout in singles:
        run_case, name = singles[layout]
        case = lambda: run_case(saver_command)
        case.__name__ = name
        desktop.main([case])
    cases = []
    for wm in desktop.WINDOW_MANAGERS:
        case = (lambda wm: lambda: run(layout, wm, saver_command))(wm)
        case.__name__ = "%s monitor(s), window manager %s" % (layout, wm)
        cases.append(case)
    desktop.main(cases)


if __name__ == "__main__":
    main()
