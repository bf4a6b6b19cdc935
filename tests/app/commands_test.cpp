// The main window's commands: display options and their marks, the File items, the About box.
#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

using harness::control;
using harness::runProgram;
using headless::chooseMenuItem;
using headless::menuItemChecked;
using headless::queueStep;

namespace {

class CommandsTest : public harness::ProgramTest {};

struct RadioPair {
    bool* option;
    int on, off; // the items that set it true and false
};

TEST_F(CommandsTest, RadioPairsSwitchTheirOptionAndMoveTheMark) {
    const RadioPair pairs[] = {
        {&orthographic, idOrthographic, idPerspective},
        {&textureMapping, idTextureMappingOn, idTextureMappingOff},
        {&lighting, idLightingOn, idLightingOff},
    };
    queueStep([&] {
        for (const RadioPair& pair : pairs) {
            for (int pick : {pair.off, pair.off, pair.on, pair.on, pair.off})
                chooseMenuItem(mainWindow, pick);
        }
        // A command the window handles answers 0.
        EXPECT_EQ(SendMessageA(mainWindow, WM_COMMAND, idTextureMappingOff, 0), 0);
    });
    runProgram();
    for (const RadioPair& pair : pairs) {
        EXPECT_FALSE(*pair.option) << pair.off;
        EXPECT_TRUE(menuItemChecked(mainWindow, pair.off)) << pair.off;
        EXPECT_TRUE(headless::menuItemRadio(mainWindow, pair.off)) << pair.off;
        EXPECT_FALSE(menuItemChecked(mainWindow, pair.on)) << pair.on;
    }
    EXPECT_FALSE(colorMaterial) << "a radio item toggled colour material";
}

TEST_F(CommandsTest, ChoosingTheMarkedItemChangesNothing) {
    queueStep([] {
        chooseMenuItem(mainWindow, idOrthographic);
        chooseMenuItem(mainWindow, idLightingOff);
        chooseMenuItem(mainWindow, idTextureMappingOn);
    });
    runProgram();
    EXPECT_TRUE(orthographic);
    EXPECT_FALSE(lighting);
    EXPECT_TRUE(textureMapping);
    EXPECT_FALSE(colorMaterial);
    EXPECT_TRUE(menuItemChecked(mainWindow, idOrthographic));
    EXPECT_FALSE(menuItemChecked(mainWindow, idPerspective));
    EXPECT_TRUE(menuItemChecked(mainWindow, idLightingOff));
    EXPECT_TRUE(menuItemChecked(mainWindow, idTextureMappingOn));
    EXPECT_TRUE(headless::messageBoxCalls().empty());
}

// With lighting on, colour material decides whether a red square shows red or grey.
TEST_F(CommandsTest, ColourMaterialTogglesWithItsCheckMark) {
    bool firstFlag = false, firstMark = false;
    headless::Rgb first{}, second{};
    queueStep([] {
        Polygon* polygon = harness::linkPolygon();
        polygon->green = 0;
        polygon->blue = 0;
        chooseMenuItem(mainWindow, idLightingOn);
        chooseMenuItem(mainWindow, idColorMaterial);
    });
    queueStep([&] {
        firstFlag = colorMaterial;
        firstMark = menuItemChecked(mainWindow, idColorMaterial);
        first = headless::presentedPixel(256, 256);
        chooseMenuItem(mainWindow, idColorMaterial);
    });
    queueStep([&] { second = headless::presentedPixel(256, 256); });
    runProgram();
    EXPECT_TRUE(firstFlag);
    EXPECT_TRUE(firstMark);
    EXPECT_TRUE(harness::colourNear(first, {255, 0, 0}));
    EXPECT_FALSE(colorMaterial);
    EXPECT_FALSE(menuItemChecked(mainWindow, idColorMaterial));
    EXPECT_TRUE(harness::colourNear(second, {214, 214, 214}));
}

TEST_F(CommandsTest, OpenSaveAndSaveAsAreNotImplementedYet) {
    queueStep([] {
        chooseMenuItem(mainWindow, idFileOpen);
        chooseMenuItem(mainWindow, idFileSave);
        chooseMenuItem(mainWindow, idFileSaveAs);
    });
    runProgram();
    ASSERT_EQ(headless::messageBoxCalls().size(), 3u);
    for (const auto& call : headless::messageBoxCalls()) {
        EXPECT_EQ(call.text, "Not implemented yet");
        EXPECT_EQ(call.caption, "Sorry");
        EXPECT_EQ(call.type, UINT(MB_OK));
        EXPECT_EQ(call.owner, mainWindow);
    }
}

TEST_F(CommandsTest, SpareButtonDoesNothing) {
    int before = 0;
    queueStep([&] {
        HWND spare = headless::findWindow("Spare", nullptr, mainWindow);
        ASSERT_NE(spare, nullptr);
        EXPECT_EQ(headless::controlId(spare), 0);
        before = polygonCounter;
        headless::click(spare);
    });
    runProgram();
    EXPECT_TRUE(headless::messageBoxCalls().empty());
    EXPECT_EQ(polygonListHead, nullptr);
    EXPECT_EQ(polygonCounter, before);
    EXPECT_TRUE(orthographic);
}

TEST_F(CommandsTest, ModifyWithoutAPolygonSaysSo) {
    queueStep([] { headless::click(control(idModifyTexture)); });
    runProgram();
    ASSERT_EQ(headless::messageBoxCalls().size(), 1u);
    EXPECT_EQ(headless::messageBoxCalls()[0].text, "Nothing to apply a texture to");
    EXPECT_EQ(headless::messageBoxCalls()[0].caption, "Error");
    EXPECT_EQ(headless::messageBoxCalls()[0].type, UINT(MB_OK));
    EXPECT_EQ(headless::messageBoxCalls()[0].owner, mainWindow);
    EXPECT_EQ(headless::activeDialog(), nullptr);
}

TEST_F(CommandsTest, NewAsksLikeRemoveAllAndKeepsTheCounter) {
    queueStep([] {
        headless::click(control(idAdd));
        headless::click(control(idAdd));
        headless::queueMessageBoxAnswer(IDCANCEL);
        chooseMenuItem(mainWindow, idFileNew);
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox).size(), 2u);
        chooseMenuItem(mainWindow, idFileNew); // answered OK
    });
    runProgram();
    ASSERT_EQ(headless::messageBoxCalls().size(), 2u);
    EXPECT_EQ(headless::messageBoxCalls()[1].text, "Remove all polygons?");
    EXPECT_EQ(headless::messageBoxCalls()[1].caption, "Warning");
    EXPECT_EQ(headless::messageBoxCalls()[1].type, UINT(MB_OKCANCEL));
    EXPECT_EQ(polygonListHead, nullptr);
    EXPECT_TRUE(headless::items(polygonListBox).empty());
    EXPECT_EQ(polygonCounter, 3);
}

