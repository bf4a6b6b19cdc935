#!/bin/bash
# Runs the Windows build of the scenario under Wine on a virtual screen and leaves its dump.
#   run_under_wine.sh EXE WORK_DIR WINE_PREFIX SEED STEPS
# The prefix is the Wine tests' own, in the build tree (CTest fixture wine_prefix); never
# ~/.wine. QF_WINE picks the loader (the 64-bit one unless told; /usr/lib/wine/wine runs a
# 32-bit exe). Exit status: the driver's own, or 77 (skipped) when the build or Wine is missing.
set -u
exe=$1 work=$2 prefix=$3 seed=$4 steps=$5
here=$(cd "$(dirname "$0")" && pwd)
wine=${QF_WINE:-/usr/lib/wine/wine64}
if [ ! -x "$wine" ]; then
    echo "no $wine: Debian's Wine for this exe is not installed" >&2
    exit 77
fi
if [ ! -f "$exe" ]; then
    echo "no $exe: the Windows build comes first (make windows)" >&2
    exit 77
fi
if [ -z "${QF_ON_SCREEN:-}" ]; then
    QF_ON_SCREEN=1 exec bash "$here/../desktop/run_under_xvfb.sh" "$0" "$@"
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX/drive_c/windows" ]; then
    echo "no Wine prefix in $prefix: the fixture test Windows.WinePrefix makes it" >&2
    exit 1
fi
mkdir -p "$work"
cd "$work" || exit 1
rm -f scenario.dump
timeout 600 "$wine" "$exe" scenario.dump "$seed" "$steps"
status=$?
/usr/lib/wine/wineserver -k 2>/dev/null
exit $status
