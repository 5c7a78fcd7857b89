"""Real desktops for the saver's end-to-end tests: Xorg with its dummy video driver (real RandR
monitors and modes, several monitors), the window managers people run on it, an ordinary user for
the programs that refuse root, screenshots read back as pixels, and the saver started the way a
desktop starts it. Every server and program started here is stopped when its context ends."""

import contextlib
import io
import json
import os
import pwd
import shutil
import signal
import struct
import subprocess
import tempfile
import time

import numpy
from PIL import Image

SKIP = 77  # ctest's skip code (SKIP_RETURN_CODE)
DESKTOP_COLOUR = (255, 0, 255)  # the root window's colour: no pixel of it may show while the saver runs

XORG_CONF = """Section "Device"
  Identifier "d0"
  Driver "dummy"
  VideoRam 512000
EndSection
Section "Monitor"
  Identifier "m0"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
  Option "ReducedBlanking"
  Modeline "3840x2160" 262.75 3840 3888 3920 4000 2160 2163 2168 2191 +hsync -vsync
  Modeline "1920x1080" 148.50 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
  Modeline "1024x768" 65.00 1024 1048 1184 1344 768 771 777 806 -hsync -vsync
EndSection
Section "Screen"
  Identifier "s0"
  Device "d0"
  Monitor "m0"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "1920x1080" "1024x768"
    Virtual 7680 2160
  EndSubSection
EndSection
"""


class Failure(Exception):
    pass


def check(condition, message):
    """message: a text, or a function that makes it (one that looks at the desktop only on failure)."""
    if not condition:
        raise Failure(message() if callable(message) else message)


