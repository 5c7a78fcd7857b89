#!/usr/bin/python3
"""The KWin session's agent (see session_agent.py), run as the session's user on its bus: the
windows as a KWin script sees them (caption, frame, full screen, active, layer; the script sends
them back over the bus to this agent) and screenshots (ScreenShot2's CaptureWorkspace, raw pixels
through a pipe, written as PNG). KWin must run with KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1."""

import json
import os
import time

from gi.repository import Gio, GLib

import session_agent

bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
NAME = "org.solvane.TestAgent%d" % os.getpid()
SCRIPT = """
function rect(r) { return [r.x, r.y, r.width, r.height]; }
var out = {activeWindow: workspace.activeClient ? workspace.activeClient.caption : null,
           displaySize: [workspace.displayWidth, workspace.displayHeight], windows: []};
var clients = workspace.clientList();
for (var i = 0; i < clients.length; i++) {
    var c = clients[i];
    out.windows.push({title: c.caption, resourceClass: String(c.resourceClass), pid: c.pid,
                      frame: rect(c.frameGeometry), fullscreen: c.fullScreen, focus: c.active,
                      layer: c.layer, minimized: c.minimized});
}
callDBus("%s", "/Agent", "org.solvane.TestAgent", "Report", JSON.stringify(out));
""" % NAME
reports = []


def on_call(connection, sender, path, interface, method, parameters, invocation):
    reports.append(parameters.unpack()[0])
    invocation.return_value(None)


node = Gio.DBusNodeInfo.new_for_xml("""<node><interface name="org.solvane.TestAgent">
  <method name="Report"><arg type="s" direction="in"/></method></interface></node>""")
bus.register_object("/Agent", node.interfaces[0], on_call, None, None)
bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
              GLib.Variant("(su)", (NAME, 4)), None, 0, 5000, None)


def call(path, interface, method, args=None):
    return bus.call_sync("org.kde.KWin", path, interface, method, args, None, 0, 10000, None).unpack()


def state():
    path = os.path.join(os.environ["XDG_RUNTIME_DIR"], "agent-%d.js" % os.getpid())
    with open(path, "w") as f:
        f.write(SCRIPT)
    plugin = "solvane-agent-%d" % os.getpid()
    (number,) = call("/Scripting", "org.kde.kwin.Scripting", "loadScript", GLib.Variant("(ss)", (path, plugin)))
    reports.clear()
    try:
        try:
            call("/Scripting/Script%d" % number, "org.kde.kwin.Script", "run")
        except GLib.Error:  # not published yet: starting all loaded scripts runs it
            call("/Scripting", "org.kde.kwin.Scripting", "start")
        context, deadline = GLib.MainContext.default(), time.monotonic() + 5
        while not reports and time.monotonic() < deadline:
            context.iteration(False)
            time.sleep(0.01)
    finally:
        call("/Scripting", "org.kde.kwin.Scripting", "unloadScript", GLib.Variant("(s)", (plugin,)))
        os.unlink(path)
    if not reports:
        raise RuntimeError("the KWin script sent no report")
    return json.loads(reports[0])


def screenshot(path):
    """The workspace as raw 32-bit pixels (0xAARRGGBB, native order) in path; returns the sizes."""
    read, write = os.pipe()
    descriptors = Gio.UnixFDList.new()
    index = descriptors.append(write)
    os.close(write)
    options = {"include-cursor": GLib.Variant("b", False), "native-resolution": GLib.Variant("b", True)}
    reply, _ = bus.call_with_unix_fd_list_sync(
        "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureWorkspace",
        GLib.Variant("(a{sv}h)", (options, index)), None, 0, 10000, descriptors, None)
    descriptors = None
    meta = reply.unpack()[0]
    with os.fdopen(read, "rb") as pipe, open(path, "wb") as out:
        out.write(pipe.read())
    return {k: meta[k] for k in ("width", "height", "stride", "format")}


session_agent.serve({"state": state, "screenshot": screenshot})
