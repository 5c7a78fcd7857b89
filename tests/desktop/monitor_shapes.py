#!/usr/bin/python3
"""The saver on the monitors people own: `solvane /s` under Xvfb at 1280x1024, 1920x1080,
2560x1080, 3840x2160 and 1080x1920, every gadget on, the feeds from a local stand-in for the
weather and news servers. At each size:
- the picture reaches every edge: the outer 2 % on each side holds no run of pure black longer
  than 8 pixels;
- tesseract reads back every text of the gadget band exactly: the labels, the channel title, the
  time, today's and tomorrow's temperatures, and a stretch of the ticker's line.
With the clock alone, at 1024x768 (the design's own size, where the band is drawn 1:1) and
1920x1080: the band's empty glass holds no more energy above a quarter of the sampling rate than
the sand above it. The clock's sharpness (the 95th percentile of the horizontal luminance steps
between neighbours across the clock's text, over the text's luminance range) at 3840x2160 is at
least 0.8 of its figure at 1024x768.

Usage: monitor_shapes.py SAVER [PICTURES-DIR]   (the screenshots are kept there when given)"""

import ctypes
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

import numpy
from PIL import Image, ImageOps

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402
from desktop import check  # noqa: E402

SIZES = [(1280, 1024), (1920, 1080), (2560, 1080), (3840, 2160), (1080, 1920)]
TITLE = "Harbour Gazette"
# The line creeps in from the right: short first words show three of them soonest.
ITEMS = ["New ferry to the islands from Monday", "Lighthouse open to visitors this weekend",
         "Harbour festival draws record crowds"]
WEATHER = ('<?xml version="1.0"?><rss><channel><yweather:condition code="32" temp="71"/>'
           '<yweather:forecast code="30" low="52" high="66"/></channel></rss>')
NEWS = ('<rss version="2.0"><channel><title>%s</title><link>http://news.test/</link>%s</channel></rss>'
        % (TITLE, "".join("<item><title>%s</title></item>" % item for item in ITEMS)))
TEMPERATURES = ["71\u00b0", "52...66\u00b0"]


class StandIn(http.server.ThreadingHTTPServer):
    """The proxy the saver's settings name, answering for the weather and news servers."""

    def __init__(self):
        super().__init__(("127.0.0.1", 0), Reply)
        self.requests = []
        threading.Thread(target=self.serve_forever, daemon=True).start()


