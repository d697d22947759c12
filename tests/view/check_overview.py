#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks overviews of a batch: their structure, that they parse as HTML5 without error, and
that a browser shows the outcomes and the distributions on the first screen, in a window of
1200 px that the page fits. The overview of a sweep shows its sets first, then the best set's
sections: there the first screen has the sets' table and charts.

    check_overview.py [--part=structure|html5|browser|all] [--screenshots=DIR] PAGE...

The tools, the skipping and the exit statuses are those of check_pages.py, whose parts this
uses.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_pages  # noqa: E402
from check_pages import Failure, expect  # noqa: E402

MAX_OVERVIEW_BYTES = 1_000_000
OUTCOMES = ("solved", "step-limit", "no-solution", "no-further-guesses")


class Outline(check_pages.PageOutline):
    """The page's outline, with its links apart from what could load something."""

    def __init__(self):
        super().__init__()
        self.links = []
        self.charts = 0

    def handle_starttag(self, tag, attrs):
        named = dict(attrs)
        if tag == "a" and "href" in named:
            self.links.append(named["href"] or "")
            attrs = [(k, v) for k, v in attrs if k != "href"]
        if tag == "svg" and "chart" in (named.get("class") or "").split():
            self.charts += 1
        super().handle_starttag(tag, attrs)


def check_structure(text):
    expect(len(text.encode("utf-8")) <= MAX_OVERVIEW_BYTES,
           f"larger than {MAX_OVERVIEW_BYTES} bytes")
    expect(text.startswith("<!DOCTYPE html>"), "does not start with <!DOCTYPE html>")
    lowered = text.lower()
    for banned in ("<script", "http:", "https:", "//", "@import", "url("):
        expect(banned not in lowered, f"holds {banned!r}")
    ids = re.findall(r' id="([^"]*)"', text)
    expect(len(ids) == len(set(ids)), "an id given twice")
    page = Outline()
    page.feed(text)
    page.close()
    expect(not page.resources, f"loads outside resources: {page.resources}")
    for link in page.links:
        expect(re.fullmatch(r"(?:[A-Za-z0-9._~-]|%[0-9A-F]{2})+(?:/(?:[A-Za-z0-9._~-]|%[0-9A-F]{2})+)*",
                            link) is not None, f"a link that is not a relative path: {link!r}")
    sweep = is_sweep(text)
    # A sweep's share solved against steps and its puzzles by the sets that solve them.
    charts = 5 if sweep else 3
    expect(page.charts == charts, f"{page.charts} charts, expected {charts}")
    facts = ("sets", "lines-read", "puzzles", "refused", "files")
    for fact in facts if sweep else facts[1:]:
        expect(re.fullmatch(r"[0-9]+", page.texts.get(fact, "")), f"no number for {fact}")
    if sweep:
        sets = int(page.texts["sets"])
        rows = len(re.findall(r"<tr[ >]", section(text, "parameter-sets"))) - 1
        expect(rows == min(sets, 200), f"{rows} rows of {sets} sets")
        expect((sets > 200) == ('id="more-sets"' in text), "the sets left out are not counted")
        best = text.find('id="best-set"')
        expect(best != -1 and best < text.find('id="outcomes"'),
               "no heading of the best set's sections before them")
    return f"{len(page.links)} relative links, {page.charts} charts"


def is_sweep(text):
    return ' id="parameter-sets"' in text


def section(text, name):
    """The markup of the section whose heading has the id `name`."""
    start = text.find(f' id="{name}"')
    expect(start != -1, f"no section {name}")
    return text[start:text.find("</section>", start)]


def check_screenshot(png, text):
    width, height, rows = check_pages.read_png(png)
    expect((width, height) == check_pages.WINDOW, f"screenshot of {width} x {height}")
    colours = check_pages.light_colours(text)
    expect(colours.get("page") and all(f"o-{o}" in colours for o in OUTCOMES),
           "the outcome colours are missing from the style")
    if is_sweep(text):
        # The columns of puzzles by the sets that solve them, in the colour of solved.
        solved = colours["o-solved"]
        column = sum(1 for row in rows if check_pages.runs_in(row, solved, 20))
        expect(column >= 20, "no columns of puzzles solved by some set on the first screen")
        return f"{column} rows across the columns of solved puzzles on the first screen"
    # The bar of all lines: a long run of each outcome's colour (the synthetic batch has them
    # all, the solved ones most).
    for outcome, length in zip(OUTCOMES, (400, 40, 20, 40)):
        colour = colours[f"o-{outcome}"]
        bar = sum(1 for row in rows if check_pages.runs_in(row, colour, length))
        expect(bar >= 20, f"no bar of {outcome} lines on the first screen")
    # The charts: a row that crosses many columns of solved puzzles, side by side.
    solved = colours["o-solved"]
    most = max(check_pages.runs_in(row, solved, 4) for row in rows)
    expect(most >= 18, f"at most {most} columns of solved puzzles side by side: no charts")
    return f"the outcome bar and {most} chart columns on the first screen"


def page_width(browser, path):
    """The page's scroll width in a window as wide as the screenshots', measured by a copy of the
    page with a script that writes it into the title."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    probe = text.replace(
        "</body>",
        "<script>document.title = 'width ' + document.documentElement.scrollWidth + ' of ' + "
        "window.innerWidth;</script></body>")
    with tempfile.TemporaryDirectory(prefix="tarvik-width-") as scratch:
        copy = os.path.join(scratch, "probe.html")
        with open(copy, "w", encoding="utf-8") as f:
            f.write(probe)
        command = [browser, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                   "--disable-background-networking", "--disable-component-update",
                   "--disable-sync", "--hide-scrollbars", f"--user-data-dir={scratch}/profile",
                   f"--window-size={check_pages.WINDOW[0]},{check_pages.WINDOW[1]}",
                   "--dump-dom", "file://" + copy]
        try:
            result = subprocess.run(command, capture_output=True, timeout=120, check=False)
        except subprocess.TimeoutExpired:
            raise Failure("chromium did not finish within 120 s") from None
    found = re.search(rb"<title>width (\d+) of (\d+)</title>", result.stdout)
    expect(found is not None, "chromium gave no width")
    return int(found.group(1)), int(found.group(2))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--part", choices=["structure", "html5", "browser", "all"], default="all")
    parser.add_argument("--screenshots", help="folder for the screenshots")
    parser.add_argument("pages", nargs="+", metavar="PAGE")
    args = parser.parse_args()

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
        browser = check_pages.find_browser() if part == "browser" else None
        if part == "browser" and not browser:
            print("skipped browser: chromium is not installed (Debian: chromium)")
            continue
        ran.append(part)
        with tempfile.TemporaryDirectory(prefix="tarvik-overview-") as scratch:
            shots = args.screenshots or scratch
            os.makedirs(shots, exist_ok=True)
            for path in args.pages:
                try:
                    with open(path, encoding="utf-8", errors="strict", newline="") as f:
                        text = f.read()
                    if part == "structure":
                        said = check_structure(text)
                    elif part == "html5":
                        said = check_pages.check_html5(text)
                    else:
                        png = os.path.join(
                            shots, os.path.splitext(os.path.basename(path))[0] + ".png")
                        if os.path.exists(png):
                            os.remove(png)
                        check_pages.render(browser, path, png)
                        said = check_screenshot(png, text)
                        # Long FILE names and messages wrap: nothing is wider than the window.
                        width, window = page_width(browser, path)
                        expect(width <= window, f"{width} px wide in a window of {window} px")
                        said += f", {width} px wide"
                    print(f"ok {part} {path}: {said}")
                except (Failure, OSError, UnicodeDecodeError) as error:
                    print(f"FAILED {part} {path}: {error}")
                    failed = True
    if failed:
        return 1
    return 0 if ran else check_pages.SKIPPED


if __name__ == "__main__":
    sys.exit(main())
