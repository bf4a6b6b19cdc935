"""Swaps that are the same program by construction, judged by reading instead of a run.

Two assignments to different members (or literal-indexed elements) of one object, where neither
right-hand side names that object or calls anything, write two distinct places from values the
other write cannot change: in either order the program is the same. Such a swap survives every
test; a survivor costs a full run of every test group, so a swap of this kind that is on the
equivalents list is not built at all. Anything less plain (a call, an increment, a pointer, two
objects that a reference could join) is run as usual.
"""

import re

TARGET = re.compile(r"([A-Za-z_]\w*)((?:\s*\.\s*[A-Za-z_]\w*|\s*\[\s*\d+\s*\])+)")
ASSIGNMENT = re.compile(r"^\s*(?P<target>[^=;]+?)\s*(?:=|\+=|-=)(?!=)\s*(?P<value>[^;]*);\s*$")
CAST = re.compile(r"\bstatic_cast\s*<[^<>]*>")


def _parts(statement):
    """(object, member path, value) of a plain assignment, or None."""
    found = ASSIGNMENT.match(statement)
    if not found:
        return None
    target = TARGET.fullmatch(found["target"].strip())
    value = CAST.sub("", found["value"])
    if not target or re.search(r"\w\s*\(|\+\+|--|(?<![=!<>])=(?!=)", value):
        return None
    return target[1], re.sub(r"\s+", "", target[2]), value


def independent_swap(mutant):
    """True when `mutant` swaps two such assignments."""
    if mutant.rule != "swap":
        return False
    pieces = [p + ";" for p in mutant.original.split(";")[:-1]]
    if len(pieces) != 2 or mutant.original.split(";")[-1].strip():
        return False
    a, b = _parts(pieces[0]), _parts(pieces[1])
    if not a or not b or a[0] != b[0]:
        return False
    path_a, path_b = a[1], b[1]
    if path_a.startswith(path_b) or path_b.startswith(path_a):
        return False  # one place holds the other (or they are the same)
    named = re.compile(r"\b" + re.escape(a[0]) + r"\b")
    return not named.search(a[2]) and not named.search(b[2])
