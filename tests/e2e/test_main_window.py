"""The main window on a real X server (Xvfb, 1280x800, no window manager), with media made by
GStreamer at test time and the pre-roll pages on a local display server: files and private
links play behind the pre-roll page and then in the player page, the caption follows, the item
ends, hand-overs reach the running window, and the open-URL dialog refuses what is no link."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from nivra_env import NivraEnv, start_xvfb

BINARY = sys.argv[1] if len(sys.argv) > 1 else "nivra"
TOOL = os.path.join(os.path.dirname(BINARY), "nivra-tool")
SCREEN_W, SCREEN_H = 1280, 800
SHOTS = os.environ.get("NIVRA_E2E_SHOTS", tempfile.gettempdir())
# The window is centred on the screen; the player's picture area starts below the title bar.
WINDOW_X, WINDOW_Y = (SCREEN_W - 1005) // 2, (SCREEN_H - 648) // 2
# A strip of the picture left of the centred 480-pixel pre-roll page.
PICTURE_STRIP = (WINDOW_X + 60, WINDOW_Y + 120, 120, 300)

PRE_ROLL_PAGE = """<!doctype html><html><body style="margin:0;background:#203060;color:#fff">
<h1 style="font:32px sans-serif;text-align:center;margin-top:140px">pre-roll</h1></body></html>"""

VIDEO_PAGE = """<!doctype html><html><head><title>web clip</title></head><body>
<video src="/clip.webm" controls></video></body></html>"""


def gst(*pipeline):
    subprocess.run(["gst-launch-1.0", "-q", *pipeline], check=True, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def has_element(name):
    return subprocess.run(["gst-inspect-1.0", name], stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0


def make_media(folder):
    """Colour bars and a tone: WebM (6 s), Ogg, MP4 when H.264 can be encoded, WAV."""
    bars = ["videotestsrc", "num-buffers=150", "pattern=smpte", "!",
            "video/x-raw,width=320,height=240,framerate=25/1"]
    files = {}
    files["webm"] = os.path.join(folder, "clip.webm")
    gst(*bars, "!", "vp8enc", "deadline=1", "!", "webmmux", "!", "filesink",
        "location=" + files["webm"])
    files["ogg"] = os.path.join(folder, "bars.ogg")
    gst(*bars, "!", "theoraenc", "!", "oggmux", "!", "filesink", "location=" + files["ogg"])
    if has_element("x264enc"):
        files["mp4"] = os.path.join(folder, "bars.mp4")
        gst(*bars, "!", "x264enc", "!", "mp4mux", "!", "filesink", "location=" + files["mp4"])
    files["wav"] = os.path.join(folder, "tone.wav")
    gst("audiotestsrc", "num-buffers=100", "!", "wavenc", "!", "filesink",
        "location=" + files["wav"])
    return files


def wait_until(predicate, timeout, what):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)


class MainWindow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("Xvfb", "xdotool", "/usr/bin/import", "gst-launch-1.0"):
            if not shutil.which(tool):
                raise unittest.SkipTest(tool + " is needed")
        cls.www = tempfile.mkdtemp(prefix="nivra-main-www-")
        cls.media = make_media(cls.www)
        for name, text in (("zanting.html", PRE_ROLL_PAGE), ("huanchong.html", PRE_ROLL_PAGE),
                           ("video.html", VIDEO_PAGE)):
            with open(os.path.join(cls.www, name), "w") as f:
                f.write(text)
        cls.server = subprocess.Popen(
            ["/usr/bin/python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", cls.www], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        cls.port = int(re.search(r"port (\d+)", cls.server.stdout.readline()).group(1))
        cls.servers_ini = os.path.join(cls.www, "Servers.ini")
        with open(cls.servers_ini, "w") as f:
            # No catalogue and no ad server: only the display server answers.
            f.write("[Servers]\nDisplay=127.0.0.1:%d\nCatalogue=127.0.0.1:9\nAd=127.0.0.1:9\n"
                    % cls.port)
        cls.xvfb, cls.display = start_xvfb(SCREEN_W, SCREEN_H)

    @classmethod
    def tearDownClass(cls):
        cls.server.kill()
        cls.server.wait()
        cls.xvfb.kill()
        cls.xvfb.wait()
        shutil.rmtree(cls.www, ignore_errors=True)

    def setUp(self):
        self.env = NivraEnv(BINARY, {
            "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "NIVRA_SERVERS": self.servers_ini,
            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"})

    def tearDown(self):
        self.env.close()

    # --- the X side ---------------------------------------------------------------------

    def x(self, *args):
        return subprocess.run(args, capture_output=True, text=True, timeout=30,
                              env=dict(os.environ, DISPLAY=self.display)).stdout

    def main_window(self, proc):
        """The id of the process's mapped 1005-pixel-wide window."""
        def find():
            for wid in self.x("xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)).split():
                if "Width: 1005" in self.x("xwininfo", "-id", wid):
                    return wid
            return None
        return wait_until(find, 60, "the main window to map")

    def title(self, wid):
        return self.x("xdotool", "getwindowname", wid).strip()

    def grab_screen(self, target):
        """Writes the whole screen to `target` (a file, "ppm:-" for standard output) and gives
        what the grab wrote to standard output. The root window is read in one piece: xwd reads
        the windows of each visual and colormap from the lowest of them, and Qt gives its windows
        a colormap of their own, so xwd shows a process's upper windows (its dialogs) black."""
        return subprocess.run(["/usr/bin/import", "-silent", "-window", "root", "-depth", "8",
                               target], env=dict(os.environ, DISPLAY=self.display),
                              capture_output=True, timeout=30, check=True).stdout

    def screen(self):
        """The whole screen as (width, height, RGB bytes)."""
        ppm = self.grab_screen("ppm:-")
        header = re.match(rb"P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+255\s", ppm)
        return int(header.group(1)), int(header.group(2)), ppm[header.end():]

    def lit_share(self, area):
        """Share of the pixels of `area` (x, y, w, h) that are not black (the bars are bright,
        the empty player is black)."""
        width, _, rgb = self.screen()
        x0, y0, w, h = area
        coloured = 0
        for y in range(y0, y0 + h, 4):
            for x in range(x0, x0 + w, 4):
                r, g, b = rgb[3 * (y * width + x):3 * (y * width + x) + 3]
                coloured += max(r, g, b) > 60
        return coloured / ((w // 4) * (h // 4))

    def skin_drawn(self, area):
        """Whether the skinned dialog at `area` (x, y, w, h) shows on the screen: its 30-pixel
        caption bar grey (neither black nor bright) over most of its width, and light text (the
        caption, the labels, the buttons) in it."""
        width, _, rgb = self.screen()

        def pixels(x0, y0, w, h):
            for y in range(y0, y0 + h):
                for x in range(x0, x0 + w):
                    yield rgb[3 * (y * width + x):3 * (y * width + x) + 3]

        x0, y0, w, h = area
        bar = list(pixels(x0 + 4, y0 + 2, w - 8, 26))
        grey = sum(0x18 <= min(p) and max(p) <= 0x60 for p in bar) / len(bar)
        light = sum(min(p) >= 0xb0 for p in pixels(x0, y0, w, h))
        return grey > 0.8 and light >= 200

    def save_screen(self, name):
        time.sleep(1)  # the newest window draws its first frame
        path = os.path.join(SHOTS, name)
        self.grab_screen(path)
        return path

    def wait(self, predicate, timeout, what):
        try:
            return wait_until(predicate, timeout, what)
        except AssertionError as e:
            raise AssertionError("%s; log:\n%s" % (e, "\n".join(self.env.log()[-30:]))) from None

    def has(self, text):
        return lambda: any(text in line for line in self.env.log())

    # --- cases --------------------------------------------------------------------------

    def test_a_file_plays_behind_the_pre_roll_page_then_in_the_player_and_ends(self):
        proc = self.env.start_first("/Open", self.media["webm"])
        wid = self.main_window(proc)
        self.wait(self.has("PlayerPause"), 30, "the first play to pause for the pre-roll page")
        self.wait(lambda: self.title(wid) == "[暂停] clip", 15, "the paused caption")
        # The picture shows beside the pre-roll page while the count-down runs.
        self.wait(lambda: self.lit_share(PICTURE_STRIP) > 0.5, 15, "the picture")
        self.save_screen("nivra-main-preroll.png")
        self.wait(self.has("KillTimer"), 25, "the 15-second count-down to end")
        self.wait(lambda: self.title(wid) == "[正在播放] clip", 10, "the playing caption")
        # Space pauses and resumes wherever the focus is in the window; after the count-down a
        # pause shows no new count-down.
        self.x("xdotool", "mousemove", str(WINDOW_X + 400), str(WINDOW_Y + 300), "click", "1")
        self.x("xdotool", "key", "space")
        self.wait(lambda: self.title(wid) == "[暂停] clip", 10, "the pause by Space")
        self.x("xdotool", "key", "space")
        self.wait(lambda: self.title(wid) == "[正在播放] clip", 10, "the resume by Space")
        self.wait(self.has("Player1PlayEnd"), 20, "the end of the file")
        self.wait(self.has("psStop"), 10, "the stop")
        self.wait(lambda: self.title(wid) == "Nivra", 10, "the idle caption")
        log = self.env.log()
        self.assertLess(log.index("PlayerPause"), log.index("KillTimer"))

    def test_other_formats_show_their_picture_and_a_hand_over_opens_in_the_running_window(self):
        proc = self.env.start_first("/Open", self.media["ogg"])
        wid = self.main_window(proc)
        self.wait(lambda: self.title(wid) == "[暂停] bars", 30, "the Ogg file's caption")
        self.wait(lambda: self.lit_share(PICTURE_STRIP) > 0.5, 15, "the Ogg picture")
        for kind in ("mp4", "wav"):
            if kind not in self.media:
                print("no H.264 encoder here: MP4 not tried", file=sys.stderr)
                continue
            rc, _ = self.env.run("/Open", "file://" + self.media[kind])
            self.assertEqual(rc, 0)
            name = os.path.splitext(os.path.basename(self.media[kind]))[0]
            self.wait(lambda: self.title(wid) == "[暂停] " + name, 30, kind + " caption")
            self.wait(self.has("OpenFile:" + self.media[kind]), 5, kind + " opened")
        self.assertEqual(proc.poll(), None)
        self.assertEqual(len(self.x("xdotool", "search", "--onlyvisible", "--name", "Nivra|暂停")
                             .split()) >= 1, True)

    def test_a_private_link_handed_over_plays_and_lands_in_the_history(self):
        link = subprocess.run(
            [TOOL, "link", "encode", "video|web clip|0|http://127.0.0.1:%d/video.html" % self.port],
            capture_output=True, text=True, check=True).stdout.strip()
        proc = self.env.start_first()
        wid = self.main_window(proc)
        rc, _ = self.env.run(link)
        self.assertEqual(rc, 0)
        self.wait(self.has("OpenPending:" + link), 15, "the hand-over")
        self.wait(lambda: self.title(wid) == "[暂停] web clip", 60, "the link's caption")
        self.wait(lambda: self.lit_share(PICTURE_STRIP) > 0.5, 30, "the page's video")
        history = os.path.join(self.env.env["XDG_DATA_HOME"], "Nivra", "His1.dat")

        def stored():
            try:
                with open(history, encoding="utf-8", errors="replace") as f:
                    return link in f.read()
            except FileNotFoundError:
                return False
        try:
            self.wait(stored, 30, "the link in His1.dat")
        except AssertionError:
            files = os.listdir(os.path.dirname(history)) if os.path.isdir(
                os.path.dirname(history)) else []
            raise AssertionError("His1.dat lacks the link; folder: %s; file:\n%s" % (
                files, open(history, errors="replace").read() if os.path.exists(history) else "-"))

    def test_open_url_dialog_refuses_what_is_no_private_link(self):
        proc = self.env.start_first()
        wid = self.main_window(proc)
        self.x("xdotool", "mousemove", str(WINDOW_X + 400), str(WINDOW_Y + 300), "click", "1")
        self.x("xdotool", "key", "ctrl+u")
        dialog = self.wait(lambda: self.x("xdotool", "search", "--onlyvisible", "--name",
                                           "^打开URL$").split(), 20, "the open-URL dialog")[0]
        self.wait(lambda: self.skin_drawn(self.geometry(dialog)), 15, "the dialog's skin")
        self.save_screen("nivra-open-url.png")
        # Synthetic events are refused by Qt: the keys go to the focused window.
        self.x("xdotool", "windowfocus", "--sync", dialog)
        self.x("xdotool", "type", "hello")
        self.x("xdotool", "key", "Return")
        self.wait(self.has("ShowError:非法地址!"), 15, "the refusal")

    def dialog(self, name):
        """The mapped dialog window of that title and its top-left corner on the screen."""
        wid = self.wait(lambda: self.x("xdotool", "search", "--onlyvisible", "--name",
                                       "^%s$" % name).split(), 20, "the dialog " + name)[0]
        info = self.x("xwininfo", "-id", wid)
        corner = [int(re.search(key + r":\s+(-?\d+)", info).group(1))
                  for key in ("Absolute upper-left X", "Absolute upper-left Y")]
        return wid, corner

    def click(self, x, y):
        self.x("xdotool", "mousemove", str(x), str(y), "click", "1")

    def test_close_button_asks_first_cancel_keeps_the_window_and_exit_ends_the_program(self):
        proc = self.env.start_first()
        wid = self.main_window(proc)
        close_button = (WINDOW_X + 1005 - 6 - 14, WINDOW_Y + 17)
        self.click(*close_button)
        query, (qx, qy) = self.dialog("关闭提示")
        self.wait(lambda: self.skin_drawn(self.geometry(query)), 15, "the query's skin")
        self.save_screen("nivra-close-query.png")
        self.click(qx + 270, qy + 161)  # "取消"
        self.wait(lambda: not self.x("xdotool", "search", "--onlyvisible", "--name",
                                     "^关闭提示$").strip(), 10, "the query to close")
        self.assertIsNone(proc.poll())
        self.assertIn(wid, self.x("xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)))
        self.click(*close_button)
        query, (qx, qy) = self.dialog("关闭提示")
        self.click(qx + 80, qy + 107)   # "退出应用程序"
        self.click(qx + 190, qy + 161)  # "确定"
        self.assertEqual(proc.wait(timeout=30), 0)
        setup = os.path.join(self.env.env["XDG_DATA_HOME"], "Nivra", "Setup.ini")
        with open(setup, encoding="utf-8", errors="replace") as f:
            self.assertIn("rbClose=1", f.read().replace(" ", ""))

    def geometry(self, wid):
        info = self.x("xwininfo", "-id", wid)
        return tuple(int(re.search(key + r":\s+(-?\d+)", info).group(1))
                     for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                 "Height"))

    def drag(self, start, end):
        """A left-button drag at a hand's pace."""
        self.x("xdotool", "mousemove", str(start[0]), str(start[1]), "mousedown", "1")
        for step in (1, 2, 3):
            time.sleep(0.1)
            self.x("xdotool", "mousemove", str(start[0] + (end[0] - start[0]) * step // 3),
                   str(start[1] + (end[1] - start[1]) * step // 3))
        time.sleep(0.1)
        self.x("xdotool", "mouseup", "1")

    def test_without_a_window_manager_the_frame_moves_sizes_and_maximises(self):
        proc = self.env.start_first()
        wid = self.main_window(proc)
        x, y, w, h = self.geometry(wid)
        self.assertEqual((w, h), (1005, 648))
        # The title bar moves the window.
        self.drag((x + 300, y + 17), (x + 340, y + 47))
        self.wait(lambda: self.geometry(wid)[:2] == (x + 40, y + 30), 10, "the move")
        x, y = x + 40, y + 30
        # The borders size it, never below 1005 x 648 (the corners themselves are cut round).
        right, bottom = (x + w - 2, y + h // 2), (x + w // 2, y + h - 2)
        self.drag(right, (right[0] - 200, right[1]))
        self.drag(bottom, (bottom[0], bottom[1] - 100))
        time.sleep(0.5)
        self.assertEqual(self.geometry(wid), (x, y, 1005, 648))
        self.drag(right, (right[0] + 60, right[1]))
        self.wait(lambda: self.geometry(wid) == (x, y, 1065, 648), 10, "the wider window")
        self.drag(bottom, (bottom[0], bottom[1] + 40))
        self.wait(lambda: self.geometry(wid) == (x, y, 1065, 688), 10, "the taller window")
        # A double click on the title maximises to the work area and back.
        self.x("xdotool", "mousemove", str(x + 300), str(y + 17), "click", "--repeat", "2", "1")
        self.wait(lambda: self.geometry(wid) == (0, 0, SCREEN_W, SCREEN_H), 10, "maximised")
        self.x("xdotool", "mousemove", "300", "17", "click", "--repeat", "2", "1")
        self.wait(lambda: self.geometry(wid) == (x, y, 1065, 688), 10, "restored")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
