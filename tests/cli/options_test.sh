#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Holds --help, the manual and the bash completion to the option table: every option is in each,
# in the modes it belongs to, and nothing else is; then completes a few command lines as bash
# would, grouped short options among them.
#   options_test.sh LIST_OPTIONS TARVIK MANUAL COMPLETION_FILE
# LIST_OPTIONS prints the table (tests/cli/list_options.cpp). The completion's part is skipped
# (status 77 when all else passes) where this bash has no programmable completion, unless
# TARVIK_TOOLS_REQUIRED is set.
set -uo pipefail

list_options=$1
tarvik=$2
manual=$3
completion=$(realpath -- "$4")

failures=0
fail() {
  echo "options_test: $*"
  failures=$((failures + 1))
}

# Each set of names as one sorted line, for comparing two sets at once.
sorted() { LC_ALL=C sort -u | paste -sd' '; }
same() {  # same WHAT EXPECTED GOT
  [[ $2 == "$3" ]] || fail "$1: found [$3], expected [$2]"
}

table=$("$list_options") || { echo "options_test: $list_options failed"; exit 1; }
help=$("$tarvik" --help) || { echo "options_test: $tarvik --help failed"; exit 1; }

# What the table says each place holds.
help_lines=()        # --help's left column: -C DIR, --view=FILE, -j, --jobs=N
names=()             # every form: --jobs, -j
classic_offers=()    # what completion offers after "tarvik -" and "tarvik --batch -"
batch_offers=()
manual_tags=()       # the forms the manual's OPTIONS tags, with "=" where they take a value
while IFS=$'\t' read -r long short value modes line; do
  [[ $long == - ]] && long=
  [[ $short == - ]] && short=
  [[ $value == - ]] && value=
  eq=${value:+=}
  # A value in brackets may be left out, and is given only as --name=VALUE.
  optional=
  [[ $value == \[*\] ]] && optional=${value:1:-1} && eq= && value=
  if [[ $line == line ]]; then
    if [[ -z $long ]]; then
      label="$short${value:+ $value}"
    elif [[ -n $optional ]]; then
      label="${short:+$short, }$long[=$optional]"
    else
      label="${short:+$short, }$long$eq${value}"
    fi
    section=first
    [[ $modes == batch ]] && section=batch
    help_lines+=("$section:$label")
  fi
  for name in $short $long; do
    names+=("$name")
    manual_tags+=("$name$eq")
    offer=$name
    [[ $name == --* ]] && offer=$name$eq
    [[ $modes == *classic* ]] && classic_offers+=("$offer")
    # --batch is offered until it stands on the line.
    [[ $modes == *batch* && $name != --batch ]] && batch_offers+=("$offer")
  done
