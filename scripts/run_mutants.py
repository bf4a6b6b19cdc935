#!/usr/bin/env python3
"""Plants single faults in a copy of the program and runs the tests that can see each one.

    make mutants [FILES="render/ scene/polygon.cpp"] [SEED=N] [MAX=M] [IDS=a1b2c3d4e5,...]
    make mutants FILES="render/ panel/" WHOLE="render/" MAX=600    every mutant of render/, a
                                                                   sample of 600 of panel/

Every file (or every .cpp under a folder; a header only when named) in FILES gets its mutants made by the rules of
scripts/mutants/mutate.py; a seeded sample of MAX of them, spread over the files, is built and
tested in build-mutants/. Each ends killed, survived, timed out or did not build; a survivor
listed in tests/mutants-equivalent.txt counts as equivalent, one listed in
tests/mutants-caught-elsewhere.txt as caught by a check the run cannot hold (the sanitized build,
Wine). A listed mutant that survived earlier tests is not run again until its file changes (the
runs are long, a minute a survivor); anything else the tests might now kill is. The report is
build-mutants/report.md; the exit status is 1 when a survivor is on neither.
"""

import argparse
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from mutants import report  # noqa: E402
from mutants.mutate import generate  # noqa: E402
from mutants.runner import Workspace, tracked_files  # noqa: E402
from mutants.sampling import read_equivalents, sample  # noqa: E402

DEFAULT_FILES = "app/ scene/ render/ panel/ texture/ resources/ platform/controls/ platform/dialog.cpp"
EQUIVALENTS = "tests/mutants-equivalent.txt"
CAUGHT_ELSEWHERE = "tests/mutants-caught-elsewhere.txt"


def chosen_files(repo, names):
    files = tracked_files(repo)
    out = []
    for item in names.split():
        if item.endswith("/"):
            # A header rebuilds everything that includes it: only when named on its own.
            out += [f for f in files if f.startswith(item) and f.endswith(".cpp")]
        elif item in files:
            out.append(item)
        else:
            raise SystemExit(f"mutants: no such file in the repository: {item}")
    return sorted(set(out))


def by_folder(by_file):
    out = {}
    for path, mutants in by_file.items():
        out.setdefault(report.folder_of(path), {})[path] = mutants
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--files", default=DEFAULT_FILES)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--max", type=int, default=0, help="0: every mutant")
    parser.add_argument("--ids", default="", help="only these mutants (comma separated)")
    parser.add_argument("--whole", default="",
                        help="folders run whole; with it, MAX is each other folder's sample")
    parser.add_argument("--jobs", type=int, default=2)
    # Above the sanitized hostile-files run (about 45 s alone, over 60 s beside a second run),
    # which alone sees a reader's out-of-bounds write: a limit it can cross leaves it out.
    parser.add_argument("--slow", type=float, default=120.0,
                        help="test groups slower than this many seconds are left out")
    parser.add_argument("--root", default="build-mutants")
    parser.add_argument("--list", action="store_true", help="print the sample; run nothing")
    parser.add_argument("--report-only", action="store_true",
                        help="write the report from the cached results of the copy as it is")
    args = parser.parse_args()

    # A stopped run puts the mutated file back on its way out (runner.judge's finally).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    os.chdir(repo)
    files = chosen_files(repo, args.files or DEFAULT_FILES)
    by_file = {}
    for path in files:
        with open(path) as f:
            mutants = generate(path, f.read(), args.seed)
        if mutants:
            by_file[path] = mutants
    generated = {f: len(m) for f, m in by_file.items()}
    if args.ids:
        wanted = set(args.ids.replace(",", " ").split())
        chosen = [m for ms in by_file.values() for m in ms if m.ident in wanted]
    elif args.whole:
        chosen = []
        for folder, files_of_folder in sorted(by_folder(by_file).items()):
            whole = folder in args.whole.split()
            chosen += sample(files_of_folder, None if whole else args.max or None, args.seed)
    else:
        chosen = sample(by_file, args.max or None, args.seed)
    if args.list:
        for m in chosen:
            print(f"{m.ident}  {m.path}:{m.line}  {m.rule}: {m.describe()}")
        return 0

    def log(text):
        print(f"[mutants {time.strftime('%H:%M:%S')}] {text}", flush=True)

    log(f"{sum(generated.values())} mutants made in {len(by_file)} files; running {len(chosen)}")
    workspace = Workspace(repo, os.path.join(repo, args.root), args.jobs, log)
    equivalents = read_equivalents(os.path.join(repo, EQUIVALENTS))
    elsewhere = read_equivalents(os.path.join(repo, CAUGHT_ELSEWHERE))
    runs = []
    originals = {}
    if args.report_only:
        workspace.use_copy_as_it_is()
        runs = workspace.cached_results(chosen)
        chosen = []
    else:
        workspace.prepare()
        workspace.establish_baseline(sorted({m.path for m in chosen}), args.slow)
    try:
        for number, mutant in enumerate(chosen, 1):
            if mutant.path not in originals:
                with open(os.path.join(workspace.src, mutant.path)) as f:
                    originals[mutant.path] = f.read()
            listed = mutant.ident in equivalents or mutant.ident in elsewhere
            result = workspace.judge(mutant, originals[mutant.path], args.slow, listed)
            runs.append((mutant, result))
            status = report.status_of(result, mutant, equivalents, elsewhere)
            log(f"{number}/{len(chosen)} {status:13} {mutant.ident} {mutant.path}:{mutant.line} "
                f"{mutant.describe()}"
                + (" (cached)" if result["cached"] else f" {result['seconds']} s"))
            workspace.save_cache()
    finally:  # a stopped run keeps what it did too
        if not args.report_only:
            workspace.keep_results()
    settings = (f"Files: {args.files}. Seed {args.seed}, "
                f"{'every mutant' if not args.max else f'at most {args.max} mutants'}"
                f"{', ids ' + args.ids if args.ids else ''}; test groups over {args.slow:g} s "
                f"left out.")
    totals = report.write(os.path.join(workspace.root, "report.md"), runs, generated,
                          equivalents, settings, args.seed, args.whole.split(), elsewhere)
    log("report: " + os.path.join(args.root, "report.md") + "; "
        + ", ".join(f"{k} {v}" for k, v in sorted(totals.items())))
    return 1 if totals["survived"] else 0


if __name__ == "__main__":
    sys.exit(main())
