# SPDX-License-Identifier: MIT
"""The batch's rows in TSV, CSV and JSON lines, read back by real parsers; kept fields; the answers
check. Runs the built program in a scratch directory.

Usage: rows_check.py TARVIK

- The three formats, read by Python's csv and json modules (and by jq where installed), hold the
  same fields, row by row; JSON lines have numbers where a row has counts, null on refused rows,
  and U+FFFD for bytes that are not UTF-8.
- --keep by number, by name, missing from a header, clashing with a row's field, on refused rows.
- --answers: each result on a collection with known answers, wrong ones planted, and a puzzle with
  two solutions; a bad answer said once for each FILE.
"""
import csv
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile

# Puzzles and their solutions, from the kaggle collection.
KNOWN = [
    ("005910308009403060027500100030000201000820007006007004000080000640150700890000420",
     "465912378189473562327568149738645291954821637216397854573284916642159783891736425"),
    ("100005007380900000600000480820001075040760020069002001005039004000020100000046352",
     "194685237382974516657213489823491675541768923769352841215839764436527198978146352"),
    ("009065430007000800600108020003090002501403960804000100030509007056080000070240090",
     "289765431317924856645138729763891542521473968894652173432519687956387214178246395"),
    ("000000657702400100350006000500020009210300500047109008008760090900502030030018206",
     "894231657762495183351876942583624719219387564647159328128763495976542831435918276"),
    ("503070190000006750047190600400038000950200300000010072000804001300001860086720005",
     "563472198219386754847195623472638519951247386638519472795864231324951867186723945"),
    ("060720908084003001700100065900008000071060000002010034000200706030049800215000090",
     "163725948584693271729184365946358127371462589852917634498231756637549812215876493"),
]
# Not solved with the default parameters (a step-limit row): its answer is never compared.
STEP_LIMIT = "963000000100008000000205000040800000010000700000030025700000030009020407000000900"

HEAD = ["source", "line", "puzzle", "outcome", "attempts", "steps", "depth", "empty", "grid"]
NUMBERS = {"line", "attempts", "steps", "depth", "empty", "solutions"}
SOLVER = ["puzzle", "attempts", "steps", "depth", "empty", "grid"]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def planted(solution):
    """A wrong answer: the solution with its first two different digits swapped."""
    cells = list(solution)
    k = next(k for k in range(1, 81) if cells[k] != cells[0])
    cells[0], cells[k] = cells[k], cells[0]
    return "".join(cells)


def two_solutions(solution):
    """A puzzle with exactly two solutions: the solution less the four cells of a rectangle whose
    two digits may be swapped (two rows of one band, two columns of two stacks); and the other."""
    g = [list(solution[9 * r:9 * r + 9]) for r in range(9)]
    for r1 in range(9):
        for r2 in range(r1 + 1, 9):
            if r1 // 3 != r2 // 3:
                continue
            for c1 in range(9):
                for c2 in range(c1 + 1, 9):
                    if c1 // 3 == c2 // 3:
                        continue
                    if g[r1][c1] == g[r2][c2] and g[r1][c2] == g[r2][c1]:
                        puzzle = [row[:] for row in g]
                        other = [row[:] for row in g]
                        for r, c in ((r1, c1), (r1, c2), (r2, c1), (r2, c2)):
                            puzzle[r][c] = "0"
                        other[r1][c1], other[r1][c2] = g[r1][c2], g[r1][c1]
                        other[r2][c1], other[r2][c2] = g[r2][c2], g[r2][c1]
                        return "".join(map("".join, puzzle)), "".join(map("".join, other))
    raise AssertionError("no rectangle to swap")


def run(tarvik, scratch, args):
    done = subprocess.run([tarvik, "--batch", "--quiet", "--jobs=2"] + args, cwd=scratch,
                          capture_output=True)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


def text(data):
    return data.decode("utf-8", "replace")


