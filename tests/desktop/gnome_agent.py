#!/usr/bin/python3
"""The GNOME session's agent (see session_agent.py), run as the session's user on its bus: the
shell's state and windows (Eval, which the test extension allows), screenshots (the shell's own
Screenshot), the monitor's scale (Mutter's DisplayConfig), the idle time (Mutter's idle monitor) and input through Mutter's RemoteDesktop. A
headless Mutter has no input devices: one RemoteDesktop session, opened when the agent starts
(before the program under test), gives the seat its keyboard and pointer for the whole test."""

import json
import time

from gi.repository import Gio, GLib

import session_agent

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
REMOTE = "org.gnome.Mutter.RemoteDesktop"
SESSION = "org.gnome.Mutter.RemoteDesktop.Session"
KEY_LEFTSHIFT = 42

STATE_JS = r"""(function() {
  const Main = imports.ui.main;
  const monitor = global.display.get_monitor_geometry(global.display.get_primary_monitor());
  return {
    overview: Main.overview.visible, panelVisible: Main.layoutManager.panelBox.visible,
    inFullscreen: Main.layoutManager.primaryMonitor.inFullscreen,
    monitor: [monitor.x, monitor.y, monitor.width, monitor.height], scale: global.display.get_monitor_scale(0),
    windows: global.get_window_actors().map(a => {
      const w = a.meta_window, r = w.get_frame_rect();
      return {title: w.get_title(), wmClass: w.get_wm_class(), pid: w.get_pid(), frame: [r.x, r.y, r.width, r.height],
              fullscreen: w.is_fullscreen(), focus: w.has_focus(), minimized: w.minimized};
    })};
})()"""


def call(name, path, interface, method, args=None):
    return bus.call_sync(name, path, interface, method, args, None, Gio.DBusCallFlags.NONE, 10000, None).unpack()


def remote(method, signature, *values):
    call(REMOTE, remote_session, SESSION, method, GLib.Variant(signature, values))


def start_remote_session():
    (path,) = call(REMOTE, "/org/gnome/Mutter/RemoteDesktop", REMOTE, "CreateSession")
    call(REMOTE, path, SESSION, "Start")
    return path


remote_session = start_remote_session()
# The virtual devices come with the first events; clients bind them a moment later.
remote("NotifyPointerMotionRelative", "(dd)", 0.0, 0.0)
remote("NotifyKeyboardKeycode", "(ub)", KEY_LEFTSHIFT, True)
remote("NotifyKeyboardKeycode", "(ub)", KEY_LEFTSHIFT, False)
time.sleep(0.5)


def overview(active):
    call("org.gnome.Shell", "/org/gnome/Shell", "org.freedesktop.DBus.Properties", "Set",
         GLib.Variant("(ssv)", ("org.gnome.Shell", "OverviewActive", GLib.Variant("b", active))))
    deadline = time.monotonic() + 5
    while state()["overview"] != active and time.monotonic() < deadline:
        time.sleep(0.1)
    time.sleep(0.5)  # the overview's animation


def state():
    ok, result = call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval", GLib.Variant("(s)", (STATE_JS,)))
    if not ok:
        raise RuntimeError("Eval refused (is the test extension enabled?): " + result)
    return json.loads(result)


def screenshot(path):
    ok, written = call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot",
                       "Screenshot", GLib.Variant("(bbs)", (False, False, path)))
    if not ok:
        raise RuntimeError("the shell took no screenshot")
    return written


def key(code):
    remote("NotifyKeyboardKeycode", "(ub)", code, True)
    remote("NotifyKeyboardKeycode", "(ub)", code, False)


def motion(dx, dy):
    remote("NotifyPointerMotionRelative", "(dd)", float(dx), float(dy))


def scale(factor):
    """The monitor's scale, for the session's run (ApplyMonitorsConfig's temporary method: no
    monitors.xml, no confirmation); the monitor keeps its mode."""
    config = ("org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig", "org.gnome.Mutter.DisplayConfig")
    serial, monitors, _, _ = call(*config, "GetCurrentState")
    connector = monitors[0][0][0]
    mode = next(m for m in monitors[0][1] if m[6].get("is-current"))
    call(*config, "ApplyMonitorsConfig", GLib.Variant("(uua(iiduba(ssa{sv}))a{sv})", (
        serial, 1, [(0, 0, float(factor), 0, True, [(connector, mode[0], {})])], {})))
    return state()["scale"]


def idle_time():
    return call("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor",
                "GetIdletime")[0]


session_agent.serve({"overview": overview, "state": state, "screenshot": screenshot, "key": key,
                     "motion": motion, "scale": scale, "idle_time": idle_time})
