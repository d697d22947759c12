#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""capital_names_test.py SRC_DIR NAMES_FILE

Capitals in a name mean the algorithm's own name and nothing else. Checks that every identifier of
three or more capitals (and no small letters) in the code of SRC_DIR, outside comments, strings and
#pragma lines, is listed in NAMES_FILE under [algorithm], [own] or [platform]; that no name is
listed twice; that every [own] name says why; and that every listed name is still used."""

import pathlib
import re
import sys

SECTIONS = ("algorithm", "own", "platform")
# Comments and literals in one pass, so that "//" in a string is no comment and a quote in a
# comment no string; a quote after a digit separates the digits of a number.
COMMENT_OR_LITERAL = re.compile(
    r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|(?<![0-9])\'(?:\\.|[^\'\\\n])*\'', re.S)
PRAGMA = re.compile(r"^\s*#\s*pragma[^\n]*", re.M)
IDENTIFIER = re.compile(r"\b[A-Za-z_][A-Za-z0-9_]*\b")


def capital_names(text):
    """The identifiers of three or more capitals and no small letters in one source text."""
    code = PRAGMA.sub("", COMMENT_OR_LITERAL.sub(" ", text))
    return {word for word in IDENTIFIER.findall(code)
            if sum(c.isupper() for c in word) >= 3 and not any(c.islower() for c in word)}


def read_names(path, faults):
    """The listed names, as name -> section; adds what is wrong with the file to `faults`."""
    listed = {}
    section = None
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        where = f"{path.name}:{number}"
        if not line.strip() or line.startswith("#"):
            continue
        heading = re.fullmatch(r"\[(\w+)\]", line.strip())
        if heading:
            section = heading.group(1)
            if section not in SECTIONS:
                faults.append(f"{where}: unknown section [{section}]")
            continue
        name, _, why = line.strip().partition(" ")
        if section is None:
            faults.append(f"{where}: {name} is listed before any section")
        elif name in listed:
            faults.append(f"{where}: {name} is listed twice (also under [{listed[name]}])")
        elif section == "own" and not why.strip():
            faults.append(f"{where}: {name} is our own but says not why")
        listed.setdefault(name, section)
    return listed


def main(src_dir, names_file):
    faults = []
    listed = read_names(pathlib.Path(names_file), faults)
    used = {}
    for source in sorted(pathlib.Path(src_dir).rglob("*")):
        if source.suffix in (".h", ".cpp", ".in"):
            for name in capital_names(source.read_text(encoding="utf-8", errors="replace")):
                used.setdefault(name, source.relative_to(src_dir))
    for name, source in sorted(used.items()):
        if name not in listed:
            faults.append(f"{source}: {name} is a capital name not listed in "
                          f"{pathlib.Path(names_file).name}: the algorithm's own, or ours and why")
    for name, section in sorted(listed.items()):
        if name not in used:
            faults.append(f"{name} is listed under [{section}] but no longer used in src/")
    for fault in faults:
        print(fault, file=sys.stderr)
    print(f"{len(used)} capital names in src/, {len(listed)} listed")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
