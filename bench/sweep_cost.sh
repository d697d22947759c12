#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What a sweep costs against the one-set batches it replaces, in instructions (callgrind), one
# thread, rows only, each less the same run on an empty file:
#   - --steps=10-100/10 on sudoku17_first1000 against one batch at 100 steps (target: 1.25 times
#     at most; run one by one, the ten batches cost up to ten times);
#   - 24 sequences (perm:1234) x 2 look-backs over the first 100 lines of sudoku17_first1000
#     against the sum of the 48 one-set batches (target: 1.02 times at most);
# and, in wall-clock time, two threads against one on sudoku17_first1000 with 8 sets.
#
#   bench/sweep_cost.sh [TARVIK [CORPUS_DIR]]   (defaults: build/default/src/tarvik, ../shared/corpus)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
tarvik=${1:-$repo/build/default/src/tarvik}
corpus=${2:-$repo/../shared/corpus}
file=$corpus/sudoku17_first1000.txt

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
: > "$scratch/empty.txt"
head -n 100 "$file" > "$scratch/first100.txt"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$scratch/out" "$tarvik" --batch --jobs=1 \
    --quiet "$@" > /dev/null 2> "$scratch/log"
  sed -n 's/.*Collected : *//p' "$scratch/log"
}
net() { echo $(($(instructions "$@") - $(instructions "${@:1:$#-1}" "$scratch/empty.txt"))); }

sweep=$(net --steps=10-100/10 "$file")
one=$(net --steps=100 "$file")
printf 'steps 10-100/10: %d, one batch at 100: %d, ratio %.3f\n' "$sweep" "$one" \
  "$(echo "$sweep / $one" | bc -l)"

sweep=$(net --look-back=2,4 --sequence=perm:1234 "$scratch/first100.txt")
sum=0
for lookBack in 2 4; do
  for sequence in 1234 1243 1324 1342 1423 1432 2134 2143 2314 2341 2413 2431 \
                  3124 3142 3214 3241 3412 3421 4123 4132 4213 4231 4312 4321; do
    sum=$((sum + $(net --look-back=$lookBack --sequence=$sequence "$scratch/first100.txt")))
  done
done
printf '48 sets over 100 lines: %d, sum of one-set batches: %d, ratio %.4f\n' "$sweep" "$sum" \
  "$(echo "$sweep / $sum" | bc -l)"

seconds() {
  local start end
  start=$(date +%s.%N)
  "$tarvik" --batch --quiet --sequence=perm:123,4123,1234 "$@" "$file" > /dev/null
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
one=$(seconds --jobs=1)
two=$(seconds --jobs=2)
printf '8 sets, 1 thread %.2f s, 2 threads %.2f s, speed-up %.2f\n' "$one" "$two" \
  "$(echo "$one / $two" | bc -l)"
