#!/usr/bin/env python3
"""GUI-thread stall while opening a stream whose server answers after DELAY seconds (default 5):
generates a 2 s WebM clip, serves it with tests/player/gst/held_server.py on
127.0.0.1 and runs nivra_open_stall RUNS times (default 3), printing each run and the median.
usage: open_stall.py BUILD_BIN_DIR [DELAY] [RUNS]"""
import os
import statistics
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
bin_dir = sys.argv[1]
delay = sys.argv[2] if len(sys.argv) > 2 else '5'
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3

with tempfile.TemporaryDirectory() as www:
    clip = os.path.join(www, 'clip.webm')
    subprocess.run(['gst-launch-1.0', '-q', 'videotestsrc', 'num-buffers=50', '!',
                    'video/x-raw,width=160,height=120,framerate=25/1', '!', 'vp8enc', '!',
                    'webmmux', '!', 'filesink', 'location=' + clip], check=True)
    server = subprocess.Popen(['/usr/bin/python3',
                               os.path.join(here, '..', 'tests', 'player', 'gst',
                                            'held_server.py'), www, delay],
                              stdout=subprocess.PIPE, text=True)
    try:
        port = server.stdout.readline().split()[1]
        stalls = []
        for _ in range(runs):
            out = subprocess.run([os.path.join(bin_dir, 'nivra_open_stall'),
                                  'http://127.0.0.1:%s/clip.webm' % port],
                                 capture_output=True, text=True, timeout=60).stdout.strip()
            print(out, flush=True)
            stalls.append(float(out.split('longest_stall_ms ')[1]))
        print('median longest_stall_ms %.1f over %d runs (server answers after %s s)'
              % (statistics.median(stalls), runs, delay))
    finally:
        server.terminate()
        server.wait()
