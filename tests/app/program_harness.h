// Running the whole program in the headless backend: WinMain with the program's resources, its
// real message loop, and steps that act when the loop waits for input.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/headless/headless.h"
#include "scene/polygon.h"

using scene::Polygon;

namespace harness {

// One program run per test; the layer and the program's values start clean and end clean.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The windows go before the program's values: their procedures still run as they die.
    std::optional<headless::Session> session;
};

// The same for one of several runs inside a test: a fresh layer and fresh program values.
struct FreshRun {
    FreshRun();
    ~FreshRun();
    std::optional<headless::Session> session;
};

// Starts WinMain and returns its result once the program quits or the script runs out.
int runProgram();

// A Polygon with the defaults, linked at the tail and made current, as Add would leave it
// (without touching "PolyList").
Polygon* linkPolygon();

// Posts a message that does nothing to the main window, so the loop draws once when idle.
void requestFrame();

// Runs the program, lets `setup` shape the scene in the first wait, and returns the frame the
// loop drew after it (512 x 512 RGB, top row first).
std::vector<uint8_t> frameAfter(const std::function<void()>& setup);

// The same, then `inspect` runs in the next wait, with the frame drawn and the GL context
// still current.
void afterFrame(const std::function<void()>& setup, const std::function<void()>& inspect);

// A pixel of a frame from frameAfter, x right and y down.
headless::Rgb pixel(const std::vector<uint8_t>& frame, int x, int y);

// Sets a trackbar exactly as a user does with the keyboard: Home, then Right arrows. Posts the
// input; it arrives when the step returns.
void setTrackbarByKeys(HWND trackbar, int position);

// The window's class is `name`, in any case.
bool isClass(HWND window, const char* name);

// A main window control by its id.
HWND control(int id);

// Pixel a is within `tolerance` of b in every channel.
::testing::AssertionResult colourNear(headless::Rgb a, headless::Rgb b, int tolerance = 2);

} // namespace harness

namespace headless {
std::ostream& operator<<(std::ostream& out, const Rgb& colour);
} // namespace headless
