#include "tests/app/program_harness.h"

#include <cctype>
#include <cstring>
#include <string>

#include "app/shell.h"
#include "app/start_up.h"
#include "platform/resource_data.h"
#include "scene/scene.h"

using scene::Polygon;

namespace harness {

void ProgramTest::SetUp() {
    session.emplace();
    resetProgramState();
}

void ProgramTest::TearDown() {
    session.reset();
    resetProgramState();
}

FreshRun::FreshRun() {
    session.emplace();
    resetProgramState();
}

FreshRun::~FreshRun() {
    session.reset();
    resetProgramState();
}

int runProgram() {
    char commandLine[] = "";
    return WinMain(moduleInstance(programResources), nullptr, commandLine, SW_SHOWNORMAL);
}

Polygon* linkPolygon() {
    Polygon* polygon = makePolygon();
    Polygon** tail = &polygonListHead;
    while (*tail)
        tail = &(*tail)->next;
    *tail = polygon;
    currentPolygon = polygon;
    return polygon;
}

void requestFrame() {
    PostMessageA(mainWindow, WM_NULL, 0, 0);
}

void afterFrame(const std::function<void()>& setup, const std::function<void()>& inspect) {
    headless::queueStep([&] {
        setup();
        requestFrame();
    });
    headless::queueStep([&] { inspect(); });
    runProgram();
}

std::vector<uint8_t> frameAfter(const std::function<void()>& setup) {
    std::vector<uint8_t> frame;
    afterFrame(setup, [&] { frame = headless::presentedFrame(); });
    return frame;
}

headless::Rgb pixel(const std::vector<uint8_t>& frame, int x, int y) {
    size_t at = (size_t(y) * 512 + size_t(x)) * 3;
    if (frame.size() < at + 3)
        return {1, 2, 3}; // no frame: matches no expected colour
    return {frame[at], frame[at + 1], frame[at + 2]};
}

::testing::AssertionResult colourNear(headless::Rgb a, headless::Rgb b, int tolerance) {
    auto close = [&](int x, int y) { return x - y <= tolerance && y - x <= tolerance; };
    if (close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " is not within " << tolerance << " of " << b;
}

void setTrackbarByKeys(HWND trackbar, int position) {
    headless::pressKey(trackbar, VK_HOME);
    for (int i = headless::trackbar(trackbar).min; i < position; ++i)
        headless::pressKey(trackbar, VK_RIGHT);
}

bool isClass(HWND window, const char* name) {
    std::string actual = headless::className(window);
    if (actual.size() != std::strlen(name))
        return false;
    for (size_t i = 0; i < actual.size(); ++i)
        if (std::tolower((unsigned char)actual[i]) != std::tolower((unsigned char)name[i]))
            return false;
    return true;
}

HWND control(int id) {
    return headless::findControl(mainWindow, id);
}

} // namespace harness

namespace headless {
std::ostream& operator<<(std::ostream& out, const Rgb& colour) {
    return out << "(" << int(colour.r) << ", " << int(colour.g) << ", " << int(colour.b) << ")";
}
} // namespace headless
