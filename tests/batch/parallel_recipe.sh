#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The distributed-batch recipe of the README, run locally: GNU parallel splits a collection into
# blocks of 100 lines and keeps their order. Every field but `line` (which counts within each
# block) must equal a direct run's, and `source` is "-".
#   parallel_recipe.sh TARVIK COLLECTION
# Exit status 77 (skipped) where GNU parallel or the collection is missing, unless
# TARVIK_TOOLS_REQUIRED is set.
set -euo pipefail
tarvik=$1 collection=$2
skip() {
  echo "$1: the parallel recipe is not checked"
  [ -n "${TARVIK_TOOLS_REQUIRED:-}" ] && [ "$2" = tool ] && exit 1
  exit 77
}
command -v parallel > /dev/null || skip "GNU parallel not found (Debian: apt-get install parallel)" tool
[ -f "$collection" ] || skip "$collection not found" collection

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$tarvik" --batch --no-header --quiet - < "$collection" | cut -f1,3- > "$scratch/direct"
parallel --will-cite --pipe --keep-order -N 100 "$tarvik" --batch --no-header --quiet \
  < "$collection" | cut -f1,3- > "$scratch/parallel"
lines=$(wc -l < "$scratch/direct")
[ "$lines" -gt 0 ] || { echo "no rows"; exit 1; }
if ! cmp -s "$scratch/direct" "$scratch/parallel"; then
  echo "the rows of the parallel run differ from a direct run's:"
  diff "$scratch/direct" "$scratch/parallel" | head -5
  exit 1
fi
echo "$lines rows agree"
