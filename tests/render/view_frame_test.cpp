// The view frame draws a frame whenever it is asked to paint.
#include "app/shell.h"
#include "panel/panel.h"
#include "render/render_frame.h"
#include "render/view_frame.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using scene::Polygon;

using headless::queueStep;

namespace {

class ViewFrameTest : public harness::ProgramTest {};

TEST_F(ViewFrameTest, IsHookedAndKeepsTheStaticProcedure) {
    headless::queueStep([] {
        EXPECT_EQ(WNDPROC(GetWindowLongPtrA(viewFrame, GWLP_WNDPROC)), viewFrameProc);
        EXPECT_NE(previousViewFrameProc, nullptr);
        EXPECT_NE(previousViewFrameProc, viewFrameProc);
        EXPECT_TRUE(harness::isClass(viewFrame, "STATIC"));
        EXPECT_EQ(headless::windowText(viewFrame), "glFrame");
        RECT rect = headless::windowRect(viewFrame);
        EXPECT_EQ(rect.left, 6);
        EXPECT_EQ(rect.top, 6);
        EXPECT_EQ(rect.right - rect.left, 512);
        EXPECT_EQ(rect.bottom - rect.top, 512);
        EXPECT_EQ(headless::windowExStyle(viewFrame) & WS_EX_STATICEDGE, DWORD(WS_EX_STATICEDGE));
        EXPECT_EQ(headless::windowStyle(viewFrame) & (SS_BLACKRECT | SS_NOTIFY),
                  DWORD(SS_BLACKRECT | SS_NOTIFY));
        EXPECT_EQ(headless::controlId(viewFrame), 0);
    });
    harness::runProgram();
}

TEST_F(ViewFrameTest, PaintDrawsTheSceneAtOnce) {
    int before = 0, after = 0;
    headless::Rgb centre{};
    headless::queueStep([&] {
        Polygon* polygon = harness::linkPolygon();
        polygon->green = 0;
        polygon->blue = 0;
        before = headless::framesPresented();
        SendMessageA(viewFrame, WM_PAINT, 0, 0); // no message is queued: only the paint draws
        after = headless::framesPresented();
        centre = headless::presentedPixel(256, 256);
    });
    harness::runProgram();
    EXPECT_EQ(after, before + 1);
    EXPECT_EQ(centre, (headless::Rgb{255, 0, 0}));
}

// The paint is passed on to the static control, which validates the frame: the loop gets idle
// again and the script goes on.
TEST_F(ViewFrameTest, ExposedFrameIsRedrawnAndTheLoopGoesIdle) {
    int before = 0, after = 0;
    headless::queueStep([&] {
        before = headless::framesPresented();
        headless::expose(viewFrame);
    });
    headless::queueStep([&] { after = headless::framesPresented(); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    EXPECT_GE(after, before + 1);
}

} // namespace

namespace {

class ViewFrameDragTest : public harness::ProgramTest {};

TEST_F(ViewFrameDragTest, PolygonFollowsThePointerIn2D) {
    queueStep([] {
        harness::linkPolygon();
        headless::mouseDown(viewFrame, 100, 100);
        headless::mouseMove(viewFrame, 110, 93);
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, 5);
        EXPECT_EQ(currentPolygon->y, -3);
        EXPECT_EQ(headless::captureWindow(), viewFrame);
        headless::mouseMove(viewFrame, 101, 100); // from button-down, not from the last move
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, 0);
        EXPECT_EQ(currentPolygon->y, 0);
        headless::mouseMove(viewFrame, -7, -100); // outside: negative, no jump
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, -53);
        EXPECT_EQ(currentPolygon->y, -100);
        headless::mouseUp(viewFrame, -9, -101);
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, -54);
        EXPECT_EQ(currentPolygon->y, -100);
        EXPECT_EQ(headless::captureWindow(), nullptr);
        headless::mouseMove(viewFrame, 300, 300); // no drag any more
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, -54);
        headless::mouseDown(viewFrame, 300, 300); // the next drag starts where this one left it
        headless::mouseUp(viewFrame, 304, 306);
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, -52);
        EXPECT_EQ(currentPolygon->y, -97);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(ViewFrameDragTest, OnePixelDragDoesNotMove) {
    queueStep([] {
        harness::linkPolygon();
        headless::expose(viewFrame); // painting takes no drag
    });
    queueStep([] {
        headless::mouseMove(viewFrame, 250, 250);
        EXPECT_EQ(headless::captureWindow(), nullptr);
        headless::mouseDown(viewFrame, 200, 200);
        headless::mouseUp(viewFrame, 201, 199);
    });
    harness::runProgram();
    EXPECT_EQ(currentPolygon->x, 0);
    EXPECT_EQ(currentPolygon->y, 0);
}

