"""The demo's media clips, made once with gst-launch-1.0 into a cache folder.

Each clip is a recipe (a gst-launch argument list). A clip is made again only when its file is
missing or its recipe changed (the recipe is kept beside the file as NAME.recipe), so a second
start costs nothing. Files are written under a temporary name and renamed when complete, so a
reader never sees half a clip.
"""

import os
import subprocess
import sys
import threading

FPS = 25


def have_element(name):
    return subprocess.run(["gst-inspect-1.0", "--exists", name]).returncode == 0


def h264_encoder():
    """gst-launch words of the H.264 encoder on this machine (x264enc first), or None."""
    if have_element("x264enc"):
        return ["x264enc", "speed-preset=veryfast", "bitrate=600", "key-int-max=50"]
    if have_element("openh264enc"):
        return ["openh264enc", "bitrate=600000", "gop-size=50"]
    return None


def _video(seconds, width, height, pattern, title, extra=()):
    frames = seconds * FPS
    return ["videotestsrc", f"num-buffers={frames}", f"pattern={pattern}", *extra, "!",
            f"video/x-raw,width={width},height={height},framerate={FPS}/1", "!",
            "textoverlay", f"text={title}", "valignment=top", "halignment=left",
            "font-desc=Noto Sans CJK SC Bold 22", "shaded-background=true", "!",
            "timeoverlay", "valignment=bottom", "halignment=right", "font-desc=Sans 18", "!",
            "videoconvert"]


def _audio(seconds, freq):
    buffers = seconds * 100  # 10 ms buffers
    return ["audiotestsrc", f"num-buffers={buffers}", "samplesperbuffer=441", f"freq={freq}",
            "volume=0.25", "!", "audio/x-raw,rate=44100,channels=2", "!", "audioconvert"]


def webm(seconds, width, height, pattern, title, freq, extra=()):
    return [*_video(seconds, width, height, pattern, title, extra), "!",
            "vp8enc", "deadline=1", "cpu-used=8", "target-bitrate=500000", "keyframe-max-dist=50",
            "!", "queue", "!", "webmmux", "name=m", "!", "filesink", "location={out}",
            *_audio(seconds, freq), "!", "vorbisenc", "quality=0.1", "!", "queue", "!", "m."]


def ogg(seconds, width, height, pattern, title, freq, extra=()):
    return [*_video(seconds, width, height, pattern, title, extra), "!",
            "theoraenc", "bitrate=500", "!", "queue", "!", "oggmux", "name=m", "!",
            "filesink", "location={out}",
            *_audio(seconds, freq), "!", "vorbisenc", "quality=0.1", "!", "queue", "!", "m."]


def mp4(seconds, width, height, pattern, title, freq, encoder, extra=()):
    return [*_video(seconds, width, height, pattern, title, extra), "!", *encoder, "!",
            "h264parse", "!", "queue", "!", "mp4mux", "name=m", "!", "filesink", "location={out}",
            *_audio(seconds, freq), "!", "avenc_aac", "!", "aacparse", "!", "queue", "!", "m."]


def wav(seconds, freq):
    return [*_audio(seconds, freq), "!", "wavenc", "!", "filesink", "location={out}"]


SCROLL = ("horizontal-speed=3",)
SEGMENT_SECONDS = (10, 10, 5)  # the parts of the segmented documentary


def segment_lengths_ms(seconds=None):
    """Lengths of the documentary's parts in ms (all `seconds` long when clips are shortened)."""
    return [(seconds or s) * 1000 for s in SEGMENT_SECONDS]
BALL = ("motion=sweep",)


