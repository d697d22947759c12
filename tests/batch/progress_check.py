# SPDX-License-Identifier: MIT
"""The batch's progress line on terminals, run as the built program on pseudo-terminals.

Usage: progress_check.py TARVIK COLLECTION

- Rows and progress on one terminal: the rows are the progress, so no progress line is drawn.
- Standard error alone a terminal: one percentage across two FILEs, never going back, never 100 %
  before the last row, and the line erased before the summary.
- TERM=dumb: the line is redrawn with carriage returns and blanks, without escape sequences.
"""
import os
import pty
import re
import subprocess
import sys
import tempfile


def run_on_terminal(args, both, term):
    """Runs args with standard error (and standard output when both) on a new pseudo-terminal;
    returns what the terminal got and, when not both, what standard output got."""
    master, slave = pty.openpty()
    env = dict(os.environ)
    if term is None:
        env.pop("TERM", None)
    else:
        env["TERM"] = term
    with tempfile.TemporaryFile() as rows:
        process = subprocess.Popen(args, stdout=slave if both else rows, stderr=slave, env=env)
        os.close(slave)
        seen = b""
        while True:
            try:
                chunk = os.read(master, 65536)
            except OSError:  # the terminal is gone once the program ends
                break
            if not chunk:
                break
            seen += chunk
        status = process.wait()
        os.close(master)
        rows.seek(0)
        return status, seen, rows.read()


def fail(message):
    print("progress_check: " + message)
    sys.exit(1)


def main():
    tarvik, collection = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        with open(collection, "rb") as source:
            # Puzzle lines only, so that copies of them make one collection with no header.
            lines = b"".join(line for line in source.readlines() if re.match(rb"[0-9.]{81}", line))
        first, second = os.path.join(scratch, "a.txt"), os.path.join(scratch, "b.txt")
        # Enough cheap puzzles for the line to be drawn: it waits a quarter of a second.
        for name in (first, second):
            with open(name, "wb") as out:
                out.write(lines * 40)
        # Then a small FILE of slow puzzles, the one with the most steps again and again: read in
        # one go, it takes seconds to work, so a share of the input read would show 100 % long
        # before its last row.
        graded = subprocess.run([tarvik, "--batch", "--quiet", "--no-header", first],
                                capture_output=True).stdout.splitlines()
        slowest = max(graded, key=lambda row: int(row.split(b"\t")[5])).split(b"\t")[2]
        third = os.path.join(scratch, "c.txt")
        with open(third, "wb") as out:
            out.write((slowest + b"\n") * 300)
        total = 2 * 40 * len(lines.splitlines()) + 300
        args = [tarvik, "--batch", "--jobs=1", first, second, third]

        status, screen, _ = run_on_terminal(args, both=True, term="xterm")
        if status != 0:
            fail("rows on a terminal: status %d" % status)
        if b"\r\x1b[K" in screen or b"/s, " in screen.replace(b"/s):", b""):
            fail("rows on a terminal: a progress line among the rows")

        status, errors, rows = run_on_terminal(args, both=False, term="xterm")
        if status != 0 or not rows:
            fail("standard error alone: status %d, %d bytes of rows" % (status, len(rows)))
        shares = [int(m) for m in re.findall(rb"/s, (\d+)%", errors)]
        if len(shares) < 2:
            fail("standard error alone: fewer than two percentages: %r" % errors[-300:])
        if shares != sorted(shares) or shares[-1] > 100:
            fail("standard error alone: the percentage goes back: %r" % shares)
        # The share is of the work done, the rows out, never of the input read ahead of them.
        early = [m for m in re.findall(rb"(\d+) puzzles, [0-9]+/s, 100%", errors)
                 if int(m) < total]
        if early:
            fail("standard error alone: 100%% after %s of %d rows" % (early[0].decode(), total))
        if not any(share < 50 for share in shares) or not any(share > 50 for share in shares):
            fail("standard error alone: not one figure across both FILEs: %r" % shares)
        last = errors.rfind(b"\r\x1b[K")
        if last < 0 or not errors[last + 4:].startswith(b"tarvik: " + first.encode()):
            fail("standard error alone: the line is not erased before the summary")

        for term in ("dumb", None):
            status, errors, _ = run_on_terminal(args, both=False, term=term)
            if b"\x1b" in errors:
                fail("TERM=%s: an escape sequence" % term)
            if b"\r" not in errors or b"%" not in errors:
                fail("TERM=%s: no progress line redrawn with carriage returns" % term)
    print("progress_check: all checks passed")


if __name__ == "__main__":
    main()
