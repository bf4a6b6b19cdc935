"""Single-fault copies of a C++ source by a few plain rules.

Each Mutant is one splice of the original text: a span and what replaces it. The rules:
  delete   a statement (a declaration never: that only fails to build)
  negate   the condition of an if, while or do-while
  operator < and <=, > and >=, == and !=, && and || (binary ones, written with spaces round them)
  number   a numeric literal becomes 0, itself + 1 or itself - 1
  string   one character of a string literal changes
  swap     two adjacent statements of a block change places
  argument a call's argument becomes another argument of that call, or one that the same
           function receives at that place elsewhere in the file
"""

import hashlib
import random
import re
from dataclasses import dataclass, field
from decimal import Decimal, InvalidOperation

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
OPERATOR_SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
                  "&&": "||", "||": "&&"}
OPENERS = {"(": ")", "[": "]", "{": "}"}


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
        self.in_void_function = []
        self.functions = []  # per function body: the names it declares (parameters too)
        self.function_of_call = []  # index into functions for each entry of calls

    def match(self, i):
        """i at an opener; the index of its closer."""
        depth = 0
        for j in range(i, len(self.t)):
            text = self.t[j].text
            if text in OPENERS:
                depth += 1
            elif text in (")", "]", "}"):
                depth -= 1
                if depth == 0:
                    return j
        raise ValueError("unbalanced brackets")

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
                    self.in_void_function.append(self.returns_void(i))
                    self.functions.append(self.parameter_names(i))
                    self.parse_block(i)
                    self.in_void_function.pop()
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

    def returns_void(self, brace):
        j = brace - 1
        while j >= 0 and self.t[j].text != ")":
            j -= 1
        depth = 0
        while j >= 0:
            if self.t[j].text == ")":
                depth += 1
            elif self.t[j].text == "(":
                depth -= 1
                if depth == 0:
                    break
            j -= 1
        j -= 1  # the name
        while j >= 2 and self.t[j - 1].text == "::":
            j -= 2
        return j >= 1 and self.t[j - 1].text == "void"

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
            self.in_void_function.append(False)
            self.parse_block(k)
            self.in_void_function.pop()
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
            skip.update(range(i, _closer(tokens, i + 1) + 1))
        elif tok.text == "extern" and i + 1 < n and tokens[i + 1].kind == "string":
            skip.add(i + 1)
        elif tok.text == "[" and i + 1 < n and tokens[i + 1].text == "[":
            skip.update(range(i, _closer(tokens, i) + 1))
        elif tok.text == "[" and _declares_array(tokens, i):
            skip.update(range(i, _closer(tokens, i) + 1))
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


def _closer(tokens, i):
    depth = 0
    for j in range(i, len(tokens)):
        if tokens[j].text in OPENERS:
            depth += 1
        elif tokens[j].text in (")", "]", "}"):
            depth -= 1
            if depth == 0:
                return j
    return len(tokens) - 1


def _declares_array(tokens, i):
    if i < 2 or tokens[i - 1].kind != "ident":
        return False
    before = tokens[i - 2]
    if before.kind == "ident":
        return before.text not in KEYWORDS or before.text in DECLARATION_STARTERS
    if before.text in ("*", "&", ">") and i >= 3:
        return tokens[i - 3].kind == "ident" or tokens[i - 3].text == ">"
    return False


def number_replacements(text):
    hexadecimal = text[:2].lower() == "0x"
    body = text.rstrip("uUlL" if hexadecimal else "uUlLfF")
    suffix = text[len(body):]
    clean = body.replace("'", "")
    if hexadecimal:
        value = int(clean, 16)
        digits = clean[2:]
        upper = digits.upper() == digits
        width = len(digits)

        def show(v):
            out = format(abs(v), f"0{width}X" if upper else f"0{width}x")
            return ("(-0x" if v < 0 else "0x") + out + suffix + (")" if v < 0 else "")
        values = [0, value + 1, value - 1]
        return [show(v) for v in dict.fromkeys(values) if v != value]
    floating = any(c in clean for c in ".eE") or "f" in suffix.lower()
    if floating:
        try:
            value = Decimal(clean)
        except InvalidOperation:
            return []

        def show(v):
            out = format(v.normalize() if v != 0 else Decimal(0), "f")
            if "." not in out:
                out += ".0"
            out += suffix
            return f"({out})" if v < 0 else out
    else:
        value = int(clean, 8) if len(clean) > 1 and clean.startswith("0") else int(clean)

        def show(v):
            return f"({v}{suffix})" if v < 0 else f"{v}{suffix}"
    values = [Decimal(0) if floating else 0, value + 1, value - 1]
    out = []
    for v in values:
        if v != value and show(v) not in out:
            out.append(show(v))
    return out


