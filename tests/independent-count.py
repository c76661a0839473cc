#!/usr/bin/env python3
"""An independent count of what --music, --falseness and --calls print, for the golden tests.

Reads a touch written in a plain subset of the touch language (bells, method, sixes per course,
start, calls with the letters b, s and h, lengths, named blocks, header, titles, comments), rings
every row from place notation, and counts by brute force: every row compared with every music
pattern written out in full, every pair of sixes compared row by row. It shares no code and no
data with sixes, so that a golden file it agrees with was not merely copied from the program.

Usage: independent-count.py GOLDEN-FOLDER NAME...
Each NAME.args in the folder names the options and the touch; the sections after the usual output
in NAME.out must be what this script prints. Exits 1 at the first that differs.
"""

import itertools
import math
import re
import sys
from pathlib import Path

SMALL = "1234567890ETABCD"
LARGE = "123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"


def change(code, n):
    """The change of a code as a list of positions: the new row holds at i the bell at c[i]."""
    c = list(range(n))

    def cross(first, end):  # exchange the pairs from first while both are below end
        for i in range(first, end - 1, 2):
            c[i], c[i + 1] = c[i + 1], c[i]

    odd = n % 2 == 1
    if code == "1":  # 1 (odd) or 1n (even)
        cross(1, n if odd else n - 1)
    elif code == "3":  # 3 or 3n
        cross(0, 2)
        cross(3, n if odd else n - 1)
    elif code == "p":  # n, or all change
        cross(0, n - 1 if odd else n)
    elif code == "b":  # n-2 on odd stages, (n-1)n on even
        cross(0, n - 3 if odd else n - 2)
        if odd:
            cross(n - 2, n)
    elif code == "s":  # (n-2)(n-1)n on odd stages, (n-1)n on even
        cross(0, n - 3 if odd else n - 2)
    elif code == "h":  # only the 2nd and 3rd exchange
        cross(1, 3)
    else:
        raise ValueError("no change for " + code)
    return c


def read_touch(text):
    """The stage, the method, the start and the courses, each use of a block anew."""
    text = re.sub(r"\{[^}]*\}|\"[^\"]*\"|<[^>]*>", " ", text)
    tokens = re.findall(r"#\d+|-\d+|![0-9]+[QqSsPp]|~[eEsS]|\(\d+\)|\d+[bsh]?|[A-Za-z]\[|[A-Za-z]|\]",
                        text)
    state = {"bells": 11, "per": 22, "erin": False, "start": 3, "leadIn": None}
    blocks = {}

    def read_block(stream):
        items = []
        course = None  # [sixes, {six: letter}, sixes per course when begun]

        def close():
            nonlocal course
            if course is not None:
                items.append((max([course[0]] + list(course[1])), course[1]))
                course = None

        for token in stream:
            if token.startswith("#"):
                state["bells"] = int(token[1:])
                state["per"] = 2 * state["bells"] // (2 if state["erin"] else 1)
            elif token.startswith("-"):
                state["per"] = int(token[1:])
            elif token.startswith("~"):
                state["erin"] = token[1] in "eE"
                if state["erin"]:
                    state["per"] //= 2
                    if state["start"] == 3:  # Erin starts at the last row of a slow six
                        state["start"] = 11
            elif token.startswith("!"):
                index = int(token[1:-1]) - 1 + (6 if token[-1] in "Ss" else 0)
                state["start"] = index
                if token[-1] in "Qq" and index > 5:  # the rest of a slow six and a plain six-end
                    state["leadIn"] = "31313p"[6 - (index - 5):]
            elif token.startswith("("):
                length = int(token[1:-1])
                if course is not None and course[1] and max(course[1]) > length:
                    close()
                calls = course[1] if course is not None else {}
                course = None
                items.append((length, calls))
            elif token[0].isdigit():
                six = int(re.match(r"\d+", token).group())
                letter = token[len(str(six)):] or "b"
                if course is not None and (
                        (course[1] and six <= max(course[1])) or course[2] != state["per"]):
                    close()
                if course is None:
                    course = [state["per"], {}, state["per"]]
                course[1][six] = letter
            elif token.endswith("["):
                close()
                blocks[token[0]] = read_block(stream)
                items.append(token[0])
            elif token == "]":
                break
            else:
                close()
                items.append(token)
        close()
        return items

    top = read_block(iter(tokens))
    return state, top, blocks


