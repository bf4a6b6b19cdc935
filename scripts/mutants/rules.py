"""The rules that make mutants, each a function of what the parser found in one source.

  delete   a statement (a declaration never: that only fails to build)
  swap     two adjacent statements of a block change places
  negate   the condition of an if, while or do-while
  operator < and <=, > and >=, == and !=, && and || (binary ones, written with spaces round them)
  number   a numeric literal becomes 0, itself + 1 or itself - 1
  string   one character of a string literal changes
  argument a call's argument becomes another argument of that call, or one that the same
           function receives at that place elsewhere in the file
  unary    a unary minus is dropped: an angle or an offset turned the other way
  float    in a statement that computes with floating-point values, * and / change places, and
           so do + and -
  constant a call's argument becomes a constant of its type: a named constant of the GL or of
           the API its neighbour (the value one above or below), any argument of a GL call 0 and 1

A call whose result is unused always stands as a statement of its own in this code, so `delete`
is also the rule that deletes such a call.
"""

import os
import re
from dataclasses import dataclass, field
from decimal import Decimal, InvalidOperation

OPERATOR_SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
                  "&&": "||", "||": "&&"}
ARITHMETIC_SWAPS = {"*": "/", "/": "*", "+": "-", "-": "+"}
FLOAT_TYPES = {"float", "double", "GLfloat", "GLdouble", "GLclampf", "GLclampd"}
# What may stand right before a unary minus.
BEFORE_UNARY = {"(", ",", "=", "return", "{", "[", "?", ":", "+", "-", "*", "/", "<", ">", "<=",
                ">=", "==", "!=", "&&", "||", "+=", "-=", "*=", "/="}
# Where the named constants of the `constant` rule are defined.
CONSTANT_HEADERS = ("/usr/include/GL/gl.h", "platform/winapi.h")
LONGEST_ARGUMENT = 80  # longer arguments are left alone: their replacements read badly


@dataclass
class Found:
    """One source, its tokens and what the parser found, and the mutants made so far."""
    path: str
    source: str
    tokens: list
    parser: object
    skip: set  # token indices no rule touches
    rng: object
    make: object  # the Mutant type
    mutants: list = field(default_factory=list)

    def add(self, rule, start, end, replacement, line):
        original = self.source[start:end]
        if original != replacement:
            self.mutants.append(self.make(self.path, line, rule, start, end, replacement, original))

    def span(self, first, last):
        return self.tokens[first].start, self.tokens[last].end

    def text(self, first, last):
        start, end = self.span(first, last)
        return self.source[start:end]


def statement_rules(found):
    """delete and swap."""
    tokens = found.tokens
    for items in found.parser.blocks:
        for index, item in enumerate(items):
            if not is_statement(item) or item.declaration:
                continue
            if item.returns_value and index == len(items) - 1 and not item.controlled:
                continue  # would flow off the end of a function
            start, end = found.span(item.first, item.last)
            found.add("delete", start, end, ";", tokens[item.first].line)
        for a, b in zip(items, items[1:]):
            if not (is_statement(a) and is_statement(b)):
                continue
            if a.declaration or b.declaration or a.jump or b.jump:
                continue
            (a0, a1), (b0, b1) = found.span(a.first, a.last), found.span(b.first, b.last)
            text_a, text_b = found.source[a0:a1], found.source[b0:b1]
            if text_a != text_b:
                found.add("swap", a0, b1, text_b + found.source[a1:b0] + text_a,
                          tokens[a.first].line)


def is_statement(item):
    return not isinstance(item, str)


def negate_rule(found):
    for first, last in found.parser.conditions:
        start, end = found.span(first, last)
        found.add("negate", start, end, "!(" + found.source[start:end] + ")",
                  found.tokens[first].line)


def token_rules(found):
    """operator, number and string."""
    for i, tok in enumerate(found.tokens):
        if i in found.skip:
            continue
        if tok.kind == "punct" and tok.text in OPERATOR_SWAPS:
            if tok.space_before and tok.space_after:
                found.add("operator", tok.start, tok.end, OPERATOR_SWAPS[tok.text], tok.line)
        elif tok.kind == "number":
            for replacement in number_replacements(tok.text):
                found.add("number", tok.start, tok.end, replacement, tok.line)
        elif tok.kind == "string":
            replacement = string_replacement(tok.text, found.rng)
            if replacement:
                found.add("string", tok.start, tok.end, replacement, tok.line)


