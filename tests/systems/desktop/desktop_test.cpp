// The desktop program under Xvfb, driven by synthetic X input and checked by screenshot.
// Each test starts the program afresh in its own working folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/systems/desktop/desktop_session.h"

using namespace desktop;

namespace {

const Rgb black{0, 0, 0};
const Rgb white{255, 255, 255};
const Rgb cyan{0, 255, 255};
const Rgb red{255, 0, 0};
const Rgb blue{0, 0, 255};

// The 512 x 512 viewport's top-left pixel in the main window's client area. The view frame
// stands at 6, 6; its 1-pixel edge leaves a 510 x 510 client area, and GL keeps the viewport's
// bottom-left corner there, so the top two rows and right two columns are cut off.
constexpr int viewX = 7, viewY = 5, viewSize = 512;
constexpr int redSliderX = 570, redSliderY = 127, sliderWidth = 128, sliderHeight = 20;
constexpr int listX = 535, listY = 18, listWidth = 147;
constexpr int blendCheckX = 535, blendCheckY = 325, blendCheckWidth = 120;
constexpr int blend1X = 620, blend1Y = 350, comboWidth = 210;
constexpr int texEnvX = 620, texEnvY = 279;
// The open list of a combo box lies below its 21-pixel field, rows 13 pixels high, as the
// layer lays it out for the dialog font.
constexpr int comboFieldHeight = 21, comboRowHeight = 13;
constexpr int swatchX = 764, swatchY = 128, swatchWidth = 62, swatchHeight = 58;

// The build's program, or another copy of it named by QF_TEST_PROGRAM (the package tests start
// the packaged and the installed program this way).
std::string programPath() {
    const char* other = std::getenv("QF_TEST_PROGRAM");
    return other && *other ? other : QF_PROGRAM_PATH;
}

class Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[] = "/tmp/quillfen-desktop-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        workDir = folder;
        program = start(programPath(), workDir);
        ASSERT_FALSE(program.window.empty()) << "no window titled \"GL Quillfen v0.94\" appeared";
        focus(program);
        // The first frame is drawn once the program is idle.
        ASSERT_TRUE(eventually([&](const Shot& s) { return near(viewAt(s, 256, 256), black); }));
    }

    void TearDown() override {
        if (HasFailure())
            saveShot(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                     "-failed");
        kill(program);
        std::error_code ignored;
        std::filesystem::remove_all(workDir, ignored);
    }

    // The view frame's pixel (x, y), counted from its top-left corner.
    Rgb viewAt(const Shot& shot, int x, int y) const {
        const Point p = clientToScreen(program, viewX + x, viewY + y);
        return shot.at(p.x, p.y);
    }
    Point viewToScreen(int x, int y) const { return clientToScreen(program, viewX + x, viewY + y); }

    // A filled square of edge 2 * half centred at (cx, cy) in the view: its inside is the
    // colour, the view just outside its edges is black.
    bool squareAt(const Shot& shot, int cx, int cy, int half, Rgb colour) const {
        const int in = half - 6, out = half + 6;
        for (auto [dx, dy] : {std::pair{0, 0}, {-in, -in}, {in, -in}, {-in, in}, {in, in}})
            if (!near(viewAt(shot, cx + dx, cy + dy), colour))
                return false;
        for (auto [dx, dy] : {std::pair{-out, 0}, {out, 0}, {0, -out}, {0, out}}) {
            const int x = cx + dx, y = cy + dy;
            if (x >= 0 && y >= 0 && x < viewSize - 2 && y < viewSize - 2 &&
                !near(viewAt(shot, x, y), black))
                return false;
        }
        return true;
    }

    void addSquare() {
        key("Insert");
        ASSERT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, white); }))
            << "Insert drew no white 200 x 200 square in the middle of the view";
    }

    // Presses on the red trackbar's thumb (at the right end for 255) and drags it past the
    // left end; checks while the button is still down that the colour already changed.
    void dragRedToZero() {
        const int y = redSliderY + sliderHeight / 2;
        const Point from = clientToScreen(program, redSliderX + sliderWidth - 10, y);
        const Point to = clientToScreen(program, redSliderX - 20, y);
        shell("xdotool mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) +
              " sleep 0.1 mousedown 1 sleep 0.1 mousemove " + std::to_string(to.x) + " " +
              std::to_string(to.y) + " sleep 0.1");
        const bool duringDrag =
            eventually([&](const Shot& s) { return near(viewAt(s, 256, 256), cyan); });
        shell("xdotool mouseup 1 sleep 0.1");
        ASSERT_TRUE(duringDrag) << "the view did not follow the red trackbar while it was dragged";
    }

    void saveShot(const std::string& name) const {
        std::filesystem::create_directories(QF_SHOT_DIR);
        savePng(std::string(QF_SHOT_DIR) + "/" + name + ".png",
                {program.origin.x, program.origin.y}, 844, menuBarHeight + 522);
    }

    // A picture of one window (a dialog or a message box) alone.
    void saveWindowShot(const std::string& name, const std::string& window) const {
        std::filesystem::create_directories(QF_SHOT_DIR);
        const Box box = windowBox(window);
        savePng(std::string(QF_SHOT_DIR) + "/" + name + ".png", {box.x, box.y}, box.w, box.h);
    }

    std::string workDir;
    Program program;
};

