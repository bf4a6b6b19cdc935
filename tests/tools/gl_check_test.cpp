// quillfen-check fails when a case is drawn wrong: each kind of case drawn once as listed (it
// agrees) and once with one deliberately wrong state a fault in the frame code would give.
#include <gtest/gtest.h>

#include <functional>

#include "tools/check/case_drawing.h"
#include "tools/check/case_verdict.h"
#include "tools/check/check_cases.h"

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

TEST(GlCheck, EveryKindOfCaseFailsWhenDrawnWithAWrongState) {
    Pictures pictures{};
    std::string error;
    ASSERT_TRUE(loadPictures(pictures, error)) << error;
    const std::vector<Case> cases = allCases(pictures);
    EXPECT_GE(cases.size(), 400u);
    ASSERT_TRUE(openViewFrame(error)) << error;

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
    closeViewFrame();
    releasePictures(pictures);
}
