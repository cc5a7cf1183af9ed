"""nivra-tool play on web-video sources, end to end on 127.0.0.1: a kind-4 private link whose
segment list names three generated segments, a kind-3 link to a page with a <video> tag, and a
page without media. The player goes through the movie runtime and the resolver plugin. On an X
server the movie's picture shows in the player's window (checked on a screenshot)."""

import functools
import http.server
import os
import shutil
import struct
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
        make_segment(os.path.join(cls.www, "bars.mp4"), 200, "smpte")
        with open(os.path.join(cls.www, "page.html"), "w") as f:
            f.write('<html><body><video src="X_3.mp4"></video></body></html>')
        with open(os.path.join(cls.www, "bars.html"), "w") as f:
            f.write('<html><body><video src="bars.mp4"></video></body></html>')
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

    def test_page_in_a_window_shows_the_picture(self):
        if not shutil.which("Xvfb") or not shutil.which("xwd") or not shutil.which("xwininfo"):
            self.skipTest("Xvfb, xwd and xwininfo are needed")
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x800x24",
                                 "-nolisten", "tcp"], pass_fds=(write_fd,),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.addCleanup(xvfb.wait)
        self.addCleanup(xvfb.kill)
        with os.fdopen(read_fd) as f:
            display = ":" + f.readline().strip()
        env = dict(self.env, DISPLAY=display, QT_QPA_PLATFORM="xcb")
        page = self.base + "bars.html"
        tool = subprocess.Popen([TOOL, "play", "--max-seconds", "30", page], env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(tool.stdout.close)
        self.addCleanup(tool.wait)
        self.addCleanup(tool.kill)
        # A second of the movie has played: its frames have been drawn.
        seen = []
        for line in tool.stdout:
            seen.append(line.strip())
            fields = line.split()
            if fields[:1] == ["position"] and int(fields[2]) >= 1000:
                break
        else:
            self.fail("the movie did not play: %s" % seen)
        left, top, width, height = window_geometry(display, page)
        pixels = screenshot(display, left, top, width, height)
        colours = {(r >> 4, g >> 4, b >> 4) for r, g, b in pixels}
        lumas = [(r * 299 + g * 587 + b * 114) // 1000 for r, g, b in pixels]
        mean = sum(lumas) / len(lumas)
        spread = (sum((l - mean) ** 2 for l in lumas) / len(lumas)) ** 0.5
        # Colour bars: many colours, bright and dark; a window without the picture is one black.
        self.assertGreaterEqual(len(colours), 8, (seen, sorted(colours)[:20]))
        self.assertGreater(spread, 40, seen)


def window_geometry(display, title):
    """Left, top, width and height of the window with this title."""
    info = subprocess.run(["xwininfo", "-display", display, "-name", title],
                          capture_output=True, text=True, timeout=10).stdout
    values = {}
    for line in info.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    return tuple(int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                          "Width", "Height"))


def screenshot(display, left, top, width, height):
    """The RGB pixels of a rectangle of the root window (every second pixel of every second row),
    from an xwd dump of a true-colour screen."""
    dump = subprocess.run(["xwd", "-root", "-silent", "-display", display],
                          capture_output=True, timeout=20, check=True).stdout
    header = struct.unpack(">25I", dump[:100])
    header_size, byte_order, bits_per_pixel, bytes_per_line = (header[0], header[7], header[11],
                                                               header[12])
    masks, colours = header[14:17], header[19]
    size = bits_per_pixel // 8
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    data = dump[header_size + 12 * colours:]
    order = "little" if byte_order == 0 else "big"
    pixels = []
    for y in range(top, top + height, 2):
        for x in range(left, left + width, 2):
            at = y * bytes_per_line + size * x
            value = int.from_bytes(data[at:at + size], order)
            pixels.append(tuple((value & m) >> s for m, s in zip(masks, shifts)))
    return pixels


if __name__ == "__main__":
    if len(sys.argv) > 1:
        TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
