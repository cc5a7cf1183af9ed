"""A scripted ad server for the end-to-end ad tests and the pop-up benchmark: a UDP socket on
127.0.0.1 that keeps every heartbeat and sends records back to the heartbeat's sender, the
records encoded field by field (little-endian, no padding), and a small page server on
127.0.0.1 that counts the requests for each path."""

import http.server
import os
import socket
import struct
import threading
import time

MINI_FORMAT = "<Iii512sHHHHH"  # 534 bytes
RIGHT_FORMAT = "<Iii512siH"    # 530 bytes
HEARTBEAT = struct.Struct("<HHII")
MINI_REPLY_TYPE, RIGHT_REPLY_TYPE = 0x0581, 0x0582


def mini_record(rid, url, width=320, height=240, max_per_day=1, refund=0, mini_gap=0,
                cross_gap=0, tray_delay=0, url_tail=b""):
    """The 534 bytes of a mini record; `url_tail` lands after the address's NUL."""
    field = url.encode() + b"\0" + url_tail
    return struct.pack(MINI_FORMAT, rid, width, height, field, max_per_day, refund, mini_gap,
                       cross_gap, tray_delay)


def right_record(rid, url, width=300, height=200, show_ms=3000, start_delay=0):
    return struct.pack(RIGHT_FORMAT, rid, width, height, url.encode(), show_ms, start_delay)


def reply(kind, record, unread=b"\0\0"):
    return struct.pack("<H", kind) + unread + record


class AdPeer:
    """Receives heartbeats on a thread; `answer`, when set, is called with each heartbeat's
    (mini id, right id) and gives the datagrams to send back."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.heartbeats = []  # (monotonic time, raw bytes)
        self.client = None
        self.answer = None
        self.lock = threading.Lock()
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while True:
            try:
                data, sender = self.sock.recvfrom(65536)
            except OSError:
                return
            with self.lock:
                self.client = sender
                self.heartbeats.append((time.monotonic(), data))
                answer = self.answer
            if answer and len(data) == HEARTBEAT.size:
                for datagram in answer(*HEARTBEAT.unpack(data)[2:]):
                    self.send(datagram)

    def count(self):
        with self.lock:
            return len(self.heartbeats)

    def ids(self, index):
        """(type, 1-field, mini id, right id) of heartbeat `index`."""
        with self.lock:
            data = self.heartbeats[index][1]
        assert len(data) == HEARTBEAT.size, "heartbeat of %d bytes" % len(data)
        return HEARTBEAT.unpack(data)

    def send(self, datagram):
        with self.lock:
            client = self.client
        assert client, "no heartbeat yet: nobody to answer"
        self.sock.sendto(datagram, client)

    def close(self):
        self.sock.close()


class _CountingHandler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with self.server.lock:
            self.server.requests.append((time.monotonic(), self.path))
        super().do_GET()

    def log_message(self, *args):
        pass


class PageServer:
    """Serves `folder` on 127.0.0.1 and remembers every request: (monotonic time, path)."""

    def __init__(self, folder):
        handler = lambda *a, **k: _CountingHandler(*a, directory=folder, **k)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.httpd.requests = []
        self.httpd.lock = threading.Lock()
        self.port = self.httpd.server_address[1]
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def url(self, path):
        return "http://127.0.0.1:%d/%s" % (self.port, path)

    def requests(self, path):
        """Times of the requests for "/" + path."""
        with self.httpd.lock:
            return [t for t, p in self.httpd.requests if p == "/" + path]

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


def processes_with_env(marker):
    """{pid: argv} of this user's processes whose environment holds `marker` (KEY=value)."""
    found = {}
    needle = marker.encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                if needle not in f.read().split(b"\0"):
                    continue
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                argv = [a.decode(errors="replace") for a in f.read().split(b"\0")[:-1]]
        except OSError:
            continue
        found[int(entry)] = argv
    return found


def _parent(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            return int(f.read().rsplit(")", 1)[1].split()[1])
    except (OSError, ValueError, IndexError):
        return None


class PopUpWatch:
    """Watches for the pop-up processes ("/SHOWAD", "/SHOWMINI") of one environment on a thread
    and keeps each one seen: (first seen, pid, argv after the program)."""

    def __init__(self, marker, period=0.02):
        self.marker = marker
        self.seen = {}
        self.lock = threading.Lock()
        self.running = True
        self.period = period
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()

    def _run(self):
        while self.running:
            now = time.monotonic()
            popups = {pid: argv for pid, argv in processes_with_env(self.marker).items()
                      if len(argv) > 1 and argv[1] in ("/SHOWAD", "/SHOWMINI")}
            with self.lock:
                for pid, argv in popups.items():
                    # A pop-up's own forks carry its command line until they exec: not counted.
                    parent = _parent(pid)
                    if parent in popups or parent in self.seen:
                        continue
                    self.seen.setdefault(pid, (now, pid, argv[1:]))
            time.sleep(self.period)

    def started(self, mode):
        with self.lock:
            return sorted(s for s in self.seen.values() if s[2][0] == mode)

    def stop(self):
        self.running = False
        self.thread.join()
