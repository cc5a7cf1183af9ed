"""Kills the saving helper (ad_save_loop) with SIGKILL at random moments, a hundred times, and
checks after every kill that each of the three state files is whole: the mini record file holds
exactly 534 bytes and the right record file exactly 530, each decodes to one save's values, the
counters file holds one save's counters, and no file is older than the one saved before it. The
temporary file of the killed save is removed by the next run, so they never pile up."""

import os
import random
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import unittest

HELPER = sys.argv[1] if len(sys.argv) > 1 else "ad_save_loop"
RUNS = 100


def url(kind, n, letter):
    return ("http://ads.example/%s%s%d" % (kind, letter * 480, n)).encode().ljust(512, b"\0")


def mini_values(n):
    return (n, n % 1000, n % 777, url("mini", n, chr(ord("a") + n % 26)), n & 0xFFFF,
            (n >> 16) & 0xFFFF, (n * 3) & 0xFFFF, (n * 3) & 0xFFFF, (n * 3) & 0xFFFF)


def right_values(n):
    return (n, n % 1000, n % 777, url("right", n, chr(ord("z") - n % 26)), n * 7, (n * 5) & 0xFFFF)


class KilledDuringSave(unittest.TestCase):
    def test_every_file_stays_whole(self):
        folder = tempfile.mkdtemp(prefix="nivra-ad-kill-")
        self.addCleanup(shutil.rmtree, folder, True)
        rng = random.Random(int(os.environ.get("NIVRA_KILL_SEED", time.time_ns())))
        last = 0
        for run in range(RUNS):
            helper = subprocess.Popen([HELPER, folder], stdout=subprocess.PIPE, text=True)
            self.assertEqual(helper.stdout.readline().strip(), "saving")
            time.sleep(rng.uniform(0, 0.03))
            helper.send_signal(signal.SIGKILL)
            helper.wait()
            helper.stdout.close()
            last = self.check_whole(folder, last, run)
            # Only the killed save's own temporary file, at most.
            leftovers = [f for f in os.listdir(folder) if f.startswith(".")]
            self.assertLessEqual(len(leftovers), 1, "run %d: %s" % (run, leftovers))
        print("%d kills, %d saves" % (RUNS, last), file=sys.stderr)

    def check_whole(self, folder, last, run):
        def read(name):
            with open(os.path.join(folder, name), "rb") as f:
                return f.read()
        mini, right = read("NVRM.dat"), read("NVRR.dat")
        self.assertEqual((len(mini), len(right)), (534, 530), "run %d" % run)
        mini_fields = struct.unpack("<Iii512sHHHHH", mini)
        right_fields = struct.unpack("<Iii512siH", right)
        n = mini_fields[0]
        self.assertEqual(mini_fields, mini_values(n), "run %d" % run)
        self.assertEqual(right_fields, right_values(right_fields[0]), "run %d" % run)
        counters = read("NVRSet.ini").decode()
        values = dict(re.findall(r"^(\w+)=(.*)$", counters, re.M))
        c = int(values["TodayMiniCount"])
        self.assertEqual((int(values["TodayRightCount"]), int(values["rigtsvc"])), (2 * c, 3 * c),
                         "run %d" % run)
        self.assertTrue(values["MiniPopData"] and values["RightPopData"], "run %d" % run)
        # Saved in the order mini, right, counters: at most one save apart, never going back.
        self.assertIn(n - right_fields[0], (0, 1), "run %d" % run)
        self.assertIn(right_fields[0] - c, (0, 1), "run %d" % run)
        self.assertGreaterEqual(c, last, "run %d" % run)
        return n


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
