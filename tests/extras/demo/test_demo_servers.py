"""The demo servers as a process on free ports of 127.0.0.1, with short clips in a private cache
folder: every private link they hand out decodes to something they serve, clips come with byte
ranges, catalogue documents with ETags, the ad server answers heartbeats, and nivra-tool plays
the links.

usage: test_demo_servers.py [NIVRA-TOOL] (else $NIVRA_TOOL, else nivra-tool from the PATH)"""

import html.parser
import json
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import unittest
import urllib.error
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(os.path.dirname(HERE)))
SERVE = os.path.join(REPO, "extras", "demo", "serve_demo.py")
TOOL = (sys.argv.pop(1) if len(sys.argv) > 1 and os.path.isfile(sys.argv[1])
        else os.environ.get("NIVRA_TOOL", "nivra-tool"))


class Links(html.parser.HTMLParser):
    """The href of every <a> and the src of every <iframe> and <video> of a page."""

    def __init__(self):
        super().__init__()
        self.hrefs, self.frames, self.videos = [], [], []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "a" and "href" in attrs:
            self.hrefs.append(attrs["href"])
        elif tag == "iframe":
            self.frames.append(attrs["src"])
        elif tag == "video":
            self.videos.append(attrs["src"])


def links_of(text):
    parser = Links()
    parser.feed(text)
    return parser


def get(url, headers=None, method="GET"):
    """(status, headers, body); error statuses are answers too."""
    request = urllib.request.Request(url, headers=headers or {}, method=method)
    try:
        with urllib.request.urlopen(request, timeout=120) as reply:
            return reply.status, reply.headers, reply.read()
    except urllib.error.HTTPError as e:
        return e.code, e.headers, e.read()