def check_formats(tarvik, scratch):
    # A name with a comma, a quote and bytes that are not UTF-8; kept values with quotes,
    # backslashes, control bytes, an é and broken sequences (blanks would end the field).
    name = b'odd, "name" \xc3\xa9\xff.csv'
    odd = b'say"hi"\\n\x01\x7fcaf\xc3\xa9\xe2\x82\xf0\x9f\xff'
    lines = [b"id,puzzle,note"]
    for k, (puzzle, _) in enumerate(KNOWN[:3]):
        lines.append(b"%d,%s,%s" % (k, puzzle.encode(), odd if k == 1 else b"plain"))
    lines.append(b"9,12345,short")  # refused, with its fields kept
    lines.append(b"10")  # refused, without the note
    with open(os.path.join(scratch.encode(), name), "wb") as out:
        out.write(b"\n".join(lines) + b"\n")
    common = ["--solutions", "--answers", "--keep=id,note,2", name.decode("utf-8", "surrogateescape")]
    got = {}
    for form in ("tsv", "csv", "jsonl"):
        status, rows, errors = run(tarvik, scratch, ["--format=" + form] + common)
        check(status == 65, "%s: status %d, expected 65 for the refused lines" % (form, status))
        check(errors.count("\n") == 2, "%s: messages %r, expected one for each refused line"
              % (form, errors))
        got[form] = rows
    head = HEAD + ["solutions", "answer", "id", "note", "field2"]
    tsv = [line.split(b"\t") for line in got["tsv"].split(b"\n")[:-1]]
    tsv = [[text(field) for field in row] for row in tsv]
    table = list(csv.reader(io.StringIO(text(got["csv"]), newline="")))
    check(got["csv"].count(b"\r") == 0, "csv: line ends other than LF")
    objects = [json.loads(line) for line in got["jsonl"].decode("utf-8").split("\n")[:-1]]
    check(tsv[0] == head, "tsv header %r" % tsv[0])
    check(table[0] == head, "csv header %r" % table[0])
    check(len(tsv) == len(table) == len(objects) + 1 == 6,
          "rows: %d tsv, %d csv, %d jsonl" % (len(tsv), len(table), len(objects)))
    for k, obj in enumerate(objects):
        check(list(obj) == head, "jsonl keys %r" % list(obj))
        refused = obj["outcome"] == "refused"
        for key, value in obj.items():
            if refused and key in SOLVER + ["solutions", "answer"]:
                check(value is None, "jsonl row %d: %s is %r, expected null" % (k, key, value))
            elif key in NUMBERS:
                check(type(value) is int, "jsonl row %d: %s is %r, expected a number"
                      % (k, key, value))
            else:
                check(type(value) is str, "jsonl row %d: %s is %r, expected a string"
                      % (k, key, value))
        flat = ["" if v is None else str(v) for v in obj.values()]
        check(tsv[k + 1] == flat, "row %d: tsv %r, jsonl %r" % (k, tsv[k + 1], flat))
        check(table[k + 1] == flat, "row %d: csv %r, jsonl %r" % (k, table[k + 1], flat))
    check(objects[0]["source"] == text(name), "source %r" % objects[0]["source"])
    check(objects[1]["note"] == text(odd), "kept %r, expected %r" % (objects[1]["note"], text(odd)))
    check(got["tsv"].count(odd) == 1 and got["csv"].count(odd.replace(b'"', b'""')) == 1,
          "tsv and csv keep the value's bytes as read")
    check([o["id"] for o in objects] == ["0", "1", "2", "9", "10"], "kept ids %r"
          % [o["id"] for o in objects])
    check(objects[3]["note"] == "short" and objects[4]["note"] == "", "kept on refused rows")
    check(objects[0]["field2"] == KNOWN[0][0], "kept by number %r" % objects[0]["field2"])
    # --no-header changes nothing in JSON lines.
    status, rows, _ = run(tarvik, scratch, ["--format=jsonl", "--no-header"] + common)
    check(rows == got["jsonl"], "jsonl with --no-header differs")
    if shutil.which("jq"):
        done = subprocess.run(["jq", "-c", "[.[]]"], input=got["jsonl"], capture_output=True)
        check(done.returncode == 0, "jq refuses the rows: %s" % done.stderr)
        values = [json.loads(line) for line in done.stdout.decode().split("\n")[:-1]]
        check(values == [list(o.values()) for o in objects], "jq reads other values")
    # Without the new options the rows are the TSV of old, header included.
    status, rows, _ = run(tarvik, scratch, [name.decode("utf-8", "surrogateescape")])
    check(rows.split(b"\n")[0] == b"\t".join(h.encode() for h in HEAD), "plain header")
    status, csv_rows, _ = run(tarvik, scratch, ["--format=tsv", name.decode("utf-8", "surrogateescape")])
    check(rows == csv_rows, "--format=tsv differs from the default")


