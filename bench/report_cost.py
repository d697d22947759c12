#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Processor time of full reports, for one build or several side by side.

For each TARVIK given: the heavy case (bench/puzzles/heavy-17-clues.txt) at print levels 0 and 3,
standard output to a file, Sudout.txt present from the round before; beside it `cat` writing the same
bytes to the same two places (two processes, their processor time summed), and the batch with
`--jobs=1 --reports=DIR --print-level=3` on a collection (forum_hardest_1106), the report files
present from the round before. Rounds alternate between the builds; medians of 5 rounds,
processor time (user + system) in milliseconds.

    bench/report_cost.py TARVIK [TARVIK...] [--corpus DIR]
"""
import os
import resource
import statistics
import subprocess
import sys
import tempfile

ROUNDS = 5
REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def cpu_ms(command, cwd, stdout_path):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    with open(stdout_path, "wb") as out:
        subprocess.run(command, cwd=cwd, stdout=out, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return 1000 * (after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)


def main():
    args = sys.argv[1:]
    corpus = os.path.join(REPO, "..", "shared", "corpus")
    if "--corpus" in args:
        at = args.index("--corpus")
        corpus = args[at + 1]
        del args[at:at + 2]
    builds = [os.path.abspath(a) for a in args]
    collection = os.path.join(corpus, "forum_hardest_1106.txt")
    with open(os.path.join(REPO, "bench", "puzzles", "heavy-17-clues.txt")) as f:
        lines = f.read().split("\n")
    rest = lines[9][lines[9].index(" "):]
    times = {b: {"level0": [], "report": [], "cat": [], "batch": []} for b in builds}
    with tempfile.TemporaryDirectory() as scratch:
        for k, build in enumerate(builds):
            for name, level in (("run", "3"), ("cat", "3"), ("level0", "0")):
                d = os.path.join(scratch, str(k), name)
                os.makedirs(d)
                lines[9] = level + rest
                with open(os.path.join(d, "Sudin.txt"), "w") as f:
                    f.write("\n".join(lines))
        for _ in range(ROUNDS + 1):  # the first round only leaves the files in place
            for k, build in enumerate(builds):
                run = os.path.join(scratch, str(k), "run")
                cat = os.path.join(scratch, str(k), "cat")
                level0 = os.path.join(scratch, str(k), "level0")
                times[build]["level0"].append(
                    cpu_ms([build], level0, os.path.join(level0, "console.out")))
                report = cpu_ms([build], run, os.path.join(run, "console.out"))
                copy = cpu_ms(["cat", os.path.join(run, "console.out")], cat,
                              os.path.join(cat, "console.out"))
                copy += cpu_ms(["cat", os.path.join(run, "Sudout.txt")], cat,
                               os.path.join(cat, "Sudout.txt"))
                batch = cpu_ms([build, "--batch", "--jobs=1", "--quiet", "--reports=reports",
                                "--print-level=3", collection], run, os.devnull)
                for key, value in (("report", report), ("cat", copy), ("batch", batch)):
                    times[build][key].append(value)
        print(f"{'build':44} {'level 0':>8} {'level 3':>8} {'cat':>8} {'3 / cat':>8} "
              f"{'batch':>8}  (ms, median)")
        for build in builds:
            m = {key: statistics.median(v[1:]) for key, v in times[build].items()}
            print(f"{build[-44:]:44} {m['level0']:8.1f} {m['report']:8.1f} {m['cat']:8.1f} "
                  f"{m['report'] / m['cat']:8.2f} {m['batch']:8.1f}")


main()
