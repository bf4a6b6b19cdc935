// The view frame draws a frame whenever it is asked to paint.
#include "app/shell.h"
#include "render/render_frame.h"
#include "render/view_frame.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

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
    queueStep([] { EXPECT_EQ(currentPolygon->x, -54); });
    harness::runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(ViewFrameDragTest, OnePixelDragDoesNotMove) {
    queueStep([] {
        harness::linkPolygon();
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
    harness::runProgram();
    EXPECT_EQ(viewAngleY, 55.0f);  // 10 + 45
    EXPECT_EQ(viewAngleX, -20.0f); // 0 - 20
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

// The drag writes to whatever polygon is current, never to one that has gone.
TEST_F(ViewFrameDragTest, RemovingThePolygonMidDragMovesTheNextCurrentOne) {
    queueStep([] {
        headless::click(harness::control(3));
        headless::click(harness::control(3));
        headless::mouseDown(viewFrame, 100, 100);
        headless::pressKey(nullptr, VK_DELETE);
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
    if (message == WM_PAINT) framesWhenPaintPassedOn = headless::framesPresented();
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
        if (message >= WM_MOUSEMOVE && message <= WM_LBUTTONUP) mouse.push_back(message);
    EXPECT_EQ(mouse, (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
}

} // namespace
