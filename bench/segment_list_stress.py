#!/usr/bin/env python3
"""Segment lists under load: PLAYS consecutive plays of a three-segment list (1000, 1000 and
400 ms of H.264 video with AAC sound, made here) through the movie runtime's variable protocol,
served with byte ranges on 127.0.0.1, while two niced busy loops keep both cores busy. Once for
FLV segments, MP4 segments and MP4 segments named .f4v. The plays run in chunks of CHUNK, each
with its own busy loops that end with the chunk. Prints the counts per container.
usage: bench/segment_list_stress.py [BUILD_DIR] [PLAYS] [CHUNK]"""
import os
import re
import signal
import subprocess
import sys
import tempfile

build = sys.argv[1] if len(sys.argv) > 1 else 'build'
plays = int(sys.argv[2]) if len(sys.argv) > 2 else 200
chunk = int(sys.argv[3]) if len(sys.argv) > 3 else 50
here = os.path.dirname(os.path.abspath(__file__))
server_script = os.path.join(here, '..', 'tests', 'support', 'range_server.py')
LENGTHS = (1000, 1000, 400)
signal.signal(signal.SIGTERM, lambda *_: sys.exit('stopped'))  # the finally blocks end the helpers


def make_segment(path, ms, pattern, mux):
    subprocess.run(
        ['gst-launch-1.0', '-q', 'videotestsrc', f'num-buffers={ms // 40}', f'pattern={pattern}',
         '!', 'video/x-raw,width=320,height=240,framerate=25/1', '!', 'openh264enc', '!',
         'h264parse', '!', 'queue', '!', mux, 'name=m', '!', 'filesink', f'location={path}',
         'audiotestsrc', f'num-buffers={ms // 10}', 'samplesperbuffer=441', '!',
         'audio/x-raw,rate=44100,channels=2', '!', 'avenc_aac', '!', 'aacparse', '!', 'queue',
         '!', 'm.'], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def busy_loops(seconds):
    return [subprocess.Popen(['timeout', str(seconds), 'nice', '-n', '19', 'sh', '-c',
                              'while :; do :; done']) for _ in range(2)]


def run_chunk(list_file, count):
    env = dict(os.environ, NIVRA_MOVIE_SINKS='fake', NIVRA_BENCH_LIST=list_file,
               NIVRA_BENCH_PLAYS=str(count), NIVRA_BENCH_TOTAL_MS=str(sum(LENGTHS)))
    loops = busy_loops(count * 4 + 30)
    try:
        done = subprocess.run([os.path.join(build, 'bin', 'bench_segment_joins'),
                               '--benchmark_filter=BM_MovieListPlays'], env=env, text=True,
                              capture_output=True)
    finally:
        for p in loops:
            p.terminate()
            p.wait()
    counts = dict((k, float(v.rstrip('k')) * (1000 if v.endswith('k') else 1))
                  for k, v in re.findall(r'(\w+)=([\d.]+k?)', done.stdout))
    if 'plays' not in counts:
        sys.exit('bench_segment_joins gave no counts:\n' + done.stdout + done.stderr)
    for line in done.stderr.splitlines():
        if line.startswith('play '):
            print('   ', line, flush=True)
    return counts


with tempfile.TemporaryDirectory() as www:
    for i, ms in enumerate(LENGTHS, 1):
        make_segment(os.path.join(www, f'F_{i}.flv'), ms, 2 * i - 1, 'flvmux')
        make_segment(os.path.join(www, f'X_{i}.mp4'), ms, 2 * i, 'mp4mux')
        os.link(os.path.join(www, f'X_{i}.mp4'), os.path.join(www, f'V_{i}.f4v'))
    server = subprocess.Popen(['/usr/bin/python3', server_script, www], stdout=subprocess.PIPE,
                              text=True)
    try:
        port = int(server.stdout.readline().split()[1])
        for name, base, ext in (('FLV', 'F_', 'flv'), ('MP4', 'X_', 'mp4'),
                                ('F4V-named MP4', 'V_', 'f4v')):
            list_file = os.path.join(www, f'{base}list.txt')
            with open(list_file, 'w') as f:
                f.write('\r\n'.join(f'http://127.0.0.1:{port}/{base}{i}.{ext}?l={ms}'
                                    for i, ms in enumerate(LENGTHS, 1)))
            total = {}
            left = plays
            while left > 0:
                counts = run_chunk(list_file, min(chunk, left))
                left -= min(chunk, left)
                for k, v in counts.items():
                    total[k] = max(total.get(k, 0), v) if k == 'longest_play_ms' else total.get(k, 0) + v
                print(f'  {name}: {plays - left}/{plays} played', flush=True)
            print(f'{name}: plays={total["plays"]:.0f} ended_with_total_duration='
                  f'{total["ended"] - total["wrong_duration"]:.0f} errors={total["errors"]:.0f} '
                  f'hangs={total["hangs"]:.0f} wrong_duration={total["wrong_duration"]:.0f} '
                  f'buffering_phases={total["buffering"]:.0f} '
                  f'longest_play_ms={total["longest_play_ms"]:.0f}', flush=True)
    finally:
        server.terminate()
        server.wait()
