"""Which CTest cases can see a source file, read from the build itself.

The CMake file API gives every target's sources, artifacts and dependencies; `ctest
--show-only=json-v1` gives every test's command line; ninja's dependency log gives the headers
each object was compiled with. A file is seen by the tests whose command runs an artifact that
links (directly or through libraries) an object compiled from it.
"""

import json
import os
import re
import subprocess
from dataclasses import dataclass, field

QUERY = ".cmake/api/v1/query/codemodel-v2"


@dataclass
class Target:
    name: str
    kind: str
    artifacts: list
    dependencies: list  # names, direct
    sources: list  # relative to the source tree


@dataclass
class TestCase:
    name: str
    command: list
    directory: str
    labels: list
    environment: list
    targets: set = field(default_factory=set)  # artifacts its command runs

    @property
    def gtest(self):
        return any(arg.startswith("--gtest_filter=") for arg in self.command)

    @property
    def case_filter(self):
        for arg in self.command:
            if arg.startswith("--gtest_filter="):
                return arg.split("=", 1)[1]
        return ""


def request_codemodel(build):
    path = os.path.join(build, QUERY)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    open(path, "a").close()


def read_targets(build):
    reply = os.path.join(build, ".cmake/api/v1/reply")
    index = sorted(f for f in os.listdir(reply) if f.startswith("index-"))[-1]
    with open(os.path.join(reply, index)) as f:
        codemodel_file = json.load(f)["reply"]["codemodel-v2"]["jsonFile"]
    with open(os.path.join(reply, codemodel_file)) as f:
        codemodel = json.load(f)
    configuration = codemodel["configurations"][0]
    targets = {}
    ids = {}
    raw = []
    for entry in configuration["targets"]:
        with open(os.path.join(reply, entry["jsonFile"])) as f:
            data = json.load(f)
        ids[data["id"]] = data["name"]
        raw.append(data)
    for data in raw:
        targets[data["name"]] = Target(
            name=data["name"],
            kind=data["type"],
            artifacts=[os.path.join(build, a["path"]) if not os.path.isabs(a["path"]) else a["path"]
                       for a in data.get("artifacts", [])],
            dependencies=[ids[d["id"]] for d in data.get("dependencies", []) if d["id"] in ids],
            sources=[s["path"] for s in data.get("sources", [])],
        )
    return targets


def read_tests(build):
    out = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, check=True,
                         capture_output=True, text=True).stdout
    tests = []
    for entry in json.loads(out)["tests"]:
        properties = {p["name"]: p["value"] for p in entry.get("properties", [])}
        tests.append(TestCase(
            name=entry["name"],
            command=entry.get("command", []),
            directory=properties.get("WORKING_DIRECTORY", build),
            labels=properties.get("LABELS", []),
            environment=properties.get("ENVIRONMENT", []),
        ))
    return tests


def object_inputs(build, source_root):
    """For every object in ninja's log: the source-tree files it was compiled from."""
    out = subprocess.run(["ninja", "-C", build, "-t", "deps"], check=True, capture_output=True,
                         text=True).stdout
    inputs = {}
    current = None
    root = os.path.realpath(source_root) + os.sep
    for line in out.splitlines():
        if line and not line.startswith(" "):
            current = line.split(":", 1)[0]
            inputs[current] = set()
        elif line.strip() and current:
            path = os.path.realpath(os.path.join(build, line.strip()))
            if path.startswith(root):
                inputs[current].add(path[len(root):])
    return inputs


OBJECT_TARGET = re.compile(r"CMakeFiles/([^/]+)\.dir/")


class BuildMap:
    def __init__(self, build, source_root):
        self.build = build
        self.targets = read_targets(build)
        self.tests = read_tests(build)
        artifact_owner = {}
        for target in self.targets.values():
            for artifact in target.artifacts:
                artifact_owner[os.path.realpath(artifact)] = target.name
        for test in self.tests:
            for arg in test.command:
                owner = artifact_owner.get(os.path.realpath(arg)) if os.path.isabs(arg) else None
                if owner:
                    test.targets.add(owner)
        self.closure = {name: self._closure(name) for name in self.targets}
        self.seen_by_object = {}
        self.refresh_objects(source_root)

    def _closure(self, name):
        seen = set()
        stack = [name]
        while stack:
            current = stack.pop()
            if current in seen or current not in self.targets:
                continue
            seen.add(current)
            stack.extend(self.targets[current].dependencies)
        return seen

    def refresh_objects(self, source_root):
        """Reads which files each built object was compiled from (call after a build)."""
        self.object_files = {}
        for obj, files in object_inputs(self.build, source_root).items():
            m = OBJECT_TARGET.search(obj)
            if m:
                self.object_files[obj] = (m.group(1), files)

    def objects_of(self, path):
        return sorted(obj for obj, (_, files) in self.object_files.items() if path in files)

    def targets_compiling(self, path):
        names = {target for target, files in self.object_files.values() if path in files}
        names |= {t.name for t in self.targets.values() if path in t.sources}
        return names

    def tests_seeing(self, path):
        compiled_into = self.targets_compiling(path)
        return [test for test in self.tests
                if any(self.closure.get(t, set()) & compiled_into for t in test.targets)]

    def test_targets(self, tests):
        return sorted({t for test in tests for t in test.targets})
