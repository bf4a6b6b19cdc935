// One run of the desktop program on the X server named by DISPLAY, driven as a user would:
// synthetic input through xdotool, the screen read back through ImageMagick's import.
// Coordinates given to these helpers are in the main window's client area (below the
// menu bar) unless a name says otherwise.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace desktop {

using std::chrono::milliseconds;

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};
std::string describe(Rgb);
// Within a few steps per channel: the software rasteriser and X visuals may round.
bool near(Rgb a, Rgb b, int tolerance = 8);

struct Point {
    int x, y;
};

// A picture of the whole screen, rows top to bottom, 3 bytes a pixel.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    Rgb at(int x, int y) const;
};

// Runs a shell command and returns what it printed; status receives the exit status.
std::string shell(const std::string& command, int* status = nullptr);
std::string quoted(const std::string& text);

// The program, started in workDir, with its top-level window found by title.
struct Program {
    pid_t pid = -1;
    std::string window; // X window id of the main window, as xdotool prints it
    Point origin{};     // screen position of that window's top-left corner
};

Program start(const std::string& path, const std::string& workDir);
// Status of the exited program, or nothing if it is still running after the wait.
std::optional<int> waitForExit(Program&, milliseconds wait);
void kill(Program&);

// X window id of a shown top-level window with exactly this title, or "" after the wait.
std::string findWindow(const std::string& title, milliseconds wait);
bool windowGone(const std::string& title, milliseconds wait);
Point windowOrigin(const std::string& window);
struct Box {
    int x, y, w, h;
};
Box windowBox(const std::string& window); // screen position and size

Shot grab();
// Saves the screen rectangle as PNG (for the README's pictures and failure reports).
void savePng(const std::string& path, Point topLeft, int width, int height);

// Input. `x`, `y` are screen coordinates for the *Screen calls.
void clickScreen(int x, int y);
void dragScreen(Point from, const std::vector<Point>& through);
// The window manager's close request (the close box): WM_DELETE_WINDOW to the window.
void closeWindow(const std::string& window);
void key(const std::string& keys); // xdotool key names: "Insert", "Prior", "3"
void type(const std::string& text);
// Replaces the whole text of the focused text field (Home, Shift+End, then the text).
void replaceText(const std::string& text);
// The file chooser the program shows: "gtk", or FLTK's own, "fltk" when the test asks for it
// (QF_TEST_FILE_CHOOSER=fltk) and "fltk-without-gtk" when GTK cannot start (GDK_BACKEND names a
// backend the virtual screen lacks).
std::string fileChooserKind();
// Types a path into the file chooser that has the keyboard and lets it act (Enter). GTK's dialog
// takes the whole path; FLTK's own rewrites its name field whenever a typed path crosses a
// folder, so there the path must lie in the folder shown, and "/name" is typed after that folder.
void enterChosenPath(const std::string& path);

// The main window's client area starts below the menu bar.
constexpr int menuBarHeight = 19;
Point clientToScreen(const Program&, int x, int y);
void click(const Program&, int x, int y);
void focus(const Program&);

// Polls the screen until the predicate holds; true if it did within the wait.
bool eventually(const std::function<bool(const Shot&)>& holds,
                milliseconds wait = milliseconds(8000));

// A point of a dialog template in pixels of the dialog's client area, with the dialog font's
// base units as the layer converts them.
Point dialogUnitsToPixels(Point p);

// A 24-bit BMP, left half red and right half blue: the same upright or upside down, so a check
// does not depend on which way the rows are stored.
void writeHalvesBmp(const std::string& path, int size);

} // namespace desktop