def argument_rule(found):
    """Another argument of the same call, or what the same function gets there elsewhere in the
    file; a name declared in some function other than the caller's is out of scope there."""
    parser = found.parser
    local_names = set().union(*parser.functions) if parser.functions else set()

    def in_scope(text, function):
        own = parser.functions[function] if function >= 0 else set()
        return all(name not in local_names or name in own
                   for name in re.findall(r"[A-Za-z_]\w*", text))

    def usable(text):
        return len(text) <= LONGEST_ARGUMENT and "{" not in text

    seen_at = {}
    for callee, args in parser.calls:
        for position, span in enumerate(args):
            seen_at.setdefault((found.tokens[callee].text, position), []).append(found.text(*span))
    for (callee, args), function in zip(parser.calls, parser.function_of_call):
        name = found.tokens[callee].text
        texts = [found.text(*span) for span in args]
        for position, span in enumerate(args):
            current = texts[position]
            if not usable(current):
                continue
            same_call = [t for t in texts if t != current and usable(t)]
            elsewhere = [t for t in dict.fromkeys(seen_at[(name, position)])
                         if t != current and t not in same_call and "{" not in t
                         and in_scope(t, function)]
            picks = list(dict.fromkeys(same_call))[:2] + found.rng.sample(
                elsewhere, min(2, len(elsewhere)))
            for text in picks:
                start, end = found.span(*span)
                found.add("argument", start, end, text, found.tokens[span[0]].line)


def unary_rule(found):
    tokens = found.tokens
    for i, tok in enumerate(tokens[1:-1], 1):
        if tok.text != "-" or tok.space_after or i in found.skip:
            continue
        after = tokens[i + 1]
        if tokens[i - 1].text in BEFORE_UNARY and (after.kind in ("ident", "number")
                                                   or after.text == "("):
            found.add("unary", tok.start, tok.end, "", tok.line)


def float_rule(found):
    names = float_names(found)
    tokens = found.tokens
    for items in found.parser.blocks:
        for item in items:
            if not is_statement(item):
                continue
            inside = range(item.first, item.last)
            if not any(is_float(tokens[k], tokens[k + 1], names) for k in inside):
                continue
            for k in inside:
                tok = tokens[k]
                if (tok.kind == "punct" and tok.text in ARITHMETIC_SWAPS and tok.space_before
                        and tok.space_after and k not in found.skip):
                    found.add("float", tok.start, tok.end, ARITHMETIC_SWAPS[tok.text], tok.line)


def is_float(tok, after, names):
    if tok.kind == "number":
        body = tok.text.lower()
        return not body.startswith("0x") and any(c in body for c in ".ef")
    if tok.kind == "ident":
        return tok.text in names or (tok.text in FLOAT_TYPES and after.text == "(")
    return False


def float_names(found):
    """Names declared with a floating-point type in the source or the project's headers it
    includes."""
    sources = [found.tokens]
    for header in re.findall(r'^\s*#\s*include\s+"([^"]+)"', found.source, re.M):
        if os.path.exists(header):
            from .lexer import tokenize
            with open(header) as f:
                sources.append(tokenize(f.read()))
    names = set()
    for tokens in sources:
        for i, tok in enumerate(tokens[:-1]):
            if tok.text not in FLOAT_TYPES:
                continue
            k = i + 1
            while k < len(tokens) and tokens[k].text in ("const", "*", "&"):
                k += 1
            if k < len(tokens) and tokens[k].kind == "ident":
                names.add(tokens[k].text)
    return names


def constant_rule(found):
    table = named_constants()
    tokens = found.tokens
    for callee, args in found.parser.calls:
        gl_call = tokens[callee].text.startswith("gl")
        for first, last in args:
            start, end = found.span(first, last)
            line = tokens[first].line
            if first == last and tokens[first].text in table.by_name:
                for neighbour in table.neighbours(tokens[first].text):
                    found.add("constant", start, end, neighbour, line)
            elif gl_call and not is_number(tokens[first:last + 1]):
                for constant in ("0", "1"):
                    found.add("constant", start, end, constant, line)


def is_number(tokens):
    """A literal, signed or not: the `number` and `unary` rules change those."""
    if tokens and tokens[0].text == "-":
        tokens = tokens[1:]
    return len(tokens) == 1 and tokens[0].kind == "number"


@dataclass
class NamedConstants:
    by_name: dict
    by_value: dict

    def neighbours(self, name):
        """The constants one above and one below, of the same family (the same first word)."""
        family = name.split("_")[0]
        out = []
        for value in (self.by_name[name] + 1, self.by_name[name] - 1):
            kin = [n for n in self.by_value.get(value, []) if n.split("_")[0] == family]
            if kin:
                out.append(max(kin, key=lambda n: len(os.path.commonprefix([n, name]))))
        return out


_constants = None


def named_constants():
    global _constants
    if _constants is None:
        by_name = {}
        for path in CONSTANT_HEADERS:
            if not os.path.exists(path):
                continue
            with open(path) as f:
                for name, value in re.findall(
                        r"^\s*#\s*define\s+([A-Z][A-Z0-9_]+)\s+\(?(0[xX][0-9a-fA-F]+|\d+)[uUlL]*\)?\s*$",
                        f.read(), re.M):
                    by_name.setdefault(name, int(value, 0))
        by_value = {}
        for name, value in by_name.items():
            by_value.setdefault(value, []).append(name)
        _constants = NamedConstants(by_name, by_value)
    return _constants


ALL = (statement_rules, negate_rule, token_rules, argument_rule, unary_rule, float_rule,
       constant_rule)


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


