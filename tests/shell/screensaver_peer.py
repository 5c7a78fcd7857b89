#!/usr/bin/python3
"""Programs on a session bus that the idle watcher's tests talk to, each until a file appears:

  screensaver_peer.py inhibit ADDRESS COOKIE_FILE END_FILE
      asks org.freedesktop.ScreenSaver to inhibit, writes the cookie, stays on the bus until
      END_FILE exists (the way a video player holds the screen on), then leaves it.
  screensaver_peer.py desktop ADDRESS ACTIVE_FILE INHIBIT_FILE END_FILE
      owns org.freedesktop.ScreenSaver as Plasma does, and its power manager's
      org.freedesktop.PowerManagement.Inhibit: GetActive answers whether ACTIVE_FILE exists (the
      desktop's lock or blank screen is up), HasInhibit whether INHIBIT_FILE does (a program asked
      the desktop to keep the screen on), and HasInhibitChanged announces when that changes.
  screensaver_peer.py logind ADDRESS LOCKED_FILE END_FILE
      owns org.freedesktop.login1 on a bus that stands in for the system bus: the caller's session
      (/org/freedesktop/login1/session/auto) has LockedHint while LOCKED_FILE exists."""

import os
import sys
import time

from gi.repository import Gio, GLib

NAME, PATH = "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver"


def connect(address):
    flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
    return Gio.DBusConnection.new_for_address_sync(address, flags, None, None)


def wait_for(path, each=lambda: None):
    context = GLib.MainContext.default()
    while not os.path.exists(path):
        while context.iteration(False):
            pass
        each()
        time.sleep(0.02)


def inhibit(bus, cookie_file, end_file):
    (cookie,) = bus.call_sync(NAME, PATH, NAME, "Inhibit", GLib.Variant("(ss)", ("test", "a video plays")), None,
                              Gio.DBusCallFlags.NONE, 5000, None).unpack()
    with open(cookie_file + ".new", "w") as f:
        f.write(str(cookie))
    os.rename(cookie_file + ".new", cookie_file)
    wait_for(end_file)


def serve(bus, name, path, method, answer):
    node = Gio.DBusNodeInfo.new_for_xml("""<node><interface name="%s"><method name="%s">
      <arg type="b" direction="out"/></method></interface></node>""" % (name, method))
    bus.register_object(path, node.interfaces[0], lambda *call: call[-1].return_value(GLib.Variant("(b)", (answer(),))),
                        None, None)
    bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                  GLib.Variant("(su)", (name, 4)), None, Gio.DBusCallFlags.NONE, 5000, None)


def desktop(bus, active_file, inhibit_file, end_file):
    power, power_path = "org.freedesktop.PowerManagement.Inhibit", "/org/freedesktop/PowerManagement/Inhibit"
    serve(bus, power, power_path, "HasInhibit", lambda: os.path.exists(inhibit_file))
    serve(bus, NAME, PATH, "GetActive", lambda: os.path.exists(active_file))
    inhibited = [os.path.exists(inhibit_file)]

    def announce():
        if os.path.exists(inhibit_file) != inhibited[0]:
            inhibited[0] = not inhibited[0]
            bus.emit_signal(None, power_path, power, "HasInhibitChanged", GLib.Variant("(b)", (inhibited[0],)))

    wait_for(end_file, announce)


def logind(bus, locked_file, end_file):
    interface = "org.freedesktop.login1.Session"
    node = Gio.DBusNodeInfo.new_for_xml("""<node><interface name="%s">
      <property name="LockedHint" type="b" access="read"/></interface></node>""" % interface)
    bus.register_object("/org/freedesktop/login1/session/auto", node.interfaces[0], None,
                        lambda *asked: GLib.Variant("b", os.path.exists(locked_file)), None)
    bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                  GLib.Variant("(su)", ("org.freedesktop.login1", 4)), None, Gio.DBusCallFlags.NONE, 5000, None)
    wait_for(end_file)


if __name__ == "__main__":
    role, address = sys.argv[1:3]
    {"inhibit": inhibit, "desktop": desktop, "logind": logind}[role](connect(address), *sys.argv[3:])
