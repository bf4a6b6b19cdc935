"""A small C++ lexer: enough to find statements, conditions, operators and literals.

Comments and preprocessor lines are dropped; every token keeps its offsets in the source, so a
mutant is a plain text splice.
"""

import re
from dataclasses import dataclass

# Longest first, so that `<=` is one token and `::` never looks like a label's colon.
PUNCTUATORS = sorted(
    """>>= <<= <=> ... -> ++ -- << >> <= >= == != && || += -= *= /= %= &= |= ^= :: .*
    { } [ ] ( ) ; : ? , . + - * / % ^ & | ~ ! = < > #""".split(),
    key=len,
    reverse=True,
)

IDENT = re.compile(r"[A-Za-z_]\w*")
NUMBER = re.compile(r"(0[xX][0-9a-fA-F']+|(\d[\d']*\.?[\d']*|\.\d[\d']*)([eE][+-]?\d+)?)[uUlLfF]*")
STRING_PREFIX = re.compile(r'(u8|u|U|L)?R?"')


@dataclass
class Token:
    kind: str  # ident, number, string, char, punct
    text: str
    start: int
    end: int
    line: int
    space_before: bool  # whitespace right before it
    space_after: bool = False


def _skip_string(src, i):
    """i at the opening quote; returns the offset after the closing quote."""
    quote = src[i]
    i += 1
    while i < len(src) and src[i] != quote:
        if src[i] == "\\":
            i += 1
        elif src[i] == "\n":
            raise ValueError("unterminated literal")
        i += 1
    return i + 1


def tokenize(src):
    tokens = []
    i = 0
    line = 1
    at_line_start = True
    n = len(src)
    while i < n:
        c = src[i]
        if c == "\n":
            line += 1
            i += 1
            at_line_start = True
            continue
        if c in " \t\r\f\v":
            i += 1
            continue
        if src.startswith("//", i):
            i = src.find("\n", i)
            i = n if i < 0 else i
            continue
        if src.startswith("/*", i):
            end = src.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += src.count("\n", i, end)
            i = end
            continue
        if c == "#" and at_line_start:
            # A directive runs to the end of the line, with its continuations.
            while i < n and src[i] != "\n":
                if src[i] == "\\" and i + 1 < n and src[i + 1] == "\n":
                    line += 1
                    i += 1
                i += 1
            continue
        at_line_start = False
        space_before = i > 0 and src[i - 1] in " \t\n"
        start = i
        m = STRING_PREFIX.match(src, i)
        if m and (c == '"' or m.group(0).endswith('"')):
            if "R" in m.group(0):
                raw_open = src.index("(", m.end())
                delim = src[m.end():raw_open]
                end = src.index(")" + delim + '"', raw_open) + len(delim) + 2
            else:
                end = _skip_string(src, m.end() - 1)
            tokens.append(Token("string", src[start:end], start, end, line, space_before))
            line += src.count("\n", start, end)
            i = end
            continue
        if c == "'":
            end = _skip_string(src, i)
            tokens.append(Token("char", src[start:end], start, end, line, space_before))
            i = end
            continue
        if c.isdigit() or (c == "." and i + 1 < n and src[i + 1].isdigit()):
            m = NUMBER.match(src, i)
            end = m.end()
            tokens.append(Token("number", src[start:end], start, end, line, space_before))
            i = end
            continue
        m = IDENT.match(src, i)
        if m:
            tokens.append(Token("ident", m.group(0), start, m.end(), line, space_before))
            i = m.end()
            continue
        for p in PUNCTUATORS:
            if src.startswith(p, i):
                tokens.append(Token("punct", p, start, i + len(p), line, space_before))
                i += len(p)
                break
        else:
            raise ValueError(f"line {line}: unexpected character {c!r}")
    for token in tokens:
        token.space_after = token.end < n and src[token.end] in " \t\n"
    return tokens
