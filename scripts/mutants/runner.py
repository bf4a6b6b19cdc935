"""Builds and tests each mutant in a copy of the source tree.

The worktree is never written: its files are copied once into build-mutants/src (later runs copy
only what changed), each mutant is written over its file in that copy and the original put back
before the next one. The copy has its own Ninja build, so a mutant recompiles one file and
relinks only the executables about to run.
"""

import hashlib
import json
import os
import shutil
import signal
import subprocess
import time

from .build_map import BuildMap, request_codemodel
from .independent import independent_swap

TOOL_VERSION = "1"
DESKTOP = "desktop"

# Time limits, seconds.
CONFIGURE_AND_BUILD_LIMIT = 1800  # the whole unmutated tree, and its baseline run of each group
COMPILE_LIMIT = 300  # one mutated file
LINK_LIMIT = 600  # the executables of one test group
# A mutant's test group may take this many times its baseline, plus the margin, and never less
# than the floor: a fault that makes a loop spin ends as timed out, not as a stuck run.
TEST_TIME_FACTOR = 5
TEST_TIME_MARGIN = 10
TEST_TIME_FLOOR = 20.0
UNKNOWN_BASELINE = 10  # a group whose baseline was never timed
KEPT_RESULTS = "scripts/mutants/kept_results.json"

# A test folder that exercises each program folder most directly: its tests run first.
NEAR_TESTS = {
    "app": ("tests/app",),
    "scene": ("tests/scene",),
    "render": ("tests/render",),
    "panel": ("tests/panel",),
    "texture": ("tests/texture/image_files", "tests/texture/texture_objects"),
    "resources": ("tests/resources",),
    "platform": ("tests/platform",),
}


def tracked_files(repo):
    out = subprocess.run(
        ["git", "-C", repo, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        check=True, capture_output=True).stdout
    return sorted({p for p in out.decode().split("\0") if p and os.path.isfile(os.path.join(repo, p))})


def sync_tree(repo, src):
    """Makes src hold exactly the repository's files; unchanged files keep their times."""
    wanted = set(tracked_files(repo))
    for path in wanted:
        origin = os.path.join(repo, path)
        copy = os.path.join(src, path)
        with open(origin, "rb") as f:
            data = f.read()
        if os.path.exists(copy):
            with open(copy, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(copy), exist_ok=True)
        shutil.copy2(origin, copy)
        os.utime(copy)  # newer than any object built from an older copy
    for root, _, files in os.walk(src):
        for name in files:
            path = os.path.relpath(os.path.join(root, name), src)
            if path not in wanted:
                os.remove(os.path.join(root, name))
    return wanted


def tree_hash(src, files, prefix=""):
    digest = hashlib.sha256()
    for path in sorted(files):
        if path.startswith(prefix):
            digest.update(path.encode() + b"\0")
            with open(os.path.join(src, path), "rb") as f:
                digest.update(hashlib.sha256(f.read()).digest())
    return digest.hexdigest()


def run_limited(command, cwd, limit, env=None):
    """(returncode or None when over the limit, seconds, tail of the output)."""
    started = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, start_new_session=True)
    try:
        output, _ = process.communicate(timeout=limit)
        code = process.returncode
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        code = None
    return code, time.monotonic() - started, output.decode(errors="replace")[-2000:]


