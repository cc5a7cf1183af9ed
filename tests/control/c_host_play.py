"""The C host plays a file through a real control under a private X server: it places the
control, sets FileName, drives the library by iterating GLib's default main context and sees
the control pause the new item behind its pre-roll page, its paint events and a clean release.
usage: c_host_play.py <control_c_host> <libkinoro.so> <file version>"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from nivra_env import start_xvfb  # noqa: E402


def make_clip(path):
    """Five seconds of Theora video and Vorbis sound in Ogg."""
    subprocess.run(
        ["gst-launch-1.0", "-q",
         "videotestsrc", "num-buffers=125", "!",
         "video/x-raw,width=320,height=240,framerate=25/1", "!", "theoraenc", "!", "queue", "!",
         "oggmux", "name=m", "!", "filesink", "location=" + path,
         "audiotestsrc", "num-buffers=250", "!", "audio/x-raw,rate=44100,channels=2", "!",
         "vorbisenc", "!", "queue", "!", "m."], check=True, timeout=60)


def main():
    host, library, version = sys.argv[1:4]
    root = tempfile.mkdtemp(prefix="kinoro-c-host-")
    clip = os.path.join(root, "clip.ogv")
    make_clip(clip)
    xvfb, display = start_xvfb()
    try:
        env = dict(os.environ, DISPLAY=display, QTWEBENGINE_DISABLE_SANDBOX="1",
                   QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu", QT_QUICK_BACKEND="software",
                   XDG_DATA_HOME=os.path.join(root, "data"),
                   XDG_RUNTIME_DIR=root, NIVRA_DEBUG_LOG=os.path.join(root, "debug.log"))
        env.pop("QT_QPA_PLATFORM", None)
        result = subprocess.run([host, library, version, clip], env=env, capture_output=True,
                                text=True, timeout=120)
        sys.stdout.write(result.stdout)
        sys.stderr.write(result.stderr[-4000:])
        assert result.returncode == 0, "c_host failed with %d" % result.returncode
        assert "c_host: played " in result.stdout
        with open(os.path.join(root, "debug.log"), encoding="utf-8") as f:
            log = f.read().splitlines()
        # The form goes first, then the host hears OnDestroy between the two lines.
        assert log.index("DoDestroy") < log.index("DestroyEvent begin") < log.index(
            "DestroyEvent end"), log
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