def check_keep(tarvik, scratch):
    puzzle = KNOWN[0][0]
    with open(os.path.join(scratch, "k.csv"), "w") as out:
        out.write("ID,puzzle,rating\n007,%s,3.5\n008,%s\n" % (puzzle, puzzle[:80]))
    with open(os.path.join(scratch, "r.csv"), "w") as out:
        out.write("id,puzzle,rating,solutions\n1,%s,2,x\n" % puzzle)
    with open(os.path.join(scratch, "bare.txt"), "w") as out:
        out.write(puzzle + "\n")
    cases = [
        # args, status, rows after the header (the kept fields of each), message
        (["--keep=1", "k.csv"], 65, [["007"], ["008"]], None),
        (["--keep=id,RATING", "k.csv"], 65, [["007", "3.5"], ["008", ""]], None),
        (["--keep=rating,3,1", "r.csv"], 0, [["2", "2", "1"]], None),
        (["--keep=nope", "k.csv", "r.csv"], 65, [],
         'tarvik: k.csv:1: header: found "ID,puzzle,rating", expected a field named "nope"\n'),
        (["--keep=id", "bare.txt"], 65, [],
         'tarvik: bare.txt:1: header: found "%s...", expected a field named "id"\n'
         % puzzle[:20]),
        (["--keep=grid", "k.csv"], 64, None, None),
        (["--keep=solutions", "--solutions", "k.csv"], 64, None, None),
        (["--keep=answer", "--answers", "k.csv"], 64, None, None),
        (["--keep=id,ID", "k.csv"], 64, None, None),
        (["--keep=1,1", "k.csv"], 64, None, None),
        (["--keep=solutions", "r.csv"], 0, [["x"]], None),
    ]
    for args, status, kept, message in cases:
        got, rows, errors = run(tarvik, scratch, ["--format=jsonl"] + args)
        check(got == status, "%s: status %d, expected %d (%s)" % (args, got, status, errors))
        if kept is None:
            check(rows == b"", "%s: rows on a usage error" % args)
            continue
        objects = [json.loads(line) for line in rows.decode().split("\n")[:-1]]
        values = [list(o.values())[9:] for o in objects]
        if kept or message:
            check(values == kept, "%s: kept %r, expected %r" % (args, values, kept))
        if message is not None:
            check(errors.startswith(message), "%s: message %r, expected %r" % (args, errors, message))