def wait_until(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while True:
        if predicate():
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(step)


def need_root():
    if os.geteuid() != 0:
        print("skipped: Xorg and the test user need root")
        raise SystemExit(SKIP)


def need_programs(*names):
    missing = [n for n in names if shutil.which(n) is None]
    check(not missing, "not installed (tools/setup.sh): " + " ".join(missing))


class Processes:
    """Started programs, ended (and reaped) newest first."""

    def __init__(self):
        self.started = []

    def start(self, args, **kw):
        kw.setdefault("stdout", subprocess.DEVNULL)
        kw.setdefault("stderr", subprocess.DEVNULL)
        proc = subprocess.Popen(args, start_new_session=True, **kw)
        self.started.append(proc)
        return proc

    def stop_all(self):
        for proc in reversed(self.started):
            stop(proc)
        self.started.clear()


def stop(proc, timeout=5):
    if proc.poll() is not None:
        return
    with contextlib.suppress(ProcessLookupError):
        os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()


def xwd_pixels(data):
    """RGB rows of an XWD dump of a 24-bit TrueColor screen (24 or 32 bits a pixel, either byte order)."""
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height, byte_order = fields[0], fields[4], fields[5], fields[7]
    bits_per_pixel, bytes_per_line, ncolors = fields[11], fields[12], fields[19]
    size = bits_per_pixel // 8
    check(size in (3, 4), "xwd gave %d bits a pixel" % bits_per_pixel)
    offset = header_size + 12 * ncolors
    rows = numpy.frombuffer(data, numpy.uint8, height * bytes_per_line, offset).reshape(height, bytes_per_line)
    pixels = rows[:, :width * size].reshape(height, width, size)
    return pixels[:, :, [2, 1, 0]] if byte_order == 0 else pixels[:, :, [size - 3, size - 2, size - 1]]


class Xorg:
    """An Xorg server with the dummy driver on a display of its own; clients reach it through env."""

    def __init__(self, procs, work):
        conf = os.path.join(work, "xorg.conf")
        with open(conf, "w") as f:
            f.write(XORG_CONF)
        read, write = os.pipe()
        self.proc = procs.start(["Xorg", "-displayfd", str(write), "-config", conf, "-noreset",
                                 "-nolisten", "tcp", "-ac", "-logfile", os.path.join(work, "xorg.log")],
                                pass_fds=(write,))
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        check(number, "Xorg did not start (see its log)")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        for name in ("WAYLAND_DISPLAY", "XAUTHORITY", "SDL_VIDEODRIVER"):
            self.env.pop(name, None)

    def run(self, *args, check_rc=True):
        return subprocess.run(args, env=self.env, check=check_rc, capture_output=True, text=True).stdout

    def set_monitors(self, *modes):
        """Monitors side by side from DUMMY0 on, each in its mode; the rest switched off."""
        args, left, height = ["xrandr"], 0, 0
        for i in range(16):
            output = "DUMMY%d" % i
            if i >= len(modes):
                args += ["--output", output, "--off"]
                continue
            self.run("xrandr", "--addmode", output, modes[i], check_rc=False)
            w, h = (int(v) for v in modes[i].split("x"))
            args += ["--output", output, "--mode", modes[i], "--pos", "%dx%d" % (left, 0)]
            left, height = left + w, max(height, h)
        self.run(*args[:1], "--fb", "%dx%d" % (left, height), *args[1:])

    def monitors(self):
        """(x, y, width, height) of each active monitor."""
        result = []
        for line in self.run("xrandr", "--listactivemonitors").splitlines()[1:]:
            geometry = line.split()[2]  # 1920/0x1080/0+0+0
            size, x, y = geometry.split("+")
            w, h = (part.split("/")[0] for part in size.split("x"))
            result.append((int(x), int(y), int(w), int(h)))
        return result

    def current_modes(self):
        return [line.split()[0] for line in self.run("xrandr").splitlines() if "*" in line]

    def fill_root(self, colour=DESKTOP_COLOUR):
        self.run("xsetroot", "-solid", "#%02x%02x%02x" % colour)

    def screenshot(self):
        """The root window as rows of RGB pixels (xwd: raw pixels, fast even at 7680 x 2160)."""
        for _ in range(3):
            done = subprocess.run(["xwd", "-root", "-silent"], env=self.env, capture_output=True)
            if done.returncode == 0:
                return xwd_pixels(done.stdout)
            print("xwd:", done.stderr.decode().strip())
        raise Failure("xwd cannot take a screenshot")

    def save(self, shot, path):
        Image.fromarray(shot).save(path)

    def xdotool(self, *args):
        self.run("xdotool", *args)


def start_xvfb(procs, screen="1280x1024x24"):
    """A private Xvfb that lets every user in; its DISPLAY."""
    read, write = os.pipe()
    procs.start(["Xvfb", "-displayfd", str(write), "-screen", "0", screen, "-nolisten", "tcp", "-noreset", "-ac"],
                pass_fds=(write,))
    os.close(write)
    with os.fdopen(read) as f:
        number = f.readline().strip()
    check(number, "Xvfb did not start")
    return ":" + number


WINDOW_MANAGERS = {
    "none": None,
    "openbox": ["openbox", "--sm-disable"],
    "xfwm4": ["xfwm4", "--replace", "--compositor=off", "--sm-client-disable"],
    "i3": ["i3", "-c", "{work}/i3.conf"],
}
# Tiling window managers beside them, each as Debian configures it; awesome puts the pointer onto
# the monitor of the window it activates.
TILING_WINDOW_MANAGERS = {
    "awesome": ["awesome"],
    "bspwm": ["bspwm"],
    "herbstluftwm": ["herbstluftwm"],
    "spectrwm": ["spectrwm"],
    "dwm": ["dwm"],
}


def start_window_manager(name, x, procs, work):
    args = WINDOW_MANAGERS[name] if name in WINDOW_MANAGERS else TILING_WINDOW_MANAGERS[name]
    if args is None:
        return
    with open(os.path.join(work, "i3.conf"), "w") as f:
        f.write("bar {\n}\n")
    procs.start([a.format(work=work) for a in args], env=dict(x.env, HOME=work))
    # A window manager announces itself on the root window once it manages.
    check(wait_until(lambda: "window id" in x.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                                   check_rc=False), 10),
          name + " did not start managing the screen")


def region_changed(a, b, monitor):
    x, y, w, h = monitor
    return int(numpy.any(a[y:y + h, x:x + w] != b[y:y + h, x:x + w], axis=2).sum())


def desktop_pixels(shot, monitor):
    x, y, w, h = monitor
    return int(numpy.all(shot[y:y + h, x:x + w] == DESKTOP_COLOUR, axis=2).sum())


def covered_and_moving(x, monitor):
    """The monitor shows no pixel of the desktop, and its picture changes within 0.3 s."""
    a = x.screenshot()
    time.sleep(0.3)
    b = x.screenshot()
    return desktop_pixels(b, monitor) == 0 and region_changed(a, b, monitor) > 200


def saver_on_openbox(procs, work, command, timeout=10, modes=("1920x1080",), **extra):
    """Xorg with monitors in the modes side by side under openbox and `command /s` shown on them,
    every monitor's picture moving: (x, the first monitor, saver). Extra variables go to the
    saver."""
    x = Xorg(procs, work)
    x.set_monitors(*modes)
    x.fill_root()
    start_window_manager("openbox", x, procs, work)
    monitors = x.monitors()
    saver = Saver(procs, command + ["/s"], x.env, work, **extra)
    check(wait_until(lambda: all(covered_and_moving(x, m) for m in monitors), timeout),
          lambda: "the saver does not cover every monitor or stands still: %s" %
          (inside(saver.proc.pid, x) if saver.running() else "it ended"))
    return x, monitors[0], saver


