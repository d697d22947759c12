#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""module_cross_check.py TARVIK MODULE CORPUS_DIR

Holds the WebAssembly module of the page to the native program: every puzzle of the collections
in CORPUS_DIR at print level 0 (the native side from one --batch with --reports, whose files are
the classic run's Sudout.txt, standard output included at that level), and every 40th at print
level 3 through the native classic run itself, both channels. One Node process runs the module on
all of them. Exits 77 (skipped) where Node, the module or the collections are absent; a missing
Node fails instead where TARVIK_TOOLS_REQUIRED is set."""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
CELLS = re.compile(r"^[0-9.]{81}$")
LEVEL3_EVERY = 40


def sudin(puzzle, level):
    rows = "".join(" ".join("0" if c == "." else c for c in puzzle[r * 9:r * 9 + 9]) + "\n"
                   for r in range(9))
    # The batch's default parameters: look-back 4, 40 steps, the sequence 4123 repeated.
    return rows + f"{level} 4 40\n" + " ".join("4123" * 10) + "\n"


def main():
    tarvik, module, corpus = sys.argv[1:4]
    node = shutil.which("node") or shutil.which("nodejs")
    if node is None:
        print("no node on the PATH (Debian: apt-get install nodejs)")
        return 1 if os.environ.get("TARVIK_TOOLS_REQUIRED") else SKIP
    if not os.path.isfile(module):
        print(f"skipped: no WebAssembly module at {module} (cmake --workflow --preset wasm)")
        return SKIP
    collections = sorted(os.path.join(corpus, f) for f in os.listdir(corpus)
                         if f.endswith(".txt")) if os.path.isdir(corpus) else []
    if not collections:
        print(f"skipped: no collections in {corpus} (configure with -DTARVIK_CORPUS_DIR=FOLDER)")
        return SKIP

    with tempfile.TemporaryDirectory() as work:
        reports = os.path.join(work, "reports")
        subprocess.run([tarvik, "--batch", *collections, f"--reports={reports}"],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        jobs = []
        sample = 0
        for path in collections:
            stem = os.path.splitext(os.path.basename(path))[0]
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, start=1):
                    puzzle = line.strip()
                    if not CELLS.match(puzzle):
                        continue
                    report = os.path.join(reports, f"{stem}-{number}.txt")
                    found = os.path.isfile(report)
                    jobs.append({"name": f"{stem}:{number} level 0", "sudin": sudin(puzzle, 0),
                                 "console": report if found else None, "file": report})
                    sample += 1
                    if sample % LEVEL3_EVERY != 1:
                        continue
                    run = os.path.join(work, f"classic-{sample}")
                    os.mkdir(run)
                    text = sudin(puzzle, 3)
                    with open(os.path.join(run, "Sudin.txt"), "w", encoding="ascii") as out:
                        out.write(text)
                    console = os.path.join(run, "console.txt")
                    with open(console, "wb") as out:
                        status = subprocess.run([tarvik], cwd=run, stdout=out,
                                                stderr=subprocess.DEVNULL, check=False).returncode
                    jobs.append({"name": f"{stem}:{number} level 3", "sudin": text,
                                 "console": console if status == 0 else None,
                                 "file": os.path.join(run, "Sudout.txt")})
        listed = os.path.join(work, "jobs.jsonl")
        with open(listed, "w", encoding="utf-8") as out:
            out.writelines(json.dumps(job) + "\n" for job in jobs)
        runner = os.path.join(os.path.dirname(os.path.abspath(__file__)), "module_runner.js")
        return subprocess.run([node, runner, os.path.abspath(module), listed],
                              check=False).returncode


if __name__ == "__main__":
    sys.exit(main())