def check_answers(tarvik, scratch):
    several, other = two_solutions(KNOWN[5][1])
    puzzles = [p for p, _ in KNOWN]
    solutions = [s for _, s in KNOWN]
    # A header's solution field: right answers, a planted wrong one, no answer, bad ones, a
    # puzzle not solved, and a puzzle with two solutions listed with each.
    header_lines = ["id,puzzle,solution"]
    expected = []
    for k in range(4):
        header_lines.append("%d,%s,%s" % (k, puzzles[k], solutions[k]))
        expected.append(("match", "match"))
    header_lines.append("4,%s,%s" % (puzzles[4], planted(solutions[4])))
    expected.append(("differs", "differs"))
    header_lines.append("5,%s," % puzzles[5])
    expected.append(("none", "none"))
    header_lines.append("6,%s,%s" % (STEP_LIMIT, solutions[0]))
    expected.append(("unsolved", "unsolved"))
    header_lines.append("7,%s,12x" % puzzles[0])
    expected.append(("bad", "bad"))
    header_lines.append("8,%s,%s" % (puzzles[1], solutions[1][:80] + "0"))
    expected.append(("bad", "bad"))
    header_lines.append("9,%s,%s" % (several, solutions[5]))
    header_lines.append("10,%s,%s" % (several, other))
    # The solved grid is one of the two: it matches one line, and is the other solution of the
    # other, known as such only when the solutions are counted.
    with open(os.path.join(scratch, "answers.csv"), "w") as out:
        out.write("\n".join(header_lines) + "\n")
    # A ':' file: count and solution; a count alone; a count of 0 beside no solution; a wrong count.
    colon = [
        ("%s:1:%s" % (puzzles[0], solutions[0]), "match", "match"),
        ("%s:1:" % puzzles[1], "none", "match"),
        ("%s:0:" % puzzles[2], "none", "none"),
        ("%s:2:" % puzzles[3], "none", "differs"),
        ("%s:1:%s" % (puzzles[4], planted(solutions[4])), "differs", "differs"),
        ("%s:2:%s" % (several, solutions[5]), None, None),
        ("%s:2:%s" % (several, other), None, None),
        ("%s:1:%s" % (several, solutions[5]), None, None),
        ("%s:x:%s" % (puzzles[0], solutions[0]), "bad", "bad"),
    ]
    with open(os.path.join(scratch, "answers.txt"), "w") as out:
        out.write("\n".join(line for line, _, _ in colon) + "\n")

    for counted in (False, True):
        args = ["--format=jsonl", "--answers"] + (["--solutions"] if counted else [])
        status, rows, errors = run(tarvik, scratch, args + ["answers.csv", "answers.txt"])
        check(status == 65, "answers: status %d, expected 65 for the bad answers" % status)
        said = [line for line in errors.split("\n") if "answer: found" in line]
        check(len(said) == 2 and said[0].startswith("tarvik: answers.csv:9: ")
              and said[1].startswith("tarvik: answers.txt:9: "),
              "answers: bad answers said %r, expected once for each FILE" % said)
        objects = [json.loads(line) for line in rows.decode().split("\n")[:-1]]
        check(len(objects) == 11 + 9, "answers: %d rows" % len(objects))
        first = objects[:11]
        for k, (without, with_count) in enumerate(expected):
            want = with_count if counted else without
            check(first[k]["answer"] == want, "answers.csv:%d: %r, expected %r (counted %s)"
                  % (k + 2, first[k]["answer"], want, counted))
        a, b = first[9], first[10]
        check(a["outcome"] == b["outcome"] == "solved" and a["grid"] in (solutions[5], other),
              "the puzzle of two solutions is solved to one of them")
        listed = [(a["grid"] == solutions[5]), (b["grid"] == other)]
        got = sorted([a["answer"], b["answer"]])
        check(sum(listed) == 1, "one of the two lines lists the solved grid")
        check(got == sorted(["match", "other" if counted else "differs"]),
              "two solutions: %r (counted %s)" % (got, counted))
        second = objects[11:]
        for k, (line, without, with_count) in enumerate(colon):
            if without is None:
                continue
            want = with_count if counted else without
            check(second[k]["answer"] == want, "answers.txt:%d: %r, expected %r (counted %s)"
                  % (k + 1, second[k]["answer"], want, counted))
        # The count says 2: another solution is "other" with or without the solutions counted;
        # the count 1 beside it is wrong once counted.
        x, y, z = second[5:8]
        check(sorted([x["answer"], y["answer"]]) == ["match", "other"],
              "':' lines with a count of 2: %r" % [x["answer"], y["answer"]])
        want = "differs" if counted else ("match" if z["grid"] == solutions[5] else "differs")
        check(z["answer"] == want, "':' line with a wrong count of 1: %r" % z["answer"])
        # The summary's counts, with the summary asked for.
        done = subprocess.run([tarvik, "--batch", "--jobs=2"] + args + ["answers.csv"],
                              cwd=scratch, capture_output=True)
        answers = [o["answer"] for o in first]
        summary = "; answers: " + ", ".join(
            "%d %s" % (answers.count(name), name)
            for name in ("match", "other", "differs", "unsolved", "none", "bad"))
        check(summary in done.stderr.decode(), "summary %r lacks %r"
              % (done.stderr.decode(), summary))


def main():
    tarvik = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as scratch:
        check_formats(tarvik, scratch)
        check_keep(tarvik, scratch)
        check_answers(tarvik, scratch)
    for message in failures:
        print("rows_check: " + message)
    if failures:
        sys.exit(1)
    print("rows_check: formats, kept fields and answers as expected")


main()
