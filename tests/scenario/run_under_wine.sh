#!/bin/bash
# Runs the Windows build of the scenario under Wine on a virtual screen and leaves its dump.
#   run_under_wine.sh EXE WORK_DIR WINE_PREFIX
# The prefix is a folder of the build tree (tests/windows/wine.py makes it when it is not
# there yet); never ~/.wine. Exit status: the driver's own, or 77 (skipped) when the Windows
# build is not there.
set -u
exe=$1 work=$2 prefix=$3
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$exe" ]; then
    echo "no $exe: the Windows build comes first (make windows)" >&2
    exit 77
fi
if [ -z "${QF_ON_SCREEN:-}" ]; then
    QF_ON_SCREEN=1 exec bash "$here/../desktop/run_under_xvfb.sh" "$0" "$@"
fi
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -d "$WINEPREFIX/drive_c/windows" ] || python3 "$here/../windows/wine.py" make-prefix "$prefix" || exit 1
mkdir -p "$work"
cd "$work" || exit 1
rm -f scenario.dump
timeout 300 /usr/lib/wine/wine64 "$exe" scenario.dump
status=$?
/usr/lib/wine/wineserver -k 2>/dev/null
exit $status
