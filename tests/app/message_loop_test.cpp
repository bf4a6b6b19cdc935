// Start-up and the message loop, driven through the headless backend.
#include "app/shell.h"
#include "panel/panel.h"
#include "resources/resource_ids.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"

using harness::control;
using harness::runProgram;
using headless::queueStep;

namespace {

class MessageLoopTest : public harness::ProgramTest {};

TEST_F(MessageLoopTest, BurstOfMessagesCostsOneFrameAndIdleCostsNone) {
    int before = 0, afterBurst = 0, afterIdle = 0;
    queueStep([&] {
        before = headless::framesPresented();
        for (int i = 0; i < 5; ++i)
            PostMessageA(mainWindow, WM_NULL, 0, 0);
    });
    queueStep([&] { afterBurst = headless::framesPresented(); });
    queueStep([&] { afterIdle = headless::framesPresented(); });
    runProgram();
    EXPECT_EQ(afterBurst, before + 1);
    EXPECT_EQ(afterIdle, afterBurst);
}

// Input to the panel's controls counts as the main window's: a whole drag is one burst.
TEST_F(MessageLoopTest, TrackbarDragIsOneFrame) {
    int before = 0, after = 0;
    queueStep([&] {
        harness::linkPolygon();
        before = headless::framesPresented();
        headless::dragTrackbar(redSlider, 40, 8);
    });
    queueStep([&] {
        after = headless::framesPresented();
        // A thumb-track notice says where the thumb is: that is the colour, whatever it holds.
        SendMessageA(mainWindow, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 77), LPARAM(redSlider));
        EXPECT_EQ(polygonListHead->red, 77);
    });
    runProgram();
    EXPECT_EQ(after, before + 1);
}

