"""The program in the desktop, on a real X server (Xvfb, no window manager) with a private
session bus per test and the system bus pointed at a dead address: the URL protocol in the
user's hive and the desktop entries, links opened with xdg-open, a moved program registering
again, the MPRIS service driven with dbus-send, the boss key as a global key grab, the
screen saver held off while full screen plays, and the scheduled-shutdown dialog's refusals."""

import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import unittest

from nivra_env import NivraEnv, start_xvfb, wait_until
from test_main_window import PRE_ROLL_PAGE, gst

BINARY = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "nivra")
BIN_DIR = os.path.dirname(BINARY)
TOOL = os.path.join(BIN_DIR, "nivra-tool")
FAKE_SERVICE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "desktop",
                            "scripts", "fake_desktop_service.py")
SCREEN_W, SCREEN_H = 1280, 800
MAIN_WIDTH = 1005
# Points in the main window (shares of its width and height): the picture, and the library
# panel's list beside it.
PICTURE = (0.4, 0.4)
LIBRARY_LIST = (0.9, 0.35)
MENU_BUTTON = (0.8955, 0.026)
# Points in the shutdown dialog, in pixels.
SHUT_DOWN = {"active": (30, 83), "year": (113, 116), "month": (173, 116), "ok": (280, 173),
             "cancel": (360, 173)}
ERROR_OK = (290, 153)
# Variables that would make xdg-open hand the link to a desktop's own opener.
DESKTOP_VARIABLES = ("XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                     "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "BROWSER")

MPRIS_NAME = "org.mpris.MediaPlayer2.nivra"
MPRIS_PATH = "/org/mpris/MediaPlayer2"
PLAYER_IFACE = "org.mpris.MediaPlayer2.Player"


def read_reg_file(path):
    """A .reg text as {key path: [(value name, data)]} in file order; the default value is
    named "" (written @=), a value literally named "@" is written "@"=."""
    keys, current = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            section = re.fullmatch(r"\[(.*)\]", line)
            if section:
                current = keys.setdefault(section.group(1), [])
                continue
            if current is None or not line:
                continue
            m = re.fullmatch(r'(@|"((?:[^"\\]|\\.)*)")=(.*)', line)
            name = "" if m.group(1) == "@" else re.sub(r"\\(.)", r"\1", m.group(2))
            data = m.group(3)
            if data.startswith('"'):
                data = re.sub(r"\\(.)", r"\1", data[1:-1])
            current.append((name, data))
    return keys


def desktop_entry(path):
    """The [Desktop Entry] group of a desktop file as a dict."""
    values, in_group = {}, False
    with open(path, encoding="utf-8") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                in_group = line == "[Desktop Entry]"
            elif in_group and "=" in line:
                key, value = line.split("=", 1)
                values[key] = value
    return values


class LineReader:
    """Collects the lines a child process prints, on a thread of its own."""

    def __init__(self, proc):
        self.proc, self.lines = proc, []
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        with self.proc.stdout:
            for line in self.proc.stdout:
                self.lines.append(line.rstrip("\n"))


