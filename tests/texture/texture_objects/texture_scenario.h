// The whole program in the headless backend, driven through the Texture Map dialog with
// picture files written for the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "tests/app/program_harness.h"
#include "tests/support/picture_files.h"

namespace textures {

using harness::control;
using harness::requestFrame;
using harness::runProgram;

// One program run per test, with the picture files in a folder of the test's own.
class TextureScenario : public harness::ProgramTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the file into the test's folder and returns its full path.
    std::string writePicture(const std::string& name, const std::vector<uint8_t>& bytes);

    std::filesystem::path folder;
};

HWND dialogItem(int id); // a control of the open Texture Map dialog

// In the open dialog: the file chooser will answer `path`, then Browse is pressed.
void browse(const std::string& path);
// Presses Modify, Browse with `path`, then OK, picking the filters first.
void applyPicture(const std::string& path, int minFilterIndex = 0, int magFilterIndex = 0);
std::vector<std::string> details(); // the lines of the open dialog's details list

// Where a square drawn at centre (x, y) in pixels, 2 * half pixels wide, shows each texel of
// a 2 x 2 picture: the centre of the matching quarter. Mirrored: s runs right to left.
struct SquareOnScreen {
    int x, y, half;
    bool mirrored = false;
};
// Every quarter of the square shows its texel of `picture` (2 x 2), within `tolerance`.
::testing::AssertionResult showsPicture(const SquareOnScreen& square, const Picture& picture,
                                        int tolerance = 2);
// The quarters all show `colour`.
::testing::AssertionResult showsPlain(const SquareOnScreen& square, Rgba colour, int tolerance = 2);
::testing::AssertionResult pixelNear(int x, int y, Rgba expected, int tolerance = 2);

// The square of a polygon of size 100 at x units right of the centre, in the 2D view.
SquareOnScreen squareAt(int xUnits);

// Texture names in use are live objects, and no two polygons share one.
::testing::AssertionResult texturesOwnedOnce();

// Pictures whose four texels tell every quarter, orientation and channel apart.
Picture primaries();   // red, green / blue, white
Picture secondaries(); // yellow, cyan / magenta, grey

} // namespace textures
