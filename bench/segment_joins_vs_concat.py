#!/usr/bin/env python3
"""Segment joins: the movie runtime against gst-launch-1.0 concat over the same segments.

Makes SEGMENTS (default 11, so ten joins) 1-second H.264 segments at 25 frames/s, as FLV and as
MP4, each once with an AAC track and once without. For every set, in the same run: the runtime's
SegmentPlayer plays the list (bench_segment_joins BM_SegmentJoins, every buffer timed as its
synchronised fakesink renders it), and gst-launch-1.0 plays the same files through concat (one
concat per stream, synchronised fakesinks), each buffer timed as its line arrives. Both RUNS times.
  join gap: wall time between the last frame of one segment and the first frame of the next; a
            seamless join shows the frame interval, 40 ms.
  A/V offset: wall time from a segment's first frame to its first sound buffer, in the first
            segment and in the last one (after all the joins); the difference is the drift.
Prints one machine-readable line per player and set, and the ratios runtime/concat.
usage: bench/segment_joins_vs_concat.py [BUILD_DIR] [RUNS] [SEGMENTS]"""
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else 'build'
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
segments = int(sys.argv[3]) if len(sys.argv) > 3 else 11
MUX = {'flv': 'flvmux', 'mp4': 'mp4mux'}
DEMUX = {'flv': ('flvdemux', 'video', 'audio'), 'mp4': ('qtdemux', 'video_0', 'audio_0')}


def make_segment(path, container, pattern, audio):
    args = ['gst-launch-1.0', '-q', 'videotestsrc', 'num-buffers=25', f'pattern={pattern}', '!',
            'video/x-raw,width=320,height=240,framerate=25/1', '!', 'openh264enc', '!', 'h264parse',
            '!', 'queue', '!', MUX[container], 'name=m', '!', 'filesink', f'location={path}']
    if audio:
        args += ['audiotestsrc', 'num-buffers=100', 'samplesperbuffer=441', '!',
                 'audio/x-raw,rate=44100,channels=2', '!', 'avenc_aac', '!', 'aacparse', '!',
                 'queue', '!', 'm.']
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def split_segments(times):
    """[(wall, pts)] of one sink -> the wall times of each segment (a falling pts starts one)."""
    parts = []
    for i, (wall, pts) in enumerate(times):
        if i == 0 or pts < times[i - 1][1]:
            parts.append([])
        parts[-1].append(wall)
    return parts


def concat_run(files, container, audio):
    demux, vpad, apad = DEMUX[container]
    args = ['stdbuf', '-oL', 'gst-launch-1.0', '-v',
            'concat', 'name=vc', '!', 'videoconvert', '!', 'fakesink', 'name=vsink', 'sync=true',
            'silent=false']
    if audio:
        args += ['concat', 'name=ac', '!', 'audioconvert', '!', 'fakesink', 'name=asink',
                 'sync=true', 'silent=false']
    for i, f in enumerate(files):
        args += ['filesrc', f'location={f}', '!', demux, f'name=d{i}',
                 f'd{i}.{vpad}', '!', 'queue', '!', 'h264parse', '!', 'avdec_h264', '!', 'vc.']
        if audio:
            args += [f'd{i}.{apad}', '!', 'queue', '!', 'aacparse', '!', 'avdec_aac', '!', 'ac.']
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    seen = {'vsink': [], 'asink': []}
    pts_re = re.compile(r'(vsink|asink):sink\).*?pts: (\d+):(\d+):(\d+)\.(\d+)')
    for line in proc.stdout:
        m = pts_re.search(line)
        if m:
            sink, h, mi, s, frac = m.groups()
            pts = (int(h) * 3600 + int(mi) * 60 + int(s)) * 1e3 + int(frac) / 1e6
            seen[sink].append((time.monotonic() * 1e3, pts))
    proc.wait()
    video = split_segments(seen['vsink'])
    gaps = [video[k + 1][0] - video[k][-1] for k in range(len(video) - 1)]
    steps = [s[i] - s[i - 1] for s in video for i in range(1, len(s))]
    offsets = None
    if audio:
        sound = split_segments(seen['asink'])
        offsets = (sound[0][0] - video[0][0], sound[-1][0] - video[-1][0])
    return gaps, offsets, max(steps)


def runtime_run(list_file):
    env = dict(os.environ, NIVRA_BENCH_LIST=list_file)
    done = subprocess.run([os.path.join(build, 'bin', 'bench_segment_joins'),
                           '--benchmark_filter=BM_SegmentJoins'], env=env, text=True,
                          capture_output=True)
    counters = dict((k, float(v)) for k, v in re.findall(r'(\w+)=(-?[\d.]+)', done.stdout))
    gaps = re.search(r'join_gaps_ms:(.*)', done.stderr)
    if 'join_gap_mean_ms' not in counters or not gaps:
        sys.exit('bench_segment_joins gave no result:\n' + done.stdout + done.stderr)
    counters['gaps'] = [float(g) for g in gaps.group(1).split()]
    offsets = None
    counters.setdefault('frame_step_max_ms', 0.0)
    if 'av_offset_last_ms' in counters:
        offsets = (counters['av_offset_first_ms'], counters['av_offset_last_ms'])
    return counters, offsets


def line(name, gaps, offsets, step):
    text = (f'{name}: joins={len(gaps)} gap_mean_ms={statistics.mean(gaps):.1f} '
            f'gap_max_ms={max(gaps):.1f} frame_interval_ms=40.0 '
            f'longest_step_inside_segments_ms={step:.1f}')
    if offsets:
        first = statistics.mean(o[0] for o in offsets)
        last = statistics.mean(o[1] for o in offsets)
        text += (f' av_offset_first_ms={first:.1f} av_offset_after_{segments - 1}_joins_ms={last:.1f}'
                 f' drift_per_join_ms={(last - first) / (segments - 1):.1f}')
    print(text, flush=True)
    return statistics.mean(gaps), offsets and abs(statistics.mean(o[1] for o in offsets))


for container in ('flv', 'mp4'):
    for audio in (True, False):
        kind = f'{container.upper()} ' + ('video+sound' if audio else 'video only')
        with tempfile.TemporaryDirectory() as work:
            files = [os.path.join(work, f'S_{i:02}.{container}') for i in range(1, segments + 1)]
            for i, f in enumerate(files):
                make_segment(f, container, i % 20, audio)
            list_file = os.path.join(work, 'list.txt')
            with open(list_file, 'w') as out:
                out.write('\r\n'.join(files))
            ours_gaps, ours_offsets, concat_gaps, concat_offsets = [], [], [], []
            ours_step = concat_step = 0.0
            for _ in range(runs):
                counters, offsets = runtime_run(list_file)
                ours_gaps += counters['gaps']
                ours_step = max(ours_step, counters['frame_step_max_ms'])
                if offsets:
                    ours_offsets.append(offsets)
                gaps, offsets, step = concat_run(files, container, audio)
                concat_gaps += gaps
                concat_step = max(concat_step, step)
                if offsets:
                    concat_offsets.append(offsets)
            ours = line(f'movie runtime ({kind})', ours_gaps, ours_offsets, ours_step)
            theirs = line(f'gst-launch concat ({kind})', concat_gaps, concat_offsets, concat_step)
            ratio = f'ratio runtime/concat ({kind}): gap_mean={ours[0] / theirs[0]:.2f}'
            if audio and theirs[1]:
                ratio += f' av_offset_after_joins={ours[1] / theirs[1]:.3f}'
            print(ratio, flush=True)
