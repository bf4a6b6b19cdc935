// Editing the polygon list through the panel's buttons and the list box.
#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

using harness::control;
using headless::click;
using headless::queueStep;

namespace {

using Names = std::vector<std::string>;

class PolygonListTest : public harness::ProgramTest {};

void addPolygons(int count) {
    for (int i = 0; i < count; ++i)
        click(control(idAdd));
}

// The list, "PolyList" and the current polygon agree.
void expectInStep(const Names& names, int selected) {
    EXPECT_EQ(headless::items(polygonListBox), names);
    EXPECT_EQ(headless::selection(polygonListBox), selected);
    Names listed;
    const Polygon* atSelection = nullptr;
    int index = 0;
    for (const Polygon* polygon = polygonListHead; polygon; polygon = polygon->next, ++index) {
        listed.push_back(polygon->name);
        if (index == selected)
            atSelection = polygon;
    }
    EXPECT_EQ(listed, names);
    EXPECT_EQ(currentPolygon, atSelection);
}

TEST_F(PolygonListTest, AddAppendsNumberedPolygonsAndSelectsTheNewOne) {
    queueStep([] { addPolygons(3); });
    queueStep([] { expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 2); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PolygonListTest, MovesStopAtTheEnds) {
    queueStep([] {
        addPolygons(3);
        click(control(idMoveDown)); // on the last: stays
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 2);
        click(control(idMoveUp));
        click(control(idMoveUp));
        click(control(idMoveUp)); // on the first: nothing
    });
    queueStep([] {
        expectInStep({"Poly 3", "Poly 1", "Poly 2"}, 0);
        click(control(idMoveDown));
    });
    queueStep([] { expectInStep({"Poly 1", "Poly 3", "Poly 2"}, 1); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// The list order is the drawing order: the second polygon moved up is drawn first.
TEST_F(PolygonListTest, MovingUpChangesWhichPolygonIsOnTop) {
    headless::Rgb before{}, after{};
    queueStep([] { addPolygons(2); });
    queueStep([] {
        harness::setTrackbarByKeys(greenSlider, 0);
        harness::setTrackbarByKeys(blueSlider, 0); // Poly 2 red over white Poly 1
    });
    queueStep([&] {
        before = headless::presentedPixel(256, 256);
        click(control(idMoveUp));
    });
    queueStep([&] { after = headless::presentedPixel(256, 256); });
    harness::runProgram();
    EXPECT_EQ(before, (headless::Rgb{255, 0, 0}));
    EXPECT_EQ(after, (headless::Rgb{255, 255, 255}));
}

TEST_F(PolygonListTest, RemoveSelectsTheSuccessorOrTheNewTail) {
    queueStep([] {
        addPolygons(4);
        headless::pickListItem(polygonListBox, 1);
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3", "Poly 4"}, 1);
        click(control(idRemove));
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 3", "Poly 4"}, 1);
        headless::pickListItem(polygonListBox, 2);
        click(control(idRemove));
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 3"}, 1);
        headless::pickListItem(polygonListBox, 0);
        click(control(idRemove));
    });
    queueStep([] {
        expectInStep({"Poly 3"}, 0);
        click(control(idRemove));
    });
    queueStep([] {
        expectInStep({}, -1);
        click(control(idRemove)); // empty: nothing, no message
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    EXPECT_TRUE(headless::messageBoxCalls().empty());
}

TEST_F(PolygonListTest, RemoveAllAsksAndTheCounterKeepsCounting) {
    queueStep([] { click(control(idRemoveAll)); }); // empty list, answered OK: nothing
    queueStep([] {
        addPolygons(2);
        click(control(idRemoveAll));
        headless::queueMessageBoxAnswer(IDCANCEL);
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2"}, 1);
        click(control(idRemoveAll));
    });
    queueStep([] {
        expectInStep({}, -1);
        click(control(idAdd));
    });
    queueStep([] { expectInStep({"Poly 3"}, 0); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    ASSERT_EQ(headless::messageBoxCalls().size(), 3u);
    for (const auto& call : headless::messageBoxCalls()) {
        EXPECT_EQ(call.text, "Remove all polygons?");
        EXPECT_EQ(call.caption, "Warning");
        EXPECT_EQ(call.type, UINT(MB_OKCANCEL));
        EXPECT_EQ(call.owner, mainWindow);
    }
}

TEST_F(PolygonListTest, SelectingAnEntryMakesItCurrentAndShowsIt) {
    queueStep([] { addPolygons(2); });
    queueStep([] {
        harness::setTrackbarByKeys(sizeSlider, 20);
        headless::pickListItem(polygonListBox, 0);
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2"}, 0);
        EXPECT_EQ(headless::trackbar(sizeSlider).pos, 100);
        headless::pickListItem(polygonListBox, 1);
    });
    queueStep([] { EXPECT_EQ(headless::windowText(sizeField), "20px"); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PolygonListTest, NothingToRenameOrDuplicateInAnEmptyList) {
    queueStep([] {
        click(control(idRename));
        click(control(idDuplicate));
    });
    harness::runProgram();
    ASSERT_EQ(headless::messageBoxCalls().size(), 2u);
    EXPECT_EQ(headless::messageBoxCalls()[0].text, "Nothing to rename");
    EXPECT_EQ(headless::messageBoxCalls()[1].text, "Nothing to duplicate");
    for (const auto& call : headless::messageBoxCalls()) {
        EXPECT_EQ(call.caption, "Error");
        EXPECT_EQ(call.type, UINT(MB_OK));
        EXPECT_EQ(call.owner, mainWindow);
    }
    EXPECT_EQ(headless::activeDialog(), nullptr);
}

HWND renameField(int id) {
    return headless::findControl(headless::activeDialog(), id);
}

TEST_F(PolygonListTest, RenameTakesANonEmptyNameOnOk) {
    queueStep([] {
        addPolygons(3);
        headless::pickListItem(polygonListBox, 1);
        click(control(idRename));
    });
    queueStep([] {
        ASSERT_NE(headless::activeDialog(), nullptr);
        HWND oldName = renameField(idOldName);
        HWND newName = renameField(idNewName);
        EXPECT_EQ(headless::windowText(oldName), "Poly 2");
        EXPECT_FALSE(headless::isEnabled(oldName));
        EXPECT_EQ(headless::windowText(newName), "Poly 2");
        EXPECT_EQ(headless::focusWindow(), newName);
        EXPECT_EQ(headless::editSelection(newName).start, 0);
        EXPECT_EQ(headless::editSelection(newName).end, 6);
        headless::typeText(newName, "Floor");
        headless::pressKey(nullptr, VK_RETURN);
    });
    queueStep([] {
        EXPECT_EQ(headless::activeDialog(), nullptr);
        expectInStep({"Poly 1", "Floor", "Poly 3"}, 1);
        click(control(idRename));
    });
    queueStep([] {
        SetWindowTextA(renameField(idNewName), "");
        click(renameField(IDOK)); // empty: the name stays
    });
    queueStep([] {
        expectInStep({"Poly 1", "Floor", "Poly 3"}, 1);
        click(control(idRename));
    });
    queueStep([] {
        SetWindowTextA(renameField(idNewName), "Wall");
        headless::pressKey(nullptr, VK_ESCAPE);
    });
    queueStep([] { expectInStep({"Poly 1", "Floor", "Poly 3"}, 1); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PolygonListTest, RenameKeepsAtMost254Characters) {
    queueStep([] {
        addPolygons(1);
        click(control(idRename));
    });
    queueStep([] {
        std::string longName(300, 'n');
        SetWindowTextA(renameField(idNewName), longName.c_str());
        click(renameField(IDOK));
    });
    queueStep([] { click(control(idRename)); });
    queueStep([] {
        EXPECT_EQ(headless::editSelection(renameField(idNewName)).end, 254); // all of it, to retype
        click(renameField(IDCANCEL));
    });
    harness::runProgram();
    ASSERT_NE(currentPolygon, nullptr);
    EXPECT_EQ(std::string(currentPolygon->name), std::string(254, 'n'));
}

} // namespace

namespace {

class DuplicateTest : public harness::ProgramTest {};

// The copy goes to the end whatever entry its source has, takes the counter's number and the
// source's settings, and becomes current.
TEST_F(DuplicateTest, AppendsANumberedCopyOfTheCurrentPolygonAndSelectsIt) {
    queueStep([] {
        addPolygons(4); // the counter now stands at 5
        headless::pickListItem(polygonListBox, 1);
    });
    queueStep([] {
        harness::setTrackbarByKeys(sizeSlider, 30);
        harness::setTrackbarByKeys(redSlider, 10);
        headless::pickComboItem(blendDstCombo, 3);
        click(control(idDuplicate));
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3", "Poly 4", "Poly 5 (Copy of Poly 2)"}, 4);
        const Polygon& copy = *currentPolygon;
        EXPECT_EQ(copy.size, 30);
        EXPECT_EQ(copy.red, 10);
        EXPECT_EQ(copy.blendDstIndex, 3);
        EXPECT_EQ(copy.next, nullptr);
        EXPECT_EQ(headless::windowText(sizeField), "30px");
        EXPECT_EQ(headless::windowText(redField), "10 / 0.04");
        EXPECT_EQ(headless::selection(blendDstCombo), 3);
        click(control(idDuplicate)); // a copy of a copy
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3", "Poly 4", "Poly 5 (Copy of Poly 2)",
                      "Poly 6 (Copy of Poly 5 (Copy of Poly 2))"},
                     5);
        click(control(idAdd));
    });
    queueStep([] { EXPECT_EQ(headless::items(polygonListBox).back(), "Poly 7"); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    EXPECT_EQ(polygonCounter, 8);
}

// The composed name is cut to the 255 characters the name holds; the fields after it stay.
TEST_F(DuplicateTest, ALongComposedNameIsCutToTheNameField) {
    queueStep([] {
        addPolygons(1);
        click(control(idRename));
    });
    queueStep([] {
        SetWindowTextA(renameField(idNewName), std::string(254, 'n').c_str());
        click(renameField(IDOK));
    });
    queueStep([] { click(control(idDuplicate)); });
    harness::runProgram();
    ASSERT_NE(currentPolygon, nullptr);
    std::string name = currentPolygon->name;
    EXPECT_EQ(name.size(), 255u);
    EXPECT_EQ(name, ("Poly 2 (Copy of " + std::string(254, 'n')).substr(0, 255));
    EXPECT_STREQ(currentPolygon->textureFile, "None");
    EXPECT_EQ(currentPolygon->image.pixels, nullptr);
    EXPECT_EQ(headless::items(polygonListBox).back(), name);
}

// Cancel and the close box leave the name; the selection stays on the same entry.
TEST_F(PolygonListTest, RenameCancelledByButtonOrCloseBoxKeepsTheName) {
    queueStep([] {
        addPolygons(3);
        headless::pickListItem(polygonListBox, 0);
        click(control(idRename));
    });
    queueStep([] {
        SetWindowTextA(renameField(idNewName), "Wall");
        click(renameField(IDCANCEL));
    });
    queueStep([] {
        EXPECT_EQ(headless::activeDialog(), nullptr);
        expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 0);
        headless::pressKey(nullptr, VK_F2);
    });
    queueStep([] {
        ASSERT_NE(headless::activeDialog(), nullptr);
        SetWindowTextA(renameField(idNewName), "Wall");
        headless::closeWindow(headless::activeDialog());
    });
    queueStep([] {
        EXPECT_EQ(headless::activeDialog(), nullptr);
        expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 0);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// A slider position of 29 comes back as 28 on a refresh, which tells whether a move refreshed.
TEST_F(PolygonListTest, MoveUpOnTheFirstEntryRefreshesNothingMoveDownOnTheLastDoes) {
    queueStep([] {
        addPolygons(2);
        headless::pickListItem(polygonListBox, 0);
    });
    queueStep([] {
        harness::setTrackbarByKeys(alphaSlider, 29);
        click(control(idMoveUp));
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2"}, 0);
        EXPECT_EQ(headless::trackbar(alphaSlider).pos, 29);
        headless::pickListItem(polygonListBox, 1);
    });
    queueStep([] {
        harness::setTrackbarByKeys(alphaSlider, 29);
        click(control(idMoveDown));
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2"}, 1);
        EXPECT_EQ(headless::trackbar(alphaSlider).pos, 28);
        EXPECT_EQ(headless::windowText(alphaField), "0.29");
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace

namespace {

// The arrow keys in "PolyList" choose the current polygon as the mouse does.
TEST_F(PolygonListTest, ArrowKeysInTheListChooseTheCurrentPolygon) {
    queueStep([] {
        addPolygons(3);
        harness::setTrackbarByKeys(sizeSlider, 12); // Poly 3
        headless::pickListItem(polygonListBox, 1);
    });
    queueStep([] {
        harness::setTrackbarByKeys(sizeSlider, 34); // Poly 2
        SetFocus(polygonListBox);
        headless::pressKey(polygonListBox, VK_UP);
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 0);
        EXPECT_EQ(headless::windowText(sizeField), "100px");
        headless::pressKey(polygonListBox, VK_DOWN);
        headless::pressKey(polygonListBox, VK_DOWN);
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 2);
        EXPECT_EQ(headless::trackbar(sizeSlider).pos, 12);
        EXPECT_EQ(headless::windowText(sizeField), "12px");
        headless::pressKey(polygonListBox, VK_UP);
    });
    queueStep([] {
        expectInStep({"Poly 1", "Poly 2", "Poly 3"}, 1);
        EXPECT_EQ(headless::windowText(sizeField), "34px");
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace
