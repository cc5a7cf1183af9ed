"""kinoro-host under a private X server: the control registers itself, the demo page's two
<object> controls are made through the registry and the class factory, take their <param>s,
answer the page's script (a bad URL fails with the control's text, State and Duration are read
while the first item waits behind its pre-roll page), run a <script for event> handler, and are
destroyed cleanly when the page goes.
usage: kinoro_host_page.py <kinoro-host> <libkinoro.so> <demo page>"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from nivra_env import start_xvfb  # noqa: E402
from c_host_play import make_clip  # noqa: E402


def main():
    host, library, page = sys.argv[1:4]
    root = tempfile.mkdtemp(prefix="kinoro-host-")
    clip = os.path.join(root, "clip.ogv")
    make_clip(clip)
    log_path = os.path.join(root, "debug.log")
    xvfb, display = start_xvfb()
    try:
        env = dict(os.environ, DISPLAY=display, QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu",
                   XDG_CONFIG_HOME=os.path.join(root, "config"),
                   XDG_DATA_HOME=os.path.join(root, "data"), XDG_RUNTIME_DIR=root,
                   NIVRA_DEBUG_LOG=log_path)
        env.pop("QT_QPA_PLATFORM", None)
        subprocess.run([host, "--register", library], env=env, check=True, timeout=60)
        shot = os.path.join(root, "page.png")
        result = subprocess.run(
            [host, "file://" + os.path.abspath(page) + "#" + clip, "--screenshot", shot,
             "--after", "6000"], env=env, capture_output=True, text=True, timeout=120)
        out = result.stdout
        sys.stdout.write(out)
        assert result.returncode == 0, result.stderr[-3000:]
        assert "kinoro-host: 2 controls" in out, out
        assert "bad URL: 非法地址!" in out, out
        assert "player1 Volume (param 150): 100" in out, out
        # Both items wait paused behind the count-down page; their length is known.
        assert "player1: State 2, Position" in out and "of 5804 ms" in out, out
        assert "player2: State 2" in out, out
        paints = [line for line in out.splitlines() if line.startswith("paint events of player1:")]
        assert paints and int(paints[0].split(":")[1]) > 0, out
        assert os.path.getsize(shot) > 0
        with open(log_path, encoding="utf-8") as f:
            log = f.read().splitlines()
        assert log.count("kinoro-host: control player1") == 1, log
        assert log.count("kinoro-host: control player2") == 1, log
        assert log.count("DoDestroy") == 2 and log.count("DestroyEvent end") == 2, log
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
