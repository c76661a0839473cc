#!/usr/bin/env python3
"""Writes the generated touches of the benchmarks, and touches.tsv, the list of every benchmark touch
with the changes it rings, into bench/touches (or the folder given). Each touch is made from a seed
of its own, so the files come out the same every time."""

import random
import string
import sys
from pathlib import Path

# A touch rings the rest of the six that rounds starts in (2 changes from the default start) and
# closes with a plain six-end and a slow six (6 changes).
START_AND_CLOSE = 2 + 6


def course(rng, sixes, most_calls):
    """One course of bobs at random sixes, closed by its length so that it rings exactly 6 * sixes."""
    calls = sorted(rng.sample(range(1, sixes + 1), rng.randint(1, most_calls)))
    return " ".join(map(str, calls)) + f" ({sixes})"


def cinques(rng):
    """Stedman Cinques, 758 courses of 22 sixes: about 100,000 changes, mostly distinct rows."""
    courses = 758
    lines = ['#11 "Stedman Cinques: 758 courses of random bobs"']
    lines += [course(rng, 22, 5) for _ in range(courses)]
    return "\n".join(lines) + "\n", courses * 22 * 6 + START_AND_CLOSE


def nested(rng, levels, top_uses, title):
    """16 bells from nested named blocks.

    Eight courses of 32 sixes with random bobs; then levels of eight blocks, each of eight blocks of
    the level below picked at random; the touch itself is top_uses blocks of the top level. A block
    is defined where it is first used, so every definition is also rung exactly once there. The
    file stays small however long the touch: a block of level k rings 8^k courses.
    """
    letters = [c for c in string.ascii_uppercase + string.ascii_lowercase if c != "s"]
    content = {}
    changes = {}
    level = []
    for _ in range(8):
        letter = letters.pop(0)
        content[letter] = course(rng, 32, 6)
        changes[letter] = 32 * 6
        level.append(letter)
    for _ in range(levels):
        above = []
        for _ in range(8):
            letter = letters.pop(0)
            children = [rng.choice(level) for _ in range(8)]
            content[letter] = children
            changes[letter] = sum(changes[child] for child in children)
            above.append(letter)
        level = above
    top = [rng.choice(level) for _ in range(top_uses)]

    defined = set()

    def write(letter):
        if letter in defined:
            return letter
        defined.add(letter)
        body = content[letter]
        if isinstance(body, list):
            body = " ".join(write(child) for child in body)
        return f"{letter}[{body}]"

    lines = [f'#16 "{title}"']
    lines += [write(letter) for letter in top]
    return "\n".join(lines) + "\n", sum(changes[letter] for letter in top) + START_AND_CLOSE


def sixteen(rng):
    """16 bells, about 10,000,000 changes: four levels of blocks, 13 blocks of the top level."""
    return nested(rng, 4, 13, "Stedman on 16 bells: nested blocks of random bobs")


def sixteen_at_bound(rng):
    """16 bells, just under the bound of 100,000,000 changes: 127 blocks of the fourth level."""
    return nested(rng, 4, 127, "Stedman on 16 bells: 100 million changes of nested blocks")


def false_triples(rng):
    """Stedman Triples, 1,200 courses of random bobs: about 100,000 changes on 5,040 rows, so nearly
    every row is a repeat, and rounds comes up early."""
    courses = 1200
    lines = ['#7 "False Stedman Triples: 1200 courses of random bobs"']
    lines += [course(rng, 14, 4) for _ in range(courses)]
    return "\n".join(lines) + "\n", courses * 14 * 6 + START_AND_CLOSE


def main():
    folder = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent / "touches"
    folder.mkdir(parents=True, exist_ok=True)
    manifest = [
        # A published composition, kept as it is: 5,040 changes, true.
        ("stedman-triples-5040-johnson-10part.touch", 5040 + START_AND_CLOSE,
         "Stedman Triples 5040, published, true"),
    ]
    for file, make, description in [
        ("stedman-cinques-100k.touch", cinques, "Stedman Cinques, about 100,000"),
        ("sixteen-10m.touch", sixteen, "16 bells, about 10,000,000, nested blocks"),
        ("sixteen-100m.touch", sixteen_at_bound, "16 bells, about 100,000,000, nested blocks"),
        ("false-triples-100k.touch", false_triples, "false Stedman Triples, many repeats"),
    ]:
        text, changes = make(random.Random(file))
        (folder / file).write_text(text)
        manifest.append((file, changes, description))
    lines = ["# file\tchanges rung\tdescription (written by make-touches.py)"]
    lines += [f"{file}\t{changes}\t{description}" for file, changes, description in manifest]
    (folder / "touches.tsv").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
