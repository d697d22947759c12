#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Writes the run page of puzzle definition files with the built program, each run in a scratch
# folder of its own: tarvik -C DIR --view=PAGE.
#   write_pages.sh TARVIK INPUT PAGE [INPUT PAGE]...
set -euo pipefail
tarvik=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
while (($# >= 2)); do
  input=$1 page=$2
  shift 2
  rm -f "$scratch"/*
  cp "$input" "$scratch/Sudin.txt"
  "$tarvik" -C "$scratch" --view=page.html > /dev/null
  mv "$scratch/page.html" "$page"
done
