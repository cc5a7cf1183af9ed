#!/usr/bin/env python3
"""The main window playing a file (`nivra /Open FILE`) against `gst-play-1.0 FILE`, on one Xvfb
display, the same 1280x720 VP8 + Vorbis file made here, runs interleaved (nivra, gst-play, ...):

  - start to first frame on screen: from the process start until a sampled set of screen rows
    shows the picture's colour bars (the same screen poll for both programs); for nivra also
    where the time goes: its "FirstFrame" debug line (first buffer at the video sink), the
    other debug lines, its first top-level X window (QApplication is connected), the first
    painted window pixels, the start of the page process, and how long a bare `nivra /U` runs
    (libraries loaded, settings read, nothing shown);
  - peak resident memory (VmHWM) of nivra idle (no file), with the pre-roll page panel created
    over a sound file (no picture, a small graph), paused on the 720p file behind the page, and
    after 30 s of 720p playback, next to gst-play after 30 s; nivra's page processes are
    reported apart (the sum of their current RSS, shared pages counted in each);
  - CPU (utime + stime from /proc) over the same 30 s of playback, starting 2 s after playback
    began (for nivra: after the 15-second pre-roll page; for gst-play: after its first frame).
    nivra draws the picture into its player area; gst-play's window is made the same size, so
    both scale the frames to the same area (and gst-play in its own 1280x720 window, for scale).

gst-play gets the video sink nivra uses (found in one run with GStreamer's state log), so both
draw the same way. Needs Xvfb, gst-play-1.0 (Debian package
gstreamer1.0-plugins-base-apps), and the build's nivra and nivra-tool.

usage: bench/main_window_vs_gst_play.py [BUILD_BIN_DIR] [--frame-runs N] [--runs N] [--media FILE]
"""

import argparse
import ctypes
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from nivra_env import NivraEnv  # noqa: E402

SCREEN_W, SCREEN_H = 1280, 800
MEDIA_SECONDS = 40
PLAY_WINDOW_S = 30.0
SETTLE_S = 2.0
CLK_TCK = os.sysconf("SC_CLK_TCK")


def generate_wav(path):
    """A 10-second tone: an item without pictures, so that only the pre-roll page is added."""
    subprocess.run(["gst-launch-1.0", "-q", "audiotestsrc", "num-buffers=431", "!",
                    "audio/x-raw,rate=44100,channels=2", "!", "wavenc", "!", "filesink",
                    f"location={path}"], check=True)


def generate(path):
    """40 s of scrolling colour bars (every frame changes, so the decoder works throughout)."""
    frames = MEDIA_SECONDS * 25
    audio_buffers = MEDIA_SECONDS * 44100 // 1024 + 1
    subprocess.run(
        ["gst-launch-1.0", "-q",
         "videotestsrc", "pattern=smpte", "horizontal-speed=4", f"num-buffers={frames}", "!",
         "video/x-raw,width=1280,height=720,framerate=25/1", "!",
         "vp8enc", "deadline=1", "threads=2", "target-bitrate=3000000", "!", "queue", "!",
         "webmmux", "name=m", "!", "filesink", f"location={path}",
         "audiotestsrc", f"num-buffers={audio_buffers}", "!",
         "audio/x-raw,rate=44100,channels=2", "!", "vorbisenc", "!", "queue", "!", "m."],
        check=True)


# ---------------------------------------------------------------- the screen


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_char)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


class Screen:
    """Reads rows of the root window through Xlib (a few kilobytes a poll, so polling every
    couple of milliseconds costs little CPU next to the programs measured)."""

    ROWS = (170, 220, 270, 320, 370, 420)  # inside the top bars of both programs' pictures
    STEP = 2  # every second pixel of a row

    def __init__(self, display):
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XGetImage.restype = ctypes.POINTER(XImage)
        self.x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                     ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        self.x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XResizeWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_uint,
                                         ctypes.c_uint]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.dpy = self.x.XOpenDisplay(display.encode())
        if not self.dpy:
            sys.exit("cannot open display " + display)
        self.root = self.x.XDefaultRootWindow(self.dpy)

    def row(self, y):
        image = self.x.XGetImage(self.dpy, self.root, 0, y, SCREEN_W, 1, 0xFFFFFFFF, 2)  # ZPixmap
        data = ctypes.string_at(image.contents.data, SCREEN_W * 4)  # 32 bpp, B G R X
        self.x.XDestroyImage(image)
        return data

    def windows(self):
        """The top-level windows (a program's first one: its display connection is up, which for
        nivra is QApplication's)."""
        root, parent, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_uint()
        children = ctypes.POINTER(ctypes.c_ulong)()
        self.x.XQueryTree(self.dpy, self.root, ctypes.byref(root), ctypes.byref(parent),
                          ctypes.byref(children), ctypes.byref(count))
        ids = {children[i] for i in range(count.value)}
        if children:
            self.x.XFree(children)
        return ids

    def resize(self, window, width, height):
        self.x.XResizeWindow(self.dpy, window, width, height)
        self.x.XFlush(self.dpy)

    def picture_width(self):
        """Width of the bars across the first sampled row (every bar has a channel above 150;
        the skin around the picture is dark)."""
        data = self.row(self.ROWS[0])
        lit = [i // 4 for i in range(0, len(data), 4) if max(data[i:i + 3]) > 150]
        return lit[-1] - lit[0] + 1 if lit else 0

    def look(self):
        """(any pixel not black, count of picture pixels: the bars' pure green or cyan)."""
        painted, picture = False, 0
        stride = 4 * self.STEP
        for y in self.ROWS:
            data = self.row(y)
            blue, green, red = data[0::stride], data[1::stride], data[2::stride]
            if not painted and max(data) > 24:
                painted = True
            for b, g, r in zip(blue, green, red):
                if r < 40 and g > 150 and (b < 40 or b > 150):
                    picture += 1
        return painted, picture


# ---------------------------------------------------------------- /proc


def proc_stat(pid):
    """(utime + stime in seconds, start time in seconds since boot) or None when gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return None
    return (int(fields[11]) + int(fields[12])) / CLK_TCK, int(fields[19]) / CLK_TCK


def status_kb(pid, key):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def descendants(pid):
    """Every live process below pid: (pid, command name)."""
    children, names = {}, {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                text = f.read()
        except OSError:
            continue
        name = text[text.index("(") + 1:text.rindex(")")]
        ppid = int(text.rsplit(")", 1)[1].split()[1])
        children.setdefault(ppid, []).append(int(entry))
        names[int(entry)] = name
    out, todo = [], [pid]
    while todo:
        for child in children.get(todo.pop(), []):
            out.append((child, names[child]))
            todo.append(child)
    return out


def cpu_of(pids):
    return sum((proc_stat(p) or (0.0, 0.0))[0] for p in pids)


def boottime():
    return time.clock_gettime(time.CLOCK_BOOTTIME)


# ---------------------------------------------------------------- one run


class Run:
    """A process started in its own session; its stderr lines stamped as they arrive."""

    def __init__(self, cmd, env, screen):
        self.windows_before = screen.windows()
        self.first_window = None
        self.boot0 = boottime()
        self.t0 = time.monotonic()
        self.proc = subprocess.Popen(cmd, env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                     text=True, errors="replace", start_new_session=True)
        self.lines = []  # (ms since start, line)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stderr:
            self.lines.append(((time.monotonic() - self.t0) * 1000, line.rstrip("\n")))

    def ms(self):
        return (time.monotonic() - self.t0) * 1000

    def line_ms(self, predicate):
        for t, line in list(self.lines):
            if predicate(line):
                return t
        return None

    def wait_line(self, predicate, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            t = self.line_ms(predicate)
            if t is not None:
                return t
            if self.proc.poll() is not None:
                break
            time.sleep(0.01)
        raise RuntimeError(f"{self.proc.args[0]}: no such line; got "
                           f"{[l for _, l in self.lines][-20:]}")

    def wait_picture(self, screen, timeout=30):
        """ms to the first painted pixel and to the picture on screen; self.first_window: ms to
        the process's first top-level window."""
        painted = None
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            any_pixel, picture = screen.look()
            now = self.ms()
            if self.first_window is None and screen.windows() - self.windows_before:
                self.first_window = now
            if any_pixel and painted is None:
                painted = now
            if picture >= 40:
                return painted, now
            if self.proc.poll() is not None:
                break
            time.sleep(0.002)
        raise RuntimeError(f"{self.proc.args[0]}: no picture on screen")

    def page_process_start_ms(self):
        starts = [proc_stat(p)[1] for p, name in descendants(self.proc.pid)
                  if name.startswith("QtWebEngine") and proc_stat(p)]
        return (min(starts) - self.boot0) * 1000 if starts else None

    def stop(self):
        if self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
                self.proc.wait()
        self.reader.join(5)
        # Page processes that outlived their parent belong to this run's session.
        try:
            os.killpg(self.proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def playing_window(run, start_s):
    """CPU seconds of the process (and of its descendants) over PLAY_WINDOW_S from start_s."""
    time.sleep(max(0.0, start_s - run.ms() / 1000))
    kids = [p for p, _ in descendants(run.proc.pid)]
    own0, kids0 = cpu_of([run.proc.pid]), cpu_of(kids)
    time.sleep(PLAY_WINDOW_S)
    own1, kids1 = cpu_of([run.proc.pid]), cpu_of(kids)
    return own1 - own0, kids1 - kids0


def kids_rss_mb(run):
    return sum(status_kb(p, "VmRSS") or 0 for p, _ in descendants(run.proc.pid)) / 1024


# ---------------------------------------------------------------- the bench


class Bench:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.nivra = os.path.join(args.bin_dir, "nivra")
        self.xvfb, display = self.start_xvfb()
        self.demo, servers = self.start_demo()
        self.env = NivraEnv(self.nivra, {
            "DISPLAY": display, "QT_QPA_PLATFORM": "xcb", "HOME": os.path.join(work, "home"),
            "NIVRA_SERVERS": servers, "NIVRA_DEBUG": "1",
            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"})
        self.screen = Screen(display)
        self.sink = None  # nivra's renderer, found by diagnose()
        self.picture = None  # the size of nivra's picture while playing
        self.media = args.media or os.path.join(work, "hd.webm")
        self.wav = os.path.join(work, "tone.wav")

    def start_xvfb(self):
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 f"{SCREEN_W}x{SCREEN_H}x24", "-br", "-nolisten", "tcp"],
                                pass_fds=(write_fd,), stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            return xvfb, ":" + f.readline().strip()

    def start_demo(self):
        demo = subprocess.Popen(
            [sys.executable, os.path.join(HERE, "..", "extras", "demo", "serve_demo.py"),
             "--catalogue-port", "0", "--display-port", "0", "--ad-port", "0",
             "--tool", os.path.join(self.args.bin_dir, "nivra-tool")],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        hosts = {}
        for _ in range(3):
            kind, address = demo.stdout.readline().split(None, 1)
            hosts[kind] = address.strip().replace("http://", "").split("/")[0]
        threading.Thread(target=self.watch_demo, args=(demo,), daemon=True).start()
        path = os.path.join(self.work, "Servers.ini")
        with open(path, "w") as f:
            # No ad server: its pop-ups would run during the measurement.
            f.write(f"[Servers]\nCatalogue={hosts['catalogue']}\nDisplay={hosts['display']}\n"
                    f"Ad=127.0.0.1:9\nHomePage=http://{hosts['catalogue']}/\n")
        return demo, path

    @staticmethod
    def watch_demo(demo):
        for line in demo.stderr:
            if "making" in line:
                print("note: the demo server is making its clips; early runs share the CPU",
                      flush=True)

    def diagnose(self):
        """One nivra run with GStreamer's state-change log: the renderer it chose (the OpenGL one
        brings its upload element along; otherwise the X one it could open) and when GStreamer
        was initialised and the graph began to preroll (ms from the start; one sample, and the
        log slows it a little)."""
        env = dict(self.env.env, GST_DEBUG="GST_STATES:4", GST_DEBUG_NO_COLOR="1")
        run = Run([self.nivra, "/Open", self.media], env, self.screen)
        try:
            shown = run.wait_picture(self.screen)[1]
            run.wait_line(lambda l: l == "FirstFrame", 10)
        finally:
            run.stop()
        timeline = {"picture on screen": shown}
        for t, line in run.lines:
            fields = line.split()
            if "GST_STATES" in line and fields[0].count(":") == 2 and "gst init" not in timeline:
                h, m, sec = fields[0].split(":")
                timeline["gst init"] = t - (int(h) * 3600 + int(m) * 60 + float(sec)) * 1000
            if "completed state change to PAUSED" in line and "preroll start" not in timeline:
                timeline["preroll start"] = t
            if line == "FirstFrame":
                timeline["FirstFrame line"] = t
        gl = any("<gluploadelement" in l for _, l in run.lines)
        if gl:
            self.sink = "glimagesink"
        else:
            rc = subprocess.run(["gst-launch-1.0", "-q", "videotestsrc", "num-buffers=1", "!",
                                 "xvimagesink"], env=self.env.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=30).returncode
            self.sink = "xvimagesink" if rc == 0 else "ximagesink"
        return timeline

    def close(self):
        self.env.close()
        self.demo.terminate()
        self.demo.wait()
        self.xvfb.kill()
        self.xvfb.wait()

    def start_nivra(self, *args):
        return Run([self.nivra, *args], self.env.env, self.screen)

    def start_gst(self):
        return Run(["gst-play-1.0", "--no-interactive", f"--videosink={self.sink}", self.media],
                   self.env.env, self.screen)

    def bare_start_ms(self):
        start = time.monotonic()
        subprocess.run([self.nivra, "/U"], env=self.env.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        return (time.monotonic() - start) * 1000

    # One quick pair: start to the picture, then stop.
    def first_frame_nivra(self, record):
        run = self.start_nivra("/Open", self.media)
        try:
            painted, shown = run.wait_picture(self.screen)
            first = run.wait_line(lambda l: l == "FirstFrame", 10)
            record["first X window"].append(run.first_window)
            record["window painted"].append(painted)
            record["FirstFrame line"].append(first)
            record["picture on screen"].append(shown)
            for name, pred in (("RunTray/AppActive line", lambda l: l in ("RunTray", "AppActive")),
                               ("OpenFile line", lambda l: l.startswith("OpenFile:"))):
                t = run.line_ms(pred)
                if t is not None:
                    record[name].append(t)
            page = run.page_process_start_ms()
            if page is not None:
                record["page process started"].append(page)
            return shown
        finally:
            run.stop()

    def first_frame_gst(self, record=None):
        run = self.start_gst()
        try:
            shown = run.wait_picture(self.screen)[1]
            if record is not None and run.first_window is not None:
                record["gst-play first X window"].append(run.first_window)
            return shown
        finally:
            run.stop()

    # One full nivra run: memory behind the pre-roll page, then 30 s of playback.
    def play_nivra(self, out):
        run = self.start_nivra("/Open", self.media)
        try:
            run.wait_line(lambda l: l == "FirstFrame", 30)
            time.sleep(5)  # paused behind the pre-roll page, its count-down running
            out["nivra 720p paused VmHWM"].append(status_kb(run.proc.pid, "VmHWM") / 1024)
            out["nivra 720p paused pages RSS"].append(kids_rss_mb(run))
            # The pre-roll page ends with the count-down's "KillTimer"; the item then plays.
            started = run.wait_line(lambda l: l == "KillTimer", 30) / 1000
            time.sleep(max(0.0, started + 1 - run.ms() / 1000))  # the page has gone
            width = self.screen.picture_width()
            self.picture = (width, round(width * 9 / 16))
            own, kids = playing_window(run, started + SETTLE_S)
            out["nivra playing VmHWM"].append(status_kb(run.proc.pid, "VmHWM") / 1024)
            out["nivra playing pages RSS"].append(kids_rss_mb(run))
            out["nivra cpu"].append(100 * own / PLAY_WINDOW_S)
            out["nivra pages cpu"].append(100 * kids / PLAY_WINDOW_S)
        finally:
            run.stop()

    def play_gst(self, out, size):
        """With a size, gst-play's window is made that size (nivra's picture), so that both
        scale the frames to the same area."""
        key = "resized" if size else "own window"
        run = self.start_gst()
        try:
            started = run.wait_picture(self.screen)[1] / 1000
            if size:
                for window in self.screen.windows() - run.windows_before:
                    self.screen.resize(window, *size)
            own, _ = playing_window(run, started + SETTLE_S)
            out[f"gst-play {key} VmHWM"].append(status_kb(run.proc.pid, "VmHWM") / 1024)
            out[f"gst-play {key} cpu"].append(100 * own / PLAY_WINDOW_S)
        finally:
            run.stop()

    def idle_nivra(self, out, key, *args):
        """Memory 5 s after the library page loads (no file), or after the pre-roll page has
        paused the item (a sound file: the page panel and a small graph)."""
        run = self.start_nivra(*args)
        try:
            run.wait_line(lambda l: l.startswith("Navigate:") if not args else l == "PlayerPause",
                          30)
            time.sleep(5)
            out[f"nivra {key} VmHWM"].append(status_kb(run.proc.pid, "VmHWM") / 1024)
            out[f"nivra {key} pages RSS"].append(kids_rss_mb(run))
        finally:
            run.stop()


def med(values):
    return statistics.median(values) if values else float("nan")


def spread(values):
    return f"{min(values):8.0f} {med(values):8.0f} {max(values):8.0f}" if values else "-"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("bin_dir", nargs="?", default="build/bin")
    parser.add_argument("--frame-runs", type=int, default=7, help="pairs timed to the picture")
    parser.add_argument("--runs", type=int, default=3, help="pairs of 30 s playback")
    parser.add_argument("--media", help="a 720p file to use instead of making one")
    args = parser.parse_args()
    for tool in ("Xvfb", "gst-play-1.0", "gst-launch-1.0"):
        if subprocess.run(["which", tool], stdout=subprocess.DEVNULL).returncode != 0:
            sys.exit(f"{tool} is needed (gst-play-1.0: Debian's gstreamer1.0-plugins-base-apps)")

    with tempfile.TemporaryDirectory(prefix="nivra-bench-") as work:
        bench = Bench(args, work)
        try:
            if not args.media:
                generate(bench.media)
            generate_wav(bench.wav)
            # Warm-up: the plug-in registry, font and page caches of the private home.
            bench.first_frame_nivra({k: [] for k in PHASES})
            timeline = bench.diagnose()
            bench.first_frame_gst()
            print(f"file: {bench.media} ({os.path.getsize(bench.media)} bytes, 1280x720 VP8); "
                  f"video sink of both: {bench.sink}; display {SCREEN_W}x{SCREEN_H}", flush=True)

            phases = {k: [] for k in PHASES + ["gst-play first X window"]}
            frame = {"nivra": [], "gst": [], "ratio": [], "bare": []}
            for _ in range(args.frame_runs):
                frame["bare"].append(bench.bare_start_ms())
                n = bench.first_frame_nivra(phases)
                g = bench.first_frame_gst(phases)
                frame["nivra"].append(n)
                frame["gst"].append(g)
                frame["ratio"].append(n / g)
            print(f"\nstart to first frame on screen, ms ({args.frame_runs} pairs)"
                  f"        min   median      max")
            print(f"  nivra /Open FILE                          {spread(frame['nivra'])}")
            print(f"  gst-play-1.0 FILE                         {spread(frame['gst'])}")
            print(f"  ratio nivra / gst-play (pair by pair)     "
                  f"{min(frame['ratio']):8.2f} {med(frame['ratio']):8.2f} "
                  f"{max(frame['ratio']):8.2f}   (goal <= 1.3)")
            print("\nnivra's phases, ms from its start (medians)")
            print(f"  nivra /U exits (libraries, settings)      {med(frame['bare']):8.0f}")
            for name in PHASES:
                print(f"  {name:<42}{med(phases[name]):8.0f}")
            first_gst = med(phases["gst-play first X window"])
            print(f"  (gst-play's first X window                {first_gst:8.0f})")
            events = sorted(timeline.items(), key=lambda item: item[1])
            print("  one run with GStreamer's state log:      " +
                  ", ".join(f"{name} {ms:.0f}" for name, ms in events))

            out = {k: [] for k in MEMORY + CPU}
            for _ in range(args.runs):
                bench.idle_nivra(out, "idle")
                bench.idle_nivra(out, "overlay (sound)", "/Open", bench.wav)
                bench.play_nivra(out)
                bench.play_gst(out, bench.picture)
                bench.play_gst(out, None)
            print(f"\npeak resident memory, MB ({args.runs} runs)          min   median      max")
            for name in MEMORY:
                print(f"  {name:<42}{spread(out[name])}")
            ratio = med(out["nivra playing VmHWM"]) / med(out["gst-play resized VmHWM"])
            print(f"  ratio nivra / gst-play playing VmHWM      {ratio:8.2f}")
            w, h = bench.picture
            print(f"\nCPU over {PLAY_WINDOW_S:.0f} s of 720p playback, % of one core; gst-play "
                  f"resized: its window made {w}x{h}, nivra's picture")
            for name in CPU:
                print(f"  {name:<42}{spread(out[name])}")
            for label, nivra_cpu, gst_cpu, goal in (
                    ("nivra / gst-play resized", out["nivra cpu"], out["gst-play resized cpu"],
                     "   (goal <= 1.1)"),
                    ("nivra + pages / gst-play resized",
                     [n + k for n, k in zip(out["nivra cpu"], out["nivra pages cpu"])],
                     out["gst-play resized cpu"], ""),
                    ("nivra / gst-play own window", out["nivra cpu"],
                     out["gst-play own window cpu"], "")):
                ratios = [n / g for n, g in zip(nivra_cpu, gst_cpu)]
                print(f"  ratio {label:<36}{min(ratios):8.2f} {med(ratios):8.2f} "
                      f"{max(ratios):8.2f}{goal}")
        finally:
            bench.close()


PHASES = ["page process started", "first X window", "RunTray/AppActive line", "OpenFile line",
          "window painted", "FirstFrame line", "picture on screen"]
MEMORY = ["nivra idle VmHWM", "nivra idle pages RSS", "nivra overlay (sound) VmHWM",
          "nivra overlay (sound) pages RSS", "nivra 720p paused VmHWM",
          "nivra 720p paused pages RSS", "nivra playing VmHWM", "nivra playing pages RSS",
          "gst-play resized VmHWM", "gst-play own window VmHWM"]
CPU = ["nivra cpu", "nivra pages cpu", "gst-play resized cpu", "gst-play own window cpu"]

if __name__ == "__main__":
    main()