class Desktop(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for tool in ("Xvfb", "xdotool", "xwininfo", "dbus-daemon", "dbus-send", "xdg-open",
                     "xdg-mime", "gst-launch-1.0"):
            if not shutil.which(tool):
                raise unittest.SkipTest(tool + " is needed")
        cls.www = tempfile.mkdtemp(prefix="nivra-desktop-www-")
        # Long enough to keep playing through the 15-second pre-roll count-down and the checks.
        cls.clip = os.path.join(cls.www, "clip.webm")
        gst("videotestsrc", "num-buffers=1500", "pattern=smpte", "!",
            "video/x-raw,width=320,height=240,framerate=25/1", "!", "vp8enc", "deadline=1", "!",
            "webmmux", "!", "filesink", "location=" + cls.clip)
        for name in ("zanting.html", "huanchong.html"):
            with open(os.path.join(cls.www, name), "w") as f:
                f.write(PRE_ROLL_PAGE)
        cls.server = subprocess.Popen(
            ["/usr/bin/python3", "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", cls.www], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        cls.port = int(re.search(r"port (\d+)", cls.server.stdout.readline()).group(1))
        cls.servers_ini = os.path.join(cls.www, "Servers.ini")
        with open(cls.servers_ini, "w") as f:
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
        self.children = []
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    stdout=subprocess.PIPE, text=True)
        self.children.append(self.bus)
        bus_address = self.bus.stdout.readline().strip()
        self.env = NivraEnv(BINARY, {
            "DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "NIVRA_SERVERS": self.servers_ini,
            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu",
            "DBUS_SESSION_BUS_ADDRESS": bus_address,
            # Nothing listens there: no test reaches the machine's system bus.
            "DBUS_SYSTEM_BUS_ADDRESS": "unix:path=" + os.path.join(tempfile.gettempdir(),
                                                                    "nivra-no-system-bus")})
        for name in DESKTOP_VARIABLES:
            self.env.env.pop(name, None)

    def tearDown(self):
        self.env.close()
        for p in reversed(self.children):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except (PermissionError, ProcessLookupError):
                    p.kill()
            p.wait()
        self.bus.stdout.close()
        shutil.rmtree(self.env.root, ignore_errors=True)

    def child(self, args, **kwargs):
        """A helper process in a group of its own, killed with everything it started."""
        p = subprocess.Popen(args, env=self.env.env, start_new_session=True, **kwargs)
        self.children.append(p)
        return p

    # --- the X side ---------------------------------------------------------------------

    def x(self, *args):
        return subprocess.run(args, capture_output=True, text=True, timeout=30,
                              env=dict(os.environ, DISPLAY=self.display)).stdout

    def visible_main_windows(self, pid=None):
        """Ids of mapped 1005-pixel-wide windows (of process `pid` if given)."""
        search = ["xdotool", "search", "--onlyvisible"]
        search += ["--pid", str(pid)] if pid else ["--name", "."]
        return [wid for wid in self.x(*search).split()
                if "Width: %d" % MAIN_WIDTH in self.x("xwininfo", "-id", wid)]

    def windows_of(self, pid):
        return self.x("xdotool", "search", "--onlyvisible", "--pid", str(pid)).split()

    def main_window(self, pid):
        return self.wait(lambda: (self.visible_main_windows(pid) or [None])[0], 60,
                         "the main window to map")

    def title(self, wid):
        return self.x("xdotool", "getwindowname", wid).strip()

    def geometry(self, wid):
        """(left, top, width, height) of window `wid` on the screen."""
        info = self.x("xwininfo", "-id", wid)
        return tuple(int(re.search(label + r":\s+(-?\d+)", info).group(1))
                     for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                   "Height"))

    def click(self, wid, x, y):
        """A click at (x, y) pixels from the top left corner of window `wid`."""
        left, top, _, _ = self.geometry(wid)
        self.x("xdotool", "mousemove", str(left + x), str(top + y), "click", "1")

    def press(self, wid, key, at=(0.5, 0.5)):
        """`key` to window `wid` through the focus, given by a click into the window at `at`
        (shares of its width and height): Qt refuses synthetic events and there is no window
        manager to activate it."""
        _, _, width, height = self.geometry(wid)
        self.click(wid, int(width * at[0]), int(height * at[1]))
        self.x("xdotool", "key", key)

    def wait(self, predicate, timeout, what):
        try:
            return wait_until(predicate, timeout, what)
        except AssertionError as e:
            raise AssertionError("%s; log:\n%s" % (e, "\n".join(self.env.log()[-30:]))) from None

    def has(self, text):
        return lambda: any(text in line for line in self.env.log())

    def start_playing(self, while_paused=None):
        """Starts the program on the clip and waits until the pre-roll count-down is over and
        the clip plays, calling `while_paused` during the count-down; (process, main window)."""
        proc = self.env.start_first("/Open", self.clip)
        wid = self.main_window(proc.pid)
        self.wait(lambda: self.title(wid) == "[暂停] clip", 60, "the paused caption")
        if while_paused:
            while_paused()
        self.wait(self.has("KillTimer"), 40, "the 15-second count-down to end")
        self.wait(lambda: self.title(wid) == "[正在播放] clip", 20, "the playing caption")
        return proc, wid

    # --- the session bus ----------------------------------------------------------------

    def dbus_send(self, *args):
        run = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=" + MPRIS_NAME,
                              MPRIS_PATH, *args], env=self.env.env, capture_output=True,
                             text=True, timeout=30)
        self.assertEqual(run.returncode, 0, run.stderr)
        return run.stdout

    def mpris(self, method):
        self.dbus_send(PLAYER_IFACE + "." + method)

    def mpris_property(self, name):
        return self.dbus_send("org.freedesktop.DBus.Properties.Get", "string:" + PLAYER_IFACE,
                              "string:" + name)

    def playback_status(self):
        m = re.search(r'string "(\w+)"', self.mpris_property("PlaybackStatus"))
        return m.group(1) if m else None

    # --- cases --------------------------------------------------------------------------

    def registered_hive(self):
        return os.path.join(self.env.env["XDG_CONFIG_HOME"], "Nivra", "registry", "HKCR.reg")

    def protocol_keys(self):
        """The hive's keys under Nivra, or None while the hive is not written."""
        path = self.registered_hive()
        if not os.path.exists(path):
            return None
        keys = read_reg_file(path)
        return {k: v for k, v in keys.items()
                if k == "HKEY_CLASSES_ROOT\\Nivra" or k.startswith("HKEY_CLASSES_ROOT\\Nivra\\")}

    @staticmethod
    def expected_protocol_keys(program):
        root = "HKEY_CLASSES_ROOT\\Nivra"
        return {
            root: [("", "URL:Nivra Protocol"), ("@", "URL:Nivra Protocol"), ("Version", "1.0"),
                   ("URL Protocol", "")],
            root + "\\DefaultIcon": [("", program)],
            root + "\\Shell": [],
            root + "\\Shell\\Open": [],
            root + "\\Shell\\Open\\Command": [("", '"%s" "%%1"' % program)],
        }

    def assert_desktop_side(self, program):
        apps = os.path.join(self.env.env["XDG_DATA_HOME"], "applications")
        handler = desktop_entry(os.path.join(apps, "nivra-url.desktop"))
        self.assertIn("x-scheme-handler/nivra", handler["MimeType"].split(";"))
        self.assertEqual(shlex.split(handler["Exec"]), [program, "%u"])
        player = desktop_entry(os.path.join(apps, "nivra.desktop"))
        self.assertEqual(shlex.split(player["Exec"]), [program, "/Open", "%F"])
        self.assertIn("video/webm", player["MimeType"].split(";"))
        for scheme in ("nivra", "Nivra"):
            query = subprocess.run(["xdg-mime", "query", "default", "x-scheme-handler/" + scheme],
                                   env=self.env.env, capture_output=True, text=True, timeout=30)
            self.assertEqual(query.stdout.strip(), "nivra-url.desktop", scheme)

    def xdg_open(self, link):
        """xdg-open of `link`, its trace kept for the failure message."""
        trace = os.path.join(self.env.root, "xdg-open.txt")
        with open(trace, "a") as out:
            proc = self.child(["sh", "-x", shutil.which("xdg-open"), link], stdout=out,
                              stderr=out)
        return proc, trace

    def wait_for_link(self, link, trace, since=0):
        def opened():
            return any(("OpenPending:" + link) in line for line in self.env.log()[since:])
        try:
            wait_until(opened, 90, "the link to open")
        except AssertionError:
            with open(trace) as f:
                raise AssertionError("the link did not open; log:\n%s\nxdg-open:\n%s" % (
                    "\n".join(self.env.log()[-30:]), f.read()[-4000:])) from None

    def moved_program(self):
        """A second install folder: a real copy of the program (its own path is what it
        registers) beside links to everything else it loads."""
        folder = os.path.join(self.env.root, "moved")
        os.makedirs(folder)
        for name in os.listdir(BIN_DIR):
            target = os.path.join(folder, name)
            if name == os.path.basename(BINARY):
                shutil.copy2(BINARY, target)
            else:
                os.symlink(os.path.join(BIN_DIR, name), target)
        return os.path.join(folder, os.path.basename(BINARY))

    def test_url_protocol_registers_opens_links_in_the_running_window_and_follows_a_move(self):
        proc = self.env.start_first()
        self.main_window(proc.pid)
        program = os.path.realpath(BINARY)
        self.wait(lambda: self.protocol_keys() == self.expected_protocol_keys(program), 30,
                  "the protocol keys")
        self.assert_desktop_side(program)

        link = subprocess.run([TOOL, "link", "encode", "file|clip|0|" + self.clip],
                              capture_output=True, text=True, check=True).stdout.strip()
        self.assertTrue(link.startswith("Nivra://"), link)
        opener, trace = self.xdg_open(link)
        self.wait_for_link(link, trace)
        self.assertEqual(opener.wait(timeout=30), 0)
        # The started program handed the link over and ended; no second window came up.
        self.assertEqual(self.env.log().count("RunTray"), 1)
        self.assertIsNone(proc.poll())

        # The same user starts a copy from another folder: it registers its own path.
        proc.kill()
        proc.wait()
        moved = self.moved_program()
        self.env.binary = moved
        moved_proc = self.env.start()
        self.wait(lambda: self.protocol_keys() == self.expected_protocol_keys(moved), 60,
                  "the protocol keys of the moved program")
        self.assert_desktop_side(moved)
        self.main_window(moved_proc.pid)
        moved_proc.kill()
        moved_proc.wait()
        self.wait(lambda: not self.visible_main_windows(), 20, "the moved program's window to go")

        # With no program running, the link starts the moved one.
        before = len(self.env.log())
        _, trace = self.xdg_open(link)
        wid = self.wait(lambda: (self.visible_main_windows() or [None])[0], 60,
                        "a window started by the link")
        pid = self.x("xdotool", "getwindowpid", wid).strip()
        self.assertEqual(os.path.realpath("/proc/%s/exe" % pid), moved)
        self.wait_for_link(link, trace, before)

    def test_mpris_drives_playback_and_reports_its_state(self):
        proc, wid = self.start_playing(
            # The pre-roll page holds the first play paused.
            lambda: self.assertEqual(self.playback_status(), "Paused"))
        self.assertEqual(self.playback_status(), "Playing")
        self.assertIn('string "clip"', self.mpris_property("Metadata"))
        self.mpris("PlayPause")
        self.wait(lambda: self.title(wid) == "[暂停] clip", 20, "the pause by PlayPause")
        self.assertEqual(self.playback_status(), "Paused")
        self.mpris("PlayPause")
        self.wait(lambda: self.title(wid) == "[正在播放] clip", 20, "the resume by PlayPause")
        self.assertEqual(self.playback_status(), "Playing")
        self.mpris("Pause")
        self.wait(lambda: self.title(wid) == "[暂停] clip", 20, "the pause by Pause")
        self.mpris("Play")
        self.wait(lambda: self.title(wid) == "[正在播放] clip", 20, "the resume by Play")
        self.mpris("Stop")
        self.wait(self.has("psStop"), 20, "the stop")
        self.wait(lambda: self.playback_status() == "Stopped", 20, "the Stopped status")
        self.assertIsNone(proc.poll())

    def test_boss_key_hides_and_pauses_then_brings_the_window_back(self):
        proc, wid = self.start_playing()
        # The grab is global: the key works wherever the focus is.
        self.x("xdotool", "key", "ctrl+alt+b")
        self.wait(lambda: not self.visible_main_windows(proc.pid), 20, "the window to hide")
        self.wait(lambda: self.playback_status() == "Paused", 20, "the pause")
        self.x("xdotool", "key", "ctrl+alt+b")
        self.wait(lambda: self.visible_main_windows(proc.pid), 20, "the window to come back")
        # Shown again, the paused clip plays on.
        self.wait(lambda: self.title(wid) == "[正在播放] clip", 20, "the playing caption")
        self.wait(lambda: self.playback_status() == "Playing", 20, "the Playing status")
        self.assertIsNone(proc.poll())

    def window_named(self, name):
        return self.wait(lambda: self.x("xdotool", "search", "--onlyvisible", "--name",
                                        "^%s$" % name).split(), 20, "the window " + name)[0]

    def window_gone(self, name):
        return not self.x("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name).strip()

    def test_shut_down_dialog_from_the_main_menu_refuses_bad_times_and_cancels(self):
        proc = self.env.start_first()
        wid = self.main_window(proc.pid)
        shown = set(self.windows_of(proc.pid))
        _, _, width, height = self.geometry(wid)
        self.click(wid, int(width * MENU_BUTTON[0]), int(height * MENU_BUTTON[1]))
        self.wait(lambda: set(self.windows_of(proc.pid)) - shown, 20, "the main menu")
        # The fourth item of the menu is the scheduled shutdown.
        self.x("xdotool", "key", "Down", "Down", "Down", "Down", "Return")
        dialog = self.window_named("定时关机")
        self.click(dialog, *SHUT_DOWN["active"])
        for field, text, error in (
                ("year", "2000", "ShowError:关机时间设置不对，不能小于当前时间"),
                ("month", "13", "ShowError:请检查你的日期是否正确!")):
            self.click(dialog, *SHUT_DOWN[field])
            self.x("xdotool", "key", "ctrl+a")
            self.x("xdotool", "type", text)
            self.click(dialog, *SHUT_DOWN["ok"])
            self.wait(self.has(error), 20, error)
            self.click(self.window_named("错误提示"), *ERROR_OK)
            self.wait(lambda: self.window_gone("错误提示"), 20, "the error to close")
        # A refused time leaves the dialog open; cancelling it schedules nothing.
        self.click(dialog, *SHUT_DOWN["cancel"])
        self.wait(lambda: self.window_gone("定时关机"), 20, "the dialog to close")
        self.assertFalse(self.has("ShutDownScheduled")())
        self.assertIsNone(proc.poll())

    def full_screen_windows(self, pid):
        return [w for w in self.windows_of(pid)
                if "Width: %d" % SCREEN_W in self.x("xwininfo", "-id", w)]

    def full_screen_window(self, proc):
        """The id of the process's window that covers the screen; fails at once when the
        process has ended."""
        def find():
            if proc.poll() is not None:
                raise AssertionError("the program ended with %s" % proc.returncode)
            return self.full_screen_windows(proc.pid)
        return self.wait(find, 20, "the full-screen window")[0]

    def screen_saver(self):
        """The stand-in screen saver on the test's bus; what it was called with, line by line."""
        fake = self.child(["/usr/bin/python3", FAKE_SERVICE, "screensaver", "--address",
                           self.env.env["DBUS_SESSION_BUS_ADDRESS"]],
                          stdout=subprocess.PIPE, text=True)
        self.assertEqual(fake.stdout.readline().strip(), "READY")
        return LineReader(fake)

    def enter_full_screen(self, proc, wid, calls):
        """Ctrl+F while the clip plays; (full-screen window, the screen saver's cookie)."""
        # The focus in the library list, not in the picture (see the case below).
        self.press(wid, "ctrl+f", LIBRARY_LIST)
        full = self.full_screen_window(proc)
        inhibit = self.wait(lambda: [c for c in calls.lines if c.startswith("CALL Inhibit")], 20,
                            "Inhibit")
        return full, inhibit[0].split("->")[1].strip()

    def test_full_screen_playback_holds_off_the_screen_saver(self):
        calls = self.screen_saver()
        proc, wid = self.start_playing()
        self.assertEqual(calls.lines, [])
        full, cookie = self.enter_full_screen(proc, wid, calls)
        self.press(full, "Escape")
        self.wait(lambda: "CALL UnInhibit " + cookie in calls.lines, 20, "UnInhibit")
        self.wait(lambda: self.visible_main_windows(proc.pid), 20, "the main window back")
        self.assertEqual(len([c for c in calls.lines if c.startswith("CALL Inhibit")]), 1)
        self.assertIsNone(proc.poll())

    def test_boss_key_in_full_screen_leaves_it_and_hides_everything(self):
        calls = self.screen_saver()
        proc, wid = self.start_playing()
        _, cookie = self.enter_full_screen(proc, wid, calls)
        self.x("xdotool", "key", "ctrl+alt+b")
        self.wait(lambda: not self.windows_of(proc.pid), 20, "every window to hide")
        self.wait(lambda: "CALL UnInhibit " + cookie in calls.lines, 20, "UnInhibit")
        self.assertEqual(self.playback_status(), "Paused")
        self.x("xdotool", "key", "ctrl+alt+b")
        # The main window comes back, not the full-screen one.
        self.wait(lambda: self.visible_main_windows(proc.pid), 20, "the main window back")
        self.assertEqual(self.full_screen_windows(proc.pid), [])
        self.assertIsNone(proc.poll())

    # Entering full screen from a click on the picture once ended the program with SIGBUS: the
    # picture held the focus, lost it while it moved into the full-screen window, and its focus
    # loss left full screen inside the move.
    def test_full_screen_from_the_focused_picture_keeps_the_program_running(self):
        proc, wid = self.start_playing()
        self.press(wid, "ctrl+f", PICTURE)
        full = self.full_screen_window(proc)
        self.press(full, "Escape")
        self.wait(lambda: self.visible_main_windows(proc.pid), 20, "the main window back")
        self.assertIsNone(proc.poll())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
