"""Running the Windows program under Wine on a virtual X screen, for the tests labelled windows.

Every Wine test shares one prefix inside the build tree (never ~/.wine), made once per test run
by the fixture test (CTest fixture `wine_prefix`):

    python3 wine.py make-prefix <folder>

A test uses it through the environment that `wine_environment` gives; the screen comes from
tests/systems/desktop/run_under_xvfb.sh, which the tests run under.
"""
import os
import re
import shutil
import subprocess
import sys
import time

# The 64-bit loader; QF_WINE names another (/usr/lib/wine/wine, of Debian's wine32, for the
# 32-bit exe).
WINE = os.environ.get("QF_WINE", "/usr/lib/wine/wine64")
WINESERVER = "/usr/lib/wine/wineserver"


def wine_environment(prefix):
    environment = dict(os.environ)
    environment["WINEPREFIX"] = prefix
    # A fresh prefix would offer to install Mono and Gecko, which cannot be fetched here.
    environment["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    environment["WINEDEBUG"] = "-all"
    return environment


def make_prefix(prefix):
    """A fresh prefix: wineboot makes it, and the wine server is waited for until it is idle."""
    shutil.rmtree(prefix, ignore_errors=True)
    environment = wine_environment(prefix)
    subprocess.run([WINE, "wineboot", "-u"], env=environment, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([WINESERVER, "-w"], env=environment, check=True)
    if not os.path.isdir(os.path.join(prefix, "drive_c", "windows")):
        raise SystemExit(f"wineboot made no prefix in {prefix}")


def stop_wine(prefix):
    """Ends every process of the prefix (those of this test only: one test uses it at a time)."""
    subprocess.run([WINESERVER, "-k"], env=wine_environment(prefix), check=False)


def windows_path(path):
    """The Wine path of a file of the build machine (drive Z: is the root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
    return result.stdout.strip()


def find_window(title, timeout=30.0):
    """The X window whose name is exactly `title`, once it is mapped."""
    pattern = "^" + re.escape(title) + "$"
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = xdotool("search", "--onlyvisible", "--name", pattern, check=False).split()
        if found:
            return int(found[-1])
        time.sleep(0.2)
    raise RuntimeError(f"no window titled {title!r} within {timeout} s")


def window_gone(title, timeout=10.0):
    """True once no window titled `title` is mapped; False if one still is after `timeout`."""
    pattern = "^" + re.escape(title) + "$"
    deadline = time.monotonic() + timeout
    while xdotool("search", "--onlyvisible", "--name", pattern, check=False):
        if time.monotonic() > deadline:
            return False
        time.sleep(0.2)
    return True


def geometry(window):
    """x, y, width, height of an X window, on the root."""
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", window).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def gl_window(width=510, height=510):
    """The X window Wine draws a GL child window into.

    Under Wine 8 on Xvfb a child window with a GL context gets an offscreen X window of its own
    (a child of a 1 x 1 window at -1, -1), so the screen shows the view frame blank; its
    pictures are read from that window instead. It is the child's client area: the view
    frame's 512 x 512 less its 1-pixel edge.
    """
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True,
                          check=True).stdout
    size = re.compile(r"^\s*(0x[0-9a-f]+) .*?\s(\d+)x(\d+)\+-?\d+\+-?\d+")
    for line in tree.splitlines():
        match = size.match(line)
        if match and int(match.group(2)) == width and int(match.group(3)) == height:
            return int(match.group(1), 16)
    raise RuntimeError(f"no GL window of {width} x {height}")


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "make-prefix":
        make_prefix(sys.argv[2])
    else:
        sys.exit("usage: wine.py make-prefix <folder>")