class Reply(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.server.requests.append(self.path)
        body = (WEATHER if "forecastrss" in self.path else NEWS).encode()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def settings(port, clock_only=False):
    on = lambda switch: "dword:00000001" if switch else "dword:00000000"  # noqa: E731
    values = {"Brightness": "dword:00000100", "SoundVolume": "dword:00000000", "TDegree": '"f"',
              "WeatherCode": '"20001"', "RSS_Url": '"http://news.kestrin-software.net/rss/world.xml"',
              "ShowTime": on(True), "ShowWeather": on(not clock_only), "ShowNews": on(not clock_only),
              "ShowBlack": on(False), "UseProxy": on(True), "Proxy": '"127.0.0.1"', "Port": '"%d"' % port,
              "WeatherFeed": '"weather.kestrin-software.net"'}
    return ("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver]\n" +
            "".join('"%s"=%s\n' % item for item in values.items()))


class XImage(ctypes.Structure):
    _fields_ = [(name, ctypes.c_int) for name in ("width", "height", "xoffset", "format")] + [
        ("data", ctypes.c_void_p)] + [(name, ctypes.c_int) for name in (
            "byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "depth", "bytes_per_line",
            "bits_per_pixel")]


class Screen:
    """Rectangles of an X server's root window, read straight from the server: the band of a
    3840x2160 screen comes back at once, where a dump of the whole screen takes seconds on a busy
    machine, too long to tell which second (and which blink of the colon) it shows."""

    def __init__(self, display):
        self.x = x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype, x.XOpenDisplay.argtypes = ctypes.c_void_p, [ctypes.c_char_p]
        x.XDefaultRootWindow.restype, x.XDefaultRootWindow.argtypes = ctypes.c_ulong, [ctypes.c_void_p]
        x.XGetImage.restype = ctypes.POINTER(XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [ctypes.c_uint] * 2 + [
            ctypes.c_ulong, ctypes.c_int]
        x.XFree.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = x.XOpenDisplay(display.encode())
        check(self.display, "cannot open the display " + display)

    def grab(self, left, top, width, height):
        """RGB rows of the rectangle."""
        image = self.x.XGetImage(self.display, self.x.XDefaultRootWindow(self.display), left, top, width, height,
                                 0xFFFFFFFF, 2)  # ZPixmap
        check(bool(image), "the X server gave no picture")
        got = image.contents
        data = ctypes.string_at(got.data, got.bytes_per_line * height)
        pitch, size, lsb_first = got.bytes_per_line, got.bits_per_pixel // 8, got.byte_order == 0
        self.x.XFree(got.data)
        self.x.XFree(image)
        check(size == 4, "the X server gave %d bits a pixel" % (size * 8))
        pixels = numpy.frombuffer(data, numpy.uint8).reshape(height, pitch)[:, :width * 4].reshape(height, width, 4)
        return numpy.ascontiguousarray(pixels[:, :, [2, 1, 0]] if lsb_first else pixels[:, :, [1, 2, 3]])

    def close(self):
        self.x.XCloseDisplay(self.display)


class Run:
    """The saver on a private Xvfb of one size, its settings and runtime folder its own."""

    def __init__(self, procs, saver, size, clock_only=False):
        self.work = tempfile.mkdtemp()
        self.size = size
        self.stand_in = StandIn()
        folder = os.path.join(self.work, "Kestrin Software")
        os.makedirs(folder)
        with open(os.path.join(folder, "Solvane Screensaver.reg"), "w") as f:
            f.write(settings(self.stand_in.server_address[1], clock_only))
        read, write = os.pipe()
        procs.start(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % size, "-nolisten", "tcp", "-noreset"],
                    pass_fds=[write])
        os.close(write)
        with os.fdopen(read) as f:
            self.env = dict(os.environ, DISPLAY=":" + f.readline().strip(), XDG_CONFIG_HOME=self.work,
                            XDG_RUNTIME_DIR=self.work, SDL_AUDIODRIVER="dummy", LC_ALL="C.UTF-8")
        self.screen = Screen(self.env["DISPLAY"])
        self.saver = procs.start([saver, "/s"], env=self.env)
        check(clock_only or desktop.wait_until(lambda: len(self.stand_in.requests) >= 2, 30),
              "the saver fetched no feeds")

    def close(self):
        self.screen.close()
        self.stand_in.shutdown()
        shutil.rmtree(self.work, ignore_errors=True)

    def shot(self, rows=None):
        """The screen, or its bottom rows."""
        check(self.saver.poll() is None, "the saver ended by itself")
        w, h = self.size
        rows = rows or h
        return self.screen.grab(0, h - rows, w, rows)

    def band_with_colon(self, late=0.2):
        """The band in the first half of a second, while the clock shows its colon (Late seconds
        into it, for a screen that shows its frames late), its scale, and the time then."""
        time.sleep(1.0 - time.time() % 1.0 + late)
        now = time.localtime()
        rows, scale = band_size(*self.size)
        return self.shot(rows), scale, now


def band_size(w, h):
    """The band's rows and its scale (screen pixels per design pixel) on a screen of that size."""
    scale = h / 768 if w * 3 >= h * 4 else w / 1024
    return round(70 * scale), scale


def band_of(shot):
    rows, scale = band_size(shot.shape[1], shot.shape[0])
    return shot[shot.shape[0] - rows:], scale


def edge_black_runs(shot):
    """The longest run of pure black in the outer 2 % of each side, along and across it."""
    h, w, _ = shot.shape
    black = numpy.all(shot == 0, axis=2)
    dx, dy = max(1, round(w * 0.02)), max(1, round(h * 0.02))
    strips = [black[:, :dx], black[:, w - dx:], black[:dy, :], black[h - dy:, :]]
    return max(longest_run(s) for strip in strips for s in (strip, strip.T))


def longest_run(mask):
    best = 0
    for line in mask:
        padded = numpy.concatenate([[0], line.astype(numpy.int8), [0]])
        edges = numpy.flatnonzero(numpy.diff(padded))
        if len(edges):
            best = max(best, int((edges[1::2] - edges[::2]).max()))
    return best


def read_texts(crops, scale):
    """Tesseract's readings of lines of light text on the band, each enlarged to about 3 times the
    design's size; one tesseract for all of them (each of its starts loads its language data)."""
    with tempfile.TemporaryDirectory() as folder:
        names = []
        for i, pixels in enumerate(crops):
            image = ImageOps.autocontrast(ImageOps.invert(Image.fromarray(pixels).convert("L")))
            factor = 3.0 / scale
            image = image.resize((round(image.width * factor), round(image.height * factor)), Image.LANCZOS)
            names.append(os.path.join(folder, "%d.png" % i))
            ImageOps.expand(image, border=20, fill=255).save(names[-1])
        with open(os.path.join(folder, "pages"), "w") as f:
            f.write("\n".join(names) + "\n")
        result = subprocess.run(["tesseract", os.path.join(folder, "pages"), "stdout", "--psm", "7"],
                                capture_output=True, check=True)
    pages = result.stdout.decode("utf-8", "replace").split("\f")
    check(len(pages) >= len(crops), "tesseract read %d pictures of %d" % (len(pages), len(crops)))
    return [" ".join(page.split()) for page in pages[:len(crops)]]


def fields(band, scale):
    """Where each text of the band lies, in the band's design pixels (x0, y0, x1, y1): the gadgets
    sit at the band's right end, 8 pixels in, the ticker takes the rest."""
    right = band.shape[1] / scale - 8
    clock, weather, news_right = right - 117, right - 453, right - 452
    return {"NEWS": (13, 9, 52, 22), TITLE: (88, 6, 300, 25), "line": (15, 29, news_right - 12, 53),
            "WEATHER": (weather + 13, 9, weather + 88, 22), "TODAY": (weather + 151, 9, weather + 202, 22),
            "TOMORROW": (weather + 263, 9, weather + 334, 22),
            TEMPERATURES[0]: (weather + 150, 28, weather + 205, 54),
            TEMPERATURES[1]: (weather + 262, 28, weather + 334, 54),
            "TIME": (clock + 25, 9, clock + 95, 22), "time": (clock + 10, 27, clock + 110, 55)}


def misread(band, scale, now, names=None):
    """What tesseract read wrong on the band of those texts (all when None); empty when right."""
    places = {text: at for text, at in fields(band, scale).items() if names is None or text in names}
    crops = [band[round(y0 * scale):round(y1 * scale), round(x0 * scale):round(x1 * scale)]
             for x0, y0, x1, y1 in places.values()]
    wrong = []
    for text, read in zip(places, read_texts(crops, scale)):
        if text == "line":
            # The ticker shows a stretch of its line: three of its words in a row, in order.
            words = " ".join(ITEMS).split()
            if not any(" ".join(words[i:i + 3]) in read for i in range(len(words) - 2)):
                wrong.append("the ticker: %r" % read)
        elif text == "time":
            if read != time.strftime("%H:%M", now):
                wrong.append("the time: %r at %s" % (read, time.strftime("%H:%M:%S", now)))
        elif read != text:
            wrong.append("%r: %r" % (text, read))
    return wrong


def luminance(pixels):
    return pixels[..., :3].astype(numpy.float64) @ numpy.array([0.299, 0.587, 0.114])


def clock_sharpness(band, scale):
    """The clock's text: its box is where the white digits are, right of the band's middle."""
    h, w, _ = band.shape
    region = luminance(band[round(26 * scale):h - round(6 * scale), w - round(130 * scale):])
    rows, cols = numpy.nonzero(region > 200)
    box = region[rows.min():rows.max() + 1, cols.min():cols.max() + 1]
    steps = numpy.abs(numpy.diff(box, axis=1))
    return numpy.percentile(steps, 95) / (box.max() - box.min())


def high_frequency(pixels):
    """Energy above a quarter of the sampling rate, per pixel, of the luminance less its mean."""
    lum = luminance(pixels)
    spectrum = numpy.abs(numpy.fft.fft2(lum - lum.mean())) ** 2 / lum.size
    fy = numpy.fft.fftfreq(lum.shape[0])[:, None]
    fx = numpy.fft.fftfreq(lum.shape[1])[None, :]
    return spectrum[numpy.hypot(fx, fy) > 0.25].sum() / lum.size


def glass_against_sand(shot):
    """The empty glass left of the clock and the sand just above the band, between design
    columns 300 and 700 (clear of the grass and the rocks)."""
    band, scale = band_of(shot)
    h, w, _ = shot.shape
    left = (w - 1024 * scale) / 2
    cols = slice(round(left + 300 * scale), round(left + 700 * scale))
    glass = band[round(8 * scale):band.shape[0] - round(4 * scale), cols]
    top = h - band.shape[0]
    sand = shot[top - round(40 * scale):top - round(4 * scale), cols]
    return high_frequency(glass), high_frequency(sand)


def label_difference(shot, reference):
    """The clock's label (a still text) in two pictures of one size: the mean absolute difference of
    its luminance over the reference's luminance range."""
    crops = []
    for picture in (shot, reference):
        band, scale = band_of(picture)
        x0, y0, x1, y1 = fields(band, scale)["TIME"]
        crops.append(luminance(
            band[round(y0 * scale):round(y1 * scale), round(x0 * scale):round(x1 * scale)]))
    return numpy.abs(crops[0] - crops[1]).mean() / (crops[1].max() - crops[1].min())


def xvfb_picture(saver, size):
    """The screen of the saver with the clock alone under Xvfb at that size, once it shows."""
    procs = desktop.Processes()
    try:
        run = Run(procs, saver, size, clock_only=True)
        try:
            check(desktop.wait_until(lambda: run.shot().any(), 60), "Xvfb: the saver showed nothing")
            time.sleep(1)
            return run.shot()
        finally:
            run.close()  # before its X server goes
    finally:
        procs.stop_all()


def save(shot, folder, name):
    if folder:
        Image.fromarray(shot).save(os.path.join(folder, name))


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    desktop.need_programs("Xvfb", "tesseract")
    saver, folder = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None
    if folder:
        os.makedirs(folder, exist_ok=True)
    failures, sharpness = [], {}
    procs = desktop.Processes()
    try:
        for size in SIZES:
            name = "%dx%d" % size
            run = Run(procs, saver, size)
            try:
                check(desktop.wait_until(lambda: run.shot().any(), 60), "%s: the saver showed nothing" % name)
                # The ticker's line creeps in from the right and the colon blinks: a few tries
                # until the line shows three words and a shot catches the colon, then every text.
                for attempt in range(6):
                    band, scale, now = run.band_with_colon(0.15 + 0.06 * attempt)
                    wrong = misread(band, scale, now, ["line", "time"]) or misread(band, scale, now)
                    if not wrong:
                        break
                time.sleep(1.0 - time.time() % 1.0 + 0.15)  # the colon shows in the picture kept
                shot = run.shot()
                save(shot, folder, "saver-%s.png" % name)
                runs = edge_black_runs(shot)
                check(runs <= 8, "%s: a run of %d black pixels at an edge" % (name, runs))
                check(not wrong, "%s: tesseract read %s" % (name, ", ".join(wrong)))
                sharpness[size] = clock_sharpness(band, scale)
                print("%s: clock sharpness %.3f, longest black run at the edges %d, read right at try %d"
                      % (name, sharpness[size], runs, attempt + 1))
            except desktop.Failure as failure:
                failures.append(str(failure))
            finally:
                run.close()  # before its X server goes
                procs.stop_all()
        for size in [(1024, 768), (1920, 1080)]:
            run = Run(procs, saver, size, clock_only=True)
            try:
                check(desktop.wait_until(lambda: run.shot().any(), 60), "%dx%d: the saver showed nothing" % size)
                time.sleep(1.0 - time.time() % 1.0 + 0.2)  # the colon shows
                shot = run.shot()
                save(shot, folder, "glass-%dx%d.png" % size)
                glass, sand = glass_against_sand(shot)
                band, scale = band_of(shot)
                sharpness.setdefault(size, clock_sharpness(band, scale))
                print("%dx%d: high-frequency energy of the glass %.3f, of the sand %.3f; clock sharpness %.3f"
                      % (size + (glass, sand, sharpness[size])))
                check(glass <= sand, "%dx%d: the glass is busier than the sand" % size)
            except desktop.Failure as failure:
                failures.append(str(failure))
            finally:
                run.close()  # before its X server goes
                procs.stop_all()
        if (3840, 2160) in sharpness and (1024, 768) in sharpness:
            ratio = sharpness[(3840, 2160)] / sharpness[(1024, 768)]
            print("clock sharpness at 3840x2160: %.2f of 1024x768's" % ratio)
            if ratio < 0.8:
                failures.append("the clock at 3840x2160 is %.2f as sharp as at 1024x768" % ratio)
    finally:
        procs.stop_all()
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
