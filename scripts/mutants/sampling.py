"""Which mutants a run takes, and the kept list of those that cannot be told apart."""

import random


def quotas(counts, total):
    """Splits `total` over files: each gets a fair floor, the rest goes by size."""
    files = [f for f, n in counts.items() if n > 0]
    if not files:
        return {}
    if total is None or total >= sum(counts.values()):
        return dict(counts)
    floor = max(1, total // (2 * len(files)))
    share = {f: min(counts[f], floor) for f in files}
    left = total - sum(share.values())
    while left > 0:
        spare = {f: counts[f] - share[f] for f in files if counts[f] > share[f]}
        if not spare:
            break
        weight = sum(spare.values())
        given = 0
        for f in sorted(spare, key=lambda f: -spare[f]):
            extra = min(spare[f], max(1, left * spare[f] // weight), left - given)
            share[f] += extra
            given += extra
            if given >= left:
                break
        left -= given
    return share


def sample(mutants_by_file, total, seed):
    """A seeded sample, stratified by file and, within a file, taking the rules in turn."""
    counts = {f: len(m) for f, m in mutants_by_file.items()}
    share = quotas(counts, total)
    chosen = []
    for path in sorted(mutants_by_file):
        by_rule = {}
        for m in mutants_by_file[path]:
            by_rule.setdefault(m.rule, []).append(m)
        for rule, items in by_rule.items():
            random.Random(f"{seed}:{path}:{rule}").shuffle(items)
        taken = []
        rules = sorted(by_rule)
        while len(taken) < share.get(path, 0):
            for rule in rules:
                if by_rule[rule] and len(taken) < share[path]:
                    taken.append(by_rule[rule].pop())
        chosen.extend(sorted(taken, key=lambda m: m.start))
    return chosen


def read_equivalents(path):
    """ident -> reason, from lines `ident  file:line  change  -- reason`."""
    kept = {}
    try:
        with open(path) as f:
            for line in f:
                line = line.strip()
                if not line or line.startswith("#"):
                    continue
                ident = line.split()[0]
                reason = line.split(" -- ", 1)[1].strip() if " -- " in line else ""
                kept[ident] = reason
    except FileNotFoundError:
        pass
    return kept
