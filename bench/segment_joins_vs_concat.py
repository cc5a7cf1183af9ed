#!/usr/bin/env python3
"""Segment joins: the movie runtime against gst-launch-1.0 concat over the same three segments.

Makes three 1-second H.264 MP4 segments (25 frames/s), once with an AAC track and once without,
runs bench_segment_joins over them (the runtime's SegmentPlayer, frames timed in its video sink),
then plays the same files with gst-launch-1.0 and concat (one concat per stream, synchronised
fakesinks) RUNS times, timing each rendered video frame as its line arrives. A join's gap is the wall time between the last frame
of one segment and the first frame of the next; a seamless join shows the frame interval, 40 ms.
Prints one machine-readable line per player.
usage: bench/segment_joins_vs_concat.py [BUILD_DIR] [RUNS]"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else 'build'
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5


def make_segment(path, pattern, audio):
    args = ['gst-launch-1.0', '-q', '-e',
            'videotestsrc', 'num-buffers=25', f'pattern={pattern}', '!',
            'video/x-raw,width=320,height=240,framerate=25/1', '!', 'openh264enc', '!', 'h264parse',
            '!', 'queue', '!', 'mp4mux', 'name=m', '!', 'filesink', f'location={path}']
    if audio:
        args += ['audiotestsrc', 'num-buffers=100', 'samplesperbuffer=441', '!',
                 'audio/x-raw,rate=44100,channels=2', '!', 'avenc_aac', '!', 'aacparse', '!',
                 'queue', '!', 'm.']
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def concat_gaps(files, audio):
    args = ['stdbuf', '-oL', 'gst-launch-1.0', '-v',
            'concat', 'name=vc', '!', 'videoconvert', '!', 'fakesink', 'name=vsink', 'sync=true',
            'silent=false']
    if audio:
        args += ['concat', 'name=ac', '!', 'audioconvert', '!', 'fakesink', 'sync=true']
    for i, f in enumerate(files):
        args += ['filesrc', f'location={f}', '!', 'qtdemux', f'name=d{i}',
                 f'd{i}.video_0', '!', 'queue', '!', 'h264parse', '!', 'avdec_h264', '!', 'vc.']
        if audio:
            args += [f'd{i}.audio_0', '!', 'queue', '!', 'aacparse', '!', 'avdec_aac', '!', 'ac.']
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    frames = []
    pts_re = re.compile(r'vsink:sink\).*?pts: (\d+):(\d+):(\d+)\.(\d+)')
    for line in proc.stdout:
        m = pts_re.search(line)
        if m:
            h, mi, s, frac = m.groups()
            pts = (int(h) * 3600 + int(mi) * 60 + int(s)) * 1e3 + int(frac) / 1e6
            frames.append((time.monotonic() * 1e3, pts))
    proc.wait()
    return [frames[i][0] - frames[i - 1][0]
            for i in range(1, len(frames)) if frames[i][1] < frames[i - 1][1]]


def summary(name, gaps):
    if not gaps:
        sys.exit(name + ': no joins seen')
    print(f'{name}: joins={len(gaps)} gap_mean_ms={statistics.mean(gaps):.1f} '
          f'gap_max_ms={max(gaps):.1f} frame_interval_ms=40.0')


def runtime_gaps(folder):
    env = dict(os.environ, NIVRA_BENCH_SEGMENTS=folder)
    out = subprocess.run([os.path.join(build, 'bin', 'bench_segment_joins'),
                          '--benchmark_format=console'], env=env, text=True,
                         capture_output=True, check=True).stdout
    m = re.search(r'join_gap_max_ms=(\S+)\s+join_gap_mean_ms=(\S+)', out)
    if not m:
        sys.exit('bench_segment_joins gave no result:\n' + out)
    return float(m.group(2).rstrip('m')), float(m.group(1).rstrip('m'))


for audio in (True, False):
    kind = 'video+audio' if audio else 'video only'
    with tempfile.TemporaryDirectory() as work:
        files = [os.path.join(work, f'X_{i}.mp4') for i in (1, 2, 3)]
        for i, f in enumerate(files):
            make_segment(f, i * 2, audio)
        mean, worst = runtime_gaps(work)
        print(f'movie runtime ({kind}): joins=10 gap_mean_ms={mean:.1f} gap_max_ms={worst:.1f} '
              f'frame_interval_ms=40.0')
        gaps = []
        for _ in range(runs):
            gaps += concat_gaps(files, audio)
        summary(f'gst-launch concat ({kind})', gaps)