TEST_F(MessageLoopTest, AcceleratorsActWhateverControlHasTheFocus) {
    queueStep([] {
        SetFocus(polygonListBox);
        headless::pressKey(nullptr, VK_INSERT);
        headless::pressKey(nullptr, VK_INSERT);
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1", "Poly 2"}));
        EXPECT_EQ(headless::selection(polygonListBox), 1);
        EXPECT_EQ(headless::focusWindow(), polygonListBox);
        headless::pressKey(nullptr, VK_PRIOR); // moves the polygon, does not scroll the list
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 2", "Poly 1"}));
        EXPECT_EQ(headless::selection(polygonListBox), 0);
        headless::pressKey(nullptr, VK_NEXT);
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1", "Poly 2"}));
        EXPECT_EQ(headless::selection(polygonListBox), 1);
        SetFocus(blendSrcCombo);
        headless::pressKey(nullptr, '3');
        headless::typeText(nullptr, "q"); // no accelerator: the loop makes it a character
    });
    queueStep([] {
        EXPECT_EQ(headless::windowText(blendSrcCombo), "q");
        EXPECT_FALSE(orthographic);
        EXPECT_TRUE(headless::menuItemChecked(mainWindow, idPerspective));
        SetFocus(blendCheckBox);
        headless::pressKey(nullptr, '2');
    });
    queueStep([] {
        EXPECT_TRUE(orthographic);
        EXPECT_TRUE(headless::menuItemChecked(mainWindow, idOrthographic));
        EXPECT_FALSE(headless::menuItemChecked(mainWindow, idPerspective));
        headless::pressKey(nullptr, VK_NUMPAD3); // keypad digits are not accelerators
        headless::pressKey(nullptr, VK_DELETE);
    });
    queueStep([] {
        EXPECT_TRUE(orthographic);
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1"}));
        headless::mouseDown(viewFrame, 100, 100); // while a drag holds the mouse, Del is unheard
        headless::pressKey(nullptr, VK_DELETE);
        headless::mouseUp(viewFrame, 100, 100);
        headless::pressKey(nullptr, VK_F2);
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1"}));
        HWND dialog = headless::activeDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(headless::windowText(dialog), "Rename polygon");
        headless::pressKey(nullptr, VK_ESCAPE);
    });
    queueStep([] { EXPECT_EQ(headless::activeDialog(), nullptr); });
    runProgram();
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(MessageLoopTest, OpenDialogSuspendsAcceleratorsAndIdleFrames) {
    int before = 0, during = 0;
    queueStep([] { headless::chooseMenuItem(mainWindow, idHelpAbout); });
    queueStep([&] {
        ASSERT_NE(headless::activeDialog(), nullptr);
        before = headless::framesPresented();
        headless::pressKey(nullptr, '3');
        headless::pressKey(nullptr, VK_INSERT);
    });
    queueStep([&] {
        during = headless::framesPresented();
        EXPECT_TRUE(orthographic);
        EXPECT_EQ(polygonListHead, nullptr);
        headless::click(headless::findControl(headless::activeDialog(), IDOK));
    });
    queueStep([] { EXPECT_EQ(headless::activeDialog(), nullptr); });
    runProgram();
    EXPECT_EQ(during, before);
    EXPECT_EQ(headless::stepsLeft(), 0u);
}

TEST_F(MessageLoopTest, ExitEndsTheLoopWithZeroAndLeavesTheWindow) {
    int windowsBefore = 0;
    queueStep([&] {
        harness::linkPolygon();
        windowsBefore = headless::windowsMade();
        headless::chooseMenuItem(mainWindow, idFileExit);
    });
    EXPECT_EQ(runProgram(), 0);
    EXPECT_EQ(headless::windowsMade(), windowsBefore); // nothing opens on the way out
    EXPECT_FALSE(headless::scriptRanOut());
    EXPECT_TRUE(IsWindow(mainWindow));
    EXPECT_TRUE(headless::messageBoxCalls().empty());
}

TEST_F(MessageLoopTest, ClosingTheWindowEndsTheLoopWithZero) {
    queueStep([] {
        harness::linkPolygon();
        headless::closeWindow(mainWindow);
    });
    EXPECT_EQ(runProgram(), 0);
    EXPECT_FALSE(headless::scriptRanOut());
    EXPECT_FALSE(IsWindow(mainWindow));
    EXPECT_TRUE(headless::messageBoxCalls().empty());
}

// The class taken already, or the window refused by the system: one box says which, and the
// program ends.
class StartUpFailureTest : public harness::ProgramTest,
                           public ::testing::WithParamInterface<bool> {};

TEST_P(StartUpFailureTest, StopsStartUpWithItsMessage) {
    WNDCLASSEXA taken = {};
    taken.cbSize = sizeof taken;
    taken.lpfnWndProc = DefWindowProcA;
    taken.lpszClassName = "TestBedWindow";
    if (GetParam())
        ASSERT_NE(RegisterClassExA(&taken), 0);
    else
        headless::failCreateWindow("GL Quillfen v0.94");
    EXPECT_EQ(runProgram(), 0);
    ASSERT_EQ(headless::messageBoxCalls().size(), 1u);
    const auto& call = headless::messageBoxCalls()[0];
    EXPECT_EQ(call.text, GetParam() ? "Register WinClass Failed!" : "Create Window Failed");
    EXPECT_EQ(call.caption, "Fatal");
    EXPECT_EQ(call.type, UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_TRUE(headless::topLevelWindows().empty());
}

INSTANTIATE_TEST_SUITE_P(ClassOrWindow, StartUpFailureTest, ::testing::Bool());

struct GlFailure {
    const char* text;
    void (*inject)();
};

const GlFailure glFailures[] = {
    {"Can't Create A GL Device Context.", [] { headless::failGetDc("glFrame"); }},
    {"Can't Find A Suitable PixelFormat.",
     [] { headless::failGlStep(headless::GlStep::ChoosePixelFormat); }},
    {"Can't Set The PixelFormat.", [] { headless::failGlStep(headless::GlStep::SetPixelFormat); }},
    {"Can't Create A GL Rendering Context.",
     [] { headless::failGlStep(headless::GlStep::CreateContext); }},
    {"Can't Activate The GL Rendering Context.",
     [] { headless::failGlStep(headless::GlStep::MakeCurrent); }},
};

class GlFailureTest : public harness::ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(GlFailureTest, ShowsItsOneMessageAndTheWindowStillWorks) {
    const GlFailure& failure = glFailures[GetParam()];
    failure.inject();
    queueStep([] {
        headless::click(control(idAdd));
        headless::chooseMenuItem(mainWindow, idPerspective);
    });
    queueStep([] {
        EXPECT_EQ(headless::items(polygonListBox), (std::vector<std::string>{"Poly 1"}));
        EXPECT_FALSE(orthographic);
        headless::chooseMenuItem(mainWindow, idFileExit);
    });
    EXPECT_EQ(runProgram(), 0);
    EXPECT_EQ(headless::stepsLeft(), 0u);
    ASSERT_EQ(headless::messageBoxCalls().size(), 1u);
    const auto& call = headless::messageBoxCalls()[0];
    EXPECT_EQ(call.text, failure.text);
    EXPECT_EQ(call.caption, "ERROR");
    EXPECT_EQ(call.type, UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(call.owner, nullptr);
}

INSTANTIATE_TEST_SUITE_P(EachStep, GlFailureTest, ::testing::Range(0, 5));

TEST_F(MessageLoopTest, MainWindowHasItsClassTitleAndFixedFrame) {
    queueStep([] {
        ASSERT_NE(mainWindow, nullptr);
        EXPECT_EQ(headless::windowText(mainWindow), "GL Quillfen v0.94");
        EXPECT_TRUE(harness::isClass(mainWindow, "TestBedWindow"));
        RECT rect = headless::windowRect(mainWindow);
        EXPECT_EQ(rect.left, 50);
        EXPECT_EQ(rect.top, 50);
        EXPECT_EQ(rect.right - rect.left, 850);
        EXPECT_EQ(rect.bottom - rect.top, 566);
        DWORD style = headless::windowStyle(mainWindow);
        EXPECT_TRUE(style & WS_VISIBLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_FALSE(style & WS_THICKFRAME);
        EXPECT_NE(GetMenu(mainWindow), nullptr);
        EXPECT_EQ(headless::windowExStyle(mainWindow) & ~DWORD(WS_EX_WINDOWEDGE), 0u);
        EXPECT_EQ(HINSTANCE(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE)), instanceHandle);
        // Redrawn whole when sized, its own DC, the program's icon, the arrow, the button face.
        WNDCLASSEXA cls = {};
        ASSERT_TRUE(GetClassInfoExA(instanceHandle, "TestBedWindow", &cls));
        EXPECT_EQ(cls.style, UINT(CS_HREDRAW | CS_VREDRAW | CS_OWNDC));
        EXPECT_EQ(cls.hInstance, instanceHandle);
        EXPECT_NE(cls.hIcon, nullptr);
        EXPECT_EQ(cls.hIcon, LoadIconA(instanceHandle, MAKEINTRESOURCEA(iconResource)));
        EXPECT_NE(cls.hCursor, nullptr);
        EXPECT_EQ(cls.hCursor, LoadCursorA(nullptr, IDC_ARROW));
        EXPECT_EQ(cls.hbrBackground, HBRUSH(INT_PTR(COLOR_BTNFACE + 1)));
        // The view frame's pixels: double-buffered RGBA for OpenGL, 32 colour and 16 depth bits.
        const PIXELFORMATDESCRIPTOR& asked = headless::pixelFormatAsked();
        EXPECT_EQ(asked.dwFlags, DWORD(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER));
        EXPECT_EQ(asked.iPixelType, PFD_TYPE_RGBA);
        EXPECT_EQ(asked.cColorBits, 32);
        EXPECT_EQ(asked.cDepthBits, 16);
    });
    runProgram();
}

} // namespace
