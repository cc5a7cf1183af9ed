#!/usr/bin/env python3
"""The main window's library page against a bare QWebEngineView (nivra_bare_webview) loading
the same demo catalogue page, on one Xvfb display, runs interleaved (nivra, bare, ...):

  - from the process start until the demo server sees the request for /index.htm, and until the
    page is on screen (a screen point inside the page's orange "连续播放" button turns orange;
    the bare view's window sits exactly where nivra's page is, so the page lays out the same).
    nivra keeps its loading mask over the page for 3 s after the page has loaded (the mask's
    hide timer), so its on-screen time is also given without those 3 s;
  - memory once the page is on screen and 2 s have passed: the main process's resident set
    (VmRSS), and the private memory (Private_Clean + Private_Dirty) of the whole process tree,
    the web engine's helper processes included (shared library pages are left out: how they
    are split depends on what else runs on the machine).
  - the designed delays apart: nivra starts loading the page from its navigate timer (500 ms
    after the window is created) and lifts the mask 3 s after the page has loaded.

Needs Xvfb, xwd, ImageMagick's convert, gst-launch-1.0 (the demo clips are made once, first)
and the build's nivra, nivra-tool and nivra_bare_webview.

usage: bench/library_page_vs_webview.py [BUILD_BIN_DIR] [--runs N]
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, os.path.join(HERE, "..", "extras", "demo"))
import demo_media  # noqa: E402
from nivra_env import NivraEnv, start_xvfb  # noqa: E402

SCREEN_W, SCREEN_H = 1280, 800
WX, WY = (SCREEN_W - 1005) // 2, (SCREEN_H - 648) // 2
# nivra's web view: the page area of the centred main window.
VIEW = (WX + 4, WY + 34, 997, 614)
PROBE = (WX + 108, WY + 280)  # inside the orange "连续播放" button
ORANGE = (0xFF, 0x7A, 0x45)
MASK_HOLD_S = 3.0
SETTLE_S = 2.0


def pixel(display, point):
    xwd = subprocess.run(["xwd", "-root", "-silent", "-display", display],
                         capture_output=True, timeout=30, check=True).stdout
    ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "-depth", "8", "ppm:-"], input=xwd,
                         capture_output=True, timeout=30, check=True).stdout
    header = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+255\s", ppm)
    width = int(header.group(1))
    i = header.end() + 3 * (point[1] * width + point[0])
    return tuple(ppm[i:i + 3])


def tree_of(pid):
    """pid and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                ppid = int(f.read().rsplit(")", 1)[1].split()[1])
        except OSError:
            continue
        children.setdefault(ppid, []).append(int(entry))
    out, todo = [], [pid]
    while todo:
        p = todo.pop()
        out.append(p)
        todo.extend(children.get(p, []))
    return out


def kib(path, key):
    try:
        with open(path) as f:
            for line in f:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def memory(pid):
    rss = kib("/proc/%d/status" % pid, "VmRSS")
    private = sum(kib("/proc/%d/smaps_rollup" % p, key) for p in tree_of(pid)
                  for key in ("Private_Clean", "Private_Dirty"))
    return rss / 1024, private / 1024


class Demo:
    def __init__(self, cache, tool):
        self.log = tempfile.mktemp(prefix="nivra-bench-demo-")
        self.proc = subprocess.Popen(
            ["/usr/bin/python3", "-u", os.path.join(HERE, "..", "extras", "demo", "serve_demo.py"),
             "--catalogue-port", "0", "--display-port", "0", "--ad-port", "0", "--cache", cache,
             "--clip-seconds", "3", "--tool", tool],
            stdout=subprocess.PIPE, stderr=open(self.log, "w"), text=True)
        lines = [self.proc.stdout.readline() for _ in range(3)]
        self.catalogue = int(re.search(r":(\d+)/", lines[0]).group(1))
        self.display = int(re.search(r":(\d+)/", lines[1]).group(1))

    def index_requests(self):
        with open(self.log, errors="replace") as f:
            return f.read().count('"GET /index.htm ')

    def stop(self):
        self.proc.terminate()
        self.proc.wait()
        os.remove(self.log)


