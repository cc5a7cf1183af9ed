"""Two and more real nivra processes: the single-instance hand-over, one-job modes and the
window channel's robustness, seen through the processes' debug lines and files."""

import concurrent.futures
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import time
import unittest

from nivra_env import NivraEnv

BINARY = os.environ.get("NIVRA_BINARY", "nivra")


class SingleInstance(unittest.TestCase):
    def setUp(self):
        self.env = NivraEnv(BINARY)

    def tearDown(self):
        self.env.close()

    def test_second_start_hands_over_a_link(self):
        self.env.start_first()
        rc, _ = self.env.run("Nivra://ab+c%41")
        self.assertEqual(rc, 0)
        lines = self.env.wait_for(lambda l: any(x.startswith("OpenPending:") for x in l))
        self.assertIn("InstanceActivate:1", lines)
        self.assertIn("OpenPending:Nivra://ab cA", lines)

    def test_autostart_second_start_does_nothing_and_u_closes(self):
        first = self.env.start_first()
        before = list(self.env.log())
        self.assertEqual(self.env.run("/A")[0], 0)
        self.assertEqual(self.env.run("/SETUPRUN")[0], 0)
        self.assertEqual(self.env.run("/home/user/film.mkv")[0], 0)  # wakes, path ignored
        lines = self.env.wait_for(lambda l: "InstanceActivate:1" in l)
        self.assertEqual([x for x in lines if x.startswith("InstanceActivate")], ["InstanceActivate:1"])
        self.assertFalse(any(x.startswith("OpenPending") for x in lines[len(before):]))
        self.assertEqual(self.env.run("/u")[0], 0)
        self.assertEqual(first.wait(timeout=15), 0)
        self.assertIn("FormClose", self.env.log())
        setup = os.path.join(self.env.root, "data", "Nivra", "Setup.ini")
        with open(setup, encoding="utf-8") as f:
            self.assertIn("[cfHotKey]", f.read())

    def test_closing_window_notifies_the_background_service(self):
        service = os.path.join(os.path.dirname(BINARY), "NivraExService")
        if not os.path.exists(service):
            self.skipTest("the service stand-in is not built")
        stand_in = subprocess.Popen([service], env=self.env.env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        try:
            self.env.wait_for(lambda l: "NivraExService: listening" in l)
            first = self.env.start_first()
            self.assertEqual(self.env.run("/U")[0], 0)
            self.assertEqual(first.wait(timeout=15), 0)
            lines = self.env.wait_for(lambda l: "NivraExService: close notice" in l)
            self.assertLess(lines.index("FormClose"), lines.index("NivraExService: close notice"))
        finally:
            stand_in.terminate()
            stand_in.wait()

    def test_malformed_escape_reaches_the_error_dialog_and_opens_nothing(self):
        self.env.start_first()
        self.assertEqual(self.env.run("Nivra://x%zz")[0], 0)
        lines = self.env.wait_for(lambda l: any(x.startswith("ShowError:") for x in l))
        self.assertFalse(any(x.startswith("OpenPending") for x in lines))
        # The window still answers while the dialog is open.
        self.assertEqual(self.env.run("Nivra://after")[0], 0)
        self.env.wait_for(lambda l: "OpenPending:Nivra://after" in l)

    def test_second_start_without_a_listening_window_ends_at_once(self):
        lock_dir = os.path.join(self.env.runtime, "nivra")
        os.makedirs(lock_dir, mode=0o700, exist_ok=True)
        with open(os.path.join(lock_dir, "Nivra_Mutex_App.lock"), "w") as held:
            fcntl.flock(held, fcntl.LOCK_EX)  # another "instance" holds the lock, no window
            rc, seconds = self.env.run("Nivra://x", timeout=10)
        self.assertEqual(rc, 0)
        self.assertLess(seconds, 5)
        self.assertEqual(self.env.log(), [])

    def test_a_hundred_concurrent_second_starts_are_all_handled(self):
        self.env.start_first()
        with concurrent.futures.ThreadPoolExecutor(max_workers=100) as pool:
            results = list(pool.map(lambda i: self.env.run(f"Nivra://item{i}", timeout=60)[0], range(100)))
        self.assertEqual(results, [0] * 100)
        lines = self.env.wait_for(lambda l: sum(x.startswith("OpenPending:") for x in l) >= 100, timeout=30)
        opened = {x for x in lines if x.startswith("OpenPending:")}
        self.assertEqual(opened, {f"OpenPending:Nivra://item{i}" for i in range(100)})
        self.assertEqual(self.env.run("Nivra://still-alive")[0], 0)
        self.env.wait_for(lambda l: "OpenPending:Nivra://still-alive" in l)

    def test_garbage_on_the_window_channel_does_not_hurt_the_window(self):
        import socket
        self.env.start_first()
        path = os.path.join(self.env.runtime, "nivra", "TNivraMainForm.sock")
        payloads = [b"garbage" * 100, b"NVWC\x01\x00\x00\x00" + b"\xff" * 28,
                    b"NVWC\x01\x00\x00\x00" + b"\x00" * 24 + b"\xff\xff\xff\x7f", b"NV"]
        for payload in payloads:
            s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            s.connect(path)
            s.sendall(payload)
            s.shutdown(socket.SHUT_WR)
            s.settimeout(5)
            self.assertEqual(s.recv(16), b"")
            s.close()
        self.assertEqual(self.env.run("Nivra://ok")[0], 0)
        self.env.wait_for(lambda l: "OpenPending:Nivra://ok" in l)

    def test_one_job_modes(self):
        reg = os.path.join(self.env.root, "config", "Nivra", "registry", "HKCU.reg")

        def read(path):
            with open(path, encoding="utf-8") as f:
                return f.read()

        self.assertEqual(self.env.run("/SETAUTORUN")[0], 0)
        self.assertIn('"Nivra"="\\"', read(reg))
        self.assertTrue(os.path.exists(os.path.join(self.env.root, "config", "autostart", "nivra.desktop")))
        runa = os.path.join(self.env.root, "common", "runa.ini")
        self.assertIn("run=1", read(runa))
        self.assertEqual(self.env.run("/SETAUTORUN", "0")[0], 0)
        self.assertNotIn('"Nivra"=', read(reg))
        self.assertIn("run=0", read(runa))
        setup = read(os.path.join(self.env.root, "data", "Nivra", "Setup.ini"))
        self.assertIn("chkAutoRun=0", setup)
        for args in (["/SetSetupDay"], ["/ShellSvc"], ["/SHOWAD", "http://x"], ["/U"]):
            rc, seconds = self.env.run(*args)
            self.assertEqual(rc, 0, args)
        self.assertNotIn("FormClose", self.env.log())


class Shutdown(unittest.TestCase):
    """How the first instance ends: "/U" whatever the window's state and whatever races it, a
    termination signal, and the order of the settings file and the instance lock."""

    def setUp(self):
        self.env = NivraEnv(BINARY)
        # Other starts write their own Setup.ini elsewhere, so the one here is the first
        # instance's alone.
        self.others = dict(self.env.env, XDG_DATA_HOME=os.path.join(self.env.root, "others"))

    def tearDown(self):
        self.env.close()

    def setup_ini(self):
        return os.path.join(self.env.root, "data", "Nivra", "Setup.ini")

    def socket(self):
        return os.path.join(self.env.runtime, "nivra", "TNivraMainForm.sock")

    def run_other(self, *args):
        return subprocess.run([BINARY, *args], env=self.others, timeout=30,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

    def assert_ended_the_normal_way(self, first, timeout):
        self.assertEqual(first.wait(timeout=timeout), 0)
        self.assertIn("FormClose", self.env.log())
        with open(self.setup_ini(), encoding="utf-8") as f:
            self.assertIn("[cfHotKey]", f.read())
        self.assertFalse(os.path.exists(self.socket()))

    def test_u_ends_an_instance_started_hidden(self):
        for switch in ("/A", "/SETUPRUN"):
            with self.subTest(switch):
                self.env.close()
                self.env = NivraEnv(BINARY)
                self.others = dict(self.env.env, XDG_DATA_HOME=os.path.join(self.env.root, "others"))
                first = self.env.start_first(switch)
                self.assertEqual(self.run_other("/U"), 0)
                self.assert_ended_the_normal_way(first, timeout=5)

    def test_u_racing_hand_overs_always_ends_the_instance(self):
        for run in range(20):
            with self.subTest(run=run):
                self.env.close()
                self.env = NivraEnv(BINARY)
                self.others = dict(self.env.env, XDG_DATA_HOME=os.path.join(self.env.root, "others"))
                first = self.env.start_first(*(["/A"] if run % 2 else []))
                # Two bursts of hand-overs with "/U" between them, all started at once.
                starts = [[f"Nivra://r{run}i{i}"] if i % 3 else [] for i in range(15)]
                starts.insert(7 + run % 3, ["/U"])
                racing = [subprocess.Popen([BINARY, *args], env=self.others, stdout=subprocess.DEVNULL,
                                           stderr=subprocess.DEVNULL) for args in starts]
                self.assertEqual(first.wait(timeout=15), 0)
                self.assertIn("FormClose", self.env.log())
                self.assertTrue(os.path.exists(self.setup_ini()))
                # A start that came after the first instance had gone is the next first instance;
                # "/U" ends it the same way.
                for _ in range(len(racing)):
                    if all(p.poll() is not None for p in racing):
                        break
                    self.run_other("/U")
                    time.sleep(0.2)
                self.assertEqual([p.wait(timeout=15) for p in racing], [0] * len(racing))

    def test_termination_signals_close_the_window_the_normal_way(self):
        for sig, args in ((signal.SIGTERM, []), (signal.SIGINT, []), (signal.SIGHUP, ["/A"])):
            with self.subTest(sig.name):
                self.env.close()
                self.env = NivraEnv(BINARY)
                first = self.env.start_first(*args)
                first.send_signal(sig)
                self.assert_ended_the_normal_way(first, timeout=15)

    def test_lock_is_released_only_after_the_settings_are_written(self):
        first = self.env.start_first()
        with open(os.path.join(self.env.runtime, "nivra", "Nivra_Mutex_App.lock"), "r+") as lock:
            seen = []

            def take_lock_then_look():
                fcntl.flock(lock, fcntl.LOCK_EX)  # wakes the moment the first instance lets go
                seen.append(os.path.exists(self.setup_ini()))

            with concurrent.futures.ThreadPoolExecutor(max_workers=1) as pool:
                waiter = pool.submit(take_lock_then_look)
                time.sleep(0.1)  # let the waiter block on the lock first
                self.assertEqual(self.run_other("/U"), 0)
                waiter.result(timeout=15)
        self.assertEqual(seen, [True], "a start in the gap would have read the old settings")
        self.assertEqual(first.wait(timeout=15), 0)


class UnderX11(unittest.TestCase):
    """The main window on a real X server: its title, size and place on the screen."""

    def setUp(self):
        if not shutil.which("Xvfb") or not shutil.which("xwininfo"):
            self.skipTest("Xvfb and xwininfo are needed")
        self.display = ":%d" % (90 + os.getpid() % 9)
        self.xvfb = subprocess.Popen(["Xvfb", self.display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env = NivraEnv(BINARY, {"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb"})

    def tearDown(self):
        self.env.close()
        self.xvfb.kill()
        self.xvfb.wait()

    def map_state(self):
        """The main window's map state and xwininfo text; (None, "") while it has no X window."""
        tree = subprocess.run(["xwininfo", "-root", "-tree", "-display", self.display],
                              capture_output=True, text=True).stdout
        line = next((l for l in tree.splitlines() if '"Nivra": ("nivra" "Nivra")' in l), None)
        if line is None:
            return None, ""
        info = subprocess.run(["xwininfo", "-id", line.split()[0], "-display", self.display],
                              capture_output=True, text=True).stdout
        state = next((l.split(":", 1)[1].strip() for l in info.splitlines() if "Map State" in l), None)
        return state, info

    def test_hidden_start_stays_hidden_until_a_second_start_shows_it_centred(self):
        deadline = time.monotonic() + 10
        while subprocess.run(["xwininfo", "-root", "-display", self.display],
                             capture_output=True).returncode != 0:
            self.assertLess(time.monotonic(), deadline, "Xvfb did not start")
            time.sleep(0.05)
        self.env.start_first("/a")
        time.sleep(0.5)
        self.assertNotEqual(self.map_state()[0], "IsViewable")
        self.assertEqual(self.env.run()[0], 0)
        deadline = time.monotonic() + 10
        while True:
            state, info = self.map_state()
            if state == "IsViewable":
                break
            self.assertLess(time.monotonic(), deadline, info)
            time.sleep(0.05)
        self.assertIn("Width: 1005", info)
        self.assertIn("Height: 648", info)
        self.assertIn("Absolute upper-left X:  137", info)
        self.assertIn("Absolute upper-left Y:  76", info)


if __name__ == "__main__":
    if len(sys.argv) > 1:
        BINARY = sys.argv.pop(1)
    unittest.main(verbosity=2)
