"""The ad pop-up processes ("/SHOWAD", "/SHOWMINI") on a real X server (Xvfb, 1280x800, no
window manager) against pages served by python's http.server on 127.0.0.1: where the windows
map, what they log, when they end, the instance lock, window.close() in the page, and a private
link clicked in an ad page reaching the running main program."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from nivra_env import NivraEnv, wait_until, start_xvfb

BINARY = os.environ.get("NIVRA_BINARY", "nivra")
SCREEN_W, SCREEN_H = 1280, 800
# Where screenshots of the windows are kept (for a person to look at).
SHOTS = os.environ.get("NIVRA_E2E_SHOTS", tempfile.gettempdir())

AD_PAGE = """<!doctype html><html><body style="margin:0;background:#ffcc00;font:28px sans-serif">
<a id="play" href="Nivra://ab+c%41" style="display:block;height:100px;background:#0050c8;color:#fff">
play the film</a>
<p>Nivra ad page</p>
<script>alert('ad says hi');</script>
</body></html>"""

CLOSING_PAGE = """<!doctype html><p>closing soon</p>
<script>alert('closing soon'); setTimeout(function () { window.close(); }, 300);</script>"""


class AdWindows(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("Xvfb", "xdotool", "xwininfo", "import"):
            if not shutil.which(tool):
                raise unittest.SkipTest(tool + " is needed")
        cls.www = tempfile.mkdtemp(prefix="nivra-ads-www-")
        cls.server = subprocess.Popen(
            ["/usr/bin/python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", cls.www], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        cls.port = int(re.search(r"port (\d+)", cls.server.stdout.readline()).group(1))
        # Only this server answers: no catalogue and no ad server, so the main program of the
        # link test opens no pop-ups of its own.
        cls.servers_ini = os.path.join(cls.www, "Servers.ini")
        with open(cls.servers_ini, "w") as f:
            f.write("[Servers]\nDisplay=127.0.0.1:%d\nCatalogue=127.0.0.1:9\nAd=127.0.0.1:9\n"
                    % cls.port)
        for name, text in (("ad.html", AD_PAGE), ("closing.html", CLOSING_PAGE)):
            with open(os.path.join(cls.www, name), "w") as f:
                f.write(text)
        # A page that leaves for another host (localhost is not 127.0.0.1) before it completes.
        with open(os.path.join(cls.www, "away.html"), "w") as f:
            f.write("<!doctype html><script>location.replace('http://localhost:%d/ad.html');"
                    "</script>" % cls.port)
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
            "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "QT_LOGGING_RULES": "*.debug=false",
            "NIVRA_SERVERS": self.servers_ini,
            "QTWEBENGINE_DISABLE_SANDBOX": "1", "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"})

    def tearDown(self):
        self.env.close()

    def url(self, name, host="127.0.0.1"):
        return "http://%s:%d/%s" % (host, self.port, name)

    def x(self, *args):
        """Runs an X client on the test's display; its output."""
        return subprocess.run(args, capture_output=True, text=True, timeout=30,
                              env=dict(os.environ, DISPLAY=self.display)).stdout

    def mapped_windows(self, pid):
        """Ids of the process's mapped top-level windows."""
        return self.x("xdotool", "search", "--onlyvisible", "--pid", str(pid)).split()

    def geometry(self, window):
        info = self.x("xwininfo", "-id", window)
        value = lambda key: int(re.search(key + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                value("Height"))

    def start(self, *args):
        """Starts nivra with its error output kept in a file, for the failure message."""
        err = open(os.path.join(self.env.root, "stderr-%d.txt" % len(self.env.procs)), "w+")
        self.addCleanup(err.close)
        proc = subprocess.Popen([self.env.binary, *args], env=self.env.env,
                                stdout=subprocess.DEVNULL, stderr=err)
        proc.stderr_file = err
        self.env.procs.append(proc)
        return proc

    def details(self, proc):
        proc.stderr_file.seek(0)
        return "exit %s; log:\n%s\nerror output:\n%s" % (
            proc.returncode, "\n".join(self.env.log()), proc.stderr_file.read()[-4000:])

    def assertEndsWell(self, proc, timeout):
        self.assertEqual(proc.wait(timeout=timeout), 0, self.details(proc))

    def wait_mapped(self, proc):
        def mapped():
            if proc.poll() is not None:
                raise AssertionError("the process ended before its window mapped: " +
                                     self.details(proc))
            return self.mapped_windows(proc.pid)
        return wait_until(mapped, 60, "the window to map")[0]

    def screenshot(self, window, name):
        path = os.path.join(SHOTS, name)
        self.x("import", "-window", window, path)
        return path

    def test_ad_maps_bottom_right_logs_its_dialog_and_ends_after_its_time(self):
        started_at = time.monotonic()
        ad = self.start("/SHOWAD", self.url("ad.html"), "300", "200", "5000")
        window = self.wait_mapped(ad)
        mapped_at = time.monotonic()
        print("ad window: mapped %.2f s after the start" % (mapped_at - started_at), file=sys.stderr)
        self.assertEqual(self.geometry(window), (SCREEN_W - 300, SCREEN_H - 200, 300, 200))
        self.screenshot("root", "nivra-ad-screen.png")
        self.assertEndsWell(ad, 60)
        shown_for = time.monotonic() - mapped_at
        print("ad window: mapped for %.2f s with a display time of 5 s" % shown_for, file=sys.stderr)
        self.assertIn("OnADShowMessage:ad says hi", self.env.log())
        with open(os.path.join(self.env.root, "common", "popset.ini"), encoding="utf-8") as f:
            self.assertEqual(re.findall(r"^\[(\w+)\]", f.read(), re.M), ["trayad"])

    def test_a_second_ad_ends_at_once_while_one_runs(self):
        first = self.start("/SHOWAD", self.url("ad.html"), "300", "200", "600000")
        self.wait_mapped(first)
        rc, seconds = self.env.run("/SHOWAD", self.url("ad.html"), "300", "200", "5000")
        self.assertEqual(rc, 0)
        print("second /SHOWAD ended after %.2f s" % seconds, file=sys.stderr)
        self.assertIsNone(first.poll())
        self.assertEqual(self.env.log().count("OnADShowMessage:ad says hi"), 1)

    def test_window_close_in_the_page_ends_the_process(self):
        ad = self.start("/SHOWAD", self.url("closing.html"), "300", "200", "600000", "/f")
        self.assertEndsWell(ad, 60)  # long before its display time
        self.assertIn("OnADShowMessage:closing soon", self.env.log())
        # Started for the background service ("/f"): the service's stamp.
        with open(os.path.join(self.env.root, "common", "popset.ini"), encoding="utf-8") as f:
            self.assertEqual(re.findall(r"^\[(\w+)\]", f.read(), re.M), ["svcadad"])

    def test_a_clicked_private_link_reaches_the_running_main_program(self):
        self.env.start_first()
        ad = self.start("/SHOWAD", self.url("ad.html"), "300", "200", "600000")
        window = self.wait_mapped(ad)
        left, top, _, _ = self.geometry(window)
        self.x("xdotool", "mousemove", str(left + 100), str(top + 40), "click", "1")
        lines = self.env.wait_for(lambda l: any(x.startswith("OpenPending:") for x in l), timeout=60)
        self.assertIn("OpenPending:Nivra://ab cA", lines)
        self.assertIsNone(ad.poll())  # the ad stays

    def test_mini_shows_centred_for_its_host(self):
        mini = self.start("/SHOWMINI", self.url("ad.html"), "640", "420")
        window = self.wait_mapped(mini)
        self.assertEqual(self.geometry(window),
                         ((SCREEN_W - 640) // 2, (SCREEN_H - 420) // 2, 640, 420))
        self.assertIn("OnMiniDocumentComplete:Form show", self.env.log())
        self.assertIn("OnMiniShowMessage:ad says hi", self.env.log())
        self.screenshot(window, "nivra-mini-window.png")
        # A second mini window while this one is open ends at once.
        self.assertEqual(self.env.run("/SHOWMINI", self.url("ad.html"), "640", "420")[0], 0)
        self.assertEqual(self.env.log().count("OnMiniDocumentComplete:Form show"), 1)

    def test_mini_page_from_another_host_never_maps(self):
        mini = self.start("/SHOWMINI", self.url("away.html"), "640", "420")
        ever_mapped = False
        deadline = time.monotonic() + 60
        while mini.poll() is None and time.monotonic() < deadline:
            ever_mapped = ever_mapped or bool(self.mapped_windows(mini.pid))
            time.sleep(0.02)
        self.assertEndsWell(mini, 1)
        self.assertFalse(ever_mapped)
        # The other host's page did load: its dialog was logged.
        self.assertIn("OnMiniShowMessage:ad says hi", self.env.log())
        self.assertNotIn("OnMiniDocumentComplete:Form show", self.env.log())


if __name__ == "__main__":
    if len(sys.argv) > 1:
        BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