def ring(state, top, blocks):
    """Every row recorded, the six of each, the sixes, the course ends and the part ends."""
    n = state["bells"]
    index = state["start"]
    lead_in = state["leadIn"] is not None
    if lead_in:
        start = state["leadIn"]
    else:
        start = "13131"[index:] if index <= 5 else "31313"[index - 6:]
    sixes = [("start", 0, 0)]
    codes = [(code, 0) for code in start]
    courses = []

    def expand(items):
        for item in items:
            if isinstance(item, str):
                expand(blocks[item])
            else:
                courses.append(item)

    expand(top)
    course_end_changes = []
    for number, (count, calls) in enumerate(courses, 1):
        for six in range(count):
            sixes.append(("course", number, six + 1))
            body = "31313" if state["erin"] or (count + six) % 2 == 0 else "13131"
            codes += [(code, len(sixes) - 1) for code in calls.get(six + 1, "p") + body]
        course_end_changes.append(len(codes))
    sixes.append(("finish", 0, 0))
    codes += [(code, len(sixes) - 1) for code in "p31313"]

    changes = {code: change(code, n) for code in "13pbsh"}
    rounds = tuple(range(n))
    row = rounds
    rung = [rounds]  # the row after each change, recorded or not; rung[0] is the first rounds
    for code, _ in codes:
        c = changes[code]
        row = tuple(row[c[i]] for i in range(n))
        rung.append(row)
    # With a lead-in, rows are recorded from the first rounds after it.
    first = next((k for k in range(1, len(rung)) if rung[k] == rounds), None) if lead_in else 0
    if first is None:
        return n, [rounds], [0], sixes, [], [], courses
    rows = rung[first:]
    six_of = [codes[first - 1][1] if first else 0] + [codes[k][1] for k in range(first, len(codes))]
    ends = [(number, rung[change], change - first if change >= first else None)
            for number, change in enumerate(course_end_changes, 1)]
    parts = []
    if len(top) > 1 and all(item == top[0] and isinstance(item, str) for item in top):
        per_part = len(courses) // len(top)
        parts = [(k + 1, ends[(k + 1) * per_part - 1][1], ends[(k + 1) * per_part - 1][2])
                 for k in range(len(top))]
    return n, rows, six_of, sixes, ends, parts, courses


def last_row(n, rows):
    """The row at which rounds ends the touch, and whether the touch is true as rung to it."""
    extent = math.factorial(n)
    seen = {}
    most = 0
    end = 0
    repeats = 0
    for k, row in enumerate(rows):
        if k > 0 and row == rows[0]:
            if end == 0:
                end = k
            elif k % extent == 0 and k // extent == most:
                end = k
        elif k > 0 and row in seen and end == 0:
            repeats += 1
        seen[row] = seen.get(row, 0) + 1
        most = max(most, seen[row] - (1 if row == rows[0] else 0))
    return end, repeats


def symbols(n):
    return SMALL if n <= 16 else LARGE


def text(row):
    return "".join(symbols(len(row))[bell] for bell in row)


def music_line(n, rows, end):
    counted = rows[1:end + 1]
    items = []

    def ends_with(row, bells):
        return list(row[n - len(bells):]) == bells

    def begins_with(row, bells):
        return list(row[:len(bells)]) == bells

    def run(four):
        return all(four[i + 1] - four[i] == 1 for i in range(3)) or \
            all(four[i] - four[i + 1] == 1 for i in range(3))

    def both(name, test_front, test_back):
        front = sum(1 for row in counted if test_front(row))
        back = sum(1 for row in counted if test_back(row))
        if front + back:
            word = name if front + back != 1 else name[:-1]
            items.append(f"{front + back} {word} ({front}f,{back}b)")

    if n >= 8:
        for name, bells in (("56s", list(range(4, n))), ("65s", [5, 4] + list(range(6, n)))):
            both(name, lambda row, b=bells: begins_with(row, b), lambda row, b=bells: ends_with(row, b))
    if n == 7:
        for name, endings in (("567s", ["567"]), ("657s", ["657"]),
                              ("CRUs", ["457", "547", "467", "647", "567", "657"]), ("46s", ["46"])):
            count = sum(1 for row in counted
                        if any(text(row).endswith(ending) for ending in endings))
            if count:
                items.append(f"{count} {name if count != 1 else name[:-1]}")
    if n >= 4:
        both("4-bell runs", lambda row: run(row[:4]), lambda row: run(row[n - 4:]))
    if n >= 5:
        half = (n + 1) // 2
        named = [("Queens", list(range(0, n, 2)) + list(range(1, n, 2))),
                 ("Kings", list(range(0, n, 2))[::-1] + list(range(1, n, 2))),
                 ("Tittums", [b for pair in itertools.zip_longest(range(half), range(half, n))
                              for b in pair if b is not None]),
                 ("Backrounds", list(range(n))[::-1])]
        if n == 7:
            named.append(("Whittingtons", [0, 1, 6, 4, 2, 3, 5]))
        if n == 9:
            named.append(("Whittingtons", [2, 0, 1, 3, 8, 6, 4, 5, 7]))
        for name, bells in named:
            at = [k for k in range(1, end + 1) if list(rows[k]) == bells]
            if at:
                listed = ", ".join(str(k) for k in at[:10])
                more = f" and {len(at) - 10} more" if len(at) > 10 else ""
                items.append(f"{len(at)} {name} ({'row' if len(at) == 1 else 'rows'} {listed}{more})")
    return "Music: " + (", ".join(items) + "." if items else "none.")


