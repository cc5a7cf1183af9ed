#!/usr/bin/env python3
"""Hand-over latency: a first nivra runs; each of RUNS second starts carries a link. Measured
per run: from the second process's start until the first instance has handled WM_COPYDATA (its
reply arrived and the second process ended), next to the start time of the bare binary (same
command-line parsing, nothing else). Prints medians in milliseconds.

usage: handover_latency.py BUILD_BIN_DIR [RUNS]
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from nivra_env import NivraEnv  # noqa: E402


def timed(cmd, env):
    start = time.perf_counter()
    subprocess.run(cmd, env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (time.perf_counter() - start) * 1000


def main():
    bin_dir = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    env = NivraEnv(os.path.join(bin_dir, "nivra"))
    try:
        env.start_first()
        handover, bare = [], []
        for i in range(runs):  # interleaved, so both see the same machine state
            bare.append(timed([os.path.join(bin_dir, "nivra_bare_start"), f"Nivra://bench{i}"], env.env))
            handover.append(timed([env.binary, f"Nivra://bench{i}"], env.env))
            env.wait_for(lambda lines, i=i: f"OpenPending:Nivra://bench{i}" in lines)
    finally:
        env.close()
    print(f"handover_median_ms {statistics.median(handover):.2f}")
    print(f"bare_start_median_ms {statistics.median(bare):.2f}")
    print(f"ratio {statistics.median(handover) / statistics.median(bare):.2f}")


if __name__ == "__main__":
    main()