TEST_F(ViewFrameDragTest, DragTurnsTheViewIn3DByWholeDegrees) {
    queueStep([] {
        harness::linkPolygon();
        orthographic = false;
        viewAngleY = 10.75f;
        viewAngleX = -0.5f;
        headless::mouseDown(viewFrame, 100, 300);
        headless::mouseUp(viewFrame, 190, 260);
    });
    queueStep([] {
        EXPECT_EQ(viewAngleY, 55.0f);             // 10 + 45
        EXPECT_EQ(viewAngleX, -20.0f);            // 0 - 20
        headless::mouseDown(viewFrame, 100, 300); // the next turn starts from these
        headless::mouseUp(viewFrame, 102, 310);
    });
    harness::runProgram();
    EXPECT_EQ(viewAngleY, 56.0f);
    EXPECT_EQ(viewAngleX, -15.0f);
    EXPECT_EQ(currentPolygon->x, 0);
}

TEST(ViewFrameDragCases, NothingMovesWithoutAPolygon) {
    for (bool flat : {true, false}) {
        harness::FreshRun run;
        headless::queueStep([flat] {
            orthographic = flat;
            headless::mouseDown(viewFrame, 100, 100);
            headless::mouseMove(viewFrame, 200, 200);
            headless::mouseUp(viewFrame, 200, 200);
        });
        harness::runProgram();
        EXPECT_EQ(viewAngleY, 0.0f);
        EXPECT_EQ(viewAngleX, 0.0f);
        EXPECT_EQ(headless::captureWindow(), nullptr);
    }
}

// Remove while the view frame holds the mouse: its key would be taken and nothing sent (an
// accelerator acts only as its menu item could), so the command comes as the menu's.
void removeMidDrag() {
    headless::chooseMenuItem(mainWindow, idRemove);
}

