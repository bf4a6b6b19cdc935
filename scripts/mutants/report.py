"""The run's report: totals per folder (run whole or sampled), per file, and every survivor."""

import os
from collections import Counter

STATUSES = ["killed", "survived", "equivalent", "caught elsewhere", "timed out", "did not build",
            "unseen"]


def folder_of(path):
    return os.path.dirname(path) + "/"


def status_of(result, mutant, equivalents, elsewhere=None):
    """A survivor is equivalent when listed so, or caught elsewhere when a check the run cannot
    hold (the sanitized build, the Windows build under Wine) is named as failing on it."""
    if result["status"] == "survived" and mutant.ident in equivalents:
        return "equivalent"
    if result["status"] == "survived" and mutant.ident in (elsewhere or {}):
        return "caught elsewhere"
    return result["status"]


def write(path, runs, generated, equivalents, settings, seed, whole=(), elsewhere=None):
    """runs: [(mutant, result)]; generated: file -> number of mutants the rules make."""
    lines = ["# Mutants", "", settings, ""]
    parts = {}
    files = {}
    for mutant, result in runs:
        status = status_of(result, mutant, equivalents, elsewhere)
        parts.setdefault(folder_of(mutant.path), Counter())[status] += 1
        files.setdefault(mutant.path, Counter())[status] += 1
    lines += ["## Totals", "",
              "| folder | made | run | " + " | ".join(STATUSES) + " | whole or sampled |",
              "|---|---|---|" + "---|" * len(STATUSES) + "---|"]
    made = Counter()
    for f, n in generated.items():
        made[folder_of(f)] += n
    for part in sorted(set(parts) | set(made)):
        c = parts.get(part, Counter())
        run = sum(c.values())
        if run == made[part]:
            extent = "whole"
        elif part in whole:
            extent = "whole asked, not finished"
        else:
            extent = f"sampled, seed {seed}"
        lines.append(f"| {part} | {made[part]} | {run} | "
                     + " | ".join(str(c[s]) for s in STATUSES) + f" | {extent} |")
    lines += ["", "## Per file", "",
              "| file | generated | run | " + " | ".join(STATUSES) + " |",
              "|---|---|---|" + "---|" * len(STATUSES)]
    for f in sorted(generated):
        c = files.get(f, Counter())
        lines.append(f"| {f} | {generated[f]} | {sum(c.values())} | "
                     + " | ".join(str(c[s]) for s in STATUSES) + " |")

    def listing(title, wanted, reason=None):
        chosen = [(m, r) for m, r in runs if status_of(r, m, equivalents, elsewhere) == wanted]
        out = ["", f"## {title} ({len(chosen)})", ""]
        for m, r in sorted(chosen, key=lambda x: (x[0].path, x[0].line)):
            extra = f" -- {reason(m, r)}" if reason else ""
            out.append(f"- `{m.ident}` {m.path}:{m.line} {m.rule}: {m.describe()}{extra}")
        return out

    lines += listing("Survivors", "survived")
    lines += listing("Timed out", "timed out", lambda m, r: r.get("detail", ""))
    lines += listing("Equivalent (tests/mutants-equivalent.txt)", "equivalent",
                     lambda m, r: equivalents[m.ident])
    lines += listing("Caught elsewhere (tests/mutants-caught-elsewhere.txt)", "caught elsewhere",
                     lambda m, r: elsewhere[m.ident])
    stale = [m for m, r in runs if m.ident in equivalents and r["status"] == "killed"]
    if stale:
        lines += ["", "## Listed as equivalent but killed", ""]
        lines += [f"- `{m.ident}` {m.path}:{m.line} {m.describe()}" for m in stale]
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    total = Counter()
    for c in parts.values():
        total.update(c)
    return total
