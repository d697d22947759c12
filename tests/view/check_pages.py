#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks run pages: their structure, that they parse as HTML5 without error, and how a browser
shows them.

    check_pages.py [--part=structure|html5|browser|all] [--screenshots=DIR] PAGE[=OUTCOME]...

OUTCOME is solved, step-limit, no-solution or no-further-guesses; the page's outcome line must
then be that one. The structure part needs only the standard library; the html5 part needs
html5lib (Debian: python3-html5lib); the browser part needs chromium. A part whose tool is
missing is skipped with a message; the exit status is 77 when nothing could be checked, 1 when a
check failed, else 0. Screenshots go to DIR (default: a temporary directory).
"""

import argparse
import collections
import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

SKIPPED = 77
MAX_PAGE_BYTES = 5_000_000
FULL_ATTEMPTS = 40
WINDOW = (1200, 1600)

OUTCOME_LINES = {
    "solved": "Puzzle Solved ",
    "step-limit": "Puzzle not solved in maximum number of steps",
    "no-solution": " No guesses possible.   Error in puzzle definition.   No solution",
    "no-further-guesses": "Puzzle not solved  -  no further guesses possible",
}


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


# ---- Structure, with the standard library's parser ----

class PageOutline(html.parser.HTMLParser):
    """Collects what the structure checks look at."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack = []  # open elements: (tag, attributes)
        self.grid_cells = {}  # table id -> <td> count in its body
        self.grid_heads = {}  # table id -> <th> count
        self.texts = {}  # element id -> its text
        self.text_of = []  # ids whose text is being collected
        self.polylines = []  # class attributes of the chart's polylines
        self.polygons = []
        self.svg_children = []  # tags directly inside the <svg>
        self.details = []  # (id, open) of each <details>
        self.middle_rows = 0  # rows of the summary table
        self.resources = []  # attributes that could load something

    def _inside(self, tag):
        return any(t == tag for t, _ in self.stack)

    def _table_id(self):
        for t, attrs in reversed(self.stack):
            if t == "table":
                return attrs.get("id")
        return None

    VOID = {"meta", "link", "br", "img", "input", "hr", "source", "wbr", "col", "area", "base",
            "embed", "param", "track"}

    def handle_starttag(self, tag, attrs):
        attrs = {k: (v or "") for k, v in attrs}
        for name in ("src", "href", "action", "data", "srcset", "poster", "xlink:href"):
            if name in attrs and not attrs[name].startswith("#"):
                self.resources.append(f"{tag} {name}={attrs[name]!r}")
        if tag in ("script", "link", "img", "iframe", "object", "embed", "base"):
            self.resources.append(tag)
        if self.stack and self.stack[-1][0] == "svg":
            self.svg_children.append(tag)
        table = self._table_id()
        if tag == "td" and self._inside("tbody") and table:
            self.grid_cells[table] = self.grid_cells.get(table, 0) + 1
        if tag == "th" and table:
            self.grid_heads[table] = self.grid_heads.get(table, 0) + 1
        if tag == "polyline":
            self.polylines.append(attrs.get("class", ""))
        if tag == "polygon":
            self.polygons.append(attrs.get("class", ""))
        if tag == "details":
            self.details.append((attrs.get("id", ""), "open" in attrs, attrs.get("class", "")))
        if tag == "tr" and self._inside("tbody") and any(
                t == "details" and "middle" in a.get("class", "") for t, a in self.stack):
            self.middle_rows += 1
        if "id" in attrs:
            self.texts[attrs["id"]] = ""
            self.text_of.append((attrs["id"], len(self.stack)))
        if tag not in self.VOID:
            self.stack.append((tag, attrs))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in self.VOID:
            self.handle_endtag(tag)

    def handle_endtag(self, tag):
        while self.stack:
            t, _ = self.stack.pop()
            self.text_of = [(i, depth) for i, depth in self.text_of if depth < len(self.stack)]
            if t == tag:
                break

    def handle_data(self, data):
        for element_id, _ in self.text_of:
            self.texts[element_id] += data


