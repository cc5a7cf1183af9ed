"""Runs real nivra processes in a private environment (runtime, data, config folders and a debug
log of their own) and reads what they write."""

import os
import random
import socket
import subprocess
import tempfile
import time


def start_xvfb(width=1280, height=800):
    """A private X server without a window manager; (process, display name). The display number
    is a random one from 100 up, taken with the usual lock file: servers that choose their own
    number (-displayfd) all start at :0 and do not lock it, so a second one can replace the
    first one's socket while its clients are still connecting. Without -noreset the server
    resets whenever its last client goes, and refuses the next test's first connection."""
    rng = random.Random(os.getpid() ^ time.monotonic_ns())
    for _ in range(50):
        number = rng.randrange(100, 900)
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        proc = subprocess.Popen(
            ["Xvfb", ":%d" % number, "-screen", "0", "%dx%dx24" % (width, height),
             "-nolisten", "tcp", "-noreset"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while proc.poll() is None and time.monotonic() < deadline:
            with socket.socket(socket.AF_UNIX) as s:
                if s.connect_ex("/tmp/.X11-unix/X%d" % number) == 0:
                    return proc, ":%d" % number
            time.sleep(0.02)
        proc.kill()
        proc.wait()
    raise AssertionError("no X server could be started")


def wait_until(predicate, timeout, what):
    """Polls `predicate` until it gives a true value, which is returned; fails after `timeout`
    seconds naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.05)


class NivraEnv:
    def __init__(self, binary, display_env=None):
        self.binary = binary
        self.root = tempfile.mkdtemp(prefix="nivra-e2e-")
        self.runtime = os.path.join(self.root, "run")
        os.makedirs(self.runtime, mode=0o700)
        self.log_path = os.path.join(self.root, "debug.log")
        # No servers unless a test gives its own: demo servers running on this machine's default
        # ports must not reach the program under test (an ad server would open pop-ups).
        self.servers_ini = os.path.join(self.root, "Servers.ini")
        with open(self.servers_ini, "w") as f:
            f.write("[Servers]\nCatalogue=127.0.0.1:9\nDisplay=127.0.0.1:9\nAd=127.0.0.1:9\n"
                    "CheckUrl=http://127.0.0.1:9/\n")
        self.env = dict(os.environ)
        self.env.update({
            "NIVRA_SERVERS": self.servers_ini,
            "XDG_RUNTIME_DIR": self.runtime,
            "XDG_DATA_HOME": os.path.join(self.root, "data"),
            "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
            "NIVRA_COMMON_DATA_DIR": os.path.join(self.root, "common"),
            "NIVRA_DEBUG_LOG": self.log_path,
            "QT_QPA_PLATFORM": "offscreen",
            "QT_LOGGING_RULES": "*.debug=false;qt.qpa.*=false",
        })
        if display_env:
            self.env.update(display_env)
        self.procs = []

    def start(self, *args):
        p = subprocess.Popen([self.binary, *args], env=self.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(p)
        return p

    def run(self, *args, timeout=20):
        start = time.monotonic()
        rc = subprocess.run([self.binary, *args], env=self.env, timeout=timeout,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        return rc, time.monotonic() - start

    def log(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_for(self, predicate, timeout=15.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            lines = self.log()
            if predicate(lines):
                return lines
            time.sleep(0.02)
        raise AssertionError("timed out; log was:\n" + "\n".join(self.log()))

    def start_first(self, *args):
        p = self.start(*args)
        sock = os.path.join(self.runtime, "nivra", "TNivraMainForm.sock")
        deadline = time.monotonic() + 15
        while not os.path.exists(sock):
            if p.poll() is not None or time.monotonic() > deadline:
                raise AssertionError("first instance did not come up")
            time.sleep(0.02)
        return p

    def close(self):
        for p in self.procs:
            if p.poll() is None:
                p.kill()
                p.wait()
