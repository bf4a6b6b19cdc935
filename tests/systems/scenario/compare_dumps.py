#!/usr/bin/env python3
"""Compares two scenario dumps line by line: the run on our layer and the run on the real API.

A pair of lines that differ passes only when an entry of the allow-list explains it: each entry
is a regular expression; where it matches (its groups, or the whole match when it has none) both
lines are masked, and the masked lines must then be equal. Every other difference fails the comparison: each step
with one counts as a divergence, and the first is printed with the steps that led to it. Usage: compare_dumps.py LAYER_DUMP REAL_DUMP ALLOW_LIST (exit 77, skipped, when a dump is missing)
"""
import os
import re
import sys


def read_allow_list(path):
    entries, pattern = [], None
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.rstrip("\n")
            if line.startswith("pattern: "):
                pattern = (re.compile(line[len("pattern: "):]), number)
            elif line.startswith("reason: ") and pattern:
                entries.append((pattern[0], line[len("reason: "):], pattern[1]))
                pattern = None
            elif line.strip() and not line.startswith("#"):
                sys.exit(f"{path}:{number}: neither 'pattern: ' nor 'reason: ' nor a comment")
    if pattern:
        sys.exit(f"{path}:{pattern[1]}: a pattern without its reason")
    return entries


def mask(pattern, line):
    def hide(match):
        if not match.re.groups:
            return "<allowed>"
        text, start = "", match.start()
        for group in range(1, match.re.groups + 1):
            if match.start(group) < 0:
                continue
            text += line[start:match.start(group)] + "<allowed>"
            start = match.end(group)
        return text + line[start:match.end()]
    return pattern.sub(hide, line)


def explained(entries, ours, theirs, used):
    applied = []
    for pattern, _, number in entries:
        masked = mask(pattern, ours), mask(pattern, theirs)
        if masked != (ours, theirs):
            applied.append(number)
        ours, theirs = masked
        if ours == theirs:
            used.update(applied)
            return True
    return False


def read_lines(path):
    with open(path, encoding="utf-8", errors="replace", newline="") as dump:
        return [line.rstrip("\r\n") for line in dump]


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    for path in sys.argv[1:3]:
        if not os.path.exists(path):
            print(f"no {path}: its run did not happen")
            return 77  # skipped, as the run that makes it was
    ours, theirs = read_lines(sys.argv[1]), read_lines(sys.argv[2])
    entries = read_allow_list(sys.argv[3])
    steps, diverged, shown, used = [], [], 0, set()
    for index in range(max(len(ours), len(theirs))):
        a = ours[index] if index < len(ours) else "<no line>"
        b = theirs[index] if index < len(theirs) else "<no line>"
        if a.startswith("step "):
            steps.append(a)
        if a == b or explained(entries, a, b, used):
            continue
        step = steps[-1] if steps else "before the first step"
        if not diverged:  # the first divergence, with the inputs that led to it
            print("first divergence, after these steps:")
            for earlier in steps[-8:]:
                print(f"  {earlier}")
        if not diverged or diverged[-1] != step:
            diverged.append(step)
        if shown < 12:
            shown += 1
            print(f"line {index + 1} ({step}):\n  layer: {a}\n  real:  {b}")
    if len(diverged) > 1:
        print("later steps that differ: " + "; ".join(s.split(" ", 2)[1] for s in diverged[1:20]))
    for name, lines in (("our layer", ours), ("the real API", theirs)):
        if not lines or lines[-1] != "quit":  # the program ended, or the run broke off
            print(f"the run on {name} stopped short of its last step: {lines[-1] if lines else 'no dump'}")
            diverged.append("stopped short")
    print(f"allow-list entries used: {len(used)} of {len(entries)}")
    print(f"{max(len(steps) - 1, 0)} steps compared, {len(diverged)} divergences outside the allowed list")
    return 1 if diverged else 0


if __name__ == "__main__":
    sys.exit(main())
