"""The 64-bit Windows program under Wine, driven with xdotool as a user would, one session that
holds what only the real exe on a screen shows: its window's place and size, a square on the
screen, the About box's banner and history drawn from the compiled resources, and Exit's status.
Everything the program does between, the scenario (tests/systems/scenario) compares step by step
with our layer under Wine too.

    wine_session.py <quillfen.exe> <wine prefix> <shot folder>

Run under tests/systems/desktop/run_under_xvfb.sh. Pixels are checked on screenshots in which the view
frame's GL window (drawn offscreen by Wine, see wine.gl_window) is pasted at its place.
"""
import os
import subprocess
import sys
import time

from PIL import Image

import wine

TITLE = "GL Quillfen v0.94"
FRAME = (6, 6)  # the view frame in the main window's client area, 512 x 512, a 1-pixel edge

BLACK, WHITE = (0, 0, 0), (255, 255, 255)


class Session:
    def __init__(self, exe, prefix, shots):
        self.prefix = prefix
        self.shots = shots
        self.program = subprocess.Popen([wine.WINE, exe], env=wine.wine_environment(prefix),
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.window = wine.find_window(TITLE, timeout=60)
        self.origin = self.client_origin()

    def client_origin(self):
        """Screen position of the main window's client area.

        Wine's X window holds the client area and the menu bar; the menu bar's height is found
        from the view frame's edge, the first dark row below it.
        """
        left, top, _, _ = wine.geometry(self.window)
        column = left + FRAME[0] + 256
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:  # until the window has been painted
            shot = self.root_shot()
            for y in range(top, top + 60):
                if sum(shot.getpixel((column, y))) < 3 * 200:
                    return left, y - FRAME[1]
            time.sleep(0.5)
        raise AssertionError("the view frame's edge was not found below the menu bar")

    def screen(self, point):
        return self.origin[0] + point[0], self.origin[1] + point[1]

    def root_shot(self):
        path = os.path.join(self.shots, "root.png")
        subprocess.run(["import", "-window", "root", path], check=True)
        return Image.open(path).convert("RGB")

    def frame_shot(self):
        """The view frame's pixels, 510 x 510 inside its edge, read from Wine's GL window."""
        path = os.path.join(self.shots, "gl.png")
        subprocess.run(["import", "-window", str(wine.gl_window()), path], check=True)
        frame = Image.open(path).convert("RGB")
        assert frame.size == (510, 510), frame.size
        return frame

    def shot(self, name):
        """The screen as a user sees it (the GL window pasted at the view frame's place), kept
        as <name>.png; returns the view frame's pixels."""
        time.sleep(0.8)  # the frame after the last input
        frame = self.frame_shot()
        screen = self.root_shot()
        screen.paste(frame, self.screen((FRAME[0] + 1, FRAME[1] + 1)))
        screen.save(os.path.join(self.shots, name + ".png"))
        return frame

    def settles(self, name, test, timeout=10):
        """True once a shot of the view frame passes `test` (Wine presents a frame late when a
        window above the view frame has just gone)."""
        deadline = time.monotonic() + timeout
        while True:
            if test(self.shot(name)):
                return True
            if time.monotonic() > deadline:
                return False

    def click(self, point):
        x, y = self.screen(point)
        wine.xdotool("mousemove", "--sync", x, y, "click", 1)

    def key(self, *keys):
        for key in keys:
            wine.xdotool("key", key)
            time.sleep(0.2)

    def menu(self, accelerator, item):
        """A menu command through the keyboard: Alt and the bar entry's letter, then the
        item's. A click on the view frame's corner first gives the main window the keys."""
        self.click((FRAME[0] + 505, FRAME[1] + 505))
        self.key("alt+" + accelerator, item)

    def finish(self, timeout=30):
        try:
            output, _ = self.program.communicate(timeout=timeout)
        finally:
            wine.stop_wine(self.prefix)
        return self.program.returncode, output.decode(errors="replace").replace("\r\n", "\n")


def at(frame, x, y):
    """A pixel of the view frame, in the frame's own coordinates (0..511)."""
    return frame.getpixel((x - 1, y - 1))


def count(frame, test):
    return sum(1 for pixel in frame.getdata() if test(pixel))


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def run(exe, prefix, shots):
    os.makedirs(shots, exist_ok=True)
    session = Session(exe, prefix, shots)
    try:
        left, top, width, height = wine.geometry(session.window)
        # Wine's X window is the client area with the menu bar: the outer window at 50, 50 less
        # the 3-pixel frame and the 19-pixel caption.
        check((left, top) == (53, 72), f"main window at {left}, {top}, not 50, 50")
        check((width, height) == (844, 541), f"main window {width} x {height}, not 850 x 566")

        frame = session.shot("start")
        check(count(frame, lambda p: p != BLACK) == 0, "the view frame is not black at start")

        session.click((FRAME[0] + 500, FRAME[1] + 500))  # the view frame takes the keys
        session.key("Insert")
        frame = session.shot("added")
        # A new square: 100 units, 200 pixels wide, at the centre.
        check(at(frame, 256, 256) == WHITE and at(frame, 160, 160) == WHITE,
              "Ins drew no white square at the centre")
        check(at(frame, 150, 256) == BLACK and at(frame, 362, 256) == BLACK,
              "the square is not 200 pixels wide")

        session.menu("h", "b")
        about = wine.find_window("About")
        time.sleep(1)
        # Template 110 is 293 x 175 dialog units: the banner (bitmap 111) at 7, 7, 279 x 54, the
        # version history (RICHEDIT, string 112) at 7, 72, 279 x 73.
        left, top, width, height = wine.geometry(about)
        shot = session.root_shot()

        def pixels(x, y, cx, cy, test):
            box = (left + x * width // 293, top + y * height // 175,
                   left + (x + cx) * width // 293, top + (y + cy) * height // 175)
            return count(shot.crop(box), test)

        sky = pixels(7, 7, 279, 54, lambda p: p[2] > 100 and p[0] < 60)
        text = pixels(7, 72, 279, 73, lambda p: sum(p) < 200)
        check(sky > 5000, f"About shows no banner ({sky} sky pixels)")
        check(text > 300, f"About shows no version history ({text} text pixels)")
        session.key("Escape")
        time.sleep(0.5)
        check(not wine.window_gone("About", timeout=1), "Esc closed the About dialog")
        session.key("Return")
        time.sleep(0.5)
        check(wine.window_gone("About"), "OK did not close the About dialog")

        session.menu("f", "x")
        status, output = session.finish()
        check(status == 0, f"Exit ended with status {status}: {output}")
    except BaseException:
        session.root_shot().save(os.path.join(shots, "failure.png"))
        session.program.kill()
        wine.stop_wine(prefix)
        raise


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: wine_session.py <quillfen.exe> <wine prefix> <shot folder>")
    run(*sys.argv[1:])
    print("Wine session passed")
