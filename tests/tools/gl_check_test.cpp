// quillfen-check fails when a case is drawn wrong: each kind of case drawn once as listed (it
// agrees) and once with one deliberately wrong state a fault in the frame code would give.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "tools/check/case_drawing.h"
#include "tools/check/case_verdict.h"
#include "tools/check/check_cases.h"
#include "tools/check/check_run.h"

using namespace check;

namespace {

struct WrongState {
    const char* kind;
    std::function<bool(const Case&)> picks; // the first case of the kind it is true for
    std::function<void(SceneState&)> spoil;
};

const Case* firstCase(const std::vector<Case>& cases, const WrongState& wrong) {
    for (const Case& c : cases)
        if (c.kind == wrong.kind && wrong.picks(c))
            return &c;
    return nullptr;
}

PolygonState& top(SceneState& scene) {
    return scene.polygons.back();
}

const PolygonState& top(const Case& c) {
    return c.scene.polygons.back();
}

} // namespace

class GlCheck : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The pictures are written to a folder of their own and leave nothing behind.
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / "gl_check_test_pictures";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        const char* previous = std::getenv("TMPDIR");
        const std::string kept = previous ? previous : "";
        setenv("TMPDIR", folder.c_str(), 1);
        ASSERT_TRUE(loadPictures(pictures, error)) << error;
        previous ? setenv("TMPDIR", kept.c_str(), 1) : unsetenv("TMPDIR");
        EXPECT_TRUE(std::filesystem::is_empty(folder));
        std::filesystem::remove_all(folder);
        cases = allCases(pictures);
        ASSERT_TRUE(openViewFrame(error)) << error;
    }
    static void TearDownTestSuite() {
        closeViewFrame();
        releasePictures(pictures);
    }
    static Pictures pictures;
    static std::vector<Case> cases;
    static std::string error;
};

Pictures GlCheck::pictures{};
std::vector<Case> GlCheck::cases;
std::string GlCheck::error;

TEST_F(GlCheck, EveryKindOfCaseFailsWhenDrawnWithAWrongState) {
    EXPECT_GE(cases.size(), 400u);
    const WrongState wrongStates[] = {
        {"2D view", [](const Case& c) { return top(c).size == 51; },
         [](SceneState& s) { top(s).x += 1; }},
        {"3D view", [](const Case& c) { return c.scene.angleY != 0; },
         [](SceneState& s) { s.angleY = -s.angleY; }},
        {"3D view", [](const Case& c) { return c.scene.angleX != 0; },
         [](SceneState& s) { s.angleX = -s.angleX; }},
        {"blending", [](const Case& c) { return top(c).blendSource == 0x0302; }, // GL_SRC_ALPHA
         [](SceneState& s) { top(s).blendSource = 1; }},
        {"blending", [](const Case& c) { return !top(c).blend; },
         [](SceneState& s) { top(s).blend = true; }},
        {"alpha test", [](const Case& c) { return top(c).alphaFunc == 0x0201; }, // GL_LESS
         [](SceneState& s) { top(s).alphaRef = 1.0f - top(s).alphaRef; }},
        {"texture", [](const Case& c) { return top(c).minFilter != top(c).magFilter; },
         [](SceneState& s) { std::swap(top(s).minFilter, top(s).magFilter); }},
        {"texture", [](const Case& c) { return !c.scene.textureMapping; },
         [](SceneState& s) { s.textureMapping = true; }},
        {"lighting", [](const Case& c) { return c.scene.lighting && c.scene.colorMaterial; },
         [](SceneState& s) { s.colorMaterial = false; }},
        {"lighting", [](const Case& c) { return !c.scene.lighting && c.scene.colorMaterial; },
         [](SceneState& s) { s.lighting = true; }},
    };
    for (const WrongState& wrong : wrongStates) {
        const Case* listed = firstCase(cases, wrong);
        ASSERT_NE(listed, nullptr) << wrong.kind;
        EXPECT_EQ(disagreement(*listed, drawCase(*listed, pictures)), "") << listed->state;
        Case spoilt = *listed;
        wrong.spoil(spoilt.scene);
        const std::string what = disagreement(*listed, drawCase(spoilt, pictures));
        EXPECT_NE(what.find("expected"), std::string::npos) << listed->state;
    }
}

// A square one unit to the right: its left edge's inside pixel shows the frame instead, and so
// do more; the line names the case and the first pixel, the summary counts it, and the sheet
// frames it red, or yellow where it is a known disagreement.
TEST_F(GlCheck, TheReportNamesCountsAndFramesWhatDisagrees) {
    const std::vector<Case> three(cases.begin(), cases.begin() + 3);
    ASSERT_EQ(three[1].kind, "2D view");
    const auto drawSecondWrong = [](const Case& c) {
        Case drawn = c;
        if (c.state == cases[1].state)
            drawn.scene.polygons[0].x += 1;
        return drawCase(drawn, pictures);
    };
    const auto report = [&](const std::vector<KnownDisagreement>& known, ContactSheet& sheet,
                            int& disagreeing) {
        FILE* out = std::tmpfile();
        disagreeing = checkCases(three, drawSecondWrong, known, &sheet, out);
        std::rewind(out);
        std::string text;
        for (int ch; (ch = std::fgetc(out)) != EOF;)
            text += char(ch);
        std::fclose(out);
        return text;
    };
    const PolygonState& square = three[1].scene.polygons[0];
    const int left = 2 * square.x - square.size + 256;
    const std::string firstPixel = ": at " + std::to_string(left) + ", ";

    ContactSheet sheet(3);
    int disagreeing = -1;
    std::string text = report({}, sheet, disagreeing);
    EXPECT_EQ(disagreeing, 1);
    EXPECT_EQ(text.rfind("2D view: " + three[1].state + firstPixel, 0), 0u) << text;
    EXPECT_NE(text.find("(inside the left edge): expected 220 40 90 within 0, drawn 0 0 0 (and "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\n3 cases, 1 disagree\n"), std::string::npos) << text;
    const int cell = ContactSheet::cellSize;
    EXPECT_EQ(sheet.pixel(cell + 1, 1)[0], 255);
    EXPECT_EQ(sheet.pixel(cell + 1, 1)[1], 0);
    EXPECT_EQ(sheet.pixel(1, 1)[0], sheet.pixel(1, 1)[1]); // grey: it agreed

    ContactSheet knownSheet(3);
    text = report({{"2D view", "Size 1 at 1, -1", "planted"}}, knownSheet, disagreeing);
    EXPECT_EQ(disagreeing, 0);
    EXPECT_EQ(text.rfind("known disagreement of this GL: 2D view: ", 0), 0u) << text;
    EXPECT_NE(text.find("[known: planted]\n3 cases, 0 disagree\n"), std::string::npos) << text;
    EXPECT_EQ(knownSheet.pixel(cell + 1, 1)[1], 220); // yellow
}
