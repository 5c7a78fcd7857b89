#!/usr/bin/python3
"""Seconds from the start of `solvane /s` to its first frame of the scene on screen, with the usual
settings key (the yardstick) and with a megabyte key of 40,000 values, taken in turns on one private
Xvfb server (settings and runtime folder private too, no music).

Usage: /usr/bin/python3 tools/measure-first-frame.py [BINARY [RUNS]]   (defaults: build/solvane, 3)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from PIL import Image

KEY = ("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver]\n"
       '"Brightness"=dword:00000100\n"SoundVolume"=dword:000000c8\n"TDegree"="f"\n"WeatherCode"="20001"\n'
       '"RSS_Url"=""\n"ShowTime"=dword:00000001\n"ShowWeather"=dword:00000000\n"ShowNews"=dword:00000000\n'
       '"ShowBlack"=dword:00000000\n"UseProxy"=dword:00000000\n"Proxy"=""\n"Port"=""\n')
LARGE_KEY = KEY + "".join('"Vx%05d"=dword:%08x\n' % (i, i) for i in range(40000))


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                              pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    return server, ":" + os.read(read, 16).decode().strip()


def first_frame(binary, display, work, key):
    """Seconds until the middle of the screen shows more than black, or None after 60 s."""
    os.makedirs(work + "/Kestrin Software", exist_ok=True)
    with open(work + "/Kestrin Software/Solvane Screensaver.reg", "w") as f:
        f.write(key)
    env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work, SDL_VIDEODRIVER="x11",
               SDL_AUDIODRIVER="dummy", ASAN_OPTIONS="detect_leaks=0", WAYLAND_DISPLAY="")
    start = time.monotonic()
    saver = subprocess.Popen([binary, "/s", "--no-music"], env=env, stderr=subprocess.DEVNULL)
    shot = work + "/shot.png"
    seen = None
    while seen is None and time.monotonic() - start < 60:
        subprocess.run(["import", "-display", display, "-window", "root", "-crop", "64x64+608+300", shot],
                       stderr=subprocess.DEVNULL)
        if os.path.exists(shot) and Image.open(shot).convert("L").getextrema()[1] > 40:
            seen = time.monotonic() - start
        time.sleep(0.05)
    saver.terminate()
    saver.wait()
    return seen


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else "build/solvane"
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    work = tempfile.mkdtemp(prefix="solvane-first-frame-")
    server, display = start_xvfb()
    try:
        print("keys: usual %d bytes, large %d bytes" % (len(KEY), len(LARGE_KEY)))
        for run in range(runs):
            usual = first_frame(binary, display, work, KEY)
            large = first_frame(binary, display, work, LARGE_KEY)
            print("run %d: usual key %s s, megabyte key %s s" %
                  (run + 1, "%.2f" % usual if usual else "-", "%.2f" % large if large else "-"))
    finally:
        server.terminate()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
