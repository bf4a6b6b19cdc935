#!/usr/bin/env bash
# Runs CTest in a build made with QF_SANITIZE and fails on any sanitizer report, even one whose
# exit code a test ignores:
# - address and leak reports, from a test or from any process it starts, go to files under
#   BUILD/sanitizer-reports (log_path);
# - undefined-behaviour reports end their process (no recovery) but always go to stderr (GCC's
#   runtime ignores log_path when built with ASan), so every test's whole output is kept in
#   BUILD/sanitized-tests.xml and searched.
#
# usage: tests/sanitizer/ctest_sanitized.sh BUILD [CTEST ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
shift
reports=$build/sanitizer-reports
output=$build/sanitized-tests.xml
rm -rf "$reports" "$output"
mkdir -p "$reports"

# intercept_tls_get_addr=0: the runtime's record of dynamic TLS blocks can hold a bogus range
# for a library loaded at run time, and the leak checker's tracer then faults at exit ("Tracer
# caught signal 11"); without it those blocks are heap blocks found through the thread's TLS.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:intercept_tls_get_addr=0:log_path=$reports/asan"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Mesa's software rasteriser draws on the calling thread: its worker threads only make
# LeakSanitizer's stop-the-world tracer at exit slower and, under load, crash it.
export LP_NUM_THREADS=0

(cd "$build" && ctest --output-on-failure --output-junit "$output" \
    --test-output-size-passed 1000000 --test-output-size-failed 1000000 "$@")
status=$?

found=0
for report in "$reports"/*; do
    [ -e "$report" ] || continue
    echo "==== sanitizer report $report"
    cat "$report"
    found=1
done
if grep -q -E "runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer" "$output"; then
    echo "==== sanitizer reports in test output ($output):"
    grep -E -B2 -A12 "runtime error:|ERROR: (Address|Leak|UndefinedBehavior)Sanitizer" "$output"
    found=1
fi
if [ $found -ne 0 ]; then
    echo "sanitizer reports written: the sanitized run fails"
    exit 1
fi
exit $status
