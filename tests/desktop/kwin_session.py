"""KWin 5.27 on its virtual backend (Wayland) for the desktop tests, as an ordinary user: one
output of the given logical size and scale (3840 x 2160 pixels for 1920 x 1080 at scale 2), an
agent in the session (kwin_agent.py) for the windows and screenshots, and a fake-input client
(kwin_fake_input.c, built here) for keys and pointer moves, started with the session so the seat
has its keyboard before the program under test comes. KWin runs from a copy without the file
capability the packaged binary carries (a container refuses it), under the same name; its
permission checks for screenshots and fake input are off, as for a test session only. Without
`lock_screen`, KWin's screen locker (which owns `org.freedesktop.ScreenSaver` in Plasma) stays
off. Everything started here ends with the test's processes.

    kwin = KWin(procs, work, user, size=(1920, 1080), scale=2)
    kwin.env       # what a program in the session needs (WAYLAND_DISPLAY, the session bus, ...)
    kwin.state()   # the windows: title, frame, fullscreen, focus, layer"""

import os
import shutil
import subprocess

import numpy

import desktop
from desktop import check
from session_agent import Agent, start_session

HERE = os.path.dirname(os.path.abspath(__file__))
PROTOCOL = "/usr/share/plasma-wayland-protocols/fake-input.xml"
KEY_ESC = 1


def build_fake_input(work):
    """kwin_fake_input in work, built from the protocol's XML."""
    folder = os.path.join(work, "fake-input")
    os.makedirs(folder, exist_ok=True)
    for kind, name in (("client-header", "fake-input-client-protocol.h"), ("private-code", "fake-input-protocol.c")):
        subprocess.run(["wayland-scanner", kind, PROTOCOL, os.path.join(folder, name)], check=True)
    program = os.path.join(folder, "kwin_fake_input")
    subprocess.run(["cc", "-O1", "-o", program, "-I", folder, os.path.join(HERE, "kwin_fake_input.c"),
                    os.path.join(folder, "fake-input-protocol.c"), "-lwayland-client"], check=True)
    os.chmod(folder, 0o755)
    return program


class KWin:
    def __init__(self, procs, work, user, size=(1920, 1080), scale=1, lock_screen=False):
        self.user = user
        binary = os.path.join(work, "kwin", "kwin_wayland")
        os.makedirs(os.path.dirname(binary))
        shutil.copy("/usr/bin/kwin_wayland", binary)  # a copy carries no file capability
        os.chmod(os.path.dirname(binary), 0o755)
        fake_input = build_fake_input(work)
        self.shots = os.path.join(work, "kwin-shots")
        os.makedirs(self.shots, mode=0o700)
        os.chown(self.shots, user.uid, user.gid)
        base = {"HOME": user.home, "USER": user.name, "LOGNAME": user.name, "PATH": "/usr/bin:/bin", "LANG": "C.UTF-8",
                "XDG_RUNTIME_DIR": user.runtime_dir(work), "XDG_SESSION_TYPE": "wayland", "XDG_CURRENT_DESKTOP": "KDE"}
        kwin_env = dict(base, KWIN_SCREENSHOT_NO_PERMISSION_CHECKS="1", KWIN_WAYLAND_NO_PERMISSION_CHECKS="1")
        command = "exec %s --virtual --width %d --height %d --scale %s --socket {display}%s" % (
            binary, size[0], size[1], scale, "" if lock_screen else " --no-lockscreen")
        answers = ["gdbus", "call", "--session", "-d", "org.kde.KWin", "-o", "/KWin", "-m",
                   "org.freedesktop.DBus.Introspectable.Introspect"]
        self.env = start_session(procs, work, user, "kwin", kwin_env, command, answers, base)
        self.agent = Agent(procs, work, user, "kwin_agent.py", self.env, "kwin-agent.log")
        self.input = procs.start(user.command([fake_input], self.env), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 text=True, bufsize=1)
        check(self.input.stdout.readline().strip() == "ready", "KWin's fake input is not offered")

    def state(self):
        return self.agent.call("state")

    def windows(self, title=None):
        return [w for w in self.state()["windows"] if title is None or w["title"] == title]

    def screenshot(self):
        path = os.path.join(self.shots, "shot.raw")
        meta = self.agent.call("screenshot", path=path)
        w, h, stride = meta["width"], meta["height"], meta["stride"]
        check(meta["format"] in (4, 5, 6), "an unexpected screenshot format %d" % meta["format"])
        with open(path, "rb") as f:
            rows = numpy.frombuffer(f.read(), numpy.uint8, h * stride).reshape(h, stride)
        return rows[:, :w * 4].reshape(h, w, 4)[:, :, [2, 1, 0]]  # 0xAARRGGBB little-endian: B, G, R, A

    def send(self, line):
        self.input.stdin.write(line + "\n")
        self.input.stdin.flush()
        check(self.input.stdout.readline().strip() == "ok", "KWin's fake input refused: " + line)

    def key(self, code=KEY_ESC):
        self.send("key %d" % code)

    def motion(self, dx, dy):
        self.send("motion %g %g" % (dx, dy))
