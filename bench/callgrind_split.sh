#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Splits the instructions of the heavy case (bench/puzzles/heavy-17-clues.txt) by pass, with one
# callgrind run per pass collecting only inside it (--toggle-collect), and counts the batch at one
# thread over the first 100 lines of sudoku17_first1000, process start included.
#
#   bench/callgrind_split.sh [TARVIK [CORPUS_DIR]]   (defaults: build/release/src/tarvik, ../shared/corpus)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
tarvik=$(realpath "${1:-$repo/build/release/src/tarvik}")
corpus=${2:-$repo/../shared/corpus}
puzzle=$repo/bench/puzzles/heavy-17-clues.txt

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

Count() {  # Count DIR [valgrind options...] -- [tarvik arguments...]
  local dir=$1
  shift
  local options=()
  while [[ $1 != -- ]]; do options+=("$1"); shift; done
  shift
  (cd "$dir" && valgrind --tool=callgrind --callgrind-out-file=/dev/null "${options[@]}" \
    "$tarvik" "$@" > /dev/null 2> valgrind.log)
  sed -n 's/.*Collected : *//p' "$dir/valgrind.log"
}

for level in 0 3; do
  mkdir "$scratch/$level"
  sed "10s/^[-+0-9]*/$level/" "$puzzle" > "$scratch/$level/Sudin.txt"
  total=$(Count "$scratch/$level" --)
  echo "print level $level: $total instructions"
  passes=0
  # The four technique passes by their entry points (header and count lines included), the pair
  # search by its AVX2 build (its entry point and the dispatch may be inlined into the caller; on
  # a processor without AVX2 its line reads 0 and its count goes to the rest).
  for pass in FINDVALUEFORPOSITION FINDPOSITIONINROWSFORVALUES FINDPOSITIONINCOLUMNSFORVALUES \
    FINDPOSITIONINBOXESFORVALUES 'ApplyAvx2Pass<*PairSearch,'; do
    n=$(Count "$scratch/$level" "--toggle-collect=*$pass*" --collect-atstart=no --)
    passes=$((passes + n))
    printf '  %-32s %12d\n' "${pass//[<*,]/ }" "$n"
  done
  printf '  %-32s %12d\n' "the rest" $((total - passes))
done

head -n 100 "$corpus/sudoku17_first1000.txt" > "$scratch/first100.txt"
: > "$scratch/empty.txt"
batch=$(Count "$scratch" -- --batch --jobs=1 --quiet first100.txt)
empty=$(Count "$scratch" -- --batch --jobs=1 --quiet empty.txt)
echo "batch, first 100 lines of sudoku17_first1000: $batch instructions ($empty on an empty file)"