done <<<"$table"
((${#names[@]} >= 20)) || fail "the table lists only ${#names[@]} option forms"

# --help: the option lines are the table's, in their paragraph (the batch mode's options after
# "Batch mode"); an option without a line of its own is named in the usage lines.
section=first
found=()
while IFS= read -r text; do
  [[ $text == "Batch mode"* ]] && section=batch
  [[ $text =~ ^\ \ (-[^ ]*( [A-Z]+)?(, --[^ ]+)?)\ \  ]] && found+=("$section:${BASH_REMATCH[1]}")
done <<<"$help"
same "--help's option lines" "$(printf '%s\n' "${help_lines[@]}" | sorted)" \
  "$(printf '%s\n' "${found[@]}" | sorted)"
for name in "${names[@]}"; do
  grep -qE -- "(^|[ [])$name([][ =,]|$)" <<<"$help" || fail "--help does not name $name"
done

# The manual: the tags of its OPTIONS section (.TP/.TQ), with "=" where bold italics show a value.
found=()
tagged=no
while IFS= read -r text; do
  if [[ $tagged == yes && $text =~ ^\.(BI?)\ (.*) ]]; then
    macro=${BASH_REMATCH[1]}
    tag=${BASH_REMATCH[2]//\\%/}
    tag=${tag//\\-/-}
    tag=${tag%%[ =\"\\]*}
    [[ $macro == BI ]] && tag+="="
    found+=("$tag")
  fi
  tagged=no
  [[ $text == .TP || $text == .TQ ]] && tagged=yes
done < <(sed -n '/^\.SH OPTIONS/,/^\.SH INPUT/p' "$manual")
same "the manual's options" "$(printf '%s\n' "${manual_tags[@]}" | sorted)" \
  "$(printf '%s\n' "${found[@]}" | sorted)"

if ! type complete compgen compopt >/dev/null 2>&1; then
  echo "options_test: this bash has no programmable completion (complete, compgen, compopt)"
  ((failures == 0)) || exit 1
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
  echo "options_test: loading $completion does not register _tarvik for tarvik"
  exit 1
fi

# Completes LINE with the cursor at its end; prints the offers, sorted, on one line.
offers() {
  COMP_LINE=$1
  COMP_POINT=${#1}
  COMPREPLY=()
  _tarvik 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd' '
}

# The completion: the options of each mode, and which of them take the next argument.
same "the offers after [tarvik -]" "$(printf '%s\n' "${classic_offers[@]}" | sorted)" \
  "$(offers 'tarvik -' | tr ' ' '\n' | sorted)"
same "the offers after [tarvik --batch -]" "$(printf '%s\n' "${batch_offers[@]}" | sorted)" \
  "$(offers 'tarvik --batch -' | tr ' ' '\n' | sorted)"
while IFS=$'\t' read -r long short value modes line; do
  for name in $short $long; do
    [[ $name == - ]] && continue
    for mode in $modes; do
      batch=no
      [[ $mode == batch ]] && batch=yes
      takes=no
      _tarvik_takes_value "$name" "$batch" && takes=yes
      [[ $takes == no && ($value == - || $value == \[*) || $takes == yes && $value != - ]] ||
        fail "the completion says $name takes a value: $takes ($mode)"
    done
  done
done <<<"$table"

expect() {
  local line=$1 expected=$2 got
  got=$(offers "$line")
  [[ $got == "$expected" ]] || fail "[$line] offers [$got], expected [$expected]"
}

expect 'tarvik --ba' '--batch'
expect 'tarvik --batch --re' '--reports='
expect 'tarvik --re' ''                       # a batch option, offered only with --batch
expect 'tarvik --batch --vi' '--views='       # and a classic one only without it
expect 'tarvik --batch --print-level=' '0 1 2 3'
expect 'tarvik --batch --field=qu' 'quiz quizzes'
expect 'tarvik --batch --format=' 'csv jsonl tsv'
expect 'tarvik --batch --answers ' 'a.txt puzzles'  # its value only after '='
expect 'tarvik --batch --answers=so' 'solution solutions'
expect 'tarvik --batch --reports ' 'puzzles'  # the value as the next argument: a folder
expect 'tarvik -C ' 'puzzles'
expect 'tarvik --batch ' 'a.txt puzzles'      # operands: the collections
expect 'tarvik --batch -- --q' ''             # after --, no option
expect 'tarvik --batch -j' '-j'
# Grouped short options: one that takes a value ends the group, its value the rest of the word
# or else the next argument.
expect 'tarvik --batch -q ' 'a.txt puzzles'
expect 'tarvik --batch -qj ' ''               # the number of threads
expect 'tarvik --batch -qj2 ' 'a.txt puzzles'
expect 'tarvik --batch -jq ' 'a.txt puzzles'  # -j took "q"
expect 'tarvik -hC ' 'puzzles'
COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}         # where '=' does not split words
expect 'tarvik --batch --field=qu' '--field=quiz --field=quizzes'

((failures == 0)) && echo "options_test: --help, the manual and the completion hold the table's ${#names[@]} option forms"
((failures == 0))
