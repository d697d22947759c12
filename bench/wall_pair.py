#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Paired wall and processor time of two builds on one classic run.

    bench/wall_pair.py BEFORE AFTER [SUDIN] [ROUNDS] [LEVEL]

Runs BEFORE and AFTER (paths of tarvik) in turn in a scratch directory holding SUDIN (default
bench/puzzles/heavy-17-clues.txt) at print level LEVEL (default 0), the order swapped every round
so that a drift in the machine's load weighs on both alike, standard output to /dev/null; prints
the medians and minima and their ratios. Default 31 rounds.
"""
import os
import re
import resource
import statistics
import subprocess
import sys
import tempfile
import time

repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
before, after = (os.path.abspath(p) for p in sys.argv[1:3])
sudin = sys.argv[3] if len(sys.argv) > 3 else os.path.join(repo, "bench/puzzles/heavy-17-clues.txt")
rounds = int(sys.argv[4]) if len(sys.argv) > 4 else 31
level = sys.argv[5] if len(sys.argv) > 5 else "0"

builds = {"before": before, "after": after}
wall = {k: [] for k in builds}
cpu = {k: [] for k in builds}
with tempfile.TemporaryDirectory() as scratch:
    with open(sudin) as f:
        lines = f.read().split("\n")
    lines[9] = re.sub(r"^[-+0-9]*", level, lines[9])
    with open(os.path.join(scratch, "Sudin.txt"), "w") as f:
        f.write("\n".join(lines))
    for r in range(rounds):
        order = ["before", "after"] if r % 2 == 0 else ["after", "before"]
        for k in order:
            start = resource.getrusage(resource.RUSAGE_CHILDREN)
            t = time.perf_counter()
            subprocess.run([builds[k]], cwd=scratch, stdout=subprocess.DEVNULL, check=True)
            wall[k].append(time.perf_counter() - t)
            end = resource.getrusage(resource.RUSAGE_CHILDREN)
            cpu[k].append(end.ru_utime - start.ru_utime + end.ru_stime - start.ru_stime)

for k in builds:
    print(f"{k:7s} wall median {1000 * statistics.median(wall[k]):6.1f} ms (min "
          f"{1000 * min(wall[k]):6.1f})  processor median {1000 * statistics.median(cpu[k]):6.1f} ms "
          f"(min {1000 * min(cpu[k]):6.1f})")
print("after / before: wall median %.3f, min %.3f; processor median %.3f" % (
    statistics.median(wall["after"]) / statistics.median(wall["before"]),
    min(wall["after"]) / min(wall["before"]),
    statistics.median(cpu["after"]) / statistics.median(cpu["before"])))
