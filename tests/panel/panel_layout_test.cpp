// The panel as start-up leaves it.
#include "platform/winapi.h"

#include <GL/gl.h>

#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "tests/app/program_harness.h"

using headless::queueStep;

namespace {

class PanelLayoutTest : public harness::ProgramTest {};

struct ExpectedControl {
    const char* className;
    const char* text;
    int id;
    DWORD exStyle;
    DWORD style; // besides WS_CHILD | WS_VISIBLE
    int x, y, width, height;
    bool font;
};

const DWORD slider = TBS_BOTH | TBS_NOTICKS;
const DWORD combo = CBS_DROPDOWN | CBS_HASSTRINGS;
const DWORD field = ES_CENTER;
const DWORD edge = WS_EX_STATICEDGE;

// clang-format off
const ExpectedControl expectedControls[] = {
    {"BUTTON", "Polygons", 0, 0, BS_GROUPBOX, 527, 0, 310, 110, true},
    {"LISTBOX", "PolyList", 2, edge, WS_VSCROLL | LBS_NOTIFY, 535, 18, 147, 90, true},
    {"BUTTON", "Add", 3, 0, 0, 687, 17, 70, 20, true},
    {"BUTTON", "Rename", 29, 0, 0, 760, 17, 70, 20, true},
    {"BUTTON", "Move Up", 5, 0, 0, 687, 39, 70, 20, true},
    {"BUTTON", "Duplicate", 4, 0, 0, 760, 39, 70, 20, true},
    {"BUTTON", "Move Down", 6, 0, 0, 687, 61, 70, 20, true},
    {"BUTTON", "Remove", 7, 0, 0, 760, 61, 70, 20, true},
    {"BUTTON", "Spare", 0, 0, 0, 687, 83, 70, 20, true},
    {"BUTTON", "Remove All", 8, 0, 0, 760, 83, 70, 20, true},
    {"BUTTON", "Polygon Appearance", 0, 0, BS_GROUPBOX, 527, 112, 310, 145, true},
    {"STATIC", "Red", 0, 0, 0, 535, 130, 30, 20, true},
    {"STATIC", "Green", 0, 0, 0, 535, 150, 30, 20, true},
    {"STATIC", "Blue", 0, 0, 0, 535, 170, 30, 20, true},
    {"STATIC", "Alpha", 0, 0, 0, 535, 190, 30, 20, true},
    {"STATIC", "Size", 0, 0, 0, 535, 210, 30, 20, true},
    {"STATIC", "Texture", 0, 0, 0, 535, 232, 40, 20, true},
    {"msctls_trackbar32", "Red Slider", 0, 0, slider, 570, 127, 128, 20, false},
    {"msctls_trackbar32", "Green Slider", 0, 0, slider, 570, 147, 128, 20, false},
    {"msctls_trackbar32", "Blue Slider", 0, 0, slider, 570, 167, 128, 20, false},
    {"msctls_trackbar32", "Alpha Slider", 0, 0, slider, 570, 187, 128, 20, false},
    {"msctls_trackbar32", "Size Slider", 0, 0, slider, 570, 207, 128, 20, false},
    {"EDIT", "0 / 0.00", 15, edge, field, 700, 128, 55, 17, true},
    {"EDIT", "0 / 0.00", 16, edge, field, 700, 148, 55, 17, true},
    {"EDIT", "0 / 0.00", 17, edge, field, 700, 168, 55, 17, true},
    {"EDIT", "0.00", 19, edge, field, 700, 188, 55, 17, true},
    {"EDIT", "0px", 20, edge, field, 700, 208, 55, 17, true},
    {"STATIC", "ColFrame", 0, edge, SS_BLACKRECT, 764, 128, 62, 58, false},
    {"EDIT", "None", 21, edge, 0, 576, 230, 108, 18, true},
    {"BUTTON", "Modify", 22, 0, 0, 687, 229, 70, 20, true},
    {"BUTTON", "Remove", 30, 0, 0, 760, 229, 70, 20, true},
    {"BUTTON", "Texture Environment", 0, 0, BS_GROUPBOX, 527, 259, 310, 50, true},
    {"STATIC", "TexEnv Param", 0, 0, 0, 535, 281, 70, 20, true},
    {"COMBOBOX", "glTexEnv", 31, 0, combo, 620, 279, 210, 150, true},
    {"BUTTON", "Blending", 0, 0, BS_GROUPBOX, 527, 310, 310, 100, true},
    {"BUTTON", "Enable GL_BLEND", 23, 0, BS_AUTOCHECKBOX | BS_LEFTTEXT, 535, 325, 120, 20, true},
    {"STATIC", "Parameter 1", 0, 0, 0, 535, 355, 70, 20, true},
    {"COMBOBOX", "glBlend1", 24, 0, combo, 620, 350, 210, 150, true},
    {"STATIC", "Parameter 2", 0, 0, 0, 535, 385, 70, 20, true},
    {"COMBOBOX", "glBlend2", 25, 0, combo, 620, 380, 210, 150, true},
    {"BUTTON", "Alpha Testing", 0, 0, BS_GROUPBOX, 527, 413, 310, 100, true},
    {"BUTTON", "Enable GL_ALPHA_TEST", 26, 0, BS_AUTOCHECKBOX | BS_LEFTTEXT, 535, 429, 150, 20, true},
    {"STATIC", "Parameter 1", 0, 0, 0, 535, 459, 70, 20, true},
    {"COMBOBOX", "glAlpha1", 27, 0, combo, 620, 454, 210, 150, true},
    {"STATIC", "Parameter 2", 0, 0, 0, 535, 489, 70, 20, true},
    {"EDIT", "0.00", 28, edge, field, 620, 487, 55, 17, true},
    {"msctls_trackbar32", "AlphaTest Slider", 0, 0, slider, 680, 487, 128, 20, false},
};
// clang-format on

// The window text is what the control was created with; a combo box shows its selection.
bool isCombo(const ExpectedControl& expected) {
    return expected.className[0] == 'C';
}

TEST_F(PanelLayoutTest, FortySevenControlsInOrderAfterTheViewFrame) {
    queueStep([] {
        std::vector<HWND> children = headless::childrenOf(mainWindow);
        ASSERT_EQ(children.size(), 48u);
        EXPECT_EQ(children[0], viewFrame);
        HFONT guiFont = HFONT(GetStockObject(DEFAULT_GUI_FONT));
        for (size_t i = 0; i < 47; ++i) {
            const ExpectedControl& expected = expectedControls[i];
            HWND control = children[i + 1];
            SCOPED_TRACE(testing::Message() << "control " << i + 1 << " " << expected.text);
            EXPECT_TRUE(harness::isClass(control, expected.className))
                << headless::className(control);
            if (!isCombo(expected)) {
                EXPECT_EQ(headless::windowText(control), expected.text);
            }
            EXPECT_EQ(headless::controlId(control), expected.id);
            EXPECT_EQ(headless::windowExStyle(control), expected.exStyle);
            EXPECT_EQ(headless::windowStyle(control), WS_CHILD | WS_VISIBLE | expected.style);
            RECT rect = headless::windowRect(control);
            EXPECT_EQ(rect.left, expected.x);
            EXPECT_EQ(rect.top, expected.y);
            EXPECT_EQ(rect.right - rect.left, expected.width);
            // A combo box's height includes its drop-down list; closed it is one line high.
            // The list box keeps whole rows of the GUI font (13 px) inside its 1 px edges.
            if (expected.className == std::string("LISTBOX")) {
                EXPECT_EQ(rect.bottom - rect.top, (expected.height - 2) / 13 * 13 + 2);
            } else if (!isCombo(expected)) {
                EXPECT_EQ(rect.bottom - rect.top, expected.height);
            }
            EXPECT_EQ(headless::windowFont(control), expected.font ? guiFont : nullptr);
        }
    });
    harness::runProgram();
}

// Right after start-up, before any polygon exists.
TEST_F(PanelLayoutTest, StartsNeutralWithTheInitialMarks) {
    queueStep([] {
        EXPECT_TRUE(headless::items(polygonListBox).empty());
        EXPECT_EQ(headless::trackbar(redSlider).pos, 0);
        EXPECT_EQ(headless::trackbar(greenSlider).pos, 0);
        EXPECT_EQ(headless::trackbar(blueSlider).pos, 0);
        EXPECT_EQ(headless::trackbar(alphaSlider).pos, 0);
        EXPECT_EQ(headless::trackbar(sizeSlider).pos, 1);
        EXPECT_EQ(headless::trackbar(alphaTestSlider).pos, 0);
        EXPECT_EQ(headless::windowText(redField), "0 / 0.00");
        EXPECT_EQ(headless::windowText(greenField), "0 / 0.00");
        EXPECT_EQ(headless::windowText(blueField), "0 / 0.00");
        EXPECT_EQ(headless::windowText(alphaField), "0.00");
        EXPECT_EQ(headless::windowText(sizeField), "0px");
        EXPECT_EQ(headless::windowText(textureFileField), "None");
        EXPECT_EQ(headless::windowText(alphaRefField), "0.00");
        EXPECT_EQ(headless::windowText(texEnvCombo), "GL_MODULATE");
        EXPECT_EQ(headless::windowText(blendSrcCombo), "GL_ZERO");
        EXPECT_EQ(headless::windowText(blendDstCombo), "GL_ZERO");
        EXPECT_EQ(headless::windowText(alphaFuncCombo), "GL_ALWAYS");
        EXPECT_EQ(headless::selection(alphaFuncCombo), 7);
        EXPECT_EQ(headless::checkState(blendCheckBox), BST_UNCHECKED);
        EXPECT_EQ(headless::checkState(alphaTestCheckBox), BST_UNCHECKED);
        EXPECT_TRUE(headless::menuItemChecked(mainWindow, idOrthographic));
        EXPECT_TRUE(headless::menuItemChecked(mainWindow, idTextureMappingOn));
        EXPECT_TRUE(headless::menuItemChecked(mainWindow, idLightingOff));
        EXPECT_FALSE(headless::menuItemChecked(mainWindow, idPerspective));
        EXPECT_FALSE(headless::menuItemChecked(mainWindow, idTextureMappingOff));
        EXPECT_FALSE(headless::menuItemChecked(mainWindow, idLightingOn));
        EXPECT_FALSE(headless::menuItemChecked(mainWindow, idColorMaterial));
    });
    harness::runProgram();
}

TEST_F(PanelLayoutTest, TrackbarsHaveTheirRanges) {
    queueStep([] {
        struct Range {
            HWND trackbar;
            int min, max;
        };
        const Range ranges[] = {{redSlider, 0, 255},  {greenSlider, 0, 255},
                                {blueSlider, 0, 255}, {alphaSlider, 0, 100},
                                {sizeSlider, 1, 255}, {alphaTestSlider, 0, 100}};
        for (const Range& range : ranges) {
            EXPECT_EQ(headless::trackbar(range.trackbar).min, range.min);
            EXPECT_EQ(headless::trackbar(range.trackbar).max, range.max);
        }
        // The user can take them no further.
        headless::dragTrackbar(sizeSlider, -20);
        headless::dragTrackbar(alphaSlider, 300);
        headless::dragTrackbar(redSlider, 300);
    });
    queueStep([] {
        EXPECT_EQ(headless::trackbar(sizeSlider).pos, 1);
        EXPECT_EQ(headless::trackbar(alphaSlider).pos, 100);
        EXPECT_EQ(headless::trackbar(redSlider).pos, 255);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(PanelLayoutTest, CombosCarryTheEnumsTheirTextsName) {
    queueStep([] {
        using Items = std::vector<std::string>;
        using Data = std::vector<LPARAM>;
        EXPECT_EQ(headless::items(texEnvCombo), (Items{"GL_MODULATE", "GL_DECAL", "GL_BLEND"}));
        EXPECT_EQ(headless::itemData(texEnvCombo), (Data{GL_MODULATE, GL_DECAL, GL_BLEND}));
        // Source and destination lists differ: each offers only the factors valid for it.
        EXPECT_EQ(headless::items(blendSrcCombo),
                  (Items{"GL_ZERO", "GL_ONE", "GL_DST_COLOR", "GL_ONE_MINUS_DST_COLOR",
                         "GL_SRC_ALPHA", "GL_ONE_MINUS_SRC_ALPHA", "GL_DST_ALPHA",
                         "GL_ONE_MINUS_DST_ALPHA", "GL_SRC_ALPHA_SATURATE"}));
        EXPECT_EQ(headless::itemData(blendSrcCombo),
                  (Data{0, 1, 0x306, 0x307, 0x302, 0x303, 0x304, 0x305, 0x308}));
        EXPECT_EQ(
            headless::items(blendDstCombo),
            (Items{"GL_ZERO", "GL_ONE", "GL_SRC_COLOR", "GL_ONE_MINUS_SRC_COLOR", "GL_SRC_ALPHA",
                   "GL_ONE_MINUS_SRC_ALPHA", "GL_DST_ALPHA", "GL_ONE_MINUS_DST_ALPHA"}));
        EXPECT_EQ(headless::itemData(blendDstCombo),
                  (Data{0, 1, 0x300, 0x301, 0x302, 0x303, 0x304, 0x305}));
        EXPECT_EQ(headless::items(alphaFuncCombo),
                  (Items{"GL_NEVER", "GL_LESS", "GL_EQUAL", "GL_LEQUAL", "GL_GREATER",
                         "GL_NOTEQUAL", "GL_GEQUAL", "GL_ALWAYS"}));
        EXPECT_EQ(headless::itemData(alphaFuncCombo),
                  (Data{0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x207}));
    });
    harness::runProgram();
}

} // namespace