TEST_F(Desktop, StartsWithEmptyBlackViewInButtonFaceWindow) {
    const Shot shot = grab();
    for (int y = 16; y < viewSize - 16; y += 60)
        for (int x = 16; x < viewSize - 16; x += 60)
            EXPECT_TRUE(near(viewAt(shot, x, y), black)) << "view pixel " << x << ", " << y;
    // The panel's background is the button face, not the view's black.
    const Point panel = clientToScreen(program, 842, 520);
    const Rgb face = shot.at(panel.x, panel.y);
    EXPECT_GT(face.r + face.g + face.b, 3 * 150) << describe(face);
    const Point swatch =
        clientToScreen(program, swatchX + swatchWidth / 2, swatchY + swatchHeight / 2);
    EXPECT_TRUE(near(shot.at(swatch.x, swatch.y), black)) << "the colour swatch starts black";
    // Fixed size, the frame placed at 50, 50 by the window manager, and the icon's sizes.
    const std::string hints =
        shell("xprop -id " + program.window + " WM_NORMAL_HINTS _NET_WM_ICON");
    EXPECT_NE(hints.find("minimum size: 844 by 541"), std::string::npos) << hints.substr(0, 400);
    EXPECT_NE(hints.find("maximum size: 844 by 541"), std::string::npos);
    EXPECT_NE(hints.find("location: 50, 50"), std::string::npos);
    EXPECT_NE(hints.find("window gravity: NorthWest"), std::string::npos);
    EXPECT_NE(hints.find("Icon (16 x 16)"), std::string::npos);
    EXPECT_NE(hints.find("Icon (32 x 32)"), std::string::npos);
    saveShot("start");
}

TEST_F(Desktop, InsertDrawsWhiteSquareInTheMiddle) {
    addSquare();
    const Shot shot = grab();
    const Point swatch =
        clientToScreen(program, swatchX + swatchWidth / 2, swatchY + swatchHeight / 2);
    EXPECT_TRUE(near(shot.at(swatch.x, swatch.y), white))
        << "the swatch shows the new polygon's colour";
    saveShot("square");
}

