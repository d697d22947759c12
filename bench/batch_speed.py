#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Times the batch mode on the public collections, beside one classic process per puzzle.

For each collection: puzzles per second of `tarvik --batch --jobs=1` and `--jobs=2` (median wall
time of 5 runs, alternating, with processor time beside it), and the wall time of one classic
`tarvik` process per puzzle, each in a directory of its own holding that puzzle's Sudin.txt with
the batch's default parameters (print level 0, look-back 4, 40 steps, 4123 repeated). Output goes
to /dev/null. Targets: the batch at least 50 times faster than the processes on
kaggle_first1000; two threads at least 1.8 times one thread on sudoku17_first1000 and
magictour_top1465_first1000.

    bench/batch_speed.py TARVIK [CORPUS_DIR]
"""
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

COLLECTIONS = ["kaggle_first1000", "sudoku17_first1000", "magictour_top1465_first1000"]
RUNS = 5


def timed(command, cwd=None):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        subprocess.run(command, cwd=cwd, stdout=null, stderr=null, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu


def sudin(puzzle):
    rows = []
    for r in range(9):
        cells = puzzle[9 * r:9 * r + 9].replace(".", "0")
        rows.append(" ".join(cells))
    return "\n".join(rows) + "\n0 4 40\n" + " ".join("4123" * 10) + "\n"


def main():
    tarvik = os.path.abspath(sys.argv[1])
    corpus = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
        os.path.dirname(__file__), "..", "..", "shared", "corpus")
    print(f"{'collection':30} {'jobs=1 /s':>10} {'jobs=2 /s':>10} {'2 vs 1':>7} "
          f"{'cpu1 s':>7} {'cpu2 s':>7} {'procs /s':>9} {'batch vs procs':>15}")
    for name in COLLECTIONS:
        path = os.path.join(corpus, name + ".txt")
        with open(path) as f:
            puzzles = [line[:81] for line in f if len(line) >= 81 and not line.startswith("#")]
        walls = {1: [], 2: []}
        cpus = {1: [], 2: []}
        for _ in range(RUNS):
            for jobs in (1, 2):
                wall, cpu = timed([tarvik, "--batch", f"--jobs={jobs}", "--quiet", path])
                walls[jobs].append(wall)
                cpus[jobs].append(cpu)
        one = statistics.median(walls[1])
        two = statistics.median(walls[2])
        with tempfile.TemporaryDirectory() as scratch:
            dirs = []
            for k, puzzle in enumerate(puzzles):
                d = os.path.join(scratch, str(k))
                os.mkdir(d)
                with open(os.path.join(d, "Sudin.txt"), "w") as f:
                    f.write(sudin(puzzle))
                dirs.append(d)
            start = time.perf_counter()
            with open(os.devnull, "wb") as null:
                for d in dirs:
                    subprocess.run([tarvik], cwd=d, stdout=null, stderr=null, check=False)
            procs = time.perf_counter() - start
        n = len(puzzles)
        print(f"{name:30} {n / one:10.0f} {n / two:10.0f} {one / two:7.2f} "
              f"{statistics.median(cpus[1]):7.3f} {statistics.median(cpus[2]):7.3f} "
              f"{n / procs:9.0f} {procs / one:15.1f}")


if __name__ == "__main__":
    main()
