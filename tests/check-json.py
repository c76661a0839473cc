#!/usr/bin/env python3
"""Parses the --json document of every example and golden input with Python's json module, and
checks its fields against what the same run prints without --json.

Usage: check-json.py SIXES EXAMPLES-FOLDER GOLDEN-FOLDER
For each touch: the document must be the whole of standard output and one valid JSON document;
its exit status, standard error and output lines must be those of the run without --json; its
summary and verdict must be what the printed touch says; and its analyses must be what --all
prints. Prints one line for each touch and exits 1 when any check fails.
"""

import json
import re
import subprocess
import sys
from pathlib import Path


def run(sixes, folder, arguments):
    result = subprocess.run([sixes] + arguments, cwd=folder, capture_output=True, timeout=120)
    return result.returncode, result.stdout, result.stderr


def text(data):
    """Bytes as the document holds them: each ill-formed part of UTF-8 one U+FFFD."""
    return data.decode("utf-8", errors="replace")


def lines(data):
    return text(data).split("\n")[:-1] if data else []


def check(sixes, folder, arguments):
    """The problems found for one touch, run with arguments in folder."""
    problems = []

    def expect(condition, what):
        if not condition:
            problems.append(what)

    status, out, err = run(sixes, folder, arguments)
    json_status, json_out, json_err = run(sixes, folder, ["--json"] + arguments)
    expect(json_out.endswith(b"}\n"), "standard output is not one document and a line break")
    try:
        document = json.loads(json_out.decode("utf-8"))  # strict: invalid UTF-8 fails here
    except (UnicodeDecodeError, json.JSONDecodeError) as error:
        return [f"not valid JSON: {error}"]
    expect(json_status == status, f"exit status {json_status} with --json, {status} without")
    expect(json_err == err, "standard error differs with --json")
    expect(document["exitStatus"] == status, "exitStatus is not the exit status")
    expect(document["stderr"] == text(err), "stderr is not standard error")
    expect(document["output"] == lines(out), "output is not the printed lines")
    expect(document["error"] is None or document["length"] is None,
           "a document with an error has no proof")
    if document["length"] is None:
        return problems

    # The usual output, without the sections that the options of the test add.
    analyses = {"--music", "--falseness", "--calls", "--all", "-a"}
    base = [argument for argument in arguments if argument not in analyses]
    printed = lines(run(sixes, folder, base)[1])
    summary = f"{document['length']} {document['method']} {document['stageName']} "
    expect(printed[0].startswith(summary), f"the summary line does not begin {summary!r}")
    if document["titles"]:
        expect(printed[0] == (summary + document["titles"][0]).split("\n")[0],
               "the title is not on the summary line")
        expect(document["title"] == document["titles"][0], "title is not the first title line")
    expect(document["true"] == (status == 0) or "--strict" in arguments,
           "true does not match the exit status")
    expect(document["falseRows"] == 0 or f"{document['falseRows']} repeated rows" in printed,
           "falseRows is not the number of repeated rows printed")
    if document["firstRepeat"] is not None and not document["true"]:
        pair = document["firstRepeat"]
        expect(f"Rows {pair['first']} and {pair['second']} are both  {pair['row']}" in printed,
               "firstRepeat is not the pair printed")
    if not document["true"]:
        expect(document["comesRound"] == ("Touch does not come round" not in printed),
               "comesRound does not match the verdict printed")
        if document["comesRound"]:
            expect(f"Rounds occurs after {document['roundsAt']} changes " in printed,
                   "roundsAt is not the change printed")
    else:
        expect(document["roundsAt"] == document["length"], "roundsAt is not the length")

    every_status, every_out, _ = run(sixes, folder, ["--all"] + base)
    expect(every_status == status, "--all changes the exit status")
    every = lines(every_out)
    expect(every[:len(printed)] == printed, "--all changes the usual output")
    sections = every[len(printed):]
    music = document["music"]
    expect(sections and sections[0] == "Music: " + music["text"], "music.text is not the music line")
    expect(music["rows"] == (document["roundsAt"] or document["changes"]),
           "music.rows is not the rows counted")
    falseness = document["falseness"]
    heading = next((line for line in sections if line.startswith("False sixes: ")), "")
    if falseness["pairCount"] == 0:
        expect(heading == "False sixes: none.", "no pairs, but the text lists some")
    else:
        expect(re.match(rf"False sixes: (at least )?{falseness['pairCount']} pairs?", heading),
               "pairCount is not the number of pairs printed")
        listed = [line for line in sections if line.startswith("  ") and " and " in line
                  and ": " in line and "rows" in line]
        expect(len(listed) == len(falseness["pairs"]), "pairs are not the pairs printed")
        for line, pair in zip(listed, falseness["pairs"]):
            expect(f"first {pair['firstSharedRow']} at rows {pair['firstSharedAt'][0]} and "
                   f"{pair['firstSharedAt'][1]}" in line, f"a pair differs from {line!r}")
    calls = next((line for line in sections if line.startswith("Calls: ")), "")
    named = {"bob": "bobs", "single": "singles"}
    words = [f"{call['count']} {named.get(call['name'], call['name']) if call['count'] != 1 and call['name'] in named else call['name']}"
             for call in document["calls"]]
    expect(calls == "Calls: " + (", ".join(words) + "." if words else "none."),
           "calls are not the calls printed")
    start = sections.index("Course ends:") if "Course ends:" in sections else None
    if document["courseCount"] == 0:
        expect("Course ends: none." in sections, "no courses, but the text lists some")
    elif start is not None:
        rows = [line.split()[1] for line in sections[start + 1:start + 1 + len(document["courseEnds"])]]
        expect(rows == [end["row"] for end in document["courseEnds"]],
               "courseEnds are not the course ends printed")
    expect((document["partCount"] > 0) == ("Part ends:" in sections),
           "partEnds are printed exactly for a multi-part")
    return problems


def main():
    sixes = str(Path(sys.argv[1]).resolve())
    examples = Path(sys.argv[2])
    golden = Path(sys.argv[3])
    runs = [(examples, [touch.name]) for touch in sorted(examples.glob("*.touch"))]
    for touch in sorted(golden.glob("*.in")):
        name = touch.name[:-len(".in")]
        arguments = [touch.name]
        if (golden / f"{name}.args").exists():
            arguments = (golden / f"{name}.args").read_text().split("\n")[:-1]
        if name.endswith(".stdin"):
            continue  # read from standard input: its document is checked with the others
        # Options of the golden test come first; --json goes before them.
        arguments = [argument for argument in arguments if argument != "--json"]
        runs.append((golden, arguments))
    failed = 0
    for folder, arguments in runs:
        problems = check(sixes, folder, arguments)
        label = " ".join(arguments)
        if problems:
            failed += 1
            print(f"FAIL {label}: " + "; ".join(problems))
        else:
            print(f"ok   {label}")
    print(f"{len(runs) - failed} of {len(runs)} documents agree with the printed touch")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
