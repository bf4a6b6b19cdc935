#!/usr/bin/env bash
# Replays each target's corpus and seeds once through its coverage build and prints how much of
# the loader and readers they reach (lines, branches, regions per file).
#
# usage: fuzz/coverage.sh BUILD [FORMAT...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
shift
formats=("$@")
[ ${#formats[@]} -gt 0 ] || formats=(bmp pcx tga qfr any)
out=$build/fuzz-coverage
rm -rf "$out"
mkdir -p "$out"
for format in "${formats[@]}"; do
    mkdir -p "fuzz/corpus/$format"
    LLVM_PROFILE_FILE="$out/$format.profraw" ASAN_OPTIONS=detect_leaks=0 \
        "$build/fuzz/cov_load_$format" -runs=0 "fuzz/corpus/$format" "fuzz/seeds/$format" \
        >"$out/$format.log" 2>&1
    llvm-profdata-14 merge -sparse "$out/$format.profraw" -o "$out/$format.profdata"
    echo "== fuzz_load_$format: $(find "fuzz/corpus/$format" -type f | wc -l) corpus files"
    llvm-cov-14 report "$build/fuzz/cov_load_$format" -instr-profile="$out/$format.profdata" \
        "$PWD"/texture/*.cpp | sed "s|$PWD/||"
done
