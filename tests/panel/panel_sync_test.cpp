// The panel shows the current polygon and writes the user's edits into it.
#include "platform/winapi.h"

#include <GL/gl.h>
#include <tuple>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

using harness::control;
using headless::queueStep;
using headless::windowText;

namespace {

class PanelSyncTest : public harness::ProgramTest {};

// Both check boxes clear and the four lists at a new polygon's choices.
void expectNeutralChoices() {
    EXPECT_EQ(headless::checkState(blendCheckBox), BST_UNCHECKED);
    EXPECT_EQ(headless::checkState(alphaTestCheckBox), BST_UNCHECKED);
    EXPECT_EQ(std::tuple(headless::selection(texEnvCombo), headless::selection(blendSrcCombo),
                         headless::selection(blendDstCombo), headless::selection(alphaFuncCombo)),
              std::tuple(0, 0, 0, 7));
}

TEST_F(PanelSyncTest, NewPolygonShowsItsDefaults) {
    queueStep([] { headless::click(control(idAdd)); });
    queueStep([] {
        EXPECT_EQ(headless::trackbar(redSlider).pos, 255);
        EXPECT_EQ(headless::trackbar(greenSlider).pos, 255);
        EXPECT_EQ(headless::trackbar(blueSlider).pos, 255);
        EXPECT_EQ(headless::trackbar(alphaSlider).pos, 50);
        EXPECT_EQ(headless::trackbar(sizeSlider).pos, 100);
        EXPECT_EQ(headless::trackbar(alphaTestSlider).pos, 50);
        EXPECT_EQ(windowText(redField), "255 / 1.00");
        EXPECT_EQ(windowText(greenField), "255 / 1.00");
        EXPECT_EQ(windowText(blueField), "255 / 1.00");
        EXPECT_EQ(windowText(alphaField), "0.50");
        EXPECT_EQ(windowText(alphaRefField), "0.50");
        EXPECT_EQ(windowText(sizeField), "100px");
        EXPECT_EQ(windowText(textureFileField), "None");
        expectNeutralChoices();
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(255, 255, 255));
        RECT area = headless::fillArea(colourSwatch); // the whole client area inside the edge
        EXPECT_EQ(std::tuple(area.left, area.top, area.right, area.bottom), std::tuple(0, 0, 60, 56));
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PanelSyncTest, RemovingTheLastPolygonResetsThePanel) {
    queueStep([] { headless::click(control(idAdd)); });
    queueStep([] {
        // Every setting away from the neutral values first.
        headless::click(blendCheckBox);
        headless::click(alphaTestCheckBox);
        headless::pickComboItem(texEnvCombo, 2);
        headless::pickComboItem(blendSrcCombo, 3);
        headless::pickComboItem(blendDstCombo, 4);
        headless::pickComboItem(alphaFuncCombo, 1);
    });
    queueStep([] { harness::setTrackbarByKeys(alphaTestSlider, 30); });
    queueStep([] { headless::click(control(idRemove)); });
    queueStep([] {
        EXPECT_EQ(windowText(textureFileField), ""); // not "None" any more
        EXPECT_EQ(windowText(redField), "0 / 0.00");
        EXPECT_EQ(windowText(greenField), "0 / 0.00");
        EXPECT_EQ(windowText(blueField), "0 / 0.00");
        EXPECT_EQ(windowText(alphaField), "0.00");
        EXPECT_EQ(windowText(alphaRefField), "0.00");
        EXPECT_EQ(windowText(sizeField), "0px");
        for (HWND slider : {redSlider, greenSlider, blueSlider, alphaSlider, alphaTestSlider})
            EXPECT_EQ(headless::trackbar(slider).pos, 0);
        EXPECT_EQ(headless::trackbar(sizeSlider).pos, 1);
        expectNeutralChoices();
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(0, 0, 0));
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PanelSyncTest, TrackbarsWriteThePolygonAndTheirFields) {
    queueStep([] { headless::click(control(idAdd)); });
    queueStep([] {
        harness::setTrackbarByKeys(redSlider, 128);
        harness::setTrackbarByKeys(greenSlider, 0);
        harness::setTrackbarByKeys(sizeSlider, 37);
        harness::setTrackbarByKeys(alphaTestSlider, 75);
    });
    queueStep([] {
        ASSERT_NE(currentPolygon, nullptr);
        EXPECT_EQ(currentPolygon->red, 128);
        EXPECT_EQ(windowText(redField), "128 / 0.50");
        EXPECT_EQ(currentPolygon->green, 0);
        EXPECT_EQ(windowText(greenField), "0 / 0.00");
        EXPECT_EQ(currentPolygon->size, 37);
        EXPECT_EQ(windowText(sizeField), "37px");
        EXPECT_FLOAT_EQ(currentPolygon->alphaRef, 75 * 0.01f);
        EXPECT_EQ(windowText(alphaRefField), "0.75");
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(128, 0, 255));
        headless::dragTrackbar(alphaSlider, 80, 4);
    });
    queueStep([] {
        // Each thumb movement is stored at once, whatever position the drag reached.
        int position = headless::trackbar(alphaSlider).pos;
        EXPECT_GT(position, 70);
        EXPECT_EQ(currentPolygon->alpha, position * 0.01f);
        char text[8];
        std::snprintf(text, sizeof text, "%0.2f", position * 0.01f);
        EXPECT_EQ(windowText(alphaField), text);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// A stored fraction comes back through the truncating refresh one lower for most positions,
// on both fraction sliders; the refresh leaves the stored value and the text alone.
TEST_F(PanelSyncTest, FractionsRoundTripThroughTheSlidersAsStored) {
    const std::vector<int> unchanged = {0,  7,  14, 17, 25, 28, 31, 34, 37, 50, 55,
                                        56, 61, 62, 68, 74, 75, 81, 87, 93, 100};
    std::vector<int> alphaUnchanged, referenceUnchanged;
    queueStep([] {
        headless::click(control(idAdd));
        headless::click(control(idAdd));
    });
    for (int position = 0; position <= 100; ++position) {
        queueStep([position] {
            harness::setTrackbarByKeys(alphaSlider, position);
            harness::setTrackbarByKeys(alphaTestSlider, position);
        });
        queueStep([position] {
            char expected[8];
            std::snprintf(expected, sizeof expected, "%0.2f", position * 0.01f);
            EXPECT_EQ(windowText(alphaField), expected);
            EXPECT_EQ(windowText(alphaRefField), expected);
            EXPECT_EQ(currentPolygon->alpha, position * 0.01f);
            EXPECT_EQ(currentPolygon->alphaRef, position * 0.01f);
            headless::pickListItem(polygonListBox, 0); // away and back: a refresh each
        });
        queueStep([] { headless::pickListItem(polygonListBox, 1); });
        queueStep([&, position] {
            char expected[8];
            std::snprintf(expected, sizeof expected, "%0.2f", position * 0.01f);
            EXPECT_EQ(windowText(alphaField), expected);
            EXPECT_EQ(currentPolygon->alpha, position * 0.01f);
            EXPECT_EQ(currentPolygon->alphaRef, position * 0.01f);
            for (auto [slider, backUnchanged] : {std::pair{alphaSlider, &alphaUnchanged},
                                                 std::pair{alphaTestSlider, &referenceUnchanged}}) {
                int back = headless::trackbar(slider).pos;
                if (back == position)
                    backUnchanged->push_back(position);
                else if (back != position - 1)
                    ADD_FAILURE() << position << " came back as " << back;
            }
        });
    }
    harness::runProgram();
    EXPECT_EQ(alphaUnchanged, unchanged);
    EXPECT_EQ(referenceUnchanged, unchanged);
}

TEST_F(PanelSyncTest, EditsWithoutAPolygonAreDropped) {
    queueStep([] {
        harness::setTrackbarByKeys(redSlider, 100);
        headless::click(blendCheckBox);
        headless::pickComboItem(blendSrcCombo, 3);
    });
    queueStep([] {
        EXPECT_EQ(headless::trackbar(redSlider).pos, 100); // the control keeps it...
        EXPECT_EQ(windowText(redField), "0 / 0.00");       // ...nothing else changes
        EXPECT_EQ(headless::checkState(blendCheckBox), BST_CHECKED);
        headless::click(control(idAdd));
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->red, 255);
        EXPECT_EQ(currentPolygon->blendEnabled, 0);
        EXPECT_EQ(currentPolygon->blendSrcIndex, 0);
        EXPECT_EQ(headless::checkState(blendCheckBox), BST_UNCHECKED);
        EXPECT_EQ(headless::trackbar(redSlider).pos, 255);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PanelSyncTest, CheckBoxesAndCombosStoreTheirChoices) {
    queueStep([] {
        headless::click(control(idAdd));
        headless::click(blendCheckBox);
        headless::click(alphaTestCheckBox);
        headless::click(alphaTestCheckBox);
        headless::pickComboItem(blendSrcCombo, 8);
        headless::pickComboItem(blendDstCombo, 2);
        headless::pickComboItem(alphaFuncCombo, 4);
        headless::pickComboItem(texEnvCombo, 1);
    });
    queueStep([] {
        const Polygon& polygon = *currentPolygon;
        EXPECT_EQ(polygon.blendEnabled, 1);
        EXPECT_EQ(polygon.alphaTestEnabled, 0);
        EXPECT_EQ(polygon.blendSrcIndex, 8);
        EXPECT_EQ(polygon.blendSrc, unsigned(GL_SRC_ALPHA_SATURATE));
        EXPECT_EQ(polygon.blendDstIndex, 2);
        EXPECT_EQ(polygon.blendDst, unsigned(GL_SRC_COLOR));
        EXPECT_EQ(polygon.alphaFuncIndex, 4);
        EXPECT_EQ(polygon.alphaFunc, unsigned(GL_GREATER));
        EXPECT_EQ(polygon.texEnvIndex, 1);
        EXPECT_EQ(polygon.texEnvMode, unsigned(GL_DECAL));
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// The swatch follows every edit at once, each time with a brush that does not outlive it.
TEST_F(PanelSyncTest, SwatchFollowsEachEditAndKeepsNoBrush) {
    int gdiObjects = 0;
    queueStep([&] {
        gdiObjects = headless::liveGdiObjects();
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(0, 0, 0));
        headless::click(control(idAdd));
    });
    queueStep([] {
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(255, 255, 255));
        headless::pressKey(greenSlider, VK_LEFT);
    });
    queueStep([] {
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(255, 254, 255));
        headless::dragTrackbar(blueSlider, 0, 3);
    });
    queueStep([&] {
        EXPECT_EQ(headless::fillColour(colourSwatch), RGB(255, 254, 0));
        EXPECT_EQ(headless::liveGdiObjects(), gdiObjects);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PanelSyncTest, ValueFieldsHandTheFocusToThePolygonList) {
    for (int id : {idRedField, idGreenField, idBlueField, idAlphaField, idSizeField,
                   idTextureFileField, idAlphaRefField}) {
        queueStep([id] { headless::click(control(id)); });
        queueStep([id] { EXPECT_EQ(headless::focusWindow(), polygonListBox) << id; });
    }
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace
