"""The library page and the library panel on a real X server (Xvfb, 1280x800, no window manager)
against the demo servers (short clips made once per run into a private cache folder): the mask
and then the catalogue page, the error panel and "刷新", a hidden start that loads nothing, a
poster and a frame's link that play and land in the history, a list link that fills the
favourites and plays its episodes in turn, and hostile pages served by a small server of the
test's own loaded with "/WebShell"."""

import http.server
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from nivra_env import NivraEnv, start_xvfb, wait_until

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "..", "extras", "demo")
sys.path.insert(0, DEMO)
import demo_link_cipher  # noqa: E402
import demo_media  # noqa: E402

BINARY = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "nivra")
TOOL = os.path.join(os.path.dirname(BINARY), "nivra-tool")
SHOTS = os.environ.get("NIVRA_E2E_SHOTS", os.path.join(tempfile.gettempdir(), "e2e-shots"))
SCREEN_W, SCREEN_H = 1280, 800
CLIP_SECONDS = 3
# The window is centred on the screen.
WX, WY = (SCREEN_W - 1005) // 2, (SCREEN_H - 648) // 2


def at(x, y):
    """A point of the window (window coordinates) on the screen."""
    return WX + x, WY + y


# Places in the window at its start size. The catalogue page lays out the same way every time.
TAB_LIBRARY = at(379, 17)
PLAY_ALL_BUTTON = at(108, 280)  # "连续播放" (the series' list link), orange
FIRST_POSTER = at(108, 484)  # "星光列车", a kind-3 page
FRAME_LAST_EPISODE = at(827, 167)  # "星海巡航 大结局" in the picks frame
PREVIOUS = at(413, 617)
NEXT = at(504, 617)
PANEL_ROWS = (at(812, 66)[0], at(812, 66)[1], 180, 20)  # the panel tree's first row: x, y, w, h
PAGE_PROBE = PLAY_ALL_BUTTON  # a point that is orange only when the catalogue page shows

MASK = (0x15, 0x17, 0x1C)
ORANGE = (0xFF, 0x7A, 0x45)
GREEN = (0x00, 0xC0, 0x40)
SERIES = "星海巡航 第一季"

OK_PAGE = ("<!doctype html><html><body style='margin:0;background:#00c040'>"
           "<h1>ok</h1></body></html>")
ALERT_PAGE = """<!doctype html><html><body><script>
let n = 0;
function loop() { for (let i = 0; i < 25; i++) alert('loop ' + (n++)); setTimeout(loop, 0); }
loop();
</script></body></html>"""
FLOOD_PAGE = """<!doctype html><html><body>flood<script>
const links = %s;
links.forEach((link, i) => setTimeout(() => { location.href = link; }, i * 9));
</script></body></html>"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def close_to(pixel, colour, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


class HostileHandler(http.server.BaseHTTPRequestHandler):
    """Pages that misbehave: an alert loop, a page that never finishes, a 404, a flood of
    private links, and a plain green page to load after each."""
    pages = {}
    release = threading.Event()

    def do_GET(self):
        if self.path == "/hang.html":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            self.wfile.write(b"<!doctype html><html><body>loading")
            self.wfile.flush()
            self.release.wait(180)  # the rest never comes while the test runs
            return
        body = self.pages.get(self.path)
        if body is None:
            self.send_error(404)
            return
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def log_message(self, *args):
        pass


class DemoServer:
    """serve_demo.py on free ports (or the given catalogue port) over the class's cache."""

    def __init__(self, cache, catalogue_port=0):
        self.cache = cache
        self.log_path = tempfile.mktemp(prefix="nivra-demo-log-")
        self.proc = subprocess.Popen(
            ["/usr/bin/python3", "-u", os.path.join(DEMO, "serve_demo.py"), "--catalogue-port",
             str(catalogue_port), "--display-port", "0", "--ad-port", "0", "--cache", cache,
             "--clip-seconds", str(CLIP_SECONDS), "--tool", TOOL],
            stdout=subprocess.PIPE, stderr=open(self.log_path, "w"), text=True)
        lines = [self.proc.stdout.readline() for _ in range(3)]
        if not all(lines):
            with open(self.log_path, errors="replace") as f:
                raise AssertionError("the demo server did not start:\n" + f.read())
        self.catalogue_port = int(re.search(r":(\d+)/", lines[0]).group(1))
        self.display_port = int(re.search(r":(\d+)/", lines[1]).group(1))

    def requests(self, path):
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return sum('"GET %s ' % path in line for line in f)

    def links(self):
        """The private links the server made, by record text."""
        with open(os.path.join(self.cache, "links.json"), encoding="utf-8") as f:
            return json.load(f)

    def stop(self):
        self.proc.terminate()
        self.proc.wait()
        os.remove(self.log_path)


class Library(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("Xvfb", "xdotool", "xwd", "gst-launch-1.0", "/usr/bin/convert"):
            if not shutil.which(tool):
                raise unittest.SkipTest(tool + " is needed")
        if not os.access(TOOL, os.X_OK):
            raise unittest.SkipTest("nivra-tool is needed beside nivra")
        os.makedirs(SHOTS, exist_ok=True)
        cls.root = tempfile.mkdtemp(prefix="nivra-library-")
        cls.cache = os.path.join(cls.root, "cache")
        # Every clip is made now, once: the servers of the cases find them ready.
        media = demo_media.MediaCache(cls.cache, demo_media.clip_recipes(CLIP_SECONDS))
        media.start()
        if not media.wait_all(600):
            raise AssertionError("the demo clips could not be made")
        cls.demo = DemoServer(cls.cache)
        cls.hostile = http.server.ThreadingHTTPServer(("127.0.0.1", 0), HostileHandler)
        cls.hostile.daemon_threads = True
        cls.hostile_base = "http://127.0.0.1:%d" % cls.hostile.server_port
        threading.Thread(target=cls.hostile.serve_forever, daemon=True).start()
        cls.xvfb, cls.display = start_xvfb(SCREEN_W, SCREEN_H)

    @classmethod
    def tearDownClass(cls):
        HostileHandler.release.set()
        cls.hostile.shutdown()
        cls.demo.stop()
        cls.xvfb.kill()
        cls.xvfb.wait()
        shutil.rmtree(cls.root, ignore_errors=True)

    def setUp(self):
        self.extra = []
        self.wid = None

    def tearDown(self):
        if hasattr(self, "env"):
            self.env.close()
        for server in self.extra:
            server.stop()

    def start_env(self, catalogue_port=None, display_port=None):
        ini = os.path.join(self.root, "Servers-%s.ini" % self.id().rsplit(".", 1)[-1])
        with open(ini, "w") as f:
            # The ad server is a dead port: no pop-up windows in these cases.
            f.write("[Servers]\nDisplay=127.0.0.1:%d\nCatalogue=127.0.0.1:%d\nAd=127.0.0.1:9\n"
                    % (display_port or self.demo.display_port,
                       catalogue_port or self.demo.catalogue_port))
        self.env = NivraEnv(BINARY, {
            "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "NIVRA_SERVERS": ini,
            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"})
        home = os.path.join(self.env.root, "home")
        os.makedirs(home)
        self.env.env.update({"HOME": home, "XDG_CACHE_HOME": os.path.join(home, ".cache")})
        return self.env

    # --- the X side ---------------------------------------------------------------------

    def x(self, *args):
        return subprocess.run(args, capture_output=True, text=True, timeout=30,
                              env=dict(os.environ, DISPLAY=self.display)).stdout

    def main_window(self, proc):
        def find():
            for wid in self.x("xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)).split():
                if "Width: 1005" in self.x("xwininfo", "-id", wid):
                    self.wid = wid
                    return wid
            return None
        return self.wait(find, 60, "the main window to map")

    def visible_windows(self, proc):
        """The process's mapped top-level windows (children of the root window: there is no
        window manager); native child windows such as the web view's are left out."""
        def top_level(wid):
            info = self.x("xwininfo", "-id", wid)
            absolute = re.findall(r"Absolute upper-left [XY]:\s+(-?\d+)", info)
            relative = re.findall(r"Relative upper-left [XY]:\s+(-?\d+)", info)
            return absolute and absolute == relative
        return [w for w in self.x("xdotool", "search", "--onlyvisible", "--pid",
                                  str(proc.pid)).split() if top_level(w)]

    def title(self, wid):
        return self.x("xdotool", "getwindowname", wid).strip()

    def click(self, point):
        self.x("xdotool", "mousemove", str(point[0]), str(point[1]), "click", "1")

    def screen(self):
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.display],
                             capture_output=True, timeout=30, check=True).stdout
        ppm = subprocess.run(["/usr/bin/convert", "xwd:-", "-depth", "8", "ppm:-"], input=xwd,
                             capture_output=True, timeout=30, check=True).stdout
        header = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+255\s", ppm)
        return int(header.group(1)), ppm[header.end():]

    def pixel(self, point, shot=None):
        width, rgb = shot or self.screen()
        i = 3 * (point[1] * width + point[0])
        return tuple(rgb[i:i + 3])

    def shows(self, point, colour):
        return lambda: close_to(self.pixel(point), colour)

    def text_pixels(self, area, shot=None):
        """Bright pixels (text) in `area` (x, y, w, h)."""
        width, rgb = shot or self.screen()
        x0, y0, w, h = area
        return sum(max(rgb[3 * (y * width + x):3 * (y * width + x) + 3]) > 150
                   for y in range(y0, y0 + h) for x in range(x0, x0 + w))

    def save_screen(self, name):
        path = os.path.join(SHOTS, name)
        subprocess.run("xwd -root -silent -display %s | /usr/bin/convert xwd:- %s"
                       % (self.display, path), shell=True, timeout=30)
        return path

    def wait(self, predicate, timeout, what):
        try:
            return wait_until(predicate, timeout, what)
        except AssertionError as e:
            caption = self.title(self.wid) if getattr(self, "wid", None) else ""
            raise AssertionError("%s (caption %r); log:\n%s" % (e, caption, "\n".join(
                line[:160] for line in self.env.log()[-30:]))) from None

    def has(self, text):
        return lambda: any(text in line for line in self.env.log())

    def count(self, prefix):
        return sum(line.startswith(prefix) for line in self.env.log())

    def data_file(self, name):
        return os.path.join(self.env.env["XDG_DATA_HOME"], "Nivra", name)

    def read_data(self, name):
        try:
            with open(self.data_file(name), encoding="utf-8", errors="replace") as f:
                return f.read()
        except FileNotFoundError:
            return ""

    def wait_catalogue_page(self, timeout=60):
        self.wait(self.shows(PAGE_PROBE, ORANGE), timeout, "the catalogue page to paint")

    def link_of(self, title, path):
        """The demo server's private link of the kind-3 page `path`."""
        record = "video|%s|0|http://127.0.0.1:%d%s" % (title, self.demo.catalogue_port, path)
        return self.demo.links()[record]

    # --- the library page ----------------------------------------------------------------

    def test_1_the_mask_shows_until_the_catalogue_page_is_painted(self):
        env = self.start_env()
        proc = env.start_first()
        self.main_window(proc)
        # The mask covers the page while it loads; the orange button only shows after it.
        first = self.wait(lambda: next((p for p in [self.pixel(PAGE_PROBE)]
                                        if close_to(p, MASK) or close_to(p, ORANGE)), None),
                          30, "the mask or the page")
        self.assertTrue(close_to(first, MASK), "the page showed before the mask: %s" % (first,))
        self.wait_catalogue_page()
        self.assertEqual(self.count("Navigate:"), 1)
        self.assertIn("Navigate:http://127.0.0.1:%d/index.htm" % self.demo.catalogue_port,
                      env.log())
        self.assertGreaterEqual(self.demo.requests("/frame/picks.htm"), 1)
        print("screenshot:", self.save_screen("nivra-library-catalogue.png"), file=sys.stderr)

    def test_2_the_error_panel_and_refresh_once_the_server_is_up(self):
        port = free_port()
        env = self.start_env(catalogue_port=port)
        proc = env.start_first()
        self.main_window(proc)
        self.wait(self.has("Navigate:http://127.0.0.1:%d/index.htm" % port), 20, "the navigation")
        # The error panel: pure white command labels ("返回", "刷新") under the error text.
        mask_area = (WX + 150, WY + 120, 700, 450)

        def command_labels():
            shot = self.screen()
            width, rgb = shot
            x0, y0, w, h = mask_area
            white = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)
                     if rgb[3 * (y * width + x)] == 255 and rgb[3 * (y * width + x) + 1] == 255
                     and rgb[3 * (y * width + x) + 2] == 255]
            if not white or not close_to(self.pixel((WX + 20, WY + 300), shot), MASK):
                return None
            bottom = max(y for _, y in white)
            row = [(x, y) for x, y in white if y > bottom - 20]
            middle = (min(x for x, _ in row) + max(x for x, _ in row)) // 2
            right = [(x, y) for x, y in row if x > middle]
            return (sum(x for x, _ in right) // len(right), sum(y for _, y in right) // len(right))

        refresh = self.wait(command_labels, 30, "the error panel")
        print("screenshot:", self.save_screen("nivra-library-error.png"), file=sys.stderr)
        server = DemoServer(self.cache, port)
        self.extra.append(server)
        self.assertEqual(server.requests("/index.htm"), 0)
        self.click(refresh)
        self.wait_catalogue_page()
        self.assertEqual(server.requests("/index.htm"), 1)

    def test_3_a_hidden_start_loads_the_page_only_once_the_window_shows(self):
        env = self.start_env()
        proc = env.start_first("/A")
        # The navigate timer (500 ms) has long run by then; it loads nothing while hidden.
        time.sleep(3)
        self.assertEqual(self.count("Navigate:"), 0, "\n".join(env.log()))
        self.assertEqual(self.visible_windows(proc), [])
        rc, _ = env.run()
        self.assertEqual(rc, 0)
        self.wait(self.has("InstanceActivate:0"), 15, "the second start's hand-over")
        self.main_window(proc)
        self.wait(self.has("Navigate:"), 15, "the navigation once shown")
        self.wait_catalogue_page()
        self.assertEqual(self.count("Navigate:"), 1)

    # --- playing from the page -----------------------------------------------------------

    def test_4_a_poster_and_a_frame_link_play_and_land_in_the_history(self):
        env = self.start_env()
        proc = env.start_first()
        wid = self.main_window(proc)
        self.wait_catalogue_page()
        poster = self.link_of("星光列车", "/v/starlight.html")
        self.click(FIRST_POSTER)
        self.wait(self.has("OpenPending:" + poster), 15, "the poster's link")
        # The pre-roll cycle: paused behind the count-down page, then playing, then the end.
        self.wait(lambda: self.title(wid) == "[暂停] 星光列车", 60, "the paused caption")
        self.wait(self.has("KillTimer"), 30, "the count-down to end")
        self.wait(self.has("Player1PlayEnd"), 30, "the end of the clip")
        log = env.log()
        self.assertLess(log.index("PlayerPause"), log.index("KillTimer"))
        self.assertLess(log.index("KillTimer"), log.index("Player1PlayEnd"))
        history = self.read_data("His1.dat")
        self.assertIn("sUrl=" + poster, history)
        self.assertIn("sName=星光列车", history)
        # The history tree shows the item in the panel beside the player.
        self.assertGreater(self.text_pixels(PANEL_ROWS), 20)

        self.click(TAB_LIBRARY)
        self.wait_catalogue_page(15)
        episode = self.link_of(SERIES + " 第12集", "/v/xinghai-12.html")
        self.click(FRAME_LAST_EPISODE)
        self.wait(self.has("OpenPending:" + episode), 15, "the frame's link")
        self.wait(lambda: self.title(wid) == "[暂停] %s 第12集" % SERIES, 60, "its caption")
        self.wait(lambda: "sUrl=" + episode in self.read_data("His1.dat"), 15, "it in His1.dat")
        history = self.read_data("His1.dat")
        self.assertLess(history.index(episode), history.index(poster), "newest first")
        self.assertEqual(self.count("OpenPending:"), 2)
        second_row = (PANEL_ROWS[0], PANEL_ROWS[1] + PANEL_ROWS[3], PANEL_ROWS[2], PANEL_ROWS[3])
        self.wait(lambda: self.text_pixels(second_row) > 20, 10, "a second row in the history")

    def test_5_a_list_link_fills_the_favourites_and_plays_its_episodes_in_turn(self):
        env = self.start_env()
        proc = env.start_first()
        wid = self.main_window(proc)
        self.wait_catalogue_page()
        self.click(PLAY_ALL_BUTTON)
        self.wait(self.has("ltJsList:9001.js"), 15, "the list link")
        # The caption shows the entry's name, for the first episode and for those after it.
        caption = "[暂停] 第%d集"
        self.wait(lambda: self.title(wid) == caption % 1, 60, "the first episode")
        favourites = self.read_data("Fav.dat")
        # The name is kept with \u escapes, the document's entry count beside it.
        self.assertIn("\\u661f\\u6d77\\u5de1\\u822a", favourites)
        self.assertNotIn("星海", favourites)
        self.assertIn('"i":9001', favourites)
        self.assertGreater(self.text_pixels(PANEL_ROWS), 20)
        # A click on the list opens it: its episodes fill the rows below.
        third_row = (PANEL_ROWS[0], PANEL_ROWS[1] + 2 * PANEL_ROWS[3], PANEL_ROWS[2],
                     PANEL_ROWS[3])
        self.assertEqual(self.text_pixels(third_row), 0)
        self.click((PANEL_ROWS[0] + 60, PANEL_ROWS[1] + PANEL_ROWS[3] // 2))
        self.wait(lambda: self.text_pixels(third_row) > 20, 10, "the list's episodes")
        print("screenshot:", self.save_screen("nivra-library-panel-list.png"), file=sys.stderr)
        # At the end of an episode the next one plays, with its own pre-roll count-down.
        self.wait(self.has("Player1PlayEnd"), 45, "the end of the first episode")
        self.wait(lambda: self.title(wid) == caption % 2, 30, "the second episode")
        # "下一个节目" up to the last episode; after it playback stops.
        for n in range(3, 13):
            self.click(NEXT)
            self.wait(lambda: self.title(wid) == caption % n, 30, "episode %d" % n)
        ends = self.count("Player1PlayEnd")
        self.wait(lambda: self.count("Player1PlayEnd") > ends, 45, "the end of the last episode")
        self.wait(lambda: self.title(wid) == "Nivra", 15, "the stop after the last episode")
        self.assertEqual(self.count("AppPlayUrl:"), 12)
        # "上一个节目" from the second episode plays the first, and on the first it stops.
        self.click(TAB_LIBRARY)
        self.wait_catalogue_page(15)
        self.click(PLAY_ALL_BUTTON)
        self.wait(lambda: self.count("ltJsList:9001.js") == 2, 15, "the list link again")
        self.wait(lambda: self.title(wid) == caption % 1, 60, "the first episode again")
        self.click(NEXT)
        self.wait(lambda: self.title(wid) == caption % 2, 30, "the second episode")
        self.click(PREVIOUS)
        self.wait(lambda: self.title(wid) == caption % 1, 30, "back to the first")
        plays = self.count("AppPlayUrl:")
        self.click(PREVIOUS)
        self.wait(lambda: self.title(wid) == "Nivra", 15, "the stop before the first episode")
        self.assertEqual(self.count("AppPlayUrl:"), plays)

    # --- hostile pages -------------------------------------------------------------------

    def assert_responsive(self, env, proc, wid, what):
        """A second start hands "/WebShell" over and the window paints the green page."""
        HostileHandler.pages["/ok.html"] = OK_PAGE
        navigations = self.count("Navigate:")
        rc, seconds = env.run("/WebShell", self.hostile_base + "/ok.html", timeout=30)
        self.assertEqual(rc, 0, what)
        self.wait(lambda: self.count("Navigate:") > navigations, 15, "the hand-over " + what)
        self.wait(self.shows(at(500, 300), GREEN), 30, "the next page after " + what)
        self.assertIsNone(proc.poll())
        self.assertEqual(self.visible_windows(proc), [wid], "no dialog " + what)

    def test_6_hostile_pages_leave_the_window_responsive(self):
        HostileHandler.pages["/alert.html"] = ALERT_PAGE
        env = self.start_env()
        proc = env.start_first("/WebShell", self.hostile_base + "/alert.html")
        wid = self.main_window(proc)
        self.wait(lambda: self.count("OnLibShowMessage:loop ") >= 200, 30, "the alert loop")
        self.assertIn("OnLibShowMessage:loop 0", env.log())
        self.assert_responsive(env, proc, wid, "after the alert loop")

        for path in ("/hang.html", "/missing.html"):
            rc, _ = env.run("/WebShell", self.hostile_base + path, timeout=30)
            self.assertEqual(rc, 0)
            self.wait(self.has("Navigate:" + self.hostile_base + path), 15, path)
            if path == "/missing.html":  # the error panel, over the page
                self.wait(self.shows(at(20, 300), MASK), 15, "the error panel for a 404")
            time.sleep(2)
            self.save_screen("nivra-library-hostile-%s.png" % path.strip("/").split(".")[0])
            self.assert_responsive(env, proc, wid, "after " + path)

        links = [demo_link_cipher.encode_link(
            "video|flood %02d|0|http://127.0.0.1:%d/v/starlight.html"
            % (n, self.demo.catalogue_port)) for n in range(100)]
        HostileHandler.pages["/flood.html"] = FLOOD_PAGE % repr(links).replace("'", '"')
        rc, _ = env.run("/WebShell", self.hostile_base + "/flood.html", timeout=30)
        self.assertEqual(rc, 0)
        self.wait(lambda: self.count("OpenPending:") >= 100, 60, "the hundred hand-overs")
        self.wait(lambda: self.title(wid) == "[暂停] flood 99", 60, "the last link to play")
        # A script navigation's address comes through the page's URL parser, which lower-cases
        # the scheme; the rest is the page's text.
        handed = [line[len("OpenPending:"):] for line in env.log()
                  if line.startswith("OpenPending:")]
        self.assertTrue(all(link.lower().startswith("nivra://") for link in handed))
        self.assertEqual(sorted(link.split("://", 1)[1] for link in handed),
                         sorted(link.split("://", 1)[1] for link in links),
                         "each link handed over exactly once")
        self.assert_responsive(env, proc, wid, "after the flood")


if __name__ == "__main__":
    # Further arguments name cases to run (Library.test_...).
    unittest.main(argv=sys.argv[:1] + sys.argv[2:], verbosity=2)
