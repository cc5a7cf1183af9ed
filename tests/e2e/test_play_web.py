"""nivra-tool play on web-video sources, end to end on 127.0.0.1: a kind-4 private link whose
segment list names three generated segments, a kind-3 link to a page with a <video> tag, and a
page without media. The player goes through the movie runtime and the resolver plugin."""

import functools
import http.server
import os
import subprocess
import sys
import tempfile
import threading
import unittest

TOOL = os.environ.get("NIVRA_TOOL", "nivra-tool")


def make_segment(path, frames, pattern):
    audio = frames * 4  # 10 ms buffers of sound for each 40 ms frame
    subprocess.run(
        ["gst-launch-1.0", "-q", "videotestsrc", f"num-buffers={frames}", f"pattern={pattern}", "!",
         "video/x-raw,width=320,height=240,framerate=25/1", "!", "openh264enc", "!", "h264parse", "!",
         "queue", "!", "mp4mux", "name=m", "!", "filesink", f"location={path}",
         "audiotestsrc", f"num-buffers={audio}", "samplesperbuffer=441", "!",
         "audio/x-raw,rate=44100,channels=2", "!", "avenc_aac", "!", "aacparse", "!", "queue", "!", "m."],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


class PlayWebSources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.www = tempfile.mkdtemp(prefix="nivra-web-")
        for i, frames in enumerate((25, 25, 10), start=1):
            make_segment(os.path.join(cls.www, f"X_{i}.mp4"), frames, i)
        with open(os.path.join(cls.www, "page.html"), "w") as f:
            f.write('<html><body><video src="X_3.mp4"></video></body></html>')
        with open(os.path.join(cls.www, "empty.html"), "w") as f:
            f.write("<html><body>nothing to see</body></html>")
        handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=cls.www)
        handler.log_message = lambda *a: None
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.base = f"http://127.0.0.1:{cls.server.server_port}/"
        cls.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(cls.www, "config"),
                       XDG_RUNTIME_DIR=cls.www, NIVRA_YTDLP="none")

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    def tool(self, *args):
        return subprocess.run([TOOL, *args], env=self.env, capture_output=True, text=True, timeout=60)

    def link(self, record):
        out = self.tool("link", "encode", record)
        self.assertEqual(out.returncode, 0, out.stderr)
        return out.stdout.strip()

    def play(self, source):
        out = self.tool("play", "--headless", "--max-seconds", "30", source)
        return out.returncode, out.stdout.splitlines()

    def test_segment_link_plays_three_segments_as_one_timeline_to_the_end(self):
        rc, lines = self.play(self.link("nvswf|Three parts|0|" + self.base + "X_\\1000,2400"))
        self.assertEqual(rc, 0, lines)
        self.assertIn("end", lines)
        positions = [l.split() for l in lines if l.startswith("position ")]
        self.assertTrue(positions, lines)
        self.assertEqual({p[1] for p in positions}, {"2400"})  # the summed duration
        self.assertGreater(int(positions[-1][2]), 2000)

    def test_page_with_a_video_tag_resolves_and_plays(self):
        rc, lines = self.play(self.link("video|A page|0|" + self.base + "page.html"))
        self.assertEqual(rc, 0, lines)
        self.assertEqual(lines[0], "state psPlay")
        self.assertIn("end", lines)

    def test_page_without_media_gives_error_21(self):
        rc, lines = self.play(self.base + "empty.html")
        self.assertEqual(rc, 2)
        self.assertIn("error 21 无法检测到电影源！", lines)


if __name__ == "__main__":
    if len(sys.argv) > 1:
        TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