TEST_F(Desktop, DigitThreeInAComboSwitchesToPerspectiveAndIsNotTyped) {
    addSquare();
    click(program, 620 + 60, 279 + 10); // into the edit part of "glTexEnv"
    key("3");
    // The perspective view keeps the square in the middle at nearly the same size.
    ASSERT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, white); }));
    // A drag now turns the view instead of moving the square: 90 pixels right turn it by
    // 45 degrees, so it narrows about its centre instead of sliding right.
    dragScreen(viewToScreen(256, 256), {viewToScreen(300, 256), viewToScreen(346, 256)});
    EXPECT_TRUE(eventually([&](const Shot& s) {
        return near(viewAt(s, 256, 256), white) && near(viewAt(s, 256 + 90, 256), black) &&
               near(viewAt(s, 256 - 90, 256), black);
    })) << "the drag did not turn the view; was the 3 typed into the combo box instead?";
    saveShot("perspective");
}

TEST_F(Desktop, DragMovesTheSquareAndKeepsFollowingOutsideTheView) {
    addSquare();
    dragScreen(viewToScreen(256, 256), {viewToScreen(280, 270), viewToScreen(316, 296)});
    ASSERT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 316, 296, 100, white); }))
        << "the square did not follow a drag of 60 right, 40 down";
    // Past the view's left edge the pointer has negative coordinates and the square still
    // follows: its centre ends 30 pixels left of the view.
    dragScreen(viewToScreen(316, 296),
               {viewToScreen(100, 296), viewToScreen(-10, 296), viewToScreen(-30, 296)});
    EXPECT_TRUE(eventually([&](const Shot& s) {
        return near(viewAt(s, 10, 296), white) && near(viewAt(s, 60, 296), white) &&
               near(viewAt(s, 80, 296), black) && near(viewAt(s, 200, 296), black);
    })) << "the drag stopped following the pointer outside the view";
}

TEST_F(Desktop, RedTrackbarRecoloursSquareWhileDragging) {
    addSquare();
    dragRedToZero();
    const Shot shot = grab();
    EXPECT_TRUE(squareAt(shot, 256, 256, 100, cyan));
    const Point swatch =
        clientToScreen(program, swatchX + swatchWidth / 2, swatchY + swatchHeight / 2);
    EXPECT_TRUE(near(shot.at(swatch.x, swatch.y), cyan)) << describe(shot.at(swatch.x, swatch.y));
    saveShot("trackbar");
}

TEST_F(Desktop, RemoveAllAsksAndCancelKeepsTheSquare) {
    addSquare();
    click(program, 760 + 35, 83 + 10);
    ASSERT_FALSE(findWindow("Warning", milliseconds(5000)).empty()) << "Remove All asked nothing";
    key("Escape");
    ASSERT_TRUE(windowGone("Warning", milliseconds(5000)));
    EXPECT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, white); }))
        << "Cancel removed the polygons";

    click(program, 760 + 35, 83 + 10);
    const std::string question = findWindow("Warning", milliseconds(5000));
    ASSERT_FALSE(question.empty());
    saveWindowShot("remove-all-question", question);
    key("Return");
    ASSERT_TRUE(windowGone("Warning", milliseconds(5000)));
    EXPECT_TRUE(eventually([&](const Shot& s) { return near(viewAt(s, 256, 256), black); }))
        << "OK did not remove the polygons";
}

