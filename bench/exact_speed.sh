#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The exact solver beside the batch, per puzzle, one thread: the instructions of
#   tarvik --batch --jobs=1 --quiet FILE > /dev/null
# less the same run on an empty file, against the solver's own instructions (callgrind, counted
# only inside CountSolutions, in tarvik_exact_bench --rounds 0), and the solver's puzzles per
# second (processor time, best of 5 rounds). "with" is what the batch would cost with the counts
# added: (batch + solver) / batch.
#
#   bench/exact_speed.sh [BUILD_DIR [CORPUS_DIR]]   (defaults: build/release, ../shared/corpus)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/release}
corpus=${2:-$repo/../shared/corpus}

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target tarvik tarvik_exact_bench > /dev/null
tarvik=$(cd "$build/src" && pwd)/tarvik
bench=$(cd "$build/bench" && pwd)/tarvik_exact_bench

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
: > "$scratch/empty.txt"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$scratch/out" "$@" > /dev/null 2> "$scratch/log"
  sed -n 's/.*Collected : *//p' "$scratch/log"
}

printf '%-30s %8s %14s %12s %10s %8s %11s\n' collection puzzles batch/puzzle exact/puzzle \
  exact/batch with puzzles/s
for name in kaggle_first1000 sudoku17_first1000 magictour_top1465_first1000 \
            serg_benchmark_first1000; do
  file=$corpus/$name.txt
  puzzles=$(grep -c -v '^#' "$file")
  batch=$(($(instructions "$tarvik" --batch --jobs=1 --quiet "$file") -
           $(instructions "$tarvik" --batch --jobs=1 --quiet "$scratch/empty.txt")))
  exact=$(valgrind --tool=callgrind --callgrind-out-file="$scratch/out" \
            --toggle-collect='tarvik::exact::CountSolutions*' "$bench" --rounds 0 "$file" \
            2>&1 > /dev/null | sed -n 's/.*Collected : *//p')
  rate=$("$bench" "$file" | awk 'NR == 2 { print $6 }')
  printf '%-30s %8d %14d %12d %9.1f%% %8.3f %11s\n' "$name" "$puzzles" $((batch / puzzles)) \
    $((exact / puzzles)) "$(echo "100 * $exact / $batch" | bc -l)" \
    "$(echo "($batch + $exact) / $batch" | bc -l)" "$rate"
done