def falseness_lines(rows, six_of, sixes, end):
    where = {}
    for k in range(end + 1):
        if rows[k] == rows[0] and k in (0, end):
            continue  # rounds at the start and at the end is no clash
        where.setdefault(rows[k], []).append(k)
    shared = {}
    for row, places in where.items():
        for a, b in itertools.combinations(places, 2):
            shared.setdefault((six_of[a], six_of[b]), []).append((b, a, row))
    span = {}
    for k, six in enumerate(six_of):
        first, last = span.get(six, (k, k))
        span[six] = (min(first, k), max(last, k))

    def six_text(six):
        kind, course, number = sixes[six]
        first, last = span[six]
        rows_text = f"row {first}" if first == last else f"rows {first} to {last}"
        name = {"start": "start six", "finish": "finishing six"}.get(kind, f"course {course} six {number}")
        return f"{name} ({rows_text})"

    pairs = sorted(shared.items(), key=lambda pair: (min(pair[1])[0], span[pair[0][0]][0]))
    if not pairs:
        return ["False sixes: none."]
    heading = f"False sixes: {len(pairs)} pair{'' if len(pairs) == 1 else 's'}"
    if len(pairs) > 100:
        heading += ", the first 100"
    lines = [heading + ":"]
    for (first, second), clashes in pairs[:100]:
        b, a, row = min(clashes)
        count = len({clash[2] for clash in clashes})
        lines.append(f"  {six_text(first)} and {six_text(second)}: {count} row{'' if count == 1 else 's'}, "
                     f"first {text(row)} at rows {a} and {b}")
    if len(pairs) > 100:
        more = len(pairs) - 100
        lines.append(f"  and {more} more pair{'' if more == 1 else 's'}")
    return lines


def end_lines(heading, ends):
    if not ends:
        return [heading + ": none."]
    width = len(str(ends[-1][0]))
    return [heading + ":"] + [f"  {str(number).rjust(width)}  {text(row)}" for number, row, _ in ends]


def calls_lines(courses, ends, parts):
    counts = {}
    for _, calls in courses:
        for letter in calls.values():
            counts[letter] = counts.get(letter, 0) + 1
    items = []
    for letter, name in (("b", "bob"), ("s", "single")):
        if letter in counts:
            items.append(f"{counts[letter]} {name}{'' if counts[letter] == 1 else 's'}")
    items += [f"{counts[letter]} {letter}" for letter in sorted(counts) if letter not in "bsp"]
    lines = ["Calls: " + (", ".join(items) + "." if items else "none.")]
    lines += end_lines("Course ends", ends)
    if parts:
        lines += end_lines("Part ends", parts)
    return lines


def sections(options, touch):
    state, top, blocks = read_touch(touch)
    n, rows, six_of, sixes, ends, parts, courses = ring(state, top, blocks)
    end, repeats = last_row(n, rows)
    true = end > 0 and repeats == 0
    if end == 0:
        end = len(rows) - 1
    every = "--all" in options or "-a" in options
    lines = []
    if every or "--music" in options:
        lines += [music_line(n, rows, end), ""]
    if every or "--falseness" in options:
        lines += (["False sixes: none."] if true else falseness_lines(rows, six_of, sixes, end)) + [""]
    if every or "--calls" in options:
        lines += calls_lines(courses, ends, parts) + [""]
    return lines


def main():
    folder = Path(sys.argv[1])
    for name in sys.argv[2:]:
        arguments = (folder / f"{name}.args").read_text().split("\n")[:-1]
        options = [argument for argument in arguments if argument.startswith("-")]
        touch = (folder / arguments[-1]).read_text()
        printed = (folder / f"{name}.out").read_text().split("\n")[:-1]
        starts = [k for k, line in enumerate(printed)
                  if re.match(r"(Music|False sixes|Calls): ", line)]
        shown = printed[starts[0]:] if starts else []
        counted = sections(options, touch)
        if shown != counted:
            print(f"{name}: the sections of {name}.out differ from the independent count:")
            for line in counted:
                print("  " + line)
            return 1
        print(f"{name}: {len(counted)} lines agree")
    return 0


if __name__ == "__main__":
    sys.exit(main())
