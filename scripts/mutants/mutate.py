"""Single-fault copies of a C++ source: each Mutant is one splice of the original text, a span
and what replaces it. The parser here finds function bodies, statements, conditions and calls;
the rules (rules.py) make the mutants from what it finds."""

import hashlib
import random
from dataclasses import dataclass, field

from . import rules
from .lexer import tokenize

KEYWORDS = {
    "alignas", "alignof", "asm", "auto", "bool", "break", "case", "catch", "char", "class",
    "const", "constexpr", "const_cast", "continue", "decltype", "default", "delete", "do",
    "double", "dynamic_cast", "else", "enum", "explicit", "extern", "false", "float", "for",
    "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept",
    "nullptr", "operator", "private", "protected", "public", "reinterpret_cast", "return",
    "short", "signed", "sizeof", "static", "static_assert", "static_cast", "struct", "switch",
    "template", "this", "throw", "true", "try", "typedef", "typename", "union", "unsigned",
    "using", "virtual", "void", "volatile", "while",
}
DECLARATION_STARTERS = {
    "auto", "bool", "char", "class", "const", "constexpr", "double", "enum", "extern", "float",
    "int", "long", "short", "signed", "static", "struct", "thread_local", "typedef", "unsigned",
    "using", "void", "volatile",
}
JUMPS = {"return", "break", "continue", "goto"}
NOT_CALLS = KEYWORDS | {"defined"}
OPENERS = {"(": ")", "[": "]", "{": "}"}


def matching_bracket(tokens, i):
    """i at an opener; the index of its closer."""
    depth = 0
    for j in range(i, len(tokens)):
        text = tokens[j].text
        if text in OPENERS:
            depth += 1
        elif text in (")", "]", "}"):
            depth -= 1
            if depth == 0:
                return j
    raise ValueError("unbalanced brackets")


@dataclass
class Mutant:
    path: str
    line: int
    rule: str
    start: int  # span of the original text replaced
    end: int
    replacement: str
    original: str = ""
    ident: str = field(default="")

    def apply(self, source):
        return source[: self.start] + self.replacement + source[self.end:]

    def describe(self):
        before = " ".join(self.original.split())
        after = " ".join(self.replacement.split())
        if len(before) > 70:
            before = before[:67] + "..."
        if len(after) > 70:
            after = after[:67] + "..."
        if self.rule == "delete":
            return f"delete `{before}`"
        return f"`{before}` -> `{after}`"


@dataclass
class Statement:
    first: int  # token indices, `last` is the `;`
    last: int
    declaration: bool
    jump: str  # return/break/continue/goto, or ""
    returns_value: bool
    controlled: bool  # the body of an if/else/for/while without braces


