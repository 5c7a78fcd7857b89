"""GNOME Shell 43 on its headless backend (Wayland, no X11) for the desktop tests, as an ordinary
user: one virtual monitor of the given size and scale, a desktop of one colour, the Activities
overview closed (the shell opens it at start, and a full-screen window is only a thumbnail
there), and an agent in the session (gnome_agent.py) for the shell's state, screenshots, the idle
time and input through Mutter's RemoteDesktop. Everything started here ends with the test's
processes, except a system bus: a container without one gets one (the shell refuses to start
without it), and it is left running for whoever comes next.

    shell = GnomeShell(procs, work, user, size=(3840, 2160), scale=2)
    shell.env      # what a program in the session needs (WAYLAND_DISPLAY, the session bus, ...)
    shell.state()  # top bar, overview, monitor and windows (title, frame, fullscreen, focus)"""

import io
import os
import shutil
import socket
import subprocess

import numpy
from PIL import Image

import desktop
from desktop import check
from session_agent import Agent, start_session

HERE = os.path.dirname(os.path.abspath(__file__))
EXTENSION = "unsafe-mode@solvane.test"
SYSTEM_BUS = "/run/dbus/system_bus_socket"
KEY_ESC = 1


def system_bus_runs():
    with socket.socket(socket.AF_UNIX) as s:
        try:
            s.connect(SYSTEM_BUS)
            return True
        except OSError:
            return False


def ensure_system_bus():
    if system_bus_runs():
        return
    os.makedirs(os.path.dirname(SYSTEM_BUS), exist_ok=True)
    if os.path.exists(SYSTEM_BUS):
        os.unlink(SYSTEM_BUS)  # left by a bus that ended
    subprocess.run(["dbus-daemon", "--config-file=" + os.path.join(HERE, "system-bus.conf"), "--fork"], check=True)
    check(desktop.wait_until(system_bus_runs, 5), "the system bus did not start")


def settings(colour):
    """gsettings lines run in the session before the shell starts (written to the test's home)."""
    values = [
        ("org.gnome.desktop.background", "picture-uri", "''"),
        ("org.gnome.desktop.background", "picture-uri-dark", "''"),
        ("org.gnome.desktop.background", "picture-options", "'none'"),
        ("org.gnome.desktop.background", "color-shading-type", "'solid'"),
        ("org.gnome.desktop.background", "primary-color", "'#%02x%02x%02x'" % colour),
        ("org.gnome.desktop.screensaver", "lock-enabled", "false"),
        ("org.gnome.desktop.session", "idle-delay", "uint32 0"),
        ("org.gnome.shell", "disable-user-extensions", "false"),
        ("org.gnome.shell", "enabled-extensions", "\"['%s']\"" % EXTENSION),
    ]
    return "; ".join("gsettings set %s %s %s" % v for v in values)


class GnomeShell:
    def __init__(self, procs, work, user, size=(1920, 1080), scale=1, colour=desktop.DESKTOP_COLOUR):
        ensure_system_bus()
        self.user, self.size = user, size
        home = self.own_folder(work, "gnome-home")
        extensions = os.path.join(home, ".local", "share", "gnome-shell", "extensions")
        shutil.copytree(os.path.join(HERE, "gnome-extension"), os.path.join(extensions, EXTENSION))
        subprocess.run(["chown", "-R", "%d:%d" % (user.uid, user.gid), os.path.join(home, ".local")], check=True)
        self.shots = self.own_folder(work, "gnome-shots")
        base = {"HOME": home, "USER": user.name, "LOGNAME": user.name, "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8",
                "XDG_RUNTIME_DIR": user.runtime_dir(work), "XDG_SESSION_TYPE": "wayland",
                "XDG_CURRENT_DESKTOP": "GNOME"}
        command = ("%s; exec gnome-shell --headless --wayland --no-x11 --wayland-display {display} "
                   "--virtual-monitor %dx%d" % (settings(colour), size[0], size[1]))
        answers = ["gdbus", "call", "--session", "-d", "org.gnome.Shell", "-o", "/org/gnome/Shell", "-m",
                   "org.freedesktop.DBus.Properties.Get", "org.gnome.Shell", "ShellVersion"]
        self.env = start_session(procs, work, user, "gnome-shell", base, command, answers, base)
        self.agent = Agent(procs, work, user, "gnome_agent.py", self.env, "gnome-agent.log")
        self.agent.call("overview", active=False)
        if scale != 1:
            check(self.agent.call("scale", factor=scale) == scale, "GNOME Shell did not take the scale %s" % scale)

    def own_folder(self, work, name):
        path = os.path.join(work, name)
        os.makedirs(path, mode=0o700, exist_ok=True)
        os.chown(path, self.user.uid, self.user.gid)
        return path

    def state(self):
        return self.agent.call("state")

    def windows(self, title=None):
        return [w for w in self.state()["windows"] if title is None or w["title"] == title]

    def screenshot(self):
        path = self.agent.call("screenshot", path=os.path.join(self.shots, "shot.png"))
        with open(path, "rb") as f:
            return numpy.asarray(Image.open(io.BytesIO(f.read())).convert("RGB"))

    def key(self, code=KEY_ESC):
        self.agent.call("key", code=code)

    def motion(self, dx, dy):
        self.agent.call("motion", dx=dx, dy=dy)

    def idle_time(self):
        return self.agent.call("idle_time")
