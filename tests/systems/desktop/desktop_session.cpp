#include "tests/systems/desktop/desktop_session.h"

// Before X11's headers, whose macros (None) and types (Window) the layer's names would meet.
#include "platform/layer.h"
#include "tests/support/picture_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include <thread>

namespace desktop {

namespace {

using Clock = std::chrono::steady_clock;

void pause(milliseconds ms) {
    std::this_thread::sleep_for(ms);
}

std::string firstLine(const std::string& text) {
    const auto end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

// Reads one whitespace-separated decimal from a PPM header.
bool readHeaderNumber(const std::string& data, size_t& at, int& value) {
    while (at < data.size() &&
           (data[at] == ' ' || data[at] == '\n' || data[at] == '\r' || data[at] == '\t'))
        ++at;
    if (at >= data.size() || data[at] < '0' || data[at] > '9')
        return false;
    value = 0;
    while (at < data.size() && data[at] >= '0' && data[at] <= '9')
        value = value * 10 + (data[at++] - '0');
    return true;
}

} // namespace

std::string describe(Rgb c) {
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

bool near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

Rgb Shot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return {-1, -1, -1};
    const size_t i = (size_t(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

std::string shell(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run: " + command);
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int rc = pclose(pipe);
    if (status)
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::string quoted(const std::string& text) {
    std::string q = "'";
    for (char c : text)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

Program start(const std::string& path, const std::string& workDir) {
    Program program;
    program.pid = fork();
    if (program.pid == 0) {
        if (chdir(workDir.c_str()) != 0)
            _exit(127);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (program.pid < 0)
        throw std::runtime_error("fork failed");
    program.window = findWindow("GL Quillfen v0.94", milliseconds(15000));
    if (!program.window.empty())
        program.origin = windowOrigin(program.window);
    return program;
}

std::optional<int> waitForExit(Program& program, milliseconds wait) {
    const auto end = Clock::now() + wait;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(program.pid, &status, WNOHANG);
        if (done == program.pid) {
            program.pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (Clock::now() > end)
            return std::nullopt;
        pause(milliseconds(50));
    }
}

void kill(Program& program) {
    if (program.pid <= 0)
        return;
    ::kill(program.pid, SIGKILL);
    waitpid(program.pid, nullptr, 0);
    program.pid = -1;
}

std::string findWindow(const std::string& title, milliseconds wait) {
    const auto end = Clock::now() + wait;
    const std::string command =
        "xdotool search --onlyvisible --name " + quoted("^" + title + "$") + " 2>/dev/null";
    for (;;) {
        const std::string id = firstLine(shell(command));
        if (!id.empty())
            return id;
        if (Clock::now() > end)
            return "";
        pause(milliseconds(100));
    }
}

bool windowGone(const std::string& title, milliseconds wait) {
    const auto end = Clock::now() + wait;
    const std::string command =
        "xdotool search --onlyvisible --name " + quoted("^" + title + "$") + " 2>/dev/null";
    for (;;) {
        if (firstLine(shell(command)).empty())
            return true;
        if (Clock::now() > end)
            return false;
        pause(milliseconds(100));
    }
}

Box windowBox(const std::string& window) {
    std::istringstream lines(shell("xdotool getwindowgeometry --shell " + window));
    Box box{0, 0, 0, 0};
    for (std::string line; std::getline(lines, line);) {
        const char* value = line.c_str() + line.find('=') + 1;
        if (line.rfind("X=", 0) == 0)
            box.x = std::atoi(value);
        if (line.rfind("Y=", 0) == 0)
            box.y = std::atoi(value);
        if (line.rfind("WIDTH=", 0) == 0)
            box.w = std::atoi(value);
        if (line.rfind("HEIGHT=", 0) == 0)
            box.h = std::atoi(value);
    }
    return box;
}

Point windowOrigin(const std::string& window) {
    const Box box = windowBox(window);
    return {box.x, box.y};
}

Shot grab() {
    Shot shot;
    const std::string data = shell("import -silent -window root -depth 8 ppm:- 2>/dev/null");
    size_t at = 2;
    int maxValue = 0;
    if (data.rfind("P6", 0) != 0 || !readHeaderNumber(data, at, shot.width) ||
        !readHeaderNumber(data, at, shot.height) || !readHeaderNumber(data, at, maxValue) ||
        maxValue != 255)
        return Shot{};
    ++at; // the single whitespace byte before the pixels
    const size_t bytes = size_t(shot.width) * shot.height * 3;
    if (data.size() < at + bytes)
        return Shot{};
    shot.rgb.assign(data.begin() + at, data.begin() + at + bytes);
    return shot;
}

void savePng(const std::string& path, Point topLeft, int width, int height) {
    const std::string geometry = std::to_string(width) + "x" + std::to_string(height) + "+" +
                                 std::to_string(topLeft.x) + "+" + std::to_string(topLeft.y);
    shell("import -silent -window root -crop " + geometry + " +repage " + quoted("png:" + path) +
          " 2>/dev/null");
}

void clickScreen(int x, int y) {
    shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
          " sleep 0.05 click 1 sleep 0.05");
}

void dragScreen(Point from, const std::vector<Point>& through) {
    std::string command = "xdotool mousemove " + std::to_string(from.x) + " " +
                          std::to_string(from.y) + " sleep 0.1 mousedown 1 sleep 0.1";
    for (const Point& p : through)
        command += " mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " sleep 0.1";
    command += " mouseup 1 sleep 0.1";
    shell(command);
}

void closeWindow(const std::string& window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::stoul(window);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

void key(const std::string& keys) {
    shell("xdotool key --delay 60 " + keys);
}

void type(const std::string& text) {
    shell("xdotool type --delay 30 " + quoted(text));
}

void replaceText(const std::string& text) {
    key("Home shift+End");
    type(text);
}

std::string fileChooserKind() {
    const char* asked = std::getenv("QF_TEST_FILE_CHOOSER");
    if (asked && std::string(asked) == "fltk")
        return "fltk";
    return std::getenv("GDK_BACKEND") ? "fltk-without-gtk" : "gtk";
}

void enterChosenPath(const std::string& path) {
    if (fileChooserKind() != "gtk") {
        key("End");
        type(path.substr(path.find_last_of('/'))); // "/name": the field may lack its last '/'
    } else {
        replaceText(path);
    }
    key("Return");
}

Point clientToScreen(const Program& program, int x, int y) {
    return {program.origin.x + x, program.origin.y + menuBarHeight + y};
}

void click(const Program& program, int x, int y) {
    const Point p = clientToScreen(program, x, y);
    clickScreen(p.x, p.y);
}

void focus(const Program& program) {
    // No window manager runs under Xvfb: give the window the keyboard focus ourselves.
    shell("xdotool windowfocus --sync " + program.window + " 2>/dev/null");
}

bool eventually(const std::function<bool(const Shot&)>& holds, milliseconds wait) {
    const auto end = Clock::now() + wait;
    for (;;) {
        const Shot shot = grab();
        if (shot.width > 0 && holds(shot))
            return true;
        if (Clock::now() > end)
            return false;
        pause(milliseconds(100));
    }
}

Point dialogUnitsToPixels(Point p) {
    return {(p.x * layer::dialogBaseX + 2) / 4, (p.y * layer::dialogBaseY + 4) / 8};
}

void writeHalvesBmp(const std::string& path, int size) {
    Picture picture = solidPicture(size, size, {255, 0, 0, 255});
    for (int y = 0; y < size; ++y)
        for (int x = size / 2; x < size; ++x)
            picture.pixels[size_t(y) * size_t(size) + size_t(x)] = {0, 0, 255, 255};
    writeFile(path, bmpFile(picture, 24));
}

} // namespace desktop
