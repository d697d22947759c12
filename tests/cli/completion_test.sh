#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Loads the bash completion of tarvik into bash and completes command lines as bash would, then
# checks that every option the program's --help lists is offered in its mode.
#   completion_test.sh COMPLETION_FILE TARVIK
# Exit status 77 (skipped) where this bash has no programmable completion, unless
# TARVIK_TOOLS_REQUIRED is set.
set -uo pipefail

completion=$1
tarvik=$2

if ! type complete compgen compopt >/dev/null 2>&1; then
  echo "completion_test: this bash has no programmable completion (complete, compgen, compopt)"
  [[ -n ${TARVIK_TOOLS_REQUIRED-} ]] && exit 1
  exit 77
fi

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tarvik-completion.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
mkdir puzzles
touch a.txt

# shellcheck source=/dev/null
source "$completion" || exit 1
if [[ $(complete -p tarvik) != "complete -F _tarvik tarvik" ]]; then
  echo "completion_test: loading $completion does not register _tarvik for tarvik"
  exit 1
fi

failures=0

# Completes LINE with the cursor at its end; prints the offers, sorted, on one line.
offers() {
  COMP_LINE=$1
  COMP_POINT=${#1}
  COMPREPLY=()
  _tarvik 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd' '
}

expect() {
  local line=$1 expected=$2 got
  got=$(offers "$line")
  if [[ $got != "$expected" ]]; then
    echo "completion_test: [$line] offers [$got], expected [$expected]"
    failures=$((failures + 1))
  fi
}

expect 'tarvik --ba' '--batch'
expect 'tarvik --batch --re' '--reports='
expect 'tarvik --re' ''                       # a batch option, offered only with --batch
expect 'tarvik --batch --vi' '--views='       # and a classic one only without it
expect 'tarvik --batch --print-level=' '0 1 2 3'
expect 'tarvik --batch --field=ou' 'outcome'
expect 'tarvik --batch --reports ' 'puzzles'  # the value as the next argument: a folder
expect 'tarvik -C ' 'puzzles'
expect 'tarvik --batch ' 'a.txt puzzles'      # operands: the collections
expect 'tarvik --batch -- --q' ''             # after --, no option
COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}         # where '=' does not split words
expect 'tarvik --batch --field=ou' '--field=outcome'

# Every option of --help is offered in the mode of its paragraph: the classic run's options
# (with the common ones) stand before "Batch mode", the batch mode's after it.
help=$("$tarvik" --help) || exit 1
mode=classic
listed=0
while IFS= read -r text; do
  [[ $text == "Batch mode"* ]] && mode=batch
  [[ $text =~ ^\ \ (-[A-Za-z]),\ (--[a-z-]+) || $text =~ ^\ \ (--[a-z-]+)() ||
     $text =~ ^\ \ (-[A-Za-z])() ]] || continue
  prefix='tarvik '
  [[ $mode == batch ]] && prefix='tarvik --batch '
  for option in "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"; do
    [[ -n $option ]] || continue
    listed=$((listed + 1))
    if ! offers "$prefix-" | tr ' ' '\n' | grep -qx -e "$option" -e "$option="; then
      echo "completion_test: $option ($mode) is not offered after [$prefix]"
      failures=$((failures + 1))
    fi
  done
done <<<"$help"
if ((listed < 15)); then
  echo "completion_test: found only $listed options in --help"
  failures=$((failures + 1))
fi

((failures == 0)) && echo "completion_test: all offers as expected ($listed options of --help)"
((failures == 0))