def processor_seconds(pid):
    """User and system time the process has used so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def context_switches(pid):
    """(voluntary, nonvoluntary) context switches of all the process's threads so far: a thread
    that sleeps and wakes switches once of its own accord; the others were taken from it by the
    scheduler (a busy machine's other work)."""
    voluntary = nonvoluntary = 0
    for task in os.listdir("/proc/%d/task" % pid):
        with contextlib.suppress(OSError), open("/proc/%d/task/%s/status" % (pid, task)) as f:
            for line in f:
                if line.startswith("voluntary_ctxt_switches"):
                    voluntary += int(line.split()[1])
                elif line.startswith("nonvoluntary_ctxt_switches"):
                    nonvoluntary += int(line.split()[1])
    return voluntary, nonvoluntary


def usage(pid, seconds):
    """The processor seconds a process spends in `seconds`, and its wake-ups a second: its
    voluntary and its nonvoluntary context switches, summed over its threads."""
    return usages([pid], seconds)[0]


def usages(pids, seconds):
    """usage() of several processes over the same seconds."""
    before = [(processor_seconds(pid), context_switches(pid)) for pid in pids]
    time.sleep(seconds)
    result = []
    for pid, (cpu, (voluntary, nonvoluntary)) in zip(pids, before):
        now = context_switches(pid)
        result.append((processor_seconds(pid) - cpu, (now[0] - voluntary) / seconds, (now[1] - nonvoluntary) / seconds))
    return result


# The system calls a waiting thread of the saver's sits in (x86-64 numbers).
WAITS = {0: "read", 7: "poll", 23: "select", 35: "nanosleep", 202: "futex", 230: "clock_nanosleep",
         232: "epoll_wait", 270: "pselect6", 271: "ppoll", 281: "epoll_pwait"}


def inside(pid, x=None):
    """What a process that stands still is doing, for a failure's message: each thread's name,
    state, the system call it waits in and its processor time; with x, the window that has the X
    focus."""
    try:
        tasks = sorted(os.listdir("/proc/%d/task" % pid), key=int)
    except OSError:
        return "the process has ended"
    threads = []
    for task in tasks:
        base = "/proc/%d/task/%s/" % (pid, task)
        with contextlib.suppress(OSError, ValueError), open(base + "comm") as comm, open(base + "stat") as stat, \
                open(base + "syscall") as call:
            fields = stat.read().rsplit(")", 1)[1].split()
            used = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
            number = call.read().split()[0]
            waits = WAITS.get(int(number), number) if number.lstrip("-").isdigit() else number
            threads.append("%s %s %s %.2f s" % (comm.read().strip(), fields[0], waits, used))
    report = "threads: " + ", ".join(threads)
    if x is not None:
        focus = x.run("xdotool", "getwindowfocus", check_rc=False).strip()
        name = x.run("xdotool", "getwindowname", focus, check_rc=False).strip() if focus else ""
        report += "; the X focus: %s %r" % (focus or "none", name)
        for window in x.run("xdotool", "search", "--pid", str(pid), check_rc=False).split():
            state = [line.strip() for line in x.run("xwininfo", "-id", window, check_rc=False).splitlines()
                     if "Map State" in line or "geometry" in line]
            report += "; window %s: %s" % (window, ", ".join(state))
        report += "; " + "; ".join(line.strip() for line in x.run("xset", "q", check_rc=False).splitlines()
                                   if "Monitor is" in line or "DPMS is" in line or "timeout:" in line)
    return report


def saver_env(env, work, user=None, sound=None):
    """env with settings, runtime folder and sound of the saver's own (the user's, when given);
    sound: the environment that reaches a sound server (PulseServer.env), silence otherwise."""
    home = os.path.join(work, "saver-home")
    os.makedirs(os.path.join(home, "runtime"), mode=0o700, exist_ok=True)
    if user is not None:
        for path in (home, os.path.join(home, "runtime")):
            os.chown(path, user.uid, user.gid)
    silent = dict(env, XDG_CONFIG_HOME=home, XDG_RUNTIME_DIR=env.get("XDG_RUNTIME_DIR", os.path.join(home, "runtime")),
                  SDL_AUDIODRIVER="dummy", ALSA_CONFIG_PATH="/dev/null", ASAN_OPTIONS="detect_leaks=0:abort_on_error=1")
    return dict(silent, **sound) if sound else silent


class Saver:
    """The saver started as a desktop starts it, with settings, runtime folder and sound of its own
    (the settings file's text, when given); as the given user with exactly env, when there is one.
    Extra variables replace those of env."""

    def __init__(self, procs, command, env, work, user=None, settings=None, sound=None, **extra):
        self.env = dict(saver_env(env, work, user, sound), **extra)
        self.user = user
        if settings:
            folder = os.path.join(self.env["XDG_CONFIG_HOME"], "Kestrin Software")
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "Solvane Screensaver.reg"), "w") as f:
                f.write(settings)
            if user is not None:
                os.chown(folder, user.uid, user.gid)
        self.log = open(os.path.join(work, "saver.log"), "a")
        if user is not None:
            self.proc = procs.start(user.command(command, self.env), stderr=self.log)
        else:
            self.proc = procs.start(command, env=self.env, stderr=self.log)

    def running(self):
        return self.proc.poll() is None

    def pid(self):
        """The saver's own process (runuser runs it as a child)."""
        if self.user is None:
            return self.proc.pid
        for entry in os.listdir("/proc"):
            with contextlib.suppress(OSError, ValueError, IndexError):
                with open("/proc/%s/stat" % entry) as f:
                    if int(f.read().rsplit(")", 1)[1].split()[1]) == self.proc.pid:
                        return int(entry)
        raise Failure("the saver's process is gone")

    def ended_within(self, seconds):
        return wait_until(lambda: not self.running(), seconds)


