#!/usr/bin/env bash
# Runs each loader fuzz target for SECONDS over its corpus (fuzz/corpus/FORMAT, kept between
# runs) and its seeds (fuzz/seeds/FORMAT), with the formats' dictionary. Exits non-zero when a
# target finds a crash, a leak or a sanitizer report; the input is kept in BUILD/fuzz-artifacts.
#
# usage: fuzz/run_fuzzers.sh BUILD SECONDS [FORMAT...]   (FORMAT: bmp pcx tga qfr any)
set -uo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=$2
shift 2
formats=("$@")
[ ${#formats[@]} -gt 0 ] || formats=(bmp pcx tga qfr any)

mkdir -p "$build/fuzz-artifacts" "$build/fuzz-logs"
failed=0
for format in "${formats[@]}"; do
    corpus=fuzz/corpus/$format
    log=$build/fuzz-logs/$format.log
    mkdir -p "$corpus"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        "$build/fuzz/fuzz_load_$format" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
        -rss_limit_mb=2048 -dict=fuzz/image_formats.dict -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-artifacts/$format-" "$corpus" "fuzz/seeds/$format" \
        >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    coverage=$(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
    corpus_size=$(find "$corpus" -type f | wc -l)
    if [ $status -ne 0 ]; then
        echo "fuzz_load_$format: FAILED (exit $status), log $log"
        tail -n 60 "$log"
        failed=1
    else
        echo "fuzz_load_$format: ${seconds} s, ${runs:-?} runs, ${coverage:-cov ?}, corpus $corpus_size"
    fi
done
exit $failed
