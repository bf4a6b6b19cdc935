#include "tests/texture/texture_objects/texture_scenario.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <set>
#include <unistd.h>

#include "app/shell.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"

using scene::Polygon;

namespace textures {

void TextureScenario::SetUp() {
    harness::ProgramTest::SetUp();
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("qf_textures_" + std::to_string(getpid()) + "_" + test->name());
    std::filesystem::create_directories(folder);
}

void TextureScenario::TearDown() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    harness::ProgramTest::TearDown();
}

std::string TextureScenario::writePicture(const std::string& name,
                                          const std::vector<uint8_t>& bytes) {
    std::string path = (folder / name).string();
    writeFile(path, bytes);
    return path;
}

HWND dialogItem(int id) {
    return headless::findControl(headless::activeDialog(), id);
}

void browse(const std::string& path) {
    headless::queueFileChoice(path);
    headless::click(dialogItem(idBrowse));
}

void applyPicture(const std::string& path, int minFilterIndex, int magFilterIndex) {
    // Each wait runs the next step: the dialog's own loop first, then the main loop.
    headless::queueStep([] { headless::click(control(idModifyTexture)); });
    headless::queueStep([path] { browse(path); });
    headless::queueStep([minFilterIndex, magFilterIndex] {
        headless::pickComboItem(dialogItem(idMinFilter), minFilterIndex);
        headless::pickComboItem(dialogItem(idMagFilter), magFilterIndex);
    });
    headless::queueStep([] { headless::click(dialogItem(IDOK)); });
}

std::vector<std::string> details() {
    return headless::items(dialogItem(idImageDetails));
}

::testing::AssertionResult pixelNear(int x, int y, Rgba expected, int tolerance) {
    if (headless::presentedFrame().empty())
        return ::testing::AssertionFailure() << "no frame";
    return harness::colourNear(headless::presentedPixel(x, y), {expected.r, expected.g, expected.b},
                               tolerance)
           << " at pixel " << x << ", " << y;
}

::testing::AssertionResult showsPicture(const SquareOnScreen& square, const Picture& picture,
                                        int tolerance) {
    const int quarter = square.half / 2;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            int screenColumn = square.mirrored ? 1 - column : column;
            int x = square.x + (screenColumn == 0 ? -quarter : quarter);
            int y = square.y + (row == 0 ? -quarter : quarter);
            auto result = pixelNear(x, y, picture.at(column, row), tolerance);
            if (!result)
                return result << " (texel " << column << ", " << row << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult showsPlain(const SquareOnScreen& square, Rgba colour, int tolerance) {
    return showsPicture(square, solidPicture(2, 2, colour), tolerance);
}

SquareOnScreen squareAt(int xUnits) {
    return {256 + 2 * xUnits, 256, 100};
}

::testing::AssertionResult texturesOwnedOnce() {
    std::set<uint32_t> seen;
    for (const Polygon* polygon = polygonListHead; polygon; polygon = polygon->next) {
        if (polygon->texture == 0)
            continue;
        if (!glIsTexture(polygon->texture))
            return ::testing::AssertionFailure()
                   << polygon->name << " names deleted texture " << polygon->texture;
        if (!seen.insert(polygon->texture).second)
            return ::testing::AssertionFailure()
                   << polygon->name << " shares texture " << polygon->texture;
    }
    return ::testing::AssertionSuccess();
}

Picture primaries() {
    return {2, 2, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}}};
}

Picture secondaries() {
    return {
        2, 2, {{255, 255, 0, 255}, {0, 255, 255, 255}, {255, 0, 255, 255}, {128, 128, 128, 255}}};
}

} // namespace textures
