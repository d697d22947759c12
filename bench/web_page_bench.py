#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""web_page_bench.py PAGE PORTABLE_TARVIK [ROUNDS]

Figures of the page tarvik.html in headless Chromium (Debian's chromium and chromium-driver),
for bench/RESULTS.md: its size; the time from the start of its load to the grid ready to type
and to the module ready to run; the heavy case (bench/puzzles/heavy-17-clues.txt) at print level
0, the time of the run inside the page's worker against the whole native run of PORTABLE_TARVIK
(the portable preset's build), medians of ROUNDS (9); and at print level 2 and 3, the time from
Run to the report in the page."""
import os
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

HERE = os.path.dirname(os.path.abspath(__file__))
HEAVY = os.path.join(HERE, "puzzles", "heavy-17-clues.txt")

RUN_AND_WAIT = """
const [level, done] = arguments;
const $ = (id) => document.getElementById(id);
const outcome = $('outcome');
const after = Number(outcome.dataset.runs);
$('field-l').value = String(level);
$('run').click();
const check = () => {
  if (Number(outcome.dataset.runs) <= after) { setTimeout(check, 2); return; }
  done({state: outcome.dataset.state, solve: Number(outcome.dataset.solveMs),
        report: Number(outcome.dataset.reportMs), text: outcome.textContent});
};
check();
"""


def main():
    page, portable = sys.argv[1], os.path.abspath(sys.argv[2])
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 9
    url = "file://" + urllib.parse.quote(os.path.abspath(page))
    print(f"page: {os.path.getsize(page):,} bytes")

    with open(HEAVY, encoding="ascii") as f:
        lines = f.read().split("\n")
    grid = "".join(lines[r].replace(" ", "") for r in range(9))
    _, back, steps = lines[9].split()
    sequence = "".join(lines[10].split())[:int(steps)]

    native = []
    with tempfile.TemporaryDirectory() as work:
        with open(os.path.join(work, "Sudin.txt"), "w", encoding="ascii") as f:
            f.write("\n".join(lines))
        for _ in range(rounds):
            start = time.perf_counter()
            subprocess.run([portable], cwd=work, stdout=subprocess.DEVNULL, check=True)
            native.append((time.perf_counter() - start) * 1000)

    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        ready, module = [], []
        for _ in range(rounds):
            driver.get("about:blank")
            driver.get(url)
            times = driver.execute_async_script("""
              const done = arguments[0];
              const o = document.getElementById('outcome');
              const check = () => o.dataset.moduleMs ? done([Number(o.dataset.readyMs),
                  Number(o.dataset.moduleMs)]) : setTimeout(check, 2);
              check();""")
            ready.append(times[0])
            module.append(times[1])
        print(f"ready to type: median {statistics.median(ready):.0f} ms "
              f"(from {min(ready):.0f} to {max(ready):.0f}); module ready: median "
              f"{statistics.median(module):.0f} ms")

        driver.get("about:blank")
        driver.get(url + f"#p={grid}&l=0&b={back}&s={steps}&q={sequence}")
        driver.set_script_timeout(120)
        driver.find_element(By.ID, "run")
        inside = []
        for _ in range(rounds):
            shown = driver.execute_async_script(RUN_AND_WAIT, 0)
            inside.append(shown["solve"])
        print(f"heavy case, level 0 ({shown['text']}): in the page {statistics.median(inside):.1f} ms "
              f"median (from {min(inside):.1f} to {max(inside):.1f}); native portable "
              f"{statistics.median(native):.1f} ms median (from {min(native):.1f} to "
              f"{max(native):.1f}), whole process; ratio "
              f"{statistics.median(inside) / statistics.median(native):.2f}")
        for level in (2, 3):
            shown_times = [driver.execute_async_script(RUN_AND_WAIT, level)["report"]
                           for _ in range(3)]
            print(f"heavy case, level {level}: report shown {statistics.median(shown_times):.0f} ms "
                  f"after Run (median of 3; from {min(shown_times):.0f} to {max(shown_times):.0f})")
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