TEST_F(Desktop, ModifyBrowseAndOkDrawThePictureOnTheSquare) {
    const std::string picture = workDir + "/halves.bmp";
    writeHalvesBmp(picture, 64);
    addSquare();
    click(program, 687 + 35, 229 + 10);
    const std::string dialog = findWindow("Select Texture Map", milliseconds(5000));
    ASSERT_FALSE(dialog.empty()) << "Modify opened no \"Select Texture Map\" dialog";
    const Point at = windowOrigin(dialog);
    // Browse and OK by their template rectangles, converted with the dialog's base units.
    const Point browse = dialogUnitsToPixels({12 + 151 / 2, 72 + 20 / 2});
    clickScreen(at.x + browse.x, at.y + browse.y);
    const std::string chooser = findWindow("Select Texture Image", milliseconds(5000));
    ASSERT_FALSE(chooser.empty()) << "Browse opened no file chooser";
    // GTK's dialog stands over the window that opened it (FLTK's own is a modal FLTK window).
    if (fileChooserKind() == "gtk") {
        const std::string owner = shell("xprop -id " + chooser + " WM_TRANSIENT_FOR");
        EXPECT_NE(owner.find(shell("printf '0x%x' " + dialog)), std::string::npos) << owner;
    }
    // No window manager gives the desktop's chooser the keyboard here.
    shell("xdotool windowfocus " + chooser + " sleep 0.5");
    enterChosenPath(picture);
    ASSERT_TRUE(windowGone("Select Texture Image", milliseconds(5000)));
    saveWindowShot("texture-dialog", dialog);
    const Point ok = dialogUnitsToPixels({6 + 78 / 2, 138 + 23 / 2});
    clickScreen(at.x + ok.x, at.y + ok.y);
    ASSERT_TRUE(windowGone("Select Texture Map", milliseconds(5000)));
    EXPECT_TRUE(eventually([&](const Shot& s) {
        return near(viewAt(s, 256 - 50, 256), red, 24) &&
               near(viewAt(s, 256 + 50, 256), blue, 24) && near(viewAt(s, 256 + 110, 256), black);
    })) << "the picture is not drawn on the square";
    saveShot("texture");
}

TEST_F(Desktop, AboutOpensFromTheMenuIgnoresEscapeAndClosesWithOk) {
    key("alt+h");
    key("b");
    const std::string about = findWindow("About", milliseconds(5000));
    ASSERT_FALSE(about.empty()) << "Help, About opened no window titled \"About\"";
    saveWindowShot("about", about);
    key("Escape");
    EXPECT_FALSE(windowGone("About", milliseconds(800))) << "Escape closed the About dialog";
    key("Return");
    EXPECT_TRUE(windowGone("About", milliseconds(5000))) << "OK did not close the About dialog";
}

TEST_F(Desktop, AcceleratorsActWhileTheListBoxHasTheFocus) {
    addSquare();                           // Poly 0
    dragRedToZero();                       // Poly 0 cyan
    addSquare();                           // Poly 1, white, drawn over Poly 0
    click(program, listX + 30, listY + 7); // the first entry: Poly 0 current, focus on the list
    key("Next"); // Page Down: Poly 0 moves to the end of the list and is drawn last
    EXPECT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, cyan); }))
        << "Page Down did not move the polygon down while the list had the focus";
    key("Delete"); // removes Poly 0, Poly 1 is left
    EXPECT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, white); }))
        << "Delete did not remove the polygon while the list had the focus";
    key("F2");
    const std::string rename = findWindow("Rename polygon", milliseconds(5000));
    ASSERT_FALSE(rename.empty()) << "F2 did not open Rename";
    saveWindowShot("rename", rename);
    key("Escape");
    EXPECT_TRUE(windowGone("Rename polygon", milliseconds(5000)));
}

TEST_F(Desktop, BlendingFollowsTheCheckBoxAndAFactorPickedFromTheList) {
    addSquare(); // white, alpha 0.50
    click(program, blendCheckX + blendCheckWidth / 2, blendCheckY + 10);
    // Blending on with both factors GL_ZERO: nothing of the square is left.
    ASSERT_TRUE(eventually([&](const Shot& s) { return near(viewAt(s, 256, 256), black); }))
        << "clicking \"Enable GL_BLEND\" did not switch blending on";
    // Open "glBlend1" with its arrow and pick GL_SRC_ALPHA, the fifth row: the square becomes
    // white times its alpha.
    click(program, blend1X + comboWidth - 8, blend1Y + 10);
    const int row = blend1Y + comboFieldHeight + 4 * comboRowHeight + comboRowHeight / 2;
    click(program, blend1X + 60, row);
    const Rgb half{128, 128, 128};
    EXPECT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, half); }))
        << "picking GL_SRC_ALPHA from the list did not change the source factor";
    saveShot("blending");
}

TEST_F(Desktop, KeypadDigitsAreTypedAndNeverSwitchTheView) {
    addSquare();
    key("Num_Lock");
    click(program, texEnvX + 60, texEnvY + 10);
    key("KP_3");
    // Still the 2D view: a drag moves the square instead of turning it.
    dragScreen(viewToScreen(256, 256), {viewToScreen(300, 256), viewToScreen(346, 256)});
    EXPECT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 346, 256, 100, white); }))
        << "keypad 3 switched to the perspective view";
}

TEST_F(Desktop, MenuPickWithTheMouseSwitchesLightingOn) {
    addSquare();
    // Options on the bar, Lighting in its drop-down, Enabled in the sub-menu beside it, at
    // the places the menu's font gives them (window coordinates, the bar included).
    const auto atWindow = [&](int x, int y) {
        return Point{program.origin.x + x, program.origin.y + y};
    };
    const Point options = atWindow(113, 9), lighting = atWindow(128, 45),
                enabled = atWindow(252, 45);
    clickScreen(options.x, options.y);
    shell("xdotool mousemove " + std::to_string(lighting.x) + " " + std::to_string(lighting.y) +
          " sleep 0.3 mousemove " + std::to_string(enabled.x) + " " + std::to_string(enabled.y) +
          " sleep 0.3");
    saveShot("menu");
    shell("xdotool click 1");
    // Lit with the default grey material and light: 0.8 diffuse plus 0.2 x 0.2 ambient.
    const Rgb lit{214, 214, 214};
    EXPECT_TRUE(eventually([&](const Shot& s) { return squareAt(s, 256, 256, 100, lit); }))
        << "Options, Lighting, Enabled did not switch lighting on";
}

TEST_F(Desktop, CloseBoxEndsTheProgramWithStatusZero) {
    addSquare();
    closeWindow(program.window);
    const auto status = waitForExit(program, milliseconds(10000));
    ASSERT_TRUE(status.has_value()) << "the program still runs after its window was closed";
    EXPECT_EQ(*status, 0);
}

TEST_F(Desktop, ClickInAValueFieldGivesTheFocusToThePolygonList) {
    addSquare();                       // Poly 0
    dragRedToZero();                   // Poly 0 cyan
    addSquare();                       // Poly 1 white, selected
    click(program, 700 + 27, 128 + 8); // the red value field
    // The field hands the focus to the list at once, so Up selects the polygon above.
    key("Up");
    const Point swatch =
        clientToScreen(program, swatchX + swatchWidth / 2, swatchY + swatchHeight / 2);
    EXPECT_TRUE(eventually([&](const Shot& s) { return near(s.at(swatch.x, swatch.y), cyan); }))
        << "Up after a click in the value field did not select the polygon above in the list";
}

TEST_F(Desktop, ListScrollBarBringsHiddenEntriesBack) {
    addSquare();                                                    // Poly 0
    dragRedToZero();                                                // Poly 0 cyan
    key("Insert Insert Insert Insert Insert Insert Insert Insert"); // nine in all: the list
                                                                    // shows the last six
    // Three clicks on the scroll bar's up arrow (the list's top right corner inside its edge)
    // bring the first entry back; a click on it makes Poly 0 current again.
    const int arrowX = listX + listWidth - 1 - 8, arrowY = listY + 1 + 8;
    for (int i = 0; i < 3; ++i)
        click(program, arrowX, arrowY);
    click(program, listX + 30, listY + 7);
    const Point swatch =
        clientToScreen(program, swatchX + swatchWidth / 2, swatchY + swatchHeight / 2);
    EXPECT_TRUE(eventually([&](const Shot& s) { return near(s.at(swatch.x, swatch.y), cyan); }))
        << "the list did not scroll back to its first entry";
}

TEST_F(Desktop, ExitEndsTheProgramWithStatusZero) {
    addSquare();
    key("alt+f");
    key("x");
    const auto status = waitForExit(program, milliseconds(10000));
    ASSERT_TRUE(status.has_value()) << "the program still runs after File, Exit";
    EXPECT_EQ(*status, 0);
}

} // namespace