class Workspace:
    def __init__(self, repo, root, jobs, log):
        self.repo = os.path.abspath(repo)
        self.root = os.path.abspath(root)
        self.src = os.path.join(self.root, "src")
        self.build = os.path.join(self.root, "build")
        self.jobs = jobs
        self.log = log
        self.cache_path = os.path.join(self.root, "cache.json")
        self.history_path = os.path.join(self.root, "tests-history.json")
        # What earlier runs found, kept in the repository so that a fresh checkout goes on from
        # there: results by key, and the states of the tests they were judged under.
        self.kept_path = os.path.join(self.repo, KEPT_RESULTS)
        kept = read_json(self.kept_path, {"tests_history": [], "results": {}})
        self.cache = dict(kept["results"], **read_json(self.cache_path, {}))
        local = read_json(self.history_path, [])
        self.history = [h for h in kept["tests_history"] if h not in local] + local

    # --- the copy and its build -------------------------------------------------------------

    def prepare(self):
        os.makedirs(self.src, exist_ok=True)
        self.files = sync_tree(self.repo, self.src)
        self.tests_hash = tree_hash(self.src, self.files, "tests/")
        self.remember_tests()
        if not os.path.exists(os.path.join(self.build, "build.ninja")):
            request_codemodel(self.build)
            self.log("configuring the mutant build")
            subprocess.run(
                ["cmake", "-S", self.src, "-B", self.build, "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=None", "-DCMAKE_CXX_FLAGS=-O0 -g0",
                 "-DCMAKE_C_FLAGS=-O0 -g0"],
                check=True, stdout=subprocess.DEVNULL)
        else:
            request_codemodel(self.build)
            subprocess.run(["cmake", self.build], check=True, stdout=subprocess.DEVNULL)

    def remember_tests(self):
        """Keeps the hash of every state of the tests a run has used, newest last."""
        self.history = [h for h in self.history if h != self.tests_hash] + [self.tests_hash]
        with open(self.history_path, "w") as f:
            json.dump(self.history, f)

    def keep_results(self):
        """Adds every result and the tests' states to the repository's kept file, keeping what
        another run (another root) added there meanwhile."""
        kept = read_json(self.kept_path, {"tests_history": [], "results": {}})
        history = [h for h in kept["tests_history"] if h not in self.history] + self.history
        write_json(self.kept_path,
                   {"tests_history": history, "results": dict(kept["results"], **self.cache)})

    def earlier_result(self, mutant, mutated, status):
        """The newest result with that status under an earlier state of the tests."""
        for tests_hash in reversed(self.history):
            result = self.cache.get(self.cache_key(mutant, mutated, tests_hash))
            if result and result["status"] == status:
                return result
        return None

    def use_copy_as_it_is(self):
        self.files = [os.path.relpath(os.path.join(root, name), self.src)
                      for root, _, names in os.walk(self.src) for name in names]
        self.tests_hash = tree_hash(self.src, self.files, "tests/")

    def cached_results(self, mutants):
        """(mutant, result) for each mutant the cache knows: under the newest tests it was run
        against. Tests only ever get sharper, so a mutant an older state killed stays killed."""
        out = []
        hashes = list(reversed(self.history)) or [self.tests_hash]
        for mutant in mutants:
            with open(os.path.join(self.src, mutant.path)) as f:
                mutated = mutant.apply(f.read())
            # Two roots' histories merge out of order; a kill under any state stands.
            result = self.earlier_result(mutant, mutated, "killed") or next(
                (self.cache[k] for k in (self.cache_key(mutant, mutated, h) for h in hashes)
                 if k in self.cache), None)
            if result:
                out.append((mutant, dict(result, cached=True)))
        return out

    def ninja(self, outputs, limit=CONFIGURE_AND_BUILD_LIMIT):
        command = ["ninja", "-C", self.build, f"-j{self.jobs}"] + list(outputs)
        code, _, output = run_limited(command, self.build, limit)
        return code == 0, output

    def save_cache(self):
        write_json(self.cache_path, self.cache)

    # --- which tests, in which order --------------------------------------------------------

    def groups_for(self, path):
        """The runs that can see `path`, nearest and quickest first. A gtest executable's
        cases run in one process; any other test runs through ctest by itself."""
        tests = self.map.tests_seeing(path)
        desktop_free = [t for t in tests if DESKTOP not in t.labels]
        tests = desktop_free or tests
        groups = {}
        for test in tests:
            if test.gtest and len(test.targets) == 1 and test.command[0] == self.map.targets[
                    next(iter(test.targets))].artifacts[0]:
                target = next(iter(test.targets))
                groups.setdefault(("gtest", target), []).append(test)
            else:
                groups[("ctest", test.name)] = [test]
        near = NEAR_TESTS.get(path.split("/")[0], ())

        def order(key):
            kind, name = key
            directory = ""
            if kind == "gtest":
                artifact = self.map.targets[name].artifacts[0]
                directory = os.path.relpath(os.path.dirname(artifact), self.build)
            is_near = any(directory == d for d in near)
            return (not is_near, self.baseline.get(f"{kind}:{name}", 1e9), name)

        return [(key, groups[key]) for key in sorted(groups, key=order)]

    def group_targets(self, key, tests):
        return self.map.test_targets(tests)

    def run_group(self, key, tests, limit):
        kind, name = key
        env = dict(os.environ, GTEST_COLOR="no")
        if kind == "gtest":
            artifact = self.map.targets[name].artifacts[0]
            filters = ":".join(t.case_filter for t in tests)
            command = [artifact, f"--gtest_filter={filters}", "--gtest_fail_fast",
                       "--gtest_brief=1"]
            for item in tests[0].environment:
                k, _, v = item.partition("=")
                env[k] = v
            return run_limited(command, tests[0].directory, limit, env)
        command = ["ctest", "-R", f"^{name}$", "--output-on-failure", "--timeout", str(int(limit))]
        return run_limited(command, self.build, limit + 5, env)

    # --- the unmutated tree -----------------------------------------------------------------

    def establish_baseline(self, paths, slow_limit):
        """Builds what the files' tests need and runs them once, timing each group. Every one
        must pass, or no mutant could be judged."""
        state = tree_hash(self.src, self.files)
        baseline_path = os.path.join(self.root, "baseline.json")
        known = {}
        if os.path.exists(baseline_path):
            with open(baseline_path) as f:
                known = json.load(f)
        self.baseline = known.get(state, {})
        earlier = {label: t for times in known.values() for label, t in times.items()}
        # The whole tree: CTest learns the GoogleTest cases only once their executables exist.
        self.log("building the unmutated tree")
        ok, output = self.ninja([])
        if not ok:
            raise SystemExit("the unmutated tree does not build:\n" + output)
        self.map = BuildMap(self.build, self.src)
        groups = {}
        for path in paths:
            for key, tests in self.groups_for(path):
                groups[key] = tests
        for key, tests in groups.items():
            label = f"{key[0]}:{key[1]}"
            if label in self.baseline:
                continue
            if earlier.get(label, 0) > slow_limit:
                self.baseline[label] = earlier[label]  # left out of mutant runs anyway
                continue
            code, seconds, output = self.run_group(key, tests, CONFIGURE_AND_BUILD_LIMIT)
            if code != 0:
                raise SystemExit(f"the unmutated tree fails {label}:\n{output}")
            self.baseline[label] = round(seconds, 2)
            self.log(f"baseline {label}: {seconds:.1f} s")
        known[state] = self.baseline
        with open(baseline_path, "w") as f:
            json.dump(known, f, indent=1)

    # --- one mutant -------------------------------------------------------------------------

    def cache_key(self, mutant, mutated_text, tests_hash):
        digest = hashlib.sha256()
        for part in (TOOL_VERSION, mutant.path, mutated_text, tests_hash):
            digest.update(part.encode() + b"\0")
        return digest.hexdigest()

    def judge(self, mutant, original_text, slow_limit, listed=False):
        """listed: the mutant is on a kept list (equivalent, or caught elsewhere), so a survival
        under earlier tests stands; else only a kill does (tests only ever get sharper, so a
        mutant an older state killed stays killed)."""
        mutated = mutant.apply(original_text)
        key = self.cache_key(mutant, mutated, self.tests_hash)
        if key in self.cache:
            return dict(self.cache[key], cached=True)
        earlier = self.earlier_result(mutant, mutated, "killed")
        if not earlier and listed:
            earlier = self.earlier_result(mutant, mutated, "survived")
        if earlier:
            return dict(earlier, cached=True)
        if listed and independent_swap(mutant):
            result = {"status": "survived", "detail": "read, not run: independent assignments",
                      "seconds": 0}
            self.cache[key] = result
            return dict(result, cached=False)
        copy = os.path.join(self.src, mutant.path)
        try:
            with open(copy, "w") as f:
                f.write(mutated)
            result = self._build_and_test(mutant.path, slow_limit)
        finally:
            with open(copy, "w") as f:
                f.write(original_text)
            os.utime(copy)
        if result["status"] != "unseen":
            self.cache[key] = result
        return dict(result, cached=False)

    def _build_and_test(self, path, slow_limit):
        started = time.monotonic()
        objects = self.map.objects_of(path)
        if objects:
            ok, output = self.ninja(objects, limit=COMPILE_LIMIT)
            if not ok:
                return {"status": "did not build", "detail": "compile", "seconds": 0}
        groups = self.groups_for(path)
        if not groups:
            return {"status": "unseen", "detail": "no test sees this file", "seconds": 0}
        for key, tests in groups:
            label = f"{key[0]}:{key[1]}"
            base = self.baseline.get(label)
            if base is not None and base > slow_limit:
                continue
            ok, output = self.ninja(self.group_targets(key, tests), limit=LINK_LIMIT)
            if not ok:
                return {"status": "did not build", "detail": "link " + label, "seconds": 0}
            limit = max(TEST_TIME_FLOOR,
                        TEST_TIME_FACTOR * (base or UNKNOWN_BASELINE) + TEST_TIME_MARGIN)
            code, _, output = self.run_group(key, tests, limit)
            if code is None:
                return {"status": "timed out", "detail": label,
                        "seconds": round(time.monotonic() - started, 1)}
            if code != 0:
                return {"status": "killed", "detail": label + " " + failed_case(output),
                        "seconds": round(time.monotonic() - started, 1)}
        return {"status": "survived", "detail": "", "seconds": round(time.monotonic() - started, 1)}


def read_json(path, default):
    if not os.path.exists(path):
        return default
    with open(path) as f:
        return json.load(f)


def write_json(path, value):
    temporary = path + ".tmp"
    with open(temporary, "w") as f:
        json.dump(value, f, indent=0, sort_keys=True)
    os.replace(temporary, path)


def failed_case(output):
    for line in output.splitlines():
        if line.startswith("[  FAILED  ]"):
            return line[len("[  FAILED  ]"):].strip().split(" ")[0]
    return ""
