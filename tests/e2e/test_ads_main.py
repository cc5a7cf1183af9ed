"""The ad scheduler inside the real main program on a real X server (Xvfb, no window manager),
against a scripted ad server on 127.0.0.1: heartbeats with the stored record ids, replies stored
byte for byte, wrong replies ignored, the mini pop-up after its tray delay and once a day, the
right pop-up held while full screen is on and switched off by "pop.ini", and what survives a
restart. The program runs from a private folder (a link to the built binary) so that its
"Heatbeat.ini" can ask for a heartbeat on every pass."""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from ad_peer import (AdPeer, MINI_REPLY_TYPE, PageServer, PopUpWatch, RIGHT_REPLY_TYPE,
                     mini_record, processes_with_env, reply, right_record)
from nivra_env import NivraEnv, start_xvfb, wait_until

BINARY = sys.argv[1] if len(sys.argv) > 1 else "nivra"
SCREEN_W, SCREEN_H = 1280, 800
WINDOW_X, WINDOW_Y = (SCREEN_W - 1005) // 2, (SCREEN_H - 648) // 2
PAGE = "<!doctype html><body style='margin:0;background:#fc0'><p>ad %s</p></body>"
HEARTBEAT_TYPE = 0x0501


def private_program(folder, binary):
    """The program in a folder of its own: a hard link when possible, else a copy."""
    os.makedirs(folder)
    target = os.path.join(folder, "nivra")
    try:
        os.link(binary, target)
    except OSError:
        shutil.copy2(binary, target)
    return target


