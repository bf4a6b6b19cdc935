#!/bin/bash
# The seeded random session over our layer (headless) and under Wine (the 64-bit exe), the two
# dumps compared step by step. Ends with "N steps compared, D divergences outside the allowed
# list"; exit 1 when D is not 0, 77 (skipped) when the Windows build or Wine is missing.
#   differential.sh LAYER_RUN WINDOWS_EXE WINE_PREFIX WORK_DIR SEED STEPS
set -u
layer_run=$1 exe=$2 prefix=$3 work=$4 seed=$5 steps=$6
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work/layer" "$work/wine"
(cd "$work/layer" && "$layer_run" scenario.dump "$seed" "$steps") || {
    echo "the run on our layer failed (status $?); its dump: $work/layer/scenario.dump" >&2
}
bash "$here/run_under_wine.sh" "$exe" "$work/wine" "$prefix" "$seed" "$steps"
status=$?
[ $status -eq 77 ] && exit 77
[ $status -ne 0 ] && echo "the run under Wine failed (status $status); its dump: $work/wine/scenario.dump" >&2
exec /usr/bin/python3 "$here/compare_dumps.py" "$work/layer/scenario.dump" \
    "$work/wine/scenario.dump" "$here/allowed_differences.txt"
