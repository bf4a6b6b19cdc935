// A duplicated polygon shows its source's picture at once; afterwards either of the two can be
// removed, textured anew or cleared, in any order, without touching what the other draws.
#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <cstring>
#include <ostream>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/texture/texture_objects/texture_scenario.h"

using scene::Polygon;

using headless::click;
using headless::queueStep;

namespace textures {
namespace {

constexpr Rgba white{255, 255, 255, 255};
constexpr Rgba black{0, 0, 0, 255};

// The source stands left of the centre, its copy right of it.
constexpr int sourceX = -60;
constexpr int copyX = 60;

class DuplicateTextureTest : public TextureScenario {
  protected:
    void SetUp() override {
        TextureScenario::SetUp();
        ASSERT_TRUE(headless::glAvailable()) << "these tests draw with the offscreen GL surface";
        first = writePicture("first.tga", tgaFile(primaries(), 24));
        second = writePicture("second.pcx", pcxFile(secondaries()));
    }

    // The current polygon moved left and duplicated; the copy moved right and drawn.
    static void queueDuplicateMovedApart() {
        queueStep([] {
            currentPolygon->x = sourceX;
            click(control(idDuplicate));
        });
        queueStep([] {
            currentPolygon->x = copyX;
            requestFrame();
        });
    }

    // Add a polygon, texture it with the picture (the first unless named), move it left and
    // duplicate it; the copy is moved right.
    void queueTexturedPair(const std::string& picture = {}) {
        queueStep([] { click(control(idAdd)); });
        applyPicture(picture.empty() ? first : picture);
        queueDuplicateMovedApart();
    }