def measure(start, display, demo, stop):
    """(seconds to the request, seconds to the page on screen, RSS MiB, tree private MiB)."""
    before = demo.index_requests()
    t0 = time.monotonic()
    proc = start()
    requested = painted = None
    try:
        while time.monotonic() - t0 < 90:
            now = time.monotonic()
            if requested is None and demo.index_requests() > before:
                requested = now - t0
            if all(abs(a - b) <= 24 for a, b in zip(pixel(display, PROBE), ORANGE)):
                painted = now - t0
                break
            time.sleep(0.02)
        if painted is None:
            raise AssertionError("the page did not show")
        time.sleep(SETTLE_S)
        rss, pss = memory(proc.pid)
    finally:
        stop(proc)
    return requested, painted, rss, pss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin", nargs="?", default=os.path.join(HERE, "..", "build", "bin"))
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    nivra = os.path.join(args.bin, "nivra")
    bare = os.path.join(args.bin, "nivra_bare_webview")
    root = tempfile.mkdtemp(prefix="nivra-bench-library-")
    cache = os.path.join(root, "cache")
    media = demo_media.MediaCache(cache, demo_media.clip_recipes(3))
    media.start()
    media.wait_all()  # no clip is made while the programs are timed
    demo = Demo(cache, os.path.join(args.bin, "nivra-tool"))
    xvfb, display = start_xvfb(SCREEN_W, SCREEN_H)
    ini = os.path.join(root, "Servers.ini")
    with open(ini, "w") as f:
        f.write("[Servers]\nDisplay=127.0.0.1:%d\nCatalogue=127.0.0.1:%d\nAd=127.0.0.1:9\n"
                % (demo.display, demo.catalogue))
    url = "http://127.0.0.1:%d/index.htm" % demo.catalogue
    common = {"DISPLAY": display, "QT_QPA_PLATFORM": "xcb",
              "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"}
    results = {"nivra": [], "bare": []}
    envs = []

    def start_nivra():
        env = NivraEnv(nivra, dict(common, NIVRA_SERVERS=ini))
        home = os.path.join(env.root, "home")
        os.makedirs(home)
        env.env.update({"HOME": home, "XDG_CACHE_HOME": os.path.join(home, ".cache")})
        envs.append(env)
        return env.start()

    def start_bare():
        home = tempfile.mkdtemp(prefix="nivra-bench-bare-", dir=root)
        env = dict(os.environ, HOME=home, XDG_CACHE_HOME=os.path.join(home, ".cache"),
                   XDG_DATA_HOME=os.path.join(home, "data"), **common)
        return subprocess.Popen([bare, url, *map(str, VIEW)], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(proc):
        for p in reversed(tree_of(proc.pid)):
            try:
                os.kill(p, 9)
            except OSError:
                pass
        proc.wait()
        time.sleep(1)

    try:
        for run in range(args.runs):
            for name, start in (("nivra", start_nivra), ("bare", start_bare)):
                r = measure(start, display, demo, stop)
                results[name].append(r)
                print("run %d %-5s request %.2f s  on screen %.2f s  RSS %.0f MiB  tree private %.0f MiB"
                      % (run + 1, name, *r), flush=True)
    finally:
        for env in envs:
            env.close()
        demo.stop()
        xvfb.kill()
        xvfb.wait()

    med = {k: [statistics.median(x[i] for x in v) for i in range(4)] for k, v in results.items()}
    n, b = med["nivra"], med["bare"]
    print("\nmedians of %d runs" % args.runs)
    print("                      nivra     bare   ratio")
    print("request /index.htm  %6.2f s %6.2f s  %5.2f" % (n[0], b[0], n[0] / b[0]))
    print("page on screen      %6.2f s %6.2f s  %5.2f" % (n[1], b[1], n[1] / b[1]))
    print("  without the mask  %6.2f s %6.2f s  %5.2f"
          % (n[1] - MASK_HOLD_S, b[1], (n[1] - MASK_HOLD_S) / b[1]))
    print("main process RSS    %6.0f MiB %4.0f MiB %5.2f" % (n[2], b[2], n[2] / b[2]))
    print("tree private        %6.0f MiB %4.0f MiB %5.2f" % (n[3], b[3], n[3] / b[3]))


if __name__ == "__main__":
    main()