class AdsInTheMainProgram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("Xvfb", "xdotool", "xwininfo"):
            if not shutil.which(tool):
                raise unittest.SkipTest(tool + " is needed")
        cls.xvfb, cls.display = start_xvfb(SCREEN_W, SCREEN_H)

    @classmethod
    def tearDownClass(cls):
        cls.xvfb.kill()
        cls.xvfb.wait()

    def setUp(self):
        self.www = tempfile.mkdtemp(prefix="nivra-ads-main-www-")
        self.addCleanup(shutil.rmtree, self.www, True)
        for name in ("mini.html", "right10.html", "right11.html", "check.htm"):
            with open(os.path.join(self.www, name), "w") as f:
                f.write(PAGE % name)
        self.pages = PageServer(self.www)
        self.addCleanup(self.pages.close)
        self.peer = AdPeer()
        self.addCleanup(self.peer.close)
        servers_ini = os.path.join(self.www, "Servers.ini")
        with open(servers_ini, "w") as f:
            # The connection check connects to the page server; nothing else answers.
            f.write("[Servers]\nDisplay=127.0.0.1:9\nCatalogue=127.0.0.1:9\nAd=127.0.0.1:%d\n"
                    "CheckUrl=%s\n" % (self.peer.port, self.pages.url("check.htm")))
        self.env = NivraEnv(BINARY, {
            "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "NIVRA_SERVERS": servers_ini,
            "QTWEBENGINE_DISABLE_SANDBOX": "1", "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"})
        self.marker = "NIVRA_DEBUG_LOG=" + self.env.log_path
        self.addCleanup(self.end_everything)
        bin_dir = os.path.join(self.env.root, "bin")
        self.env.binary = private_program(bin_dir, BINARY)
        with open(os.path.join(bin_dir, "Heatbeat.ini"), "w") as f:
            f.write("[Heatbeat]\nHeatbeat=-1\n")  # a heartbeat on every pass
        self.common = self.env.env["NIVRA_COMMON_DATA_DIR"]
        os.makedirs(self.common)
        self.watch = PopUpWatch(self.marker)

    def end_everything(self):
        self.watch.stop()
        self.env.close()
        # The pop-ups run in sessions of their own; they and their helpers carry the marker.
        for pid in processes_with_env(self.marker):
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass
        shutil.rmtree(self.env.root, ignore_errors=True)

    # --- helpers ------------------------------------------------------------------------

    def x(self, *args):
        return subprocess.run(args, capture_output=True, text=True, timeout=30,
                              env=dict(os.environ, DISPLAY=self.display)).stdout

    def wait(self, predicate, timeout, what):
        try:
            return wait_until(predicate, timeout, what)
        except AssertionError as e:
            raise AssertionError("%s; log:\n%s" % (e, "\n".join(self.env.log()[-30:]))) from None

    def file(self, name):
        with open(os.path.join(self.common, name), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(os.path.join(self.common, name), "wb") as f:
            f.write(data)

    def passes(self, n):
        """Waits for `n` more heartbeats: with one heartbeat a pass, `n` more passes."""
        target = self.peer.count() + n
        self.wait(lambda: self.peer.count() >= target, 15 + 5 * n, "%d more passes" % n)

    def heartbeat_ids(self, index):
        kind, one, mini, right = self.peer.ids(index)
        self.assertEqual((kind, one), (HEARTBEAT_TYPE, 1))
        return mini, right

    def main_window(self, proc):
        def find():
            for wid in self.x("xdotool", "search", "--onlyvisible", "--pid", str(proc.pid)).split():
                if "Width: 1005" in self.x("xwininfo", "-id", wid):
                    return wid
            return None
        return self.wait(find, 60, "the main window to map")

    def toggle_full_screen(self, on):
        # The shortcut works in the active window: the main window (clicked left of the centred
        # mini pop-up), then the full-screen window over the whole screen.
        self.x("xdotool", "mousemove", str(WINDOW_X + 100), str(WINDOW_Y + 300), "click", "1")
        if on:
            self.x("xdotool", "windowfocus", "--sync", self.main_wid)
        before = self.env.log().count("Ad Fulling=%s" % on)
        self.x("xdotool", "key", "ctrl+f")
        self.wait(lambda: self.env.log().count("Ad Fulling=%s" % on) > before, 20,
                  "full screen " + ("on" if on else "off"))

    def geometry(self, pid):
        def mapped():
            windows = self.x("xdotool", "search", "--onlyvisible", "--pid", str(pid)).split()
            return windows[0] if windows else None
        info = self.x("xwininfo", "-id", self.wait(mapped, 60, "the pop-up to map"))
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                value("Height"))

    # --- the case -----------------------------------------------------------------------

    def test_scheduler_in_the_main_program_over_two_runs(self):
        mini_url = self.pages.url("mini.html")
        right10, right11 = self.pages.url("right10.html"), self.pages.url("right11.html")
        # Stored records: the mini one may open once a day, nine seconds after tray mode began.
        self.write("NVRM.dat", mini_record(7, mini_url, tray_delay=9))
        self.write("NVRR.dat", right_record(9, self.pages.url("right9.html")))

        # A normal start: the window shows and the scheduler is in tray mode.
        main = self.env.start()
        self.wait(lambda: self.peer.count() >= 1, 60, "the first heartbeat")
        self.assertEqual(self.heartbeat_ids(0), (7, 9))
        self.main_wid = self.main_window(main)

        # The mini pop-up: not within its tray delay (passes 0, 3 and 6 s), then exactly once.
        self.wait(lambda: self.watch.started("/SHOWMINI"), 60, "the mini pop-up")
        seen_at, _, args = self.watch.started("/SHOWMINI")[0]
        passes_before = sum(1 for t, _ in self.peer.heartbeats if t < seen_at)
        self.assertGreaterEqual(passes_before, 3, "mini pop-up within its tray delay")
        self.assertEqual(args, ["/SHOWMINI", mini_url, "320", "240"])
        self.wait(lambda: self.pages.requests("mini.html"), 60, "the mini page's request")

        # Wrong replies: another type at a known length, one byte short or long, a heartbeat-sized
        # one, a huge one. Nothing changes and the heartbeats keep their ids.
        files = self.file("NVRM.dat"), self.file("NVRR.dat")
        newer_mini = mini_record(8, mini_url, url_tail=b"\xee tail kept")
        for datagram in (reply(RIGHT_REPLY_TYPE, newer_mini),
                         reply(MINI_REPLY_TYPE, newer_mini)[:-1],
                         reply(MINI_REPLY_TYPE, newer_mini) + b"\0",
                         reply(RIGHT_REPLY_TYPE, right_record(20, right10))[:-1],
                         bytes(12), os.urandom(60000)):
            self.peer.send(datagram)
        self.passes(2)
        self.assertEqual((self.file("NVRM.dat"), self.file("NVRR.dat")), files)
        self.assertEqual(self.heartbeat_ids(self.peer.count() - 1), (7, 9))

        # A newer mini record is stored byte for byte (the unread header word too is ignored);
        # the day's one mini window is used up, so it opens nothing.
        self.peer.send(reply(MINI_REPLY_TYPE, newer_mini, unread=b"\x12\x34"))
        self.wait(lambda: self.file("NVRM.dat") == newer_mini, 15, "the stored mini record")
        self.passes(2)
        self.assertEqual(self.heartbeat_ids(self.peer.count() - 1), (8, 9))

        # Full screen holds a newer right record; leaving it opens the pop-up once, bottom-right.
        self.toggle_full_screen(True)
        self.peer.send(reply(RIGHT_REPLY_TYPE, right_record(10, right10)))
        self.passes(3)
        self.assertEqual(self.watch.started("/SHOWAD"), [])
        self.assertEqual(self.file("NVRR.dat"), files[1])
        self.toggle_full_screen(False)
        self.wait(lambda: self.watch.started("/SHOWAD"), 30, "the right pop-up")
        _, pid, args = self.watch.started("/SHOWAD")[0]
        self.assertEqual(args, ["/SHOWAD", right10, "300", "200", "3000"])
        self.assertEqual(self.file("NVRR.dat"), right_record(10, right10))
        self.assertEqual(self.geometry(pid), (SCREEN_W - 300, SCREEN_H - 200, 300, 200))
        self.peer.send(reply(RIGHT_REPLY_TYPE, right_record(10, right10)))  # the same again
        self.passes(3)

        # "pop.ini" says no: the heartbeats go on and the record waits; without it, it opens.
        self.write("pop.ini", b"[set]\nifpop=2\n")
        self.peer.send(reply(RIGHT_REPLY_TYPE, right_record(11, right11)))
        self.passes(4)
        self.assertEqual(len(self.watch.started("/SHOWAD")), 1)
        self.assertEqual(self.file("NVRR.dat"), right_record(10, right10))
        os.remove(os.path.join(self.common, "pop.ini"))
        self.wait(lambda: len(self.watch.started("/SHOWAD")) == 2, 30, "the held right pop-up")
        self.assertEqual(self.watch.started("/SHOWAD")[1][2][1], right11)
        self.passes(2)

        self.assertEqual(len(self.watch.started("/SHOWMINI")), 1)
        self.assertEqual([len(self.pages.requests(p)) for p in
                          ("mini.html", "right10.html", "right11.html")], [1, 1, 1])

        # A second run: the stored ids go out at once, and the day's mini count survived, so the
        # stored mini record (no tray delay now) opens nothing.
        main.send_signal(signal.SIGTERM)
        self.assertEqual(main.wait(timeout=60), 0)
        counters = self.file("NVRSet.ini").decode()
        self.assertIn("TodayMiniCount=1", counters)
        self.assertIn("TodayRightCount=2", counters)
        first = self.peer.count()
        self.env.start()
        self.wait(lambda: self.peer.count() > first, 60, "the second run's heartbeat")
        self.assertEqual(self.heartbeat_ids(first), (8, 11))
        self.passes(4)
        self.assertEqual(len(self.watch.started("/SHOWMINI")), 1)
        self.assertEqual(len(self.watch.started("/SHOWAD")), 2)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