    std::string first;
    std::string second;
};

Polygon* polygonNamed(const char* prefix) {
    for (Polygon* polygon = polygonListHead; polygon; polygon = polygon->next)
        if (std::string(polygon->name).rfind(prefix, 0) == 0)
            return polygon;
    return nullptr;
}

TEST_F(DuplicateTextureTest, TheCopyShowsTheSamePictureAtOnceWithItsOwnObjects) {
    queueTexturedPair();
    queueStep([] {
        Polygon* source = polygonNamed("Poly 1");
        Polygon* copy = polygonNamed("Poly 2 (Copy of Poly 1)");
        ASSERT_NE(source, nullptr);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(currentPolygon, copy);
        EXPECT_EQ(polygonCounter, 3);
        EXPECT_STREQ(copy->textureFile, "first.tga");
        EXPECT_EQ(headless::windowText(textureFileField), "first.tga");
        EXPECT_NE(copy->image.pixels, source->image.pixels);
        EXPECT_EQ(0, std::memcmp(copy->image.pixels, source->image.pixels, 12));
        EXPECT_EQ(copy->image.width, 2);
        EXPECT_TRUE(texturesOwnedOnce());
        EXPECT_TRUE(showsPicture(squareAt(sourceX), primaries()));
        EXPECT_TRUE(showsPicture(squareAt(copyX), primaries()));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(DuplicateTextureTest, TheCopyTakesTheTextureNotAPictureWaitingForOk) {
    queueStep([] { click(control(idAdd)); });
    applyPicture(first, 1, 1);
    queueStep([] { click(control(idModifyTexture)); });
    queueStep([this] { browse(second); });
    queueStep([] { click(dialogItem(IDCANCEL)); });
    queueDuplicateMovedApart();
    queueStep([] {
        // Both still draw the first picture, with the filters it was made with.
        EXPECT_TRUE(showsPicture(squareAt(sourceX), primaries(), 6));
        EXPECT_TRUE(showsPicture(squareAt(copyX), primaries(), 6));
        EXPECT_TRUE(pixelNear(256 + 2 * copyX, 256, {128, 128, 128, 255}, 8)); // linear
        EXPECT_STREQ(currentPolygon->textureFile, "second.pcx");
        click(control(idModifyTexture));
    });
    queueStep([] { click(dialogItem(IDOK)); }); // the copy's own waiting picture
    queueStep([] {
        EXPECT_TRUE(showsPicture(squareAt(sourceX), primaries(), 6));
        EXPECT_TRUE(showsPicture(squareAt(copyX), secondaries(), 6));
        EXPECT_TRUE(texturesOwnedOnce());
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// Depths GL is not given: 16 bits, and 64, whose pixels are copied whole, eight bytes each.
TEST_F(DuplicateTextureTest, AnEmptyTextureIsCopiedEmpty) {
    for (const std::string& picture : {writePicture("deep.qfr", qfrFileOfDepth(2, 2, 16, 0x11)),
                                       writePicture("wide.bmp", bmpFile(primaries(), 64))}) {
        queueTexturedPair(picture);
        queueStep([] {
            EXPECT_NE(currentPolygon->texture, 0u);
            EXPECT_TRUE(texturesOwnedOnce());
            EXPECT_TRUE(showsPlain(squareAt(sourceX), white));
            EXPECT_TRUE(showsPlain(squareAt(copyX), white));
        });
    }
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// ---------------------------------------------------------------------------------------------
// Both polygons of a pair, one after the other, each in every way

enum class Action { RemovePolygon, Retexture, RemoveTexture };

struct PairCase {
    bool sourceFirst; // the source acts first, then the copy; or the other way round
    Action firstAction;
    Action secondAction;
};

const char* actionName(Action action) {
    switch (action) {
    case Action::RemovePolygon: return "Remove";
    case Action::Retexture: return "Retexture";
    case Action::RemoveTexture: return "RemoveTexture";
    }
    return "";
}

void PrintTo(const PairCase& pair, std::ostream* out) {
    *out << (pair.sourceFirst ? "source " : "copy ") << actionName(pair.firstAction) << ", then "
         << (pair.sourceFirst ? "copy " : "source ") << actionName(pair.secondAction);
}

struct PairState {
    bool present[2] = {true, true}; // source, copy
    Action done[2] = {};
    bool acted[2] = {false, false};
};

// What a polygon of the pair draws now.
::testing::AssertionResult drawsAsExpected(const PairState& state, int which) {
    const SquareOnScreen square = squareAt(which == 0 ? sourceX : copyX);
    if (!state.present[which])
        return showsPlain(square, black);
    if (!state.acted[which])
        return showsPicture(square, primaries());
    if (state.done[which] == Action::Retexture)
        return showsPicture(square, secondaries());
    return showsPlain(square, white);
}

class DuplicatePairTest : public DuplicateTextureTest,
                          public ::testing::WithParamInterface<PairCase> {
  protected:
    // Selects the polygon at its current list index and acts on it.
    void queueAction(PairState& state, int which, Action action) {
        queueStep([&state, which] {
            int index = which == 1 && state.present[0] ? 1 : 0;
            headless::pickListItem(polygonListBox, index);
        });
        queueStep([&state, which, action] {
            ASSERT_EQ(currentPolygon, polygonNamed(which == 0 ? "Poly 1" : "Poly 2"));
            if (action == Action::RemovePolygon)
                click(control(idRemove));
            if (action == Action::RemoveTexture)
                click(control(idRemoveTexture));
            if (action != Action::Retexture) {
                state.present[which] = action != Action::RemovePolygon;
                state.done[which] = action;
                state.acted[which] = true;
            }
        });
        if (action == Action::Retexture) {
            applyPicture(second);
            queueStep([&state, which] {
                state.done[which] = Action::Retexture;
                state.acted[which] = true;
                requestFrame();
            });
        }
        queueStep([&state] {
            EXPECT_TRUE(drawsAsExpected(state, 0)) << "source";
            EXPECT_TRUE(drawsAsExpected(state, 1)) << "copy";
            EXPECT_TRUE(texturesOwnedOnce());
        });
    }
};

TEST_P(DuplicatePairTest, EachKeepsItsOwnPictureWhateverTheOtherDoes) {
    const PairCase pair = GetParam();
    PairState state;
    queueTexturedPair();
    queueAction(state, pair.sourceFirst ? 0 : 1, pair.firstAction);
    queueAction(state, pair.sourceFirst ? 1 : 0, pair.secondAction);
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

std::vector<PairCase> everyOrder() {
    std::vector<PairCase> cases;
    const Action actions[] = {Action::RemovePolygon, Action::Retexture, Action::RemoveTexture};
    for (bool sourceFirst : {true, false})
        for (Action firstAction : actions)
            for (Action secondAction : actions)
                cases.push_back({sourceFirst, firstAction, secondAction});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryOrder, DuplicatePairTest, ::testing::ValuesIn(everyOrder()),
                         [](const auto& info) {
                             return std::string(info.param.sourceFirst ? "Source" : "Copy") +
                                    actionName(info.param.firstAction) + "Then" +
                                    (info.param.sourceFirst ? "Copy" : "Source") +
                                    actionName(info.param.secondAction);
                         });

} // namespace
} // namespace textures
