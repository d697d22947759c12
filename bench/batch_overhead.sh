#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the batch mode adds around the solve, in instructions (callgrind): the instructions of
#   tarvik --batch --jobs=1 --quiet FILE > /dev/null
# less the same run on an empty file, against an in-process loop that solves the same puzzles
# without any report (tarvik_solve_only), less its own run on an empty file. Target: at most 10 %
# above, on kaggle_first1000, sudoku17_first1000 and magictour_top1465_first1000.
#
#   bench/batch_overhead.sh [BUILD_DIR [CORPUS_DIR]]   (defaults: build/release, ../shared/corpus)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/release}
corpus=${2:-$repo/../shared/corpus}

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target tarvik tarvik_solve_only > /dev/null
tarvik=$(cd "$build/src" && pwd)/tarvik
solve_only=$(cd "$build/bench" && pwd)/tarvik_solve_only

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
: > "$scratch/empty.txt"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$scratch/out" "$@" > /dev/null 2> "$scratch/log"
  sed -n 's/.*Collected : *//p' "$scratch/log"
}

printf '%-32s %14s %14s %9s\n' collection batch solve-only overhead
for name in kaggle_first1000 sudoku17_first1000 magictour_top1465_first1000; do
  file=$corpus/$name.txt
  batch=$(($(instructions "$tarvik" --batch --jobs=1 --quiet "$file") -
           $(instructions "$tarvik" --batch --jobs=1 --quiet "$scratch/empty.txt")))
  alone=$(($(instructions "$solve_only" "$file") - $(instructions "$solve_only" "$scratch/empty.txt")))
  printf '%-32s %14d %14d %8.1f%%\n' "$name" "$batch" "$alone" \
    "$(echo "100 * ($batch - $alone) / $alone" | bc -l)"
done