def string_replacement(text, rng):
    """One character of the literal changes: a letter to the next letter, a digit to the next
    digit, anything else to `x`. Escapes and printf conversions are left alone."""
    prefix_end = text.index('"')
    if "R" in text[:prefix_end]:
        return None
    body_start = prefix_end + 1
    body = text[body_start:-1]
    plain = []  # (position in body, character)
    k = 0
    while k < len(body):
        c = body[k]
        if c == "\\":
            k += 2
            if body[k - 1] in "xX":
                while k < len(body) and body[k] in "0123456789abcdefABCDEF":
                    k += 1
            continue
        if c == "%":
            m = re.match(r"%[-+ #0]*\d*(\.\d+)?[hlLqjzt]*[a-zA-Z%]", body[k:])
            k += m.end() if m else 1
            continue
        plain.append((k, c))
        k += 1
    if not body:
        return text[:body_start] + "x" + text[-1]
    letters = [p for p in plain if p[1].isalnum()] or plain
    if not letters:
        return None
    pos, c = rng.choice(letters)
    if c.isalpha():
        base = ord("a") if c.islower() else ord("A")
        new = chr(base + (ord(c) - base + 1) % 26)
    elif c.isdigit():
        new = str((int(c) + 1) % 10)
    else:
        new = "x"
    return text[:body_start] + body[:pos] + new + body[pos + 1:] + text[-1]


def generate(path, source, seed=0):
    """Every mutant of the source under the rules above, in source order."""
    tokens = tokenize(source)
    parser = Parser(tokens)
    parser.parse_file()
    skip = excluded_tokens(tokens)
    rng = random.Random(f"{seed}:{path}")
    out = []

    def add(rule, first_offset, end_offset, replacement, line):
        original = source[first_offset:end_offset]
        if original == replacement:
            return
        out.append(Mutant(path, line, rule, first_offset, end_offset, replacement, original))

    def stmt_span(s):
        return tokens[s.first].start, tokens[s.last].end

    # delete, swap
    for items in parser.blocks:
        for index, item in enumerate(items):
            if not isinstance(item, Statement) or item.declaration:
                continue
            last_in_block = index == len(items) - 1
            if item.returns_value and last_in_block and not item.controlled:
                continue  # would flow off the end of a function
            start, end = stmt_span(item)
            add("delete", start, end, ";", tokens[item.first].line)
        for a, b in zip(items, items[1:]):
            if not (isinstance(a, Statement) and isinstance(b, Statement)):
                continue
            if a.declaration or b.declaration or a.jump or b.jump:
                continue
            (a0, a1), (b0, b1) = stmt_span(a), stmt_span(b)
            text_a, text_b = source[a0:a1], source[b0:b1]
            if text_a == text_b:
                continue
            add("swap", a0, b1, text_b + source[a1:b0] + text_a, tokens[a.first].line)

    # negate
    for first, last in parser.conditions:
        start, end = tokens[first].start, tokens[last].end
        add("negate", start, end, "!(" + source[start:end] + ")", tokens[first].line)

    # operators, numbers, strings
    for i, tok in enumerate(tokens):
        if tok.kind == "punct" and tok.text in OPERATOR_SWAPS and i not in skip:
            if tok.space_before and tok.space_after:
                add("operator", tok.start, tok.end, OPERATOR_SWAPS[tok.text], tok.line)
        elif tok.kind == "number" and i not in skip:
            for replacement in number_replacements(tok.text):
                add("number", tok.start, tok.end, replacement, tok.line)
        elif tok.kind == "string" and i not in skip:
            replacement = string_replacement(tok.text, rng)
            if replacement:
                add("string", tok.start, tok.end, replacement, tok.line)

    # argument: another argument of the same call, or what the same function gets there
    # elsewhere in the file
    def arg_text(span):
        return source[tokens[span[0]].start:tokens[span[1]].end]

    # A name declared in some function other than the caller's is out of scope there.
    local_names = set().union(*parser.functions) if parser.functions else set()

    def in_scope(text, function):
        own = parser.functions[function] if function >= 0 else set()
        return all(name not in local_names or name in own
                   for name in re.findall(r"[A-Za-z_]\w*", text))

    seen_at = {}
    for callee, args in parser.calls:
        for position, span in enumerate(args):
            seen_at.setdefault((tokens[callee].text, position), []).append(arg_text(span))
    for (callee, args), function in zip(parser.calls, parser.function_of_call):
        name = tokens[callee].text
        texts = [arg_text(span) for span in args]
        for position, span in enumerate(args):
            current = texts[position]
            if len(current) > 80 or "{" in current:
                continue
            same_call = [t for t in texts if t != current and len(t) <= 80 and "{" not in t]
            elsewhere = [t for t in dict.fromkeys(seen_at[(name, position)])
                         if t != current and t not in same_call and "{" not in t
                         and in_scope(t, function)]
            picks = list(dict.fromkeys(same_call))[:2] + rng.sample(elsewhere, min(2, len(elsewhere)))
            for text in picks:
                start, end = tokens[span[0]].start, tokens[span[1]].end
                add("argument", start, end, text, tokens[span[0]].line)

    # The name of a mutant survives edits elsewhere in the file: it is made of the text of its
    # line, the change and which occurrence of that pair it is.
    out.sort(key=lambda m: (m.start, m.rule, m.replacement))
    lines = source.split("\n")
    unique = {}
    occurrences = {}
    for m in out:
        base = (m.rule, lines[m.line - 1].strip(), m.original, m.replacement)
        if (m.start, m.end, m.replacement) in unique:
            continue
        count = occurrences.get(base, 0)
        occurrences[base] = count + 1
        key = "\0".join((m.path,) + base + (str(count),))
        m.ident = hashlib.sha1(key.encode()).hexdigest()[:10]
        unique[(m.start, m.end, m.replacement)] = m
    return list(unique.values())