class Parser:
    """Finds function bodies, their statements, blocks and conditions."""

    def __init__(self, tokens):
        self.t = tokens
        self.blocks = []  # each a list of items: Statement, or "other" for anything else
        self.conditions = []  # (first, last) token indices inside the parentheses
        self.calls = []  # (callee index, [ (first, last) per argument ])
        self.functions = []  # per function body: the names it declares (parameters too)
        self.function_of_call = []  # index into functions for each entry of calls

    def match(self, i):
        return matching_bracket(self.t, i)

    def parse_file(self):
        self.scan_scope(0, len(self.t))

    # Namespace or class scope: looks for function bodies; skips initialisers and enums.
    def scan_scope(self, i, end):
        while i < end:
            tok = self.t[i]
            if tok.text == "{":
                close = self.match(i)
                prev = self.t[i - 1].text if i > 0 else ""
                if prev in (")", "const", "noexcept", "override", "final"):
                    self.functions.append(self.parameter_names(i))
                    self.parse_block(i)
                elif self.opens_scope(i):
                    self.scan_scope(i + 1, close)
                i = close + 1
            else:
                i += 1

    def opens_scope(self, i):
        j = i - 1
        while j >= 0 and self.t[j].text not in (";", "{", "}", "=", "(", ",", ")"):
            if self.t[j].text in ("namespace", "struct", "class", "union"):
                return True
            j -= 1
        return False

    def parameter_names(self, brace):
        j = brace - 1
        while j >= 0 and self.t[j].text != ")":
            j -= 1
        names = set()
        depth = 0
        while j >= 0:
            text = self.t[j].text
            if text == ")":
                depth += 1
            elif text == "(":
                depth -= 1
                if depth == 0:
                    break
            elif depth == 1 and self.t[j].kind == "ident" and self.t[j + 1].text in (",", ")", "="):
                names.add(text)
            j -= 1
        return names

    def parse_block(self, i):
        close = self.match(i)
        items = []
        self.blocks.append(items)
        j = i + 1
        while j < close:
            j = self.parse_statement(j, items, controlled=False)
        return close + 1

    def parse_body(self, j, _):
        """The statement under a control keyword, a block of its own."""
        items = []
        self.blocks.append(items)
        return self.parse_statement(j, items, controlled=True)

    def parse_statement(self, j, items, controlled):
        tok = self.t[j]
        text = tok.text
        if text == "{":
            items.append("other")
            return self.parse_block(j)
        if text == ";":
            return j + 1
        if text in ("if", "while", "switch", "for"):
            items.append("other")
            k = j + 1
            if self.t[k].text == "constexpr":
                k += 1
            close = self.match(k)
            inner = [x.text for x in self.t[k + 1:close]]
            if text in ("if", "while") and ";" not in inner:
                self.conditions.append((k + 1, close - 1))
            self.scan_expression(k + 1, close)
            after = self.parse_body(close + 1, [])
            if text == "if" and after < len(self.t) and self.t[after].text == "else":
                after = self.parse_body(after + 1, [])
            return after
        if text == "do":
            items.append("other")
            after = self.parse_body(j + 1, [])
            close = self.match(after + 1)
            self.conditions.append((after + 2, close - 1))
            self.scan_expression(after + 2, close)
            return close + 2
        if text in ("case", "default"):
            items.append("other")
            k = j
            depth = 0
            while not (self.t[k].text == ":" and depth == 0):
                depth += {"(": 1, ")": -1}.get(self.t[k].text, 0)
                k += 1
            return k + 1
        if text == "try":
            items.append("other")
            k = self.parse_block(j + 1)
            while k < len(self.t) and self.t[k].text == "catch":
                k = self.parse_block(self.match(k + 1) + 1)
            return k
        # A simple statement, to its `;` at depth 0.
        k = j
        while self.t[k].text != ";":
            if self.t[k].text in OPENERS:
                k = self.scan_nested(k)
            else:
                k += 1
        self.scan_expression(j, k)
        jump = text if text in JUMPS else ""
        declared = self.is_declaration(j, k)
        if declared and self.functions:
            self.functions[-1].update(
                self.t[x].text for x in range(j, k)
                if self.t[x].kind == "ident" and self.t[x + 1].text in ("=", ";", "(", "{", "[", ","))
        items.append(Statement(
            first=j, last=k, declaration=declared, jump=jump,
            returns_value=jump == "return" and k > j + 1, controlled=controlled))
        return k + 1

    def scan_nested(self, k):
        """k at an opener inside an expression: a lambda body is parsed as code."""
        close = self.match(k)
        prev = self.t[k - 1].text if k > 0 else ""
        if self.t[k].text == "{" and prev in (")", "]", "mutable"):
            self.parse_block(k)
        return close + 1

    def scan_expression(self, first, end):
        """Records the calls between first and end (exclusive)."""
        k = first
        while k < end:
            tok = self.t[k]
            if (tok.kind == "ident" and tok.text not in NOT_CALLS and k + 1 < end
                    and self.t[k + 1].text == "("):
                close = self.match(k + 1)
                args = self.split_arguments(k + 2, close)
                if args:
                    self.calls.append((k, args))
                    self.function_of_call.append(len(self.functions) - 1)
            k += 1

    def split_arguments(self, first, close):
        args = []
        start = first
        k = first
        while k < close:
            text = self.t[k].text
            if text in OPENERS:
                k = self.match(k) + 1
                continue
            if text == ",":
                args.append((start, k - 1))
                start = k + 1
            k += 1
        if start < close:
            args.append((start, close - 1))
        return args

    def is_declaration(self, first, last):
        t = self.t
        text = t[first].text
        if text in DECLARATION_STARTERS:
            return True
        if t[first].kind != "ident" or text in KEYWORDS:
            return False
        k = first + 1
        while k + 1 <= last and t[k].text == "::" and t[k + 1].kind == "ident":
            k += 2
        if k <= last and t[k].text == "<" and not t[k].space_before:
            depth = 0
            while k <= last:
                depth += {"<": 1, ">": -1, ">>": -2}.get(t[k].text, 0)
                k += 1
                if depth <= 0:
                    break
        while k <= last and t[k].text in ("*", "&", "&&", "const"):
            k += 1
        return k <= last and t[k].kind == "ident" and t[k].text not in KEYWORDS


def excluded_tokens(tokens):
    """Indices of literals left alone: array sizes in declarations, template arguments and
    anything inside static_assert, alignas, extern "C" or an attribute."""
    skip = set()
    n = len(tokens)
    for i, tok in enumerate(tokens):
        if tok.text in ("static_assert", "alignas") and i + 1 < n and tokens[i + 1].text == "(":
            skip.update(range(i, matching_bracket(tokens, i + 1) + 1))
        elif tok.text == "extern" and i + 1 < n and tokens[i + 1].kind == "string":
            skip.add(i + 1)
        elif tok.text == "[" and i + 1 < n and tokens[i + 1].text == "[":
            skip.update(range(i, matching_bracket(tokens, i) + 1))
        elif tok.text == "[" and _declares_array(tokens, i):
            skip.update(range(i, matching_bracket(tokens, i) + 1))
        elif (tok.text == "<" and not tok.space_before and i > 0
              and tokens[i - 1].kind == "ident"):
            depth = 0
            for j in range(i, n):
                depth += {"<": 1, ">": -1, ">>": -2, "(": 100, ")": -100}.get(tokens[j].text, 0)
                if tokens[j].text in (";", "{"):
                    break
                if depth <= 0:
                    skip.update(range(i, j + 1))
                    break
    return skip


def _declares_array(tokens, i):
    if i < 2 or tokens[i - 1].kind != "ident":
        return False
    before = tokens[i - 2]
    if before.kind == "ident":
        return before.text not in KEYWORDS or before.text in DECLARATION_STARTERS
    if before.text in ("*", "&", ">") and i >= 3:
        return tokens[i - 3].kind == "ident" or tokens[i - 3].text == ">"
    return False


def generate(path, source, seed=0):
    """Every mutant of the source under the rules, in source order, each with its name."""
    tokens = tokenize(source)
    parser = Parser(tokens)
    parser.parse_file()
    found = rules.Found(path, source, tokens, parser, excluded_tokens(tokens),
                        random.Random(f"{seed}:{path}"), Mutant)
    for rule in rules.ALL:
        rule(found)
    return named(found.mutants, source)


def named(mutants, source):
    """Drops repeats and names each mutant: the name survives edits elsewhere in the file, as it
    is made of the text of its line, the change and which occurrence of that pair it is."""
    mutants.sort(key=lambda m: (m.start, m.rule, m.replacement))
    lines = source.split("\n")
    unique = {}
    occurrences = {}
    for m in mutants:
        base = (m.rule, lines[m.line - 1].strip(), m.original, m.replacement)
        if (m.start, m.end, m.replacement) in unique:
            continue
        count = occurrences.get(base, 0)
        occurrences[base] = count + 1
        key = "\0".join((m.path,) + base + (str(count),))
        m.ident = hashlib.sha1(key.encode()).hexdigest()[:10]
        unique[(m.start, m.end, m.replacement)] = m
    return list(unique.values())
