#!/usr/bin/env python3
"""nivra-tool play --headless against gst-launch-1.0 playbin with the same fake sinks.

On a 1280x720 VP8 + Vorbis file generated here (8 s), in the same run:
  - time to the first decoded frame: process start to nivra-tool's "open" line (the graph has
    prerolled: the first decoded frame is at the video sink) and to gst-launch's
    "Pipeline is PREROLLED";
  - total decode time: process start to exit, fake sinks not synchronised to the clock;
  - real-time playback CPU use: user + system CPU time over wall time, fake sinks synchronised;
  - and, for scale, the start-up alone (nivra-tool play --help, gst-launch-1.0 --version).
Prints the medians of RUNS runs (default 5; CPU runs: 2) and the ratios nivra / gst-launch.

usage: bench/play_vs_gst_launch.py [BUILD_DIR] [RUNS]
"""

import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
tool = os.path.join(build, "bin", "nivra-tool")
if not os.access(tool, os.X_OK):
    sys.exit(f"missing {tool} (build target nivra-tool)")

SECONDS = 8


def generate(path):
    frames = SECONDS * 25
    audio_buffers = SECONDS * 44100 // 1024 + 1
    subprocess.run(
        ["gst-launch-1.0", "-q",
         # a moving zone plate: detail everywhere, so the decoder has real work
         "videotestsrc", "pattern=zone-plate", "kx2=20", "ky2=20", "kt=1",
         f"num-buffers={frames}", "!",
         "video/x-raw,width=1280,height=720,framerate=25/1", "!",
         "vp8enc", "deadline=1", "threads=2", "target-bitrate=3000000", "!", "queue", "!",
         "webmmux", "name=m", "!", "filesink", f"location={path}",
         "audiotestsrc", f"num-buffers={audio_buffers}", "!",
         "audio/x-raw,rate=44100,channels=2", "!", "vorbisenc", "!", "queue", "!", "m."],
        check=True)


def timed(cmd, first_marker):
    """Runs cmd; returns (ms to the first line containing first_marker, ms to exit, cpu s)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    first = None
    for line in proc.stdout:
        if first is None and first_marker(line):
            first = (time.monotonic() - start) * 1000
    proc.wait()
    total = (time.monotonic() - start) * 1000
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if proc.returncode != 0 or first is None:
        sys.exit(f"{cmd[0]} failed (exit {proc.returncode})")
    return first, total, cpu


def nivra(path, sync):
    cmd = [tool, "play", path, "--headless"] + ([] if sync else ["--no-sync"])
    return timed(cmd, lambda l: l.startswith("open "))


def gst(path, sync):
    s = "true" if sync else "false"
    cmd = ["gst-launch-1.0", "playbin", "uri=file://" + os.path.abspath(path),
           f"video-sink=fakesink sync={s}", f"audio-sink=fakesink sync={s}"]
    return timed(cmd, lambda l: "PREROLLED" in l)


def report(name, unit, ours, theirs):
    a, b = statistics.median(ours), statistics.median(theirs)
    print(f"{name:<24} nivra-tool {a:9.1f} {unit}   gst-launch {b:9.1f} {unit}   "
          f"ratio {a / b:5.2f}")


def startup(cmd):
    """ms for a process that only starts and exits (the share of start-up in the times above)."""
    start = time.monotonic()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return (time.monotonic() - start) * 1000


with tempfile.TemporaryDirectory() as work:
    media = os.path.join(work, "hd.webm")
    generate(media)
    print(f"720p file: {os.path.getsize(media)} bytes, {SECONDS} s; {runs} runs")
    first = {"nivra": [], "gst": []}
    total = {"nivra": [], "gst": []}
    for _ in range(runs):
        for name, run in (("nivra", nivra), ("gst", gst)):
            f, t, _ = run(media, sync=False)
            first[name].append(f)
            total[name].append(t)
    report("process start-up", "ms", [startup([tool, "play", "--help"]) for _ in range(runs)],
           [startup(["gst-launch-1.0", "--version"]) for _ in range(runs)])
    report("first decoded frame", "ms", first["nivra"], first["gst"])
    report("total decode (no sync)", "ms", total["nivra"], total["gst"])
    cpu = {"nivra": [], "gst": []}
    for _ in range(max(1, min(runs, 2))):
        for name, run in (("nivra", nivra), ("gst", gst)):
            _, t, c = run(media, sync=True)
            cpu[name].append(100.0 * c / (t / 1000))
    report("real-time CPU", "%", cpu["nivra"], cpu["gst"])
