"""Wall time from a right record's arrival to its pop-up's window being mapped, with the real
program under Xvfb and a scripted ad server on 127.0.0.1. Each sample sends a newer right record
and times three moments: the datagram sent, the "/SHOWAD" process seen (the scheduler's next
pass, every 3 s, starts it), its window mapped. The pop-ups show for 1.5 s and end on their own;
each record is sent at a random moment of the pass cycle.

    python3 bench/ad_popup_latency.py build/bin/nivra [samples, default 6]
"""

import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from ad_peer import (AdPeer, PageServer, PopUpWatch, RIGHT_REPLY_TYPE, processes_with_env, reply,
                     right_record)
from nivra_env import NivraEnv, start_xvfb, wait_until


def main():
    binary = os.path.abspath(sys.argv[1])
    samples = int(sys.argv[2]) if len(sys.argv) > 2 else 6
    xvfb, display = start_xvfb(1280, 800)
    www = tempfile.mkdtemp(prefix="nivra-bench-ads-")
    for name in ("right.html", "check.htm"):
        with open(os.path.join(www, name), "w") as f:
            f.write("<!doctype html><body style='background:#fc0'>ad</body>")
    pages, peer = PageServer(www), AdPeer()
    servers_ini = os.path.join(www, "Servers.ini")
    with open(servers_ini, "w") as f:
        f.write("[Servers]\nDisplay=127.0.0.1:9\nCatalogue=127.0.0.1:9\nAd=127.0.0.1:%d\n"
                "CheckUrl=%s\n" % (peer.port, pages.url("check.htm")))
    env = NivraEnv(binary, {"DISPLAY": display, "QT_QPA_PLATFORM": "xcb",
                            "NIVRA_SERVERS": servers_ini, "QTWEBENGINE_DISABLE_SANDBOX": "1",
                            "QTWEBENGINE_CHROMIUM_FLAGS": "--disable-gpu"})
    marker = "NIVRA_DEBUG_LOG=" + env.log_path
    common = env.env["NIVRA_COMMON_DATA_DIR"]
    os.makedirs(common)
    with open(os.path.join(common, "NVRR.dat"), "wb") as f:
        f.write(right_record(1, pages.url("right.html")))  # shown ones must be newer
    watch = PopUpWatch(marker)
    x_env = dict(os.environ, DISPLAY=display)
    rows = []
    try:
        env.start()
        wait_until(lambda: peer.count() >= 1, 60, "the first heartbeat")
        time.sleep(5)  # the main window's own start is over
        for k in range(2, samples + 2):
            time.sleep(random.uniform(0, 3))
            seen = len(watch.started("/SHOWAD"))
            sent = time.monotonic()
            peer.send(reply(RIGHT_REPLY_TYPE,
                            right_record(k, pages.url("right.html?%d" % k), show_ms=1500)))
            started = wait_until(lambda: len(watch.started("/SHOWAD")) > seen and
                                 watch.started("/SHOWAD")[-1], 30, "the pop-up process")
            started_at, pid = started[0], started[1]

            def mapped():
                return subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                                      capture_output=True, text=True, env=x_env).stdout.split()
            wait_until(mapped, 60, "the pop-up window")
            mapped_at = time.monotonic()
            rows.append((started_at - sent, mapped_at - started_at, mapped_at - sent))
            print("record %d: process after %.2f s, window mapped %.2f s later: %.2f s in all"
                  % ((k,) + rows[-1]))
            wait_until(lambda: pid not in processes_with_env(marker), 60, "the pop-up's end")
    finally:
        watch.stop()
        env.close()
        for pid in processes_with_env(marker):
            try:
                os.kill(pid, 9)
            except OSError:
                pass
        pages.close()
        peer.close()
        xvfb.kill()
        xvfb.wait()
        shutil.rmtree(www, ignore_errors=True)
        shutil.rmtree(env.root, ignore_errors=True)
    for i, what in enumerate(("arrival to process", "process to mapped window",
                              "arrival to mapped window")):
        values = [r[i] for r in rows]
        print("%-26s median %.2f s, min %.2f s, max %.2f s" % (
            what, statistics.median(values), min(values), max(values)))


if __name__ == "__main__":
    main()