// The drag writes to whatever polygon is current, never to one that has gone.
TEST_F(ViewFrameDragTest, RemovingThePolygonMidDragMovesTheNextCurrentOne) {
    queueStep([] {
        headless::click(harness::control(3));
        headless::click(harness::control(3));
        headless::mouseDown(viewFrame, 100, 100);
        removeMidDrag();
        headless::mouseMove(viewFrame, 120, 100);
    });
    queueStep([] {
        ASSERT_NE(currentPolygon, nullptr);
        EXPECT_STREQ(currentPolygon->name, "Poly 1");
        EXPECT_EQ(currentPolygon->x, 10);
        headless::mouseUp(viewFrame, 120, 100);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

} // namespace

namespace {

// Stands in for the static control's procedure to see what reaches it, and when.
WNDPROC staticProc = nullptr;
std::vector<UINT> passedOn;
int framesWhenPaintPassedOn = -1;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    passedOn.push_back(message);
    if (message == WM_PAINT)
        framesWhenPaintPassedOn = headless::framesPresented();
    return CallWindowProcA(staticProc, window, message, wParam, lParam);
}

class ViewFramePassOnTest : public harness::ProgramTest {};

TEST_F(ViewFramePassOnTest, EveryMessageEndsInTheStaticProcedureAfterTheFrame) {
    int framesBefore = 0;
    queueStep([&] {
        harness::linkPolygon();
        staticProc = previousViewFrameProc;
        previousViewFrameProc = recordingProc;
        framesBefore = headless::framesPresented();
        SendMessageA(viewFrame, WM_PAINT, 0, 0);
        headless::mouseDown(viewFrame, 10, 10);
        headless::mouseMove(viewFrame, 20, 10);
        headless::mouseUp(viewFrame, 20, 10);
    });
    queueStep([] { previousViewFrameProc = staticProc; });
    harness::runProgram();
    EXPECT_EQ(framesWhenPaintPassedOn, framesBefore + 1); // the frame came first
    std::vector<UINT> mouse;
    for (UINT message : passedOn)
        if (message >= WM_MOUSEMOVE && message <= WM_LBUTTONUP)
            mouse.push_back(message);
    EXPECT_EQ(mouse, (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
}

} // namespace

namespace {

class ViewFrameTurnTest : public harness::ProgramTest {};

// 90 pixels right and 40 up from level; every step on the way is whole degrees, halves of odd
// and negative distances going toward zero.
TEST_F(ViewFrameTurnTest, DragFromLevelTurnsToFortyFiveAndMinusTwenty) {
    queueStep([] {
        headless::pressKey(nullptr, VK_INSERT);
        headless::pressKey(nullptr, '3');
        headless::mouseDown(viewFrame, 200, 300);
        headless::mouseMove(viewFrame, 193, 307);
    });
    queueStep([] {
        EXPECT_FALSE(orthographic);
        EXPECT_EQ(viewAngleY, -3.0f);
        EXPECT_EQ(viewAngleX, 3.0f);
        headless::mouseMove(viewFrame, 291, 259);
    });
    queueStep([] {
        EXPECT_EQ(viewAngleY, 45.0f);
        EXPECT_EQ(viewAngleX, -20.0f);
        headless::mouseUp(viewFrame, 290, 260);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    EXPECT_EQ(viewAngleY, 45.0f);
    EXPECT_EQ(viewAngleX, -20.0f);
    EXPECT_EQ(currentPolygon->x, 0);
    EXPECT_EQ(currentPolygon->y, 0);
}

class ViewFrameRemovedPolygonTest : public harness::ProgramTest {};

// With the only polygon gone mid-drag nothing is written; the drag waits for a polygon, and the
// button-up without one does not end it. The next polygon follows from the first one's anchors.
TEST_F(ViewFrameRemovedPolygonTest, DragWithItsOnlyPolygonGoneWaitsForTheNextOne) {
    queueStep([] {
        headless::pressKey(nullptr, VK_INSERT);
        harness::setTrackbarByKeys(redSlider, 0);
    });
    queueStep([] {
        currentPolygon->x = 7; // the anchor
        headless::mouseDown(viewFrame, 100, 100);
        headless::mouseMove(viewFrame, 120, 100);
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, 17);
        removeMidDrag();
        headless::mouseMove(viewFrame, 140, 100);
        headless::mouseUp(viewFrame, 140, 100);
    });
    queueStep([] {
        EXPECT_EQ(polygonListHead, nullptr);
        EXPECT_EQ(headless::captureWindow(), viewFrame);
        headless::chooseMenuItem(mainWindow, idAdd);
        headless::mouseMove(viewFrame, 104, 98);
    });
    queueStep([] {
        ASSERT_NE(currentPolygon, nullptr);
        EXPECT_STREQ(currentPolygon->name, "Poly 2");
        EXPECT_EQ(currentPolygon->x, 9);
        EXPECT_EQ(currentPolygon->y, -1);
        headless::mouseUp(viewFrame, 106, 98);
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon->x, 10);
        EXPECT_EQ(headless::captureWindow(), nullptr);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

// In 3D the view goes on turning without a polygon.
TEST_F(ViewFrameRemovedPolygonTest, ViewKeepsTurningAfterTheOnlyPolygonIsRemoved) {
    queueStep([] {
        headless::pressKey(nullptr, VK_INSERT);
        headless::pressKey(nullptr, '3');
        headless::mouseDown(viewFrame, 100, 100);
        removeMidDrag();
        headless::mouseMove(viewFrame, 120, 90);
    });
    queueStep([] {
        EXPECT_EQ(currentPolygon, nullptr);
        EXPECT_EQ(viewAngleY, 10.0f);
        EXPECT_EQ(viewAngleX, -5.0f);
        headless::mouseUp(viewFrame, 120, 90);
    });
    queueStep([] { EXPECT_EQ(headless::captureWindow(), viewFrame); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

class DraggedPolygonPixelsTest : public harness::ProgramTest {};

// A polygon recoloured on the panel and dragged by the mouse is drawn where the drag left it,
// in the colour the swatch shows.
TEST_F(DraggedPolygonPixelsTest, IsDrawnWhereAndHowThePanelSays) {
    COLORREF swatch = 0;
    headless::Rgb centre{}, oldCentre{}, outside{}, inside{};
    queueStep([] {
        headless::click(harness::control(idAdd));
        harness::setTrackbarByKeys(sizeSlider, 20); // 40 pixels wide in 2D
        harness::setTrackbarByKeys(redSlider, 200);
        harness::setTrackbarByKeys(greenSlider, 0);
        harness::setTrackbarByKeys(blueSlider, 60);
    });
    queueStep([] {
        headless::mouseDown(viewFrame, 256, 256);
        headless::mouseMove(viewFrame, 300, 230);
        headless::mouseUp(viewFrame, 356, 196); // 50 right, 30 up
    });
    queueStep([&] {
        EXPECT_EQ(headless::windowText(redField), "200 / 0.78");
        EXPECT_EQ(headless::windowText(blueField), "60 / 0.24");
        EXPECT_EQ(headless::windowText(sizeField), "20px");
        swatch = headless::fillColour(colourSwatch);
        centre = headless::presentedPixel(356, 196);
        inside = headless::presentedPixel(356 - 19, 196 + 19);
        outside = headless::presentedPixel(356 - 22, 196 + 22);
        oldCentre = headless::presentedPixel(256, 256);
    });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
    EXPECT_EQ(currentPolygon->x, 50);
    EXPECT_EQ(currentPolygon->y, -30);
    EXPECT_EQ(swatch, RGB(200, 0, 60));
    headless::Rgb shown{GetRValue(swatch), GetGValue(swatch), GetBValue(swatch)};
    EXPECT_EQ(centre, shown);
    EXPECT_EQ(inside, shown);
    EXPECT_EQ(outside, (headless::Rgb{0, 0, 0}));
    EXPECT_EQ(oldCentre, (headless::Rgb{0, 0, 0}));
}

} // namespace