def clip_recipes(seconds=None):
    """{file name: gst-launch words} of every clip. `seconds` shortens every clip (for tests)."""
    def s(n):
        return seconds or n

    enc = h264_encoder()
    recipes = {
        "starlight.webm": webm(s(20), 640, 360, "ball", "星光列车", 440, BALL),
        "harbour.ogv": ogg(s(15), 640, 360, "smpte", "港湾之夜", 523, SCROLL),
        "tone.wav": wav(s(12), 392),
    }
    for n in range(1, 13):
        pattern = ("ball", "smpte", "bar", "pinwheel")[n % 4]
        recipes["xinghai-%02d.webm" % n] = webm(
            s(6), 480, 270, pattern, "星海巡航 第%d集" % n, 300 + 40 * n, SCROLL)
    if enc:
        recipes["city.mp4"] = mp4(s(15), 640, 360, "smpte100", "城市脉搏", 659, enc, SCROLL)
        recipes["bench-720p.mp4"] = mp4(s(20), 1280, 720, "smpte", "720p 样片", 440, enc, SCROLL)
        for n, length in enumerate(SEGMENT_SECONDS, start=1):
            recipes["mountains_%d.mp4" % n] = mp4(
                s(length), 640, 360, "ball", "山川纪行 第%d段" % n, 330 + 110 * n, enc, BALL)
    else:
        recipes["bench-720p.webm"] = webm(s(20), 1280, 720, "smpte", "720p 样片", 440, SCROLL)
    return recipes


class MediaCache:
    """Makes the clips of `recipes` in `folder` on a background thread, in table order, and
    lets readers wait for one clip."""

    def __init__(self, folder, recipes):
        self.folder = folder
        self.recipes = recipes
        self._ready = {name: threading.Event() for name in recipes}
        self._failed = set()
        self._stopping = False
        self._child = None  # the gst-launch-1.0 making a clip now
        self._lock = threading.Lock()
        os.makedirs(folder, exist_ok=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def _recipe_text(self, name):
        return " ".join(self.recipes[name]) + "\n"

    def is_current(self, name):
        try:
            with open(self.path(name) + ".recipe", encoding="utf-8") as f:
                return f.read() == self._recipe_text(name) and os.path.getsize(self.path(name)) > 0
        except OSError:
            return False

    def start(self):
        """Marks the clips already made as ready and makes the others on a thread. Returns the
        names that are being made."""
        missing = []
        for name in self.recipes:
            if self.is_current(name):
                self._ready[name].set()
            else:
                missing.append(name)
        if missing:
            threading.Thread(target=self._make_all, args=(missing,), daemon=True).start()
        return missing

    def stop(self):
        """Ends the clip being made (its partial file is removed); no further clips are made."""
        with self._lock:
            self._stopping = True
            if self._child:
                self._child.terminate()

    def _make_all(self, names):
        for name in names:
            if self._stopping:
                return
            try:
                self._make(name)
            except (OSError, subprocess.SubprocessError) as e:
                self._failed.add(name)
                sys.stderr.write("demo media: %s failed: %s\n" % (name, e))
            self._ready[name].set()

    def _make(self, name):
        out = self.path(name)
        temp = "%s.part%d" % (out, os.getpid())  # two servers on one cache folder do not mix
        words = [w.replace("{out}", temp) for w in self.recipes[name]]
        with self._lock:
            if self._stopping:
                return
            child = self._child = subprocess.Popen(["gst-launch-1.0", "-q", "-e", *words],
                                                   stdout=subprocess.DEVNULL,
                                                   stderr=subprocess.DEVNULL)
        try:
            rc = child.wait(timeout=600)
        except subprocess.TimeoutExpired:
            child.kill()
            rc = child.wait()
        with self._lock:
            self._child = None
        if rc != 0:
            if os.path.exists(temp):
                os.remove(temp)
            if self._stopping:
                return
            raise subprocess.CalledProcessError(rc, "gst-launch-1.0 for " + name)
        os.replace(temp, out)
        with open(out + ".recipe", "w", encoding="utf-8") as f:
            f.write(self._recipe_text(name))
        sys.stderr.write("demo media: made %s (%d bytes)\n" % (name, os.path.getsize(out)))

    def wait(self, name, timeout):
        """The clip's path once it is made, None when it is unknown, failed or not ready in time."""
        event = self._ready.get(name)
        if event is None or not event.wait(timeout) or name in self._failed:
            return None
        return self.path(name)

    def wait_all(self, timeout=None):
        return all(e.wait(timeout) for e in self._ready.values()) and not self._failed


def default_cache_folder():
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(base, "nivra-demo")


if __name__ == "__main__":
    # Makes every clip now: demo_media.py [FOLDER]
    cache = MediaCache(sys.argv[1] if len(sys.argv) > 1 else default_cache_folder(), clip_recipes())
    cache.start()
    sys.exit(0 if cache.wait_all() else 1)
