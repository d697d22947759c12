#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What the forms of the rows cost, in instructions (callgrind, one thread): plain TSV, then
# --format=jsonl, --format=csv and --keep=id, on an id,puzzle,solution CSV made from
# kaggle_first1000 and its .solved file, repeated 100 times. Target: each at most 3 % above plain
# TSV.
#
#   bench/rows_cost.sh [BUILD_DIR [CORPUS_DIR [REPEATS]]]
#   (defaults: build/release, ../shared/corpus, 100)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/release}
corpus=${2:-$repo/../shared/corpus}
repeats=${3:-100}

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target tarvik > /dev/null
tarvik=$(cd "$build/src" && pwd)/tarvik

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
collection=$scratch/kaggle.csv
{
  echo id,puzzle,solution
  for ((k = 0; k < repeats; k++)); do
    paste -d, <(seq -f 'k%04g' 1 1000) "$corpus/kaggle_first1000.txt" \
      <(cut -d' ' -f3 "$corpus/kaggle_first1000.solved")
  done
} > "$collection"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file="$scratch/out" "$tarvik" --batch --jobs=1 \
    --quiet "$@" "$collection" > /dev/null 2> "$scratch/log"
  sed -n 's/.*Collected : *//p' "$scratch/log"
}

plain=$(instructions)
printf '%-16s %14s %8s\n' rows instructions "vs tsv"
printf '%-16s %14d %8s\n' tsv "$plain" ""
for option in --format=jsonl --format=csv --keep=id; do
  count=$(instructions "$option")
  printf '%-16s %14d %+7.2f%%\n' "$option" "$count" "$(echo "100 * ($count - $plain) / $plain" | bc -l)"
done
