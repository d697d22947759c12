#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""page_check.py TARVIK PAGE PUZZLES [--screenshot PNG]

The page tarvik.html in headless Chromium through WebDriver, opened from file:// in one session:
three puzzles of PUZZLES typed cell by cell and the rest set through the address's fragment, each
run at print levels 0 to 3 (the level changed in its field, Run pressed or Enter typed); the
console report shown, its download and the Sudout.txt download are compared byte for byte with
what the native program TARVIK writes for the Sudin.txt that the page offers, itself compared with
the one these parameters make. Then a refused value shows the program's message beside its field,
a link with a fragment reproduces its run on a fresh load, and the browser's log shows no request
for anything but the page itself. A Sudin.txt pasted whole fills the fields, and a run can be
cancelled. Exits 77 (skipped) where Chromium, its driver, Selenium or the page are absent; a
missing tool fails instead where TARVIK_TOOLS_REQUIRED is set."""
import os
import shutil
import subprocess
import sys
import tempfile
import urllib.parse

SKIP = 77
DRIVER = "/usr/bin/chromedriver"
TYPED = 3  # puzzles typed cell by cell; the others come through the fragment
SHOWN = 1 << 20  # the most of a console report the page shows

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    webdriver = None

HEAVY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench", "puzzles",
                     "heavy-17-clues.txt")
# Pastes a text into the grid's fifth cell, as the browser does when one pastes.
PASTE = """
const data = new DataTransfer();
data.setData('text/plain', arguments[0]);
document.querySelectorAll('#grid input')[4].dispatchEvent(
    new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
"""

# Waits for the run after the n-th to end, then hands back what the page shows and offers.
WAIT_FOR_RUN = """
const [after, done] = arguments;
const $ = (id) => document.getElementById(id);
const read = (id) => fetch($(id).href).then((r) => r.text());
const check = () => {
  const outcome = $('outcome');
  if (Number(outcome.dataset.runs) <= after) { setTimeout(check, 5); return; }
  const shown = {state: outcome.dataset.state, outcome: outcome.textContent,
                 console: $('console').textContent, page: $('page').srcdoc || '',
                 cut: !$('cut').hidden};
  if (shown.state !== 'done') { done(shown); return; }
  Promise.all([read('download-sudin'), read('download-console'), read('download-sudout')])
    .then(([sudin, consoleText, sudout]) =>
      done(Object.assign(shown, {sudin, consoleDownload: consoleText, sudout})));
};
check();
"""


def puzzles(path):
    found = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.split()
            if fields and len(fields[0]) == 81 and not line.startswith("#"):
                found.append(fields[0].replace(".", "0"))
    return found


def sudin(puzzle, level, steps=40, sequence="4123"):
    rows = "".join(" ".join(puzzle[r * 9:r * 9 + 9]) + "\n" for r in range(9))
    codes = " ".join(sequence[k % len(sequence)] for k in range(steps))
    return rows + f"{level} 4 {steps}\n{codes}\n"


class Native:
    """The native program's two channels for a Sudin.txt, each run in a folder of its own."""

    def __init__(self, tarvik, work):
        self.tarvik, self.work, self.count = tarvik, work, 0

    def run(self, text):
        self.count += 1
        folder = os.path.join(self.work, f"run-{self.count}")
        os.mkdir(folder)
        with open(os.path.join(folder, "Sudin.txt"), "w", encoding="ascii") as f:
            f.write(text)
        done = subprocess.run([self.tarvik], cwd=folder, capture_output=True, check=True)
        with open(os.path.join(folder, "Sudout.txt"), encoding="ascii") as f:
            return done.stdout.decode("ascii"), f.read()


class Check:
    def __init__(self):
        self.faults = []

    def equal(self, what, got, expected):
        if got == expected:
            return
        at = next((k for k, (a, b) in enumerate(zip(got, expected)) if a != b),
                  min(len(got), len(expected)))
        self.faults.append(f"{what}: differs at character {at} ({len(got)} against "
                           f"{len(expected)}): {got[at:at + 40]!r} against {expected[at:at + 40]!r}")


def main():
    tarvik, page, puzzle_file = sys.argv[1:4]
    screenshot = sys.argv[5] if len(sys.argv) > 5 and sys.argv[4] == "--screenshot" else None
    chromium = shutil.which("chromium")
    missing = [what for what, there in (("chromium", chromium), ("chromium-driver", os.path.exists(DRIVER)),
                                        ("python3-selenium", webdriver)) if not there]
    if missing:
        print(f"{', '.join(missing)} not installed (Debian: apt-get install {' '.join(missing)})")
        return 1 if os.environ.get("TARVIK_TOOLS_REQUIRED") else SKIP
    if not os.path.isfile(page):
        print(f"skipped: no page at {page} (cmake --workflow --preset wasm)")
        return SKIP

    url = "file://" + urllib.parse.quote(os.path.abspath(page))
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1200,1500"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    check = Check()
    runs = 0
    with tempfile.TemporaryDirectory() as work:
        native = Native(tarvik, work)
        driver = webdriver.Chrome(service=Service(DRIVER), options=options)
        try:
            driver.set_script_timeout(60)
            driver.get(url)

            def field(name):
                return driver.find_element(By.ID, "field-" + name)

            def wait():
                nonlocal runs
                shown = driver.execute_async_script(WAIT_FOR_RUN, runs)
                runs += 1
                return shown

            def compare(what, shown, text):
                if shown["state"] != "done":
                    check.faults.append(f"{what}: {shown['state']}: {shown['outcome']}")
                    return
                check.equal(f"{what}: the Sudin.txt offered", shown["sudin"], text)
                console, file = native.run(text)
                # The page shows the first megabyte of a longer report, and says so.
                check.equal(f"{what}: the console report shown", shown["console"],
                            console[:SHOWN])
                if shown["cut"] != (len(console) > SHOWN):
                    check.faults.append(f"{what}: the cut of the report is not said")
                check.equal(f"{what}: the console report's download", shown["consoleDownload"],
                            console)
                check.equal(f"{what}: the Sudout.txt download", shown["sudout"], file)
                if "<svg" not in shown["page"]:
                    check.faults.append(f"{what}: no run page")

            def set_level(level, enter):
                box = field("l")
                box.clear()
                box.send_keys(str(level))
                if enter:
                    box.send_keys(Keys.ENTER)
                else:
                    driver.find_element(By.ID, "run").click()

            for number, puzzle in enumerate(puzzles(puzzle_file), start=1):
                if number <= TYPED:
                    driver.find_element(By.ID, "clear").click()
                    driver.find_elements(By.CSS_SELECTOR, "#grid input")[0].click()
                    ActionChains(driver).send_keys(puzzle).perform()
                    set_level(0, enter=True)
                else:
                    driver.execute_script("location.hash = arguments[0]",
                                          "p=" + puzzle + "&l=0&b=4&s=40&q=4123")
                compare(f"puzzle {number}, level 0", wait(), sudin(puzzle, 0))
                for level in (1, 2, 3):
                    set_level(level, enter=level == 2)
                    compare(f"puzzle {number}, level {level}", wait(), sudin(puzzle, level))

            # Other steps and sequence, through the fragment.
            last = puzzles(puzzle_file)[-1]
            driver.execute_script("location.hash = arguments[0]", f"p={last}&l=2&b=4&s=30&q=41")
            compare("30 steps of 41", wait(), sudin(last, 2, 30, "41"))

            # A whole Sudin.txt pasted into a cell fills every field; the run can be cancelled.
            with open(HEAVY, encoding="ascii") as f:
                heavy = f.read()
            driver.execute_script(PASTE, heavy)
            driver.find_element(By.ID, "run").click()
            compare("a pasted Sudin.txt", wait(), heavy)
            driver.execute_script("document.getElementById('field-l').value = '3';"
                                  "document.getElementById('run').click();"
                                  "document.getElementById('cancel').click();")
            shown = wait()
            check.equal("a run cancelled", shown["state"], "cancelled")

            # A refused value: the program's message for that Sudin.txt, without its place.
            set_level(1, enter=False)
            wait()
            steps = field("s")
            steps.clear()
            steps.send_keys("101", Keys.ENTER)
            shown = wait()
            message = driver.execute_script(
                "return document.getElementById('refusal-s').textContent")
            check.equal("101 steps refused", f"{shown['state']}: {message}",
                        "refused: number of steps: found 101, expected an integer from 5 to 100")
            steps.clear()
            steps.send_keys("40")
            # A repeated value in the grid: the second 5 of row 1, both cells marked.
            first = "5" + "0" * 80
            driver.execute_script("location.hash = arguments[0]", f"p={first[:1]}5{first[2:]}&l=1")
            shown = wait()
            message = driver.execute_script(
                "return document.getElementById('refusal-grid').textContent")
            marked = driver.execute_script(
                "return [...document.querySelectorAll('#grid input.refused')]"
                ".map((c) => c.getAttribute('aria-label'))")
            check.equal("a repeated value refused", f"{shown['state']}: {message}: {marked}",
                        "refused: row 1, column 2: found 5, expected no second 5 in row 1 (there is "
                        "one at row 1, column 1): ['row 1, column 1', 'row 1, column 2']")

            # A link reproduces its run on a fresh load.
            example = puzzles(puzzle_file)[0]
            driver.get("about:blank")
            driver.get(url + f"#p={example}&l=2&b=4&s=40&q=4123")
            runs = 0
            compare("the link's run", wait(), sudin(example, 2))
            if screenshot:
                driver.save_screenshot(screenshot)

            # Nothing but the page itself was asked for.
            for entry in driver.get_log("performance"):
                if '"Network.requestWillBeSent"' not in entry["message"]:
                    continue
                for scheme in ("http:", "https:", "ws:", "wss:", "ftp:"):
                    if f'"url":"{scheme}' in entry["message"]:
                        check.faults.append("a request: " + entry["message"][:300])
            for entry in driver.get_log("browser"):
                if entry["level"] == "SEVERE":
                    check.faults.append("the browser's log: " + entry["message"][:300])
        finally:
            driver.quit()
    for fault in check.faults[:20]:
        print(fault)
    print(f"{runs} runs checked on the last load, {native.count} against the native program, "
          f"{len(check.faults)} faults")
    return 1 if check.faults else 0


if __name__ == "__main__":
    sys.exit(main())