class PulseServer:
    """A PulseAudio server of the test's own with a null sink, which the saver (also as another
    user) reaches through ALSA's pulse plugin exactly as on a desktop; env is what it needs."""

    def __init__(self, procs, work):
        folder = os.path.join(work, "pulse")
        os.makedirs(os.path.join(folder, "runtime"), mode=0o700)
        socket = os.path.join(folder, "native")
        with open(os.path.join(folder, "server.pa"), "w") as f:
            f.write("load-module module-null-sink sink_name=solvane_test\n"
                    "load-module module-native-protocol-unix auth-anonymous=1 socket=%s\n"
                    "set-default-sink solvane_test\n" % socket)
        with open(os.path.join(folder, "asound.conf"), "w") as f:
            f.write("pcm.!default { type pulse }\nctl.!default { type pulse }\n")
        os.chmod(folder, 0o755)
        self.env = {"PULSE_SERVER": "unix:" + socket, "ALSA_CONFIG_PATH": os.path.join(folder, "asound.conf")}
        server_env = dict(os.environ, HOME=folder, XDG_RUNTIME_DIR=os.path.join(folder, "runtime"), **self.env)
        procs.start(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                     "-F", os.path.join(folder, "server.pa")], env=server_env)
        self.pactl_env = server_env
        check(wait_until(lambda: self.volume() >= 0, 5), "PulseAudio did not start")
        os.chmod(socket, 0o777)

    def volume(self):
        """The sink's volume in the server's units (65536 is full), -1 when it cannot be read."""
        done = subprocess.run(["pactl", "get-sink-volume", "solvane_test"], env=self.pactl_env,
                              capture_output=True, text=True)
        words = done.stdout.split()
        return int(words[2]) if done.returncode == 0 and len(words) > 2 and words[2].isdigit() else -1

    def set_volume(self, volume):
        subprocess.run(["pactl", "set-sink-volume", "solvane_test", str(volume)], env=self.pactl_env, check=True)


class OrdinaryUser:
    """A user of the tests' own, for programs that refuse to run as root (sway, the daemons)."""

    def __init__(self, name="solvane-desk"):
        if subprocess.run(["id", name], capture_output=True).returncode != 0:
            subprocess.run(["useradd", "--create-home", "--user-group", "--shell", "/bin/sh", name], check=True)
        entry = pwd.getpwnam(name)
        self.name, self.uid, self.gid, self.home = name, entry.pw_uid, entry.pw_gid, entry.pw_dir

    def runtime_dir(self, work):
        path = os.path.join(work, "runtime-" + self.name)
        os.makedirs(path, mode=0o700, exist_ok=True)
        os.chown(path, self.uid, self.gid)
        os.chmod(path, 0o700)
        return path

    def command(self, args, env):
        """args run as the user with exactly env."""
        return ["runuser", "-u", self.name, "--", "env", "-i"] + ["%s=%s" % kv for kv in env.items()] + list(args)


