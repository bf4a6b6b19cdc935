"""The 64-bit Windows program under Wine, driven with xdotool as a user would, one session:
start-up, a square added and dragged, the 3D view, the Red slider, a texture from a BMP through
the real file-open dialog, About, File > Open, Remove All and Exit.

    wine_session.py <quillfen.exe> <wine prefix> <shot folder>

Run under tests/systems/desktop/run_under_xvfb.sh. Pixels are checked on screenshots in which the view
frame's GL window (drawn offscreen by Wine, see wine.gl_window) is pasted at its place.
"""
import os
import subprocess
import sys
import shutil
import time

from PIL import Image

import wine

TITLE = "GL Quillfen v0.94"
FRAME = (6, 6)  # the view frame in the main window's client area, 512 x 512, a 1-pixel edge

# Panel controls, client coordinates of their middles (panel/panel_layout.cpp).
RED_SLIDER_RIGHT_END = (686, 137)
RED_SLIDER_LEFT_OF_LEFT_END = (540, 137)
MODIFY_BUTTON = (722, 239)
REMOVE_ALL_BUTTON = (795, 93)

BLACK, WHITE, CYAN = (0, 0, 0), (255, 255, 255), (0, 255, 255)


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

    def drag(self, start, end, steps=8):
        x0, y0 = self.screen(start)
        x1, y1 = self.screen(end)
        wine.xdotool("mousemove", "--sync", x0, y0, "mousedown", 1)
        for step in range(1, steps + 1):
            wine.xdotool("mousemove", "--sync", x0 + (x1 - x0) * step // steps,
                         y0 + (y1 - y0) * step // steps)
            time.sleep(0.05)
        wine.xdotool("mouseup", 1)

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


def mean_x(frame, test):
    xs = [i % frame.width for i, pixel in enumerate(frame.getdata()) if test(pixel)]
    return sum(xs) / max(len(xs), 1)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def write_picture(folder):
    """A 64 x 64 BMP: left half green, right half blue."""
    picture = Image.new("RGB", (64, 64), (0, 255, 0))
    picture.paste((0, 0, 255), (32, 0, 64, 64))
    path = os.path.join(folder, "picture.bmp")
    picture.save(path)
    return path


def run(exe, prefix, shots):
    os.makedirs(shots, exist_ok=True)
    folder = f"/tmp/quillfen{os.getpid()}"
    os.makedirs(folder, exist_ok=True)
    picture = write_picture(folder)
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

        # A drag of 60, 40 pixels moves it 30, 20 units: to 186..386, 176..376.
        session.drag((FRAME[0] + 256, FRAME[1] + 256), (FRAME[0] + 316, FRAME[1] + 296))
        frame = session.shot("dragged")
        check(at(frame, 170, 256) == BLACK and at(frame, 380, 370) == WHITE,
              "the 2D drag did not move the square by the pointer's way")

        session.key("3")
        flat = frame
        frame = session.shot("perspective")
        white = count(frame, lambda p: p == WHITE)
        check(0 < white and frame.tobytes() != flat.tobytes(),
              f"3 did not turn to perspective ({white} white pixels)")

        session.drag(RED_SLIDER_RIGHT_END, RED_SLIDER_LEFT_OF_LEFT_END)
        frame = session.shot("cyan")
        check(count(frame, lambda p: p == WHITE) == 0 and count(frame, lambda p: p == CYAN) > 0,
              "the Red slider at its left end did not turn the square cyan")

        session.click(MODIFY_BUTTON)
        dialog = wine.find_window("Select Texture Map")
        # Browse, by the tab order from OK: Cancel, Min Filter, Mag Filter, Browse.
        session.key("Tab", "Tab", "Tab", "Tab", "space")
        wine.find_window("Select Texture Image")  # the file-open dialog
        time.sleep(2)  # until its file name field has the focus
        wine.xdotool("type", "--delay", "20", wine.windows_path(picture))
        session.key("Return")
        check(wine.window_gone("Select Texture Image"), "the file-open dialog stayed open")
        # OK: template 107 is 176 x 175 dialog units, OK's middle at 45, 149.5.
        left, top, width, height = wine.geometry(dialog)
        wine.xdotool("mousemove", "--sync", left + 45 * width // 176,
                     top + 149 * height // 175, "click", 1)
        time.sleep(1)
        check(wine.window_gone("Select Texture Map"), "OK left the Texture Map dialog open")
        frame = session.shot("textured")
        # The picture modulated by the cyan square: green on one half, blue on the other.
        green = count(frame, lambda p: p[0] < 30 and p[1] > 200 and p[2] < 30)
        blue = count(frame, lambda p: p[0] < 30 and p[1] < 30 and p[2] > 200)
        check(green > 1000 and blue > 1000, f"no picture drawn ({green} green, {blue} blue)")
        # The 3D view's half turn makes +x point left: the picture shows mirrored, its green
        # left half on the right.
        check(mean_x(frame, lambda p: p[1] > 200 and p[2] < 30)
              > mean_x(frame, lambda p: p[2] > 200 and p[1] < 30),
              "the picture is not mirrored left to right in the 3D view")

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

        session.menu("f", "o")
        wine.find_window("Sorry")
        session.key("Return")
        time.sleep(0.5)
        check(wine.window_gone("Sorry"), "the Sorry message stayed open")

        session.click(REMOVE_ALL_BUTTON)
        wine.find_window("Warning")
        session.key("Return")  # OK
        check(wine.window_gone("Warning"), "the Warning message stayed open")
        check(session.settles("emptied", lambda frame: count(frame, lambda p: p != BLACK) == 0),
              "Remove All left the view not black")

        session.menu("f", "x")
        status, output = session.finish()
        check(status == 0, f"Exit ended with status {status}: {output}")
    except BaseException:
        session.root_shot().save(os.path.join(shots, "failure.png"))
        session.program.kill()
        wine.stop_wine(prefix)
        raise
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: wine_session.py <quillfen.exe> <wine prefix> <shot folder>")
    run(*sys.argv[1:])
    print("Wine session passed")
