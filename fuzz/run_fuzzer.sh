#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds tarvik_fuzzer with clang++ in WORK_DIR and runs it on a fresh copy of the seed corpus for
# SECONDS, or for what is left of BUDGET seconds once it is built (at least 20 seconds), so that
# the whole test stays within BUDGET on a fresh build tree.
#
# Exit status: 0 when nothing was found; 1 on a finding (the input is kept in WORK_DIR/findings;
# add it to the seed corpus once fixed) or a failed build; 77 when clang++ or its fuzzer runtime is
# missing, unless TARVIK_FUZZ_REQUIRED is set (as in CI), which makes that a failure too.
#
# Usage: run_fuzzer.sh CMAKE GENERATOR FUZZ_SOURCE_DIR WORK_DIR SECONDS BUDGET
set -uo pipefail
cmake_command=$1 generator=$2 fuzz_dir=$3 work_dir=$4 seconds=$5 budget=$6
SECONDS=0

skip() {
  echo "$1: fuzzing skipped"
  if [ -n "${TARVIK_FUZZ_REQUIRED:-}" ]; then exit 1; fi
  exit 77
}

compiler=$(command -v clang++ || command -v clang++-14 || true)
[ -n "$compiler" ] || skip "clang++ not found"
mkdir -p "$work_dir" && cd "$work_dir" || exit 1

# The fuzzer runtime comes with clang's compiler-rt, which some systems package apart.
if [ ! -x probe ]; then
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    > probe.cpp
  if ! "$compiler" -fsanitize=fuzzer,address,undefined probe.cpp -o probe > probe.log 2>&1; then
    cat probe.log
    skip "$compiler cannot build a libFuzzer target"
  fi
fi

"$cmake_command" -S "$fuzz_dir" -B build -G "$generator" -DCMAKE_CXX_COMPILER="$compiler" \
  > configure.log 2>&1 || { cat configure.log; exit 1; }
"$cmake_command" --build build --target tarvik_fuzzer || exit 1

left=$((budget - SECONDS))
[ "$left" -lt "$seconds" ] && seconds=$left
[ "$seconds" -lt 20 ] && seconds=20
echo "built in ${SECONDS} s; fuzzing for ${seconds} s"

rm -rf corpus findings && mkdir corpus findings && cp "$fuzz_dir"/corpus/* corpus/ || exit 1
# Whole runs at print level 3 with ten levels of guesses write reports of megabytes; the limits
# leave room for them under the sanitizers.
# A unit slower than 10 s is reported as slow by default: under the sanitizers a batch of heavy
# puzzles can take that long on a loaded machine without anything being wrong; -timeout stays 60.
build/tarvik_fuzzer -max_total_time="$seconds" -timeout=60 -report_slow_units=60 \
  -rss_limit_mb=2048 -max_len=8192 \
  -print_final_stats=1 -artifact_prefix=findings/ corpus > fuzz.log 2>&1
status=$?
if [ "$status" -ne 0 ] || [ -n "$(ls findings)" ]; then
  tail -n 150 fuzz.log
  echo "fuzzing found a failing input (status $status), kept in $work_dir/findings:"
  ls -l findings
  exit 1
fi
tail -n 15 fuzz.log
exit 0
