#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Counts the instructions of whole runs of the heavy case (bench/puzzles/heavy-17-clues.txt) at
# print levels 0 and 3 with callgrind, on a build made by a plain Release configure, and sorts
# them by where they are spent.
#
#   bench/callgrind_heavy.sh [BUILD_DIR]      (default: build/release)
#
# Instruction counts do not depend on the load of the machine: the same binary counts the same on
# every run, give or take a few dozen for the length of paths and environment. Targets: at most
# 135 million at print level 0 and 160 million at print level 3, and at level 0 at least 80%
# inside the technique passes, whose loops hold the constraint tests.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$repo/build/release}
puzzle=$repo/bench/puzzles/heavy-17-clues.txt

cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target tarvik > /dev/null
tarvik=$(cd "$build/src" && pwd)/tarvik

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

for level in 0 3; do
  mkdir "$scratch/$level"
  sed "10s/^[-+0-9]*/$level/" "$puzzle" > "$scratch/$level/Sudin.txt"
  (cd "$scratch/$level" &&
    valgrind --tool=callgrind --callgrind-out-file=callgrind.out "$tarvik" \
      > console.out 2> valgrind.log)
  total=$(sed -n 's/.*Collected : *//p' "$scratch/$level/valgrind.log")
  echo "print level $level: $total instructions" \
       "($(wc -c < "$scratch/$level/console.out") bytes to standard output)"

  # Self cost of every function, summed by kind.
  callgrind_annotate --threshold=100 "$scratch/$level/callgrind.out" 2> /dev/null |
    awk -v total="$total" '
      /^-+$/ { rule++; next }
      rule >= 6 && /^ *[0-9,]+ / {
        n = $1; gsub(",", "", n)
        line = $0
        sub(/^ *[0-9,]+ +\( *[0-9.]+%\) +/, "", line)
        if (line ~ /PairSearch/) kind = "pair search (its loop and its constraint tests)"
        else if (line ~ /RowPass|ColumnPass|BoxPass|SingleValuePass/)
          kind = "technique passes (their loops and the constraint tests inlined there)"
        else if (line ~ /malloc|[^a-z_]free|calloc|realloc|operator new|operator delete|_int_/)
          kind = "allocation"
        else if (line ~ /LayOut|FormatField|CopySmall|Report::|RowValues|REPORTLINE|WRITELINE|PRINTMATRIX|printf|Sink::/)
          kind = "report: layout and channels"
        else if (line ~ /tarvik::/) kind = "other solver code (steps, counts, guesses, input)"
        else kind = "start-up and system libraries"
        sum[kind] += n
      }
      END {
        for (kind in sum) printf "  %12d %6.2f%%  %s\n", sum[kind], 100 * sum[kind] / total, kind
      }' | sort -rn
done
