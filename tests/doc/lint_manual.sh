#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Lints the manual page with groff and mandoc: any warning of either fails.
#   tests/doc/lint_manual.sh [PAGE]        (default: doc/tarvik.1 of this checkout)
# A missing tool makes the check skip (exit 77) with a message, unless TARVIK_LINT_REQUIRED=1,
# as in CI, where it fails instead.
set -uo pipefail

here=${BASH_SOURCE[0]%/*}
[[ $here == "${BASH_SOURCE[0]}" ]] && here=.
page=${1:-"$(cd "$here/../.." && pwd)/doc/tarvik.1"}
required=${TARVIK_LINT_REQUIRED:-0}

if [[ ! -r $page ]]; then
  echo "lint_manual: cannot read $page" >&2
  exit 1
fi

missing=()
for tool in groff mandoc; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if ((${#missing[@]} > 0)); then
  if [[ $required == 1 ]]; then
    echo "lint_manual: ${missing[*]} not installed, and TARVIK_LINT_REQUIRED=1" >&2
    exit 1
  fi
  echo "lint_manual: skipped: ${missing[*]} not installed (Debian: apt-get install groff mandoc)"
  exit 77
fi

failed=0

# groff reports warnings on standard error but exits 0 all the same: its output is the verdict.
groff_output=$(groff -man -ww -z "$page" 2>&1)
groff_status=$?
if [[ $groff_status -ne 0 || -n $groff_output ]]; then
  echo "lint_manual: groff -man -ww -z (status $groff_status):" >&2
  printf '%s\n' "$groff_output" >&2
  failed=1
fi

# mandoc exits non-zero on findings at the level asked for; its output is checked as well.
mandoc_output=$(mandoc -T lint -W warning "$page" 2>&1)
mandoc_status=$?
if [[ $mandoc_status -ne 0 || -n $mandoc_output ]]; then
  echo "lint_manual: mandoc -T lint -W warning (status $mandoc_status):" >&2
  printf '%s\n' "$mandoc_output" >&2
  failed=1
fi

if ((failed == 0)); then
  echo "lint_manual: $page: no groff or mandoc warnings"
fi
exit "$failed"
