#!/bin/bash
# Runs the Windows build of the scenario under Wine on a virtual screen and leaves its dump.
#   run_under_wine.sh EXE WORK_DIR WINE_PREFIX
# The prefix is a folder of the build tree (made on first use, about 15 s); never ~/.wine.
# Exit status: the driver's own, or 77 (skipped) when the Windows build is not there.
set -u
exe=$1 work=$2 prefix=$3
if [ ! -f "$exe" ]; then
    echo "no $exe: the Windows build comes first (make windows)" >&2
    exit 77
fi
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -z "${QF_ON_SCREEN:-}" ]; then
    # Again, on a screen of its own.
    QF_ON_SCREEN=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi
mkdir -p "$work"
cd "$work" || exit 1
rm -f scenario.dump
[ -d "$WINEPREFIX" ] || /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
timeout 300 /usr/lib/wine/wine64 "$exe" scenario.dump
status=$?
/usr/lib/wine/wineserver64 -k 2>/dev/null
exit $status