const char* const versionHistory =
    "Version History\n\nv0.94 (Beta)\n  Added support for GL_COLOR_MATERIAL and glTexEnv "
    "Parameters\n  Fixed 2D clipping\n  Minor Tweaks\n\nv0.92 (Alpha) - Initial release.";

TEST_F(CommandsTest, AboutShowsTheHistoryIgnoresEscAndClosesWithOk) {
    queueStep([] { chooseMenuItem(mainWindow, idHelpAbout); });
    queueStep([] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(headless::windowText(dialog), "About");
        EXPECT_FALSE(IsWindowEnabled(mainWindow)); // modal
        HWND history = headless::findControl(dialog, idVersionHistory);
        ASSERT_NE(history, nullptr);
        EXPECT_EQ(headless::windowText(history), versionHistory);
        HWND ok = headless::findControl(dialog, IDOK);
        EXPECT_EQ(headless::focusWindow(), ok);
        headless::pressKey(nullptr, VK_ESCAPE);
    });
    queueStep([] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr) << "Esc closed the About box";
        headless::click(headless::findControl(dialog, idVersionHistory));
    });
    queueStep([] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        HWND ok = headless::findControl(dialog, IDOK);
        EXPECT_EQ(headless::focusWindow(), ok) << "the history kept the focus";
        headless::click(ok);
    });
    queueStep([] {
        EXPECT_EQ(headless::activeDialog(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(mainWindow));
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    // WinMain has let riched32.dll go, and its class with it.
    EXPECT_EQ(CreateWindowExA(0, "RICHEDIT", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
}

TEST_F(CommandsTest, AboutClosesFromItsCloseBox) {
    queueStep([] {
        chooseMenuItem(mainWindow, idTextureMappingOff);
        chooseMenuItem(mainWindow, idHelpAbout);
    });
    queueStep([] {
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        int banners = 0;
        for (HWND child : headless::childrenOf(dialog))
            banners += headless::staticBitmapId(child) == aboutBannerResource;
        EXPECT_EQ(banners, 1);
        headless::closeWindow(dialog);
    });
    queueStep([] {
        EXPECT_EQ(headless::activeDialog(), nullptr);
        EXPECT_FALSE(textureMapping) << "About switched an option";
    });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace
