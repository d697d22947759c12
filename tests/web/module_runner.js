// SPDX-License-Identifier: MIT
// node module_runner.js MODULE JOBS
//
// Runs the WebAssembly module on every job of JOBS (one JSON object a line: the Sudin.txt text,
// and the files holding the standard output and the Sudout.txt the native program wrote for it,
// or none where it refused the input) and compares both channels byte for byte. Prints each
// difference and how many jobs agreed; exits 1 on any difference.
'use strict';
const fs = require('fs');

const [modulePath, jobsPath] = process.argv.slice(2);
const TarvikModule = require(modulePath);

function FirstDifference(a, b) {
  const n = Math.min(a.length, b.length);
  for (let k = 0; k < n; ++k) {
    if (a[k] !== b[k]) return k;
  }
  return a.length === b.length ? -1 : n;
}

TarvikModule().then((m) => {
  const text = (which) => {
    const at = m._TarvikText(which) >>> 0;
    return Buffer.from(m.HEAPU8.subarray(at, at + (m._TarvikTextSize(which) >>> 0)));
  };
  const jobs = fs.readFileSync(jobsPath, 'utf8').split('\n').filter((line) => line !== '');
  let agreed = 0;
  const faults = [];
  for (const line of jobs) {
    const job = JSON.parse(line);
    const input = Buffer.from(job.sudin);
    const at = m._malloc(input.length);
    m.HEAPU8.set(input, at);
    const status = m._TarvikRun(at, input.length);
    m._free(at);
    const fault = (what) => faults.push(`${job.name}: ${what}`);
    if (job.console === null) {
      if (status === 0) fault('the native program refused the input, the module ran it');
      else ++agreed;
      continue;
    }
    if (status !== 0) {
      fault(`status ${status}: ${text(2).toString()}`);
      continue;
    }
    let same = true;
    for (const [which, name, path] of [[0, 'standard output', job.console], [1, 'Sudout.txt', job.file]]) {
      const expected = fs.readFileSync(path);
      const got = text(which);
      const at = FirstDifference(got, expected);
      if (at >= 0) {
        same = false;
        fault(`${name} differs at byte ${at} (module ${got.length} bytes, native ` +
              `${expected.length}): ${JSON.stringify(got.subarray(at, at + 40).toString())} against ` +
              `${JSON.stringify(expected.subarray(at, at + 40).toString())}`);
      }
    }
    if (same) ++agreed;
  }
  m._TarvikClear();
  for (const fault of faults.slice(0, 20)) console.log(fault);
  if (faults.length > 20) console.log(`... and ${faults.length - 20} more`);
  console.log(`${agreed} of ${jobs.length} runs the same as the native program's`);
  process.exit(faults.length > 0 ? 1 : 0);
});