def check_structure(path, text, outcome):
    expect(len(text.encode("utf-8")) <= MAX_PAGE_BYTES, f"larger than {MAX_PAGE_BYTES} bytes")
    expect(text.startswith("<!DOCTYPE html>"), "does not start with <!DOCTYPE html>")
    lowered = text.lower()
    for banned in ("<script", "http:", "https:", "//", "@import", "url("):
        expect(banned not in lowered, f"holds {banned!r}")

    page = PageOutline()
    page.feed(text)
    page.close()
    expect(not page.resources, f"loads outside resources: {page.resources}")
    for grid in ("start-grid", "final-grid"):
        expect(page.grid_cells.get(grid) == 81,
               f"{grid} has {page.grid_cells.get(grid)} cells, expected 81")
        expect(page.grid_heads.get(grid) == 18,
               f"{grid} has {page.grid_heads.get(grid)} row and column numbers, expected 18")

    shown = page.texts.get("outcome")
    if outcome:
        expect(shown == OUTCOME_LINES[outcome],
               f"outcome line {shown!r}, expected {OUTCOME_LINES[outcome]!r}")
    else:
        expect(shown in OUTCOME_LINES.values(), f"outcome line {shown!r} is none of the four")

    for fact in ("attempts", "steps", "depth", "empty"):
        expect(re.fullmatch(r"[0-9]+", page.texts.get(fact, "")), f"no number for {fact}")
    attempts = int(page.texts["attempts"])
    expect(0 <= int(page.texts["depth"]) <= 10, "depth outside 0 to 10")

    expect(page.svg_children[:2] == ["title", "desc"],
           f"the chart does not begin with <title> and <desc>: {page.svg_children[:2]}")
    lines = [c for c in page.polylines if "attempt" in c.split()]
    finals = [c for c in lines if "final" in c.split()]
    bands = [c for c in page.polygons if "band" in c.split()]
    expect(len(finals) == 1, f"{len(finals)} final chart lines, expected 1")
    attempt_details = [d for d in page.details if d[0].startswith("attempt-")]
    opened = [d[0] for d in attempt_details if d[1]]
    expect(opened == [f"attempt-{attempts}"], f"open attempts {opened}, expected the last only")
    middle = [d for d in page.details if "middle" in d[2].split()]
    if attempts <= FULL_ATTEMPTS:
        expect(len(lines) == attempts, f"{len(lines)} chart lines for {attempts} attempts")
        expect(not bands, "a band beside one line per attempt")
        expect(len(attempt_details) == attempts,
               f"{len(attempt_details)} attempts in full, expected {attempts}")
        expect(not middle, "summary rows with no more than 40 attempts")
    else:
        expect(len(lines) == 1 and len(bands) == 1,
               f"{len(lines)} lines and {len(bands)} bands, expected the final line over a band")
        numbers = [int(d[0].split("-")[1]) for d in attempt_details]
        wanted = list(range(1, 21)) + list(range(attempts - 19, attempts + 1))
        expect(numbers == wanted, f"attempts in full {numbers}, expected the first and last 20")
        expect(len(middle) == 1 and page.middle_rows == attempts - FULL_ATTEMPTS,
               f"{page.middle_rows} summary rows, expected {attempts - FULL_ATTEMPTS}")
    return f"{attempts} attempts, {len(lines)} chart lines, {len(bands)} band"


# ---- HTML5 parse errors, with html5lib ----

def check_html5(text):
    import html5lib  # imported here: the part is skipped where it is missing
    parser = html5lib.HTMLParser(strict=True)
    try:
        parser.parse(text)
    except html5lib.html5parser.ParseError as error:
        raise Failure(f"html5lib: {error}") from None
    expect(not parser.errors, f"html5lib: {parser.errors[:3]}")
    return "no parse error"


# ---- The browser: a screenshot of the first screen ----

def add_bytes(a, b):
    """Adds two byte strings byte by byte, modulo 256, in a few big-integer operations."""
    n = len(a)
    x, y = int.from_bytes(a, "big"), int.from_bytes(b, "big")
    low, high = int.from_bytes(b"\x7f" * n, "big"), int.from_bytes(b"\x80" * n, "big")
    return (((x & low) + (y & low)) ^ ((x ^ y) & high)).to_bytes(n, "big")


def read_png(path):
    """The width, height and rows (3 bytes a pixel) of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    expect(data[:8] == b"\x89PNG\r\n\x1a\n", "the screenshot is not a PNG")
    pos, idat, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + length
    expect(header is not None, "the PNG has no header")
    width, height, depth, colour, _, _, interlace = header
    expect(depth == 8 and colour in (2, 6) and interlace == 0,
           f"unexpected PNG format: depth {depth}, colour type {colour}, interlace {interlace}")
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    expect(len(raw) == height * (stride + 1), "the PNG data has the wrong length")
    rows, previous = [], bytes(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], raw[start + 1:start + 1 + stride]
        if kind == 1:  # each byte plus the one a pixel to the left: a prefix sum
            shift = channels
            while shift < stride:
                line = add_bytes(line, bytes(shift) + line[:stride - shift])
                shift *= 2
        elif kind == 2:  # plus the byte above
            line = add_bytes(line, previous)
        elif kind in (3, 4):
            out = bytearray(line)
            for x in range(stride):
                left = out[x - channels] if x >= channels else 0
                up = previous[x]
                if kind == 3:
                    out[x] = (out[x] + (left + up) // 2) & 0xFF
                    continue
                corner = previous[x - channels] if x >= channels else 0
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                out[x] = (out[x] + (left if pa <= pb and pa <= pc else up if pb <= pc
                                    else corner)) & 0xFF
            line = bytes(out)
        previous = line
        if channels == 4:
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[0::4], line[1::4], line[2::4]
            line = bytes(rgb)
        rows.append(line)
    return width, height, rows


def light_colours(text):
    """The colours of the page's first :root block (the light scheme), by name, as RGB bytes."""
    block = re.search(r":root\{([^}]*)\}", text)
    expect(block, "no colour block in the style")
    return {name: bytes.fromhex(value)
            for name, value in re.findall(r"--([a-z-]+):#([0-9a-f]{6})", block.group(1))}