class Sway:
    """sway on its headless backend, run as an ordinary user (it refuses root), with one output of
    1920 x 1080 (or mode, at scale) whose background is the desktop's colour, and its Xwayland
    named in DISPLAY, as in a real session. Extra lines go into its configuration."""

    def __init__(self, procs, work, user, extra="", mode="1920x1080", scale=1):
        self.user = user
        runtime = user.runtime_dir(work)
        config = os.path.join(work, "sway.conf")
        display_file = os.path.join(runtime, "display")
        with open(config, "w") as f:
            f.write("output HEADLESS-1 resolution %s scale %s\n" % (mode, scale) +
                    "output * bg #%02x%02x%02x solid_color\n" % DESKTOP_COLOUR +
                    "xwayland enable\nexec sh -c 'echo $DISPLAY > %s'\n" % display_file + extra)
        os.chmod(config, 0o644)
        path = "/usr/local/bin:/usr/bin:/bin"
        env = {"HOME": user.home, "XDG_RUNTIME_DIR": runtime, "PATH": path, "WLR_BACKENDS": "headless",
               "WLR_LIBINPUT_NO_DEVICES": "1", "WLR_RENDERER": "pixman"}
        self.log = open(os.path.join(work, "sway.log"), "w")
        self.proc = procs.start(user.command(["sway", "-c", config], env), stderr=self.log)
        check(wait_until(lambda: os.path.exists(os.path.join(runtime, "wayland-1")) and
                         any(n.startswith("sway-ipc.") for n in os.listdir(runtime)), 10), "sway did not start")
        ipc = [n for n in os.listdir(runtime) if n.startswith("sway-ipc.")][0]
        check(wait_until(lambda: os.path.exists(display_file) and open(display_file).read().strip(), 10),
              "sway named no X server")
        self.env = {"HOME": user.home, "XDG_RUNTIME_DIR": runtime, "PATH": path, "WAYLAND_DISPLAY": "wayland-1",
                    "SWAYSOCK": os.path.join(runtime, ipc), "DISPLAY": open(display_file).read().strip()}
        # Xwayland starts at its first client: the X server answers before the saver starts.
        check(subprocess.run(user.command(["xprop", "-root"], self.env), capture_output=True).returncode == 0,
              "sway's Xwayland does not answer on " + self.env["DISPLAY"])
        self.pointer_tool = os.path.join(work, "wl_pointer.py")
        shutil.copy(os.path.join(os.path.dirname(os.path.abspath(__file__)), "wl_pointer.py"), self.pointer_tool)
        os.chmod(self.pointer_tool, 0o755)

    def run(self, *args, binary=False):
        out = subprocess.run(self.user.command(args, self.env), capture_output=True, check=True).stdout
        return out if binary else out.decode()

    def screenshot(self, scale=None):
        """The output at its own pixels (grim draws at the next integer scale unless told)."""
        ppm = self.run("grim", *(["-s", str(scale)] if scale else []), "-t", "ppm", "-", binary=True)
        return numpy.asarray(Image.open(io.BytesIO(ppm)).convert("RGB"))

    def saver_windows(self):
        """The tree's nodes of the saver's windows."""
        found, nodes = [], [json.loads(self.run("swaymsg", "-t", "get_tree"))]
        while nodes:
            node = nodes.pop()
            if node.get("name") == "Solvane Screensaver" and node.get("type") in ("con", "floating_con"):
                found.append(node)
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
        return found

    def command(self, *words):
        self.run("swaymsg", *words)

    def outputs(self):
        return json.loads(self.run("swaymsg", "-t", "get_outputs"))

    def modes(self):
        return [o["current_mode"] for o in self.outputs()]

    def key(self, name):
        # The keyboard comes into being with wtype; the pause lets clients bind it first.
        self.run("wtype", "-s", "500", "-k", name)

    def pointer(self, *moves):
        self.run("/usr/bin/python3", self.pointer_tool, *("%d,%d" % move for move in moves))


@contextlib.contextmanager
def workspace():
    work = tempfile.mkdtemp(prefix="solvane-desktop-")
    os.chmod(work, 0o755)
    procs = Processes()
    try:
        yield procs, work
    finally:
        procs.stop_all()
        if os.environ.get("SOLVANE_KEEP_DESKTOP"):
            print("kept", work)
        else:
            shutil.rmtree(work, ignore_errors=True)


def main(cases):
    """Runs the named cases (functions); prints each result, exits 1 on a failure, 77 when skipped."""
    failed = []
    for case in cases:
        try:
            case()
            print("PASS", case.__name__)
        except Failure as e:
            print("FAIL", case.__name__ + ":", e)
            failed.append(case.__name__)
    raise SystemExit(1 if failed else 0)
