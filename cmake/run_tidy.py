#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""run_tidy.py BUILD_DIR SOURCE_DIR CLANG_TIDY [JOBS]

Runs clang-tidy, warnings as errors, over the program's sources in BUILD_DIR's compile database,
with the fuzz target, the benchmarks and the tests' shared support, JOBS at a time (default: one
per processor). It reads the database of an ordinary build, so nothing is compiled twice. The
test programs' own files are left out: they take most of clang-tidy's time, and gcc and clang
build them with warnings as errors. Prints what clang-tidy found in each failing file and exits 1
if any failed."""

import concurrent.futures
import json
import os
import pathlib
import re
import subprocess
import sys


def main(build_dir, source_dir, clang_tidy, jobs=None):
    source_dir = pathlib.Path(source_dir).resolve()
    ours = re.compile(re.escape(str(source_dir)) + r"/(src|tests/support|fuzz|bench)/")
    with open(pathlib.Path(build_dir) / "compile_commands.json", encoding="utf-8") as database:
        files = sorted({entry["file"] for entry in json.load(database) if ours.match(entry["file"])})

    def tidy(path):
        done = subprocess.run([clang_tidy, "--quiet", "--warnings-as-errors=*", "-p", build_dir, path],
                              capture_output=True, text=True, check=False)
        return path, done.returncode, done.stdout + done.stderr

    failed = 0
    workers = int(jobs) if jobs else os.cpu_count() or 1
    with concurrent.futures.ThreadPoolExecutor(max_workers=workers) as pool:
        for path, status, output in pool.map(tidy, files):
            if status != 0:
                failed += 1
                print(f"clang-tidy: {os.path.relpath(path, source_dir)}:\n{output}", flush=True)
    print(f"clang-tidy: {len(files)} files, {failed} with findings")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