def runs_in(row, colour, length):
    """How many separate runs of at least `length` pixels of `colour` a row holds."""
    pattern, found, at = colour * length, 0, row.find(colour * length)
    while at >= 0:
        if at % 3 == 0:
            found += 1
            end = at + len(pattern)
            while row[end:end + 3] == colour:
                end += 3
            at = row.find(pattern, end)
        else:
            at = row.find(pattern, at + 1)
    return found


def check_screenshot(png, text):
    width, height, rows = read_png(png)
    expect((width, height) == WINDOW, f"screenshot of {width} x {height}")
    # Every other pixel of every other row is enough to tell a blank or unstyled page.
    counts = collections.Counter(
        row[x:x + 3] for row in rows[::2] for x in range(0, 3 * width, 6))
    sampled = sum(counts.values())
    colours = light_colours(text)
    expect(len(counts) > 16, f"only {len(counts)} colours: the page looks blank")
    expect(counts.most_common(1)[0][1] < 0.95 * sampled, "one colour fills the screenshot")
    expect(counts.get(colours["page"], 0) > 0.2 * sampled,
           "the page background is missing: the style did not apply")
    for name in ("given", "frame"):
        expect(counts.get(colours[name], 0) > 0, f"no {name} colour: the grids are missing")
    # Both grids whole on the first screen: four thick lines across each (top, two box borders,
    # bottom), drawn side by side at the same height.
    bands, last = 0, None
    for y, row in enumerate(rows):
        if runs_in(row, colours["frame"], 9 * 40) >= 2:
            if last is None or y > last + 1:
                bands += 1
            last = y
    expect(bands >= 4, f"{bands} pairs of grid lines on the first screen, expected 4")
    # The outcome line on the first screen: its bar, 6 pixels of the good or bad colour, runs
    # down at least 30 rows.
    bar = max(sum(1 for row in rows if runs_in(row, colours[name], 6)) for name in ("good", "bad"))
    expect(bar >= 30, "no outcome bar on the first screen")
    return f"{len(counts)} colours, both grids and the outcome on the first screen"


def find_browser():
    for name in ("chromium", "chromium-browser"):
        found = shutil.which(name)
        if found:
            return found
    return None


def render(browser, page, png):
    with tempfile.TemporaryDirectory(prefix="tarvik-chromium-") as profile:
        command = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                   "--no-first-run", "--disable-background-networking",
                   "--disable-component-update", "--disable-sync", "--hide-scrollbars",
                   f"--user-data-dir={profile}", f"--window-size={WINDOW[0]},{WINDOW[1]}",
                   f"--screenshot={png}", "file://" + os.path.abspath(page)]
        try:
            result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                    timeout=120, check=False)
        except subprocess.TimeoutExpired:
            raise Failure("chromium did not finish within 120 s") from None
    expect(os.path.exists(png) and os.path.getsize(png) > 10_000,
           f"chromium wrote no screenshot (status {result.returncode}): "
           f"{result.stdout.decode(errors='replace')[-500:]}")


# ---- Driver ----

def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--part", choices=["structure", "html5", "browser", "all"], default="all")
    parser.add_argument("--screenshots", help="folder for the screenshots")
    parser.add_argument("pages", nargs="+", metavar="PAGE[=OUTCOME]")
    args = parser.parse_args()

    pages = []
    for argument in args.pages:
        path, _, outcome = argument.partition("=")
        if outcome and outcome not in OUTCOME_LINES:
            parser.error(f"unknown outcome {outcome!r}")
        pages.append((path, outcome))

    parts = ["structure", "html5", "browser"] if args.part == "all" else [args.part]
    ran, failed = [], False
    for part in parts:
        if part == "html5":
            try:
                import html5lib  # noqa: F401
            except ImportError:
                print(f"skipped html5: html5lib is not importable by {sys.executable} "
                      "(Debian: python3-html5lib)")
                continue
        browser = find_browser() if part == "browser" else None
        if part == "browser" and not browser:
            print("skipped browser: chromium is not installed (Debian: chromium)")
            continue
        ran.append(part)
        with tempfile.TemporaryDirectory(prefix="tarvik-pages-") as scratch:
            shots = args.screenshots or scratch
            if part == "browser":
                os.makedirs(shots, exist_ok=True)
            for path, outcome in pages:
                try:
                    with open(path, encoding="utf-8", errors="strict", newline="") as f:
                        text = f.read()
                    if part == "structure":
                        said = check_structure(path, text, outcome)
                    elif part == "html5":
                        said = check_html5(text)
                    else:
                        png = os.path.join(
                            shots, os.path.splitext(os.path.basename(path))[0] + ".png")
                        if os.path.exists(png):
                            os.remove(png)
                        render(browser, path, png)
                        said = check_screenshot(png, text)
                    print(f"ok {part} {path}: {said}")
                except (Failure, OSError, UnicodeDecodeError) as error:
                    print(f"FAILED {part} {path}: {error}")
                    failed = True
    if failed:
        return 1
    return 0 if ran else SKIPPED


if __name__ == "__main__":
    sys.exit(main())