class DemoServers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.TemporaryDirectory(prefix="nivra-demo-test-")
        cls.cache = os.path.join(cls.dir.name, "cache")
        cls.server = subprocess.Popen(
            ["/usr/bin/python3", SERVE, "--catalogue-port", "0", "--display-port", "0",
             "--ad-port", "0", "--cache", cls.cache, "--tool", TOOL, "--clip-seconds", "2"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        lines = [cls.server.stdout.readline().split() for _ in range(3)]
        cls.catalogue = lines[0][1].rsplit("/", 1)[0]
        cls.display = lines[1][1].rstrip("/")
        cls.ad_port = int(lines[2][2].rsplit(":", 1)[1])
        cls.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(cls.dir.name, "config"),
                       XDG_RUNTIME_DIR=cls.dir.name, NIVRA_YTDLP="none")

    @classmethod
    def tearDownClass(cls):
        cls.server.terminate()
        cls.server.wait(timeout=30)
        cls.server.stdout.close()
        cls.dir.cleanup()

    def fetch(self, url, **kw):
        status, headers, body = get(url, **kw)
        self.assertEqual(status, 200, url)
        return body.decode("utf-8")

    def decode(self, links):
        out = subprocess.run([TOOL, "link", "decode", *links], capture_output=True, text=True,
                             timeout=60, env=self.env)
        self.assertEqual(out.returncode, 0, out.stderr)
        return [json.loads(line) for line in out.stdout.splitlines()]

    def documents(self):
        """Every catalogue document reachable from Tree.js and from the list links: {name: doc}."""
        docs, todo = {}, ["Tree.js"]
        while todo:
            name = todo.pop()
            if name in docs:
                continue
            docs[name] = json.loads(self.fetch(self.catalogue + "/rjson/" + name))
            todo += ["%d.js" % e["i"] for e in docs[name]["arr"] if e["t"] in (0, 1)]
        return docs

    def private_links(self):
        """(where, link) of every private link the servers hand out."""
        found = []
        index = links_of(self.fetch(self.catalogue + "/index.htm"))
        self.assertTrue(index.frames, "the catalogue page has no frame")
        for src in index.frames:
            frame = links_of(self.fetch(urllib.parse.urljoin(self.catalogue + "/", src)))
            found += [("frame " + src, h) for h in frame.hrefs if h.lower().startswith("nivra://")]
        found += [("index", h) for h in index.hrefs if h.lower().startswith("nivra://")]
        mini = links_of(self.fetch(self.display + "/ads/mini.html"))
        found += [("mini", h) for h in mini.hrefs if h.lower().startswith("nivra://")]
        for name, doc in self.documents().items():
            found += [(name, e["u"]) for e in doc["arr"] if e.get("u")]
        return found

    def assert_plays_from(self, where, record):
        """The address of a decoded record leads to media the catalogue server serves."""
        kind, address = record["kind"], record["address"]
        if kind == 3:
            page = links_of(self.fetch(address))
            self.assertEqual(len(page.videos), 1, (where, address))
            media = urllib.parse.urljoin(address, page.videos[0])
            status, headers, _ = get(media, method="HEAD")
            self.assertEqual(status, 200, (where, media))
            self.assertGreater(int(headers["Content-Length"]), 1000, media)
        elif kind == 4:
            # base\segment,total: base + n + ".mp4?l=" + length for each segment.
            base, lengths = address.split("\\")
            segment, total = (int(v) for v in lengths.split(","))
            n, done = 1, 0
            while done < total:
                length = min(segment, total - done)
                status, _, _ = get("%s%d.mp4?l=%d" % (base, n, length), method="HEAD")
                self.assertEqual(status, 200, (where, base, n))
                n, done = n + 1, done + length
        elif kind == 5:
            doc = json.loads(self.fetch(self.catalogue + "/rjson/" + address))
            self.assertEqual(int(doc["c"]), len(doc["arr"]), address)
            self.assertTrue(doc["n"], address)
            self.assertTrue(all(e["u"].startswith("Nivra://") for e in doc["arr"]), address)
        else:
            self.fail("%s: record of kind %s: %s" % (where, kind, record))

    def test_every_private_link_decodes_to_an_address_the_servers_answer(self):
        found = self.private_links()
        records = self.decode([link for _, link in found])
        self.assertEqual(len(records), len(found))
        kinds = set()
        for (where, _), record in zip(found, records):
            with self.subTest(where=where, name=record["name"]):
                self.assertTrue(record["name"])
                self.assert_plays_from(where, record)
                kinds.add(record["kind"])
        self.assertEqual(kinds, {3, 4, 5})
        self.assertTrue(any(w.startswith("frame ") for w, _ in found), "no link inside a frame")

    def test_catalogue_tree_holds_groups_nested_albums_and_a_series_of_twelve(self):
        docs = self.documents()
        for name, doc in docs.items():
            self.assertEqual(int(doc["c"]), len(doc["arr"]), name)
        top = docs["Tree.js"]["arr"]
        self.assertTrue(any(e["t"] == 3 and e["u"].startswith("Nivra://") for e in top))
        groups = {e["i"] for d in docs.values() for e in d["arr"] if e["t"] == 0}
        nested = [e for e in top if e["t"] == 0 and
                  any(c["t"] == 0 for c in docs["%d.js" % e["i"]]["arr"])]
        self.assertTrue(nested, "no group inside a group")
        albums = [e for d in docs.values() for e in d["arr"] if e["t"] == 1]
        self.assertTrue(groups and albums)
        series = [docs["%d.js" % a["i"]] for a in albums if a["c"] == "12"]
        self.assertEqual(len(series), 1)
        self.assertEqual([e["t"] for e in series[0]["arr"]], [2] * 12)
        for album in albums:  # a single-episode album's document holds its one episode
            if album["c"] == "1":
                self.assertEqual([e["t"] for e in docs["%d.js" % album["i"]]["arr"]], [2])

    def test_documents_answer_304_to_their_etag(self):
        for path in ("/rjson/Tree.js", "/rjson/9001.js", "/index.htm", "/media/starlight.webm"):
            with self.subTest(path=path):
                status, headers, body = get(self.catalogue + path)
                self.assertEqual(status, 200)
                etag = headers["ETag"]
                self.assertRegex(etag, r'^"[^"]+"$')
                for sent, expected in ((etag, 304), (etag.strip('"'), 304), ('"other"', 200),
                                       ('"other", ' + etag, 304)):
                    status, headers, again = get(self.catalogue + path,
                                                 headers={"If-None-Match": sent})
                    self.assertEqual(status, expected, sent)
                    self.assertEqual(again, b"" if expected == 304 else body)

    def test_clips_are_served_in_byte_ranges(self):
        url = self.catalogue + "/media/harbour.ogv"
        self.assertEqual(get(url, method="HEAD")[0], 200)  # waits until the clip is made
        with open(os.path.join(self.cache, "harbour.ogv"), "rb") as f:
            whole = f.read()
        size = len(whole)
        cases = [("bytes=0-99", 206, 0, 99), ("bytes=1000-", 206, 1000, size - 1),
                 ("bytes=-500", 206, size - 500, size - 1),
                 ("bytes=%d-%d" % (size - 10, size + 50), 206, size - 10, size - 1),
                 ("bytes=%d-" % size, 416, None, None), (None, 200, 0, size - 1),
                 ("bytes=0-1,5-9", 200, 0, size - 1)]
        for header, status, first, last in cases:
            with self.subTest(range=header):
                got, headers, body = get(url, headers={"Range": header} if header else {})
                self.assertEqual(got, status)
                self.assertEqual(headers["Accept-Ranges"] if status != 416 else "bytes", "bytes")
                if status == 416:
                    self.assertEqual(headers["Content-Range"], "bytes */%d" % size)
                    continue
                self.assertEqual(body, whole[first:last + 1])
                if status == 206:
                    self.assertEqual(headers["Content-Range"], "bytes %d-%d/%d" % (first, last, size))

    def test_display_server_pages_and_link_lists(self):
        for path in ("/zanting.html", "/huanchong.html", "/ocx/zanting.html",
                     "/ocx/huanchong.html", "/ads/mini.html", "/ads/right.html"):
            with self.subTest(path=path):
                self.assertIn("<body", self.fetch(self.display + path))
        self.assertIn("极光耳机", self.fetch(self.display + "/zanting.html"))
        for path in ("/left.xml", "/right.xml"):
            with self.subTest(path=path):
                root = ET.fromstring(self.fetch(self.display + path).encode("utf-8"))
                self.assertEqual(root.tag, "NewDataSet")
                entries = [(ds.findtext("title"), ds.findtext("url")) for ds in root.iter("ds")]
                self.assertGreaterEqual(len(entries), 2)
                for title, url in entries:
                    self.assertTrue(title.strip())
                    self.assertEqual(get(url)[0], 200, url)

    def heartbeat(self, sock, mini_id, right_id):
        sock.sendto(struct.pack("<HHII", 0x0501, 1, mini_id, right_id), ("127.0.0.1", self.ad_port))

    def test_ad_server_answers_heartbeats_with_newer_records_only(self):
        with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as sock:
            sock.bind(("127.0.0.1", 0))
            sock.settimeout(30)
            # Garbage and known-but-not-newer heartbeats are not answered; the heartbeat after
            # them is, so its replies are the first datagrams to arrive.
            sock.sendto(b"\x01\x05garbage", ("127.0.0.1", self.ad_port))
            sock.sendto(struct.pack("<HHII", 0x0581, 1, 0, 0), ("127.0.0.1", self.ad_port))
            self.heartbeat(sock, 0xFFFFFFFF, 0xFFFFFFFF)
            self.heartbeat(sock, 0, 0)
            replies = [sock.recvfrom(4096)[0] for _ in range(2)]
            self.assertEqual(sorted((len(r), struct.unpack_from("<H", r)[0]) for r in replies),
                             [(534, 0x0582), (538, 0x0581)])
            mini = next(r for r in replies if len(r) == 538)
            mini_id, width, height, url = struct.unpack_from("<Iii512s", mini, 4)
            max_per_day, _, _, _, tray_delay = struct.unpack_from("<5H", mini, 4 + 524)
            self.assertGreater(mini_id, 0)
            self.assertGreater(width * height, 0)
            self.assertGreater(max_per_day, 0)
            self.assertLessEqual(tray_delay, 10)  # a pop-up a few seconds after start
            page = url.rstrip(b"\0").decode()
            self.assertTrue(page.startswith(self.display), page)
            self.assertEqual(get(page)[0], 200)
            first_right = struct.unpack_from("<I", next(r for r in replies if len(r) == 534), 4)[0]
            # Holding the mini record and the first right record: the next right record only.
            self.heartbeat(sock, mini_id, first_right)
            reply = sock.recvfrom(4096)[0]
            self.assertEqual((len(reply), struct.unpack_from("<H", reply)[0]), (534, 0x0582))
            self.assertGreater(struct.unpack_from("<I", reply, 4)[0], first_right)

    def play(self, link):
        out = subprocess.run([TOOL, "play", "--headless", "--max-seconds", "30", link],
                             capture_output=True, text=True, timeout=120, env=self.env)
        return out.returncode, out.stdout.splitlines()

    def test_nivra_tool_plays_the_page_and_segment_links_to_the_end(self):
        found = self.private_links()
        records = self.decode([link for _, link in found])
        wanted = {}
        for (_, link), record in zip(found, records):
            if record["kind"] == 4 or record["address"].endswith(("/harbour.html", "/city.html")):
                wanted.setdefault(record["address"], link)
        self.assertEqual(len(wanted), 3, wanted)
        for address, link in wanted.items():
            with self.subTest(address=address):
                rc, lines = self.play(link)
                self.assertEqual(rc, 0, lines)
                self.assertIn("end", lines)
                played = [int(l.split()[2]) for l in lines if l.startswith("position ")]
                self.assertGreaterEqual(max(played, default=0), 1500, lines)  # 2-second clips


class LinksWithoutTheTool(unittest.TestCase):
    """The servers' own encoder, used when nivra-tool is not built, writes the tool's links."""

    def test_links_equal_the_tools_and_decode_back(self):
        sys.path.insert(0, os.path.dirname(SERVE))
        import demo_links
        records = [("video", "a", "http://127.0.0.1:8780/v/a.html"),  # one block and a bit
                   ("video", "abc", "x"),  # exactly one block: 2 + 7 characters
                   ("nvswf", "山川纪行", "http://h/media/m_\\10000,25000"),
                   ("jslist", "星海巡航 第一季", "9001.js"),
                   ("video", "", ""),
                   ("video", "表情 \U0001F3AC", "http://h/" + "p" * 700)]  # beyond the BMP; long
        with tempfile.TemporaryDirectory() as folder:
            ours = demo_links.LinkEncoder(None, os.path.join(folder, "links.json"))
            for kind, name, address in records:
                with self.subTest(kind=kind, name=name):
                    record = "%s|%s|0|%s" % (kind, name, address)
                    tool = subprocess.run([TOOL, "link", "encode", record], capture_output=True,
                                          text=True, timeout=30, check=True).stdout.strip()
                    link = ours.link(kind, name, address)
                    self.assertEqual(link, tool)
                    decoded = subprocess.run([TOOL, "link", "decode", link], capture_output=True,
                                             text=True, timeout=30, check=True).stdout
                    self.assertEqual(json.loads(decoded)["address"], address)


if __name__ == "__main__":
    unittest.main(verbosity=2)
