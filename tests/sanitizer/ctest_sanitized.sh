#!/usr/bin/env bash
# Runs CTest in a build made with QF_SANITIZE. Every sanitizer report, from a test or from any
# process a test starts, is written to a file under BUILD/sanitizer-reports; the run fails when
# a test fails or when any report was written, so a report whose exit code a test ignores
# still counts.
#
# usage: tests/sanitizer/ctest_sanitized.sh BUILD [CTEST ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
shift
reports=$(cd "$build" && pwd)/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:log_path=$reports/asan"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"

(cd "$build" && ctest --output-on-failure "$@")
status=$?

if [ -n "$(ls -A "$reports")" ]; then
    for report in "$reports"/*; do
        echo "==== sanitizer report $report"
        cat "$report"
    done
    echo "sanitizer reports written: the sanitized run fails"
    exit 1
fi
exit $status
