#!/usr/bin/python3
"""Peak resident memory with a usual news feed (the yardstick: 40 items, some 30 KB) and with a
15 MB feed, side by side in one run: `solvane-feed news URL`, and the saver (`solvane /s` on a
private Xvfb at 1280x1024, the news on and the weather off, settings and runtime folder private)
once it has read the feed. Both feeds come from a local server. Each figure is the larger of two
runs; the difference is what the large feed costs.

Usage: /usr/bin/python3 tools/measure-feed-memory.py [BUILD_DIR]   (default: build-rel)"""
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import time

SAVER_SECONDS_AFTER_FEED = 8


def rss(items, description, sentences):
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel><title>Harbour news</title>'
           "<link>http://127.0.0.1/</link>"]
    for i in range(items):
        out.append("<item><title>Harbour news item %d:%s</title><description>%s</description>"
                   "<link>http://127.0.0.1/%d</link></item>\n" % (
                       i, " the ferries run late again today" * sentences, description, i))
    return ("".join(out) + "</channel></rss>\n").encode()


# The large feed is mostly item titles, the text a ticker would lay out.
FEEDS = {"/usual.xml": rss(40, "d" * 600, 1), "/big.xml": rss(61000, "", 4)}


class Feeds(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = FEEDS.get(self.path, b"")
        self.server.served.append(self.path)
        self.send_response(200 if body else 404)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def feed_tool_peak_mb(build, url):
    run = subprocess.run(["/usr/bin/time", "-f", "%M", os.path.join(build, "solvane-feed"), "news", url],
                         capture_output=True, text=True, check=True)
    return int(run.stderr.strip().splitlines()[-1]) / 1024


def settings(url):
    values = {"Brightness": "dword:00000100", "SoundVolume": "dword:00000000", "TDegree": '"f"',
              "WeatherCode": '"20001"', "RSS_Url": '"%s"' % url, "ShowTime": "dword:00000001",
              "ShowWeather": "dword:00000000", "ShowNews": "dword:00000001", "ShowBlack": "dword:00000000",
              "UseProxy": "dword:00000000", "Proxy": '""', "Port": '"8080"'}
    return ("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver]\n" +
            "".join('"%s"=%s\n' % item for item in values.items()))


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        print("pid %d did not end on SIGTERM within 10 s; killed" % process.pid, file=sys.stderr)
        process.kill()
        process.wait()


def saver_peak_mb(build, server, path):
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, "Kestrin Software"))
        with open(os.path.join(root, "Kestrin Software", "Solvane Screensaver.reg"), "w") as f:
            f.write(settings("http://127.0.0.1:%d%s" % (server.server_port, path)))
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            display = ":" + f.readline().strip()
        env = dict(os.environ, DISPLAY=display, XDG_CONFIG_HOME=root, XDG_RUNTIME_DIR=root)
        saver = subprocess.Popen([os.path.join(build, "solvane"), "/s"], env=env)
        try:
            served = len(server.served)
            for _ in range(600):
                if server.served[served:].count(path) or saver.poll() is not None:
                    break
                time.sleep(0.05)
            time.sleep(SAVER_SECONDS_AFTER_FEED)
            if saver.poll() is not None or path not in server.served[served:]:
                sys.exit("the saver ended or never asked for " + path)
            with open("/proc/%d/status" % saver.pid) as status:
                return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:")) / 1024
        finally:
            stop(saver)
            stop(xvfb)


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build-rel"
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Feeds)
    server.served = []
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        for name, measure in (("solvane-feed news", feed_tool_peak_mb), ("saver", saver_peak_mb)):
            peaks = {}
            for path in FEEDS:
                url = "http://127.0.0.1:%d%s" % (server.server_port, path)
                runs = [measure(build, url) if measure is feed_tool_peak_mb else measure(build, server, path)
                        for _ in range(2)]
                peaks[path] = max(runs)
            print("%-18s usual feed (%d KB) %6.1f MB   15 MB feed (%.1f MB) %6.1f MB   difference %+6.1f MB" % (
                name, len(FEEDS["/usual.xml"]) / 1000, peaks["/usual.xml"], len(FEEDS["/big.xml"]) / 1e6,
                peaks["/big.xml"], peaks["/big.xml"] - peaks["/usual.xml"]))
    finally:
        server.shutdown()


if __name__ == "__main__":
    main()
