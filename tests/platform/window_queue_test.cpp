// Windows and the message queue: destruction through the default procedure, subclassing,
// filtered peeking, the quit message, capture routing, painting, and the end of a script.
#include "tests/platform/layer_fixture.h"
#include "tests/support/user_input.h"

#include <algorithm>

using namespace headless;

using WindowTest = LayerTest;

namespace {

std::vector<UINT> seen;
WNDPROC previousProc;

LRESULT CALLBACK watchingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_GETDLGCODE)
        seen.push_back(message);
    return CallWindowProcA(previousProc, window, message, wParam, lParam);
}

void watch(HWND window) {
    seen.clear();
    previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchingProc)));
}

} // namespace

TEST_F(WindowTest, CloseBoxDestroysThroughDefaultProcessingAndEndsTheLoop) {
    HWND child = makeControl("BUTTON", "Add", BS_PUSHBUTTON, 3);
    queueStep([&] { closeWindow(owner); });
    runLoop();
    EXPECT_FALSE(scriptRanOut()); // the quit came from WM_DESTROY, not from the script's end
    EXPECT_FALSE(IsWindow(owner));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(topLevelWindows().empty());
}

TEST_F(WindowTest, SubclassSeesEveryMessageAndPassesItOn) {
    HWND frame = makeControl("STATIC", "glFrame", SS_BLACKRECT | SS_NOTIFY, 0, 6, 6, 512, 512);
    WNDPROC staticProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(frame, GWLP_WNDPROC));
    watch(frame);
    EXPECT_EQ(previousProc, staticProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(frame, GWLP_WNDPROC)), watchingProc);
    SendMessageA(frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("renamed"));
    EXPECT_EQ(windowText(frame), "renamed"); // the original procedure still did its work
    EXPECT_EQ(seen, (std::vector<UINT>{WM_SETTEXT}));
    MoveWindow(frame, 7, 6, 512, 512, FALSE); // across only, then down only
    MoveWindow(frame, 7, 7, 512, 512, FALSE);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(WM_MOVE)), 2);
    SendMessageA(frame, WM_SETTEXT, 0, 0);
    EXPECT_EQ(windowText(frame), "");
    char name[16];
    EXPECT_EQ(GetClassNameA(frame, name, 4), 3);
    EXPECT_STREQ(name, "Sta");
}

TEST_F(WindowTest, PeekWithWindowFilterSeesItAndItsChildrenOnly) {
    HWND child = makeControl("BUTTON", "Add", BS_PUSHBUTTON, 3);
    HWND other = CreateWindowExA(0, "Recorder", "Other", WS_OVERLAPPED, CW_USEDEFAULT, 0,
                                 CW_USEDEFAULT, 0, nullptr, nullptr, testModule(), nullptr);
    EXPECT_EQ(windowRect(other).left, 100); // the default place and size
    EXPECT_EQ(windowRect(other).bottom, 580);
    MSG msg;
    PostMessageA(other, WM_USER + 1, 0, 0);
    EXPECT_FALSE(PeekMessageA(&msg, owner, 0, 0, PM_NOREMOVE));
    PostMessageA(child, WM_USER + 2, 0, 0);
    ASSERT_TRUE(PeekMessageA(&msg, owner, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessageA(&msg, owner, 0, 0, PM_NOREMOVE)); // still there
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other); // first posted, first out
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // What was posted to a window that goes, goes with it, as on the real platform.
    PostMessageA(other, WM_USER + 3, 0, 0);
    PostMessageA(child, WM_USER + 4, 0, 0);
    PostMessageA(owner, WM_USER + 5, 0, 0);
    DestroyWindow(other);
    DestroyWindow(child);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 5u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT)); // a Recorder posts it as it goes
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, QuitEndsGetMessageAfterPostedMessagesWithItsCode) {
    PostQuitMessage(7);
    PostMessageA(owner, WM_USER, 0, 0);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(scriptRanOut());
}

std::vector<DWORD> ticks;
void CALLBACK countTick(HWND window, UINT message, UINT_PTR id, DWORD time) {
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(message, static_cast<UINT>(WM_TIMER));
    EXPECT_NE(id, 0u);
    ticks.push_back(time);
}

// A due timer ends the wait before any step (the clock is virtual); without one, or once it is
// killed, a wait with no step left ends the run.
TEST_F(WindowTest, WaitingEndsWithADueTimerOrWithTheRunWhenNoStepIsLeft) {
    ticks.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 250, countTick);
    ASSERT_NE(timer, 0u);
    bool ran = false;
    queueStep([&] { ran = true; });
    PostMessageA(owner, WM_USER, 0, 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, owner, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER)); // posted first, the timer when idle
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), TRUE);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
        EXPECT_EQ(msg.hwnd, nullptr);
        EXPECT_EQ(msg.wParam, timer);
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE)); // not yet due
        DispatchMessageA(&msg); // calls the procedure, not a window's
    }
    EXPECT_EQ(ticks, (std::vector<DWORD>{250, 500}));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(KillTimer(nullptr, timer));
    EXPECT_FALSE(KillTimer(nullptr, timer));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(scriptRanOut());
    EXPECT_EQ(stepsLeft(), 0u);
}

// SendInput enters the path real input takes: the pointer's window gets the click, the focus
// the keys, Shift held between them makes a capital; a click over no window goes nowhere.
TEST_F(WindowTest, SendInputClicksUnderThePointerAndTypesIntoTheFocus) {
    HWND button = makeControl("BUTTON", "Add", BS_PUSHBUTTON, 3, 100, 50, 80, 24);
    HWND edit = makeControl("EDIT", "", ES_LEFT, 4, 100, 100, 120, 24);
    POINT centre = userInput::screenPoint(owner, 140, 62);
    queueStep([&] {
        INPUT none[2]{};
        EXPECT_EQ(SendInput(2, none, sizeof(INPUT)), 2u); // two mouse inputs that do nothing
        userInput::clickAt({0, 0});
        userInput::clickAt(centre);
    });
    queueStep([&] {
        EXPECT_EQ(commandCodes(button), (std::vector<int>{BN_CLICKED}));
        POINT cursor{};
        ASSERT_TRUE(GetCursorPos(&cursor));
        EXPECT_EQ(cursor.x, centre.x);
        EXPECT_EQ(cursor.y, centre.y);
        EXPECT_EQ(WindowFromPoint(centre), button);
        SetFocus(edit);
        userInput::pressWith(VK_SHIFT, 'A');
        userInput::pressKey('B');
    });
    queueStep([&] { EXPECT_EQ(windowText(edit), "Ab"); });
    runLoop();
    EXPECT_EQ(stepsLeft(), 0u);
}

TEST_F(WindowTest, CaptureKeepsTheDragWithNegativeCoordinates) {
    HWND frame = makeControl("STATIC", "glFrame", SS_BLACKRECT | SS_NOTIFY, 0, 100, 100, 200, 200);
    std::vector<POINT> points;
    static std::vector<POINT>* collected;
    static WNDPROC original;
    collected = &points;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        frame, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_LBUTTONDOWN)
                SetCapture(w);
            if (m == WM_LBUTTONUP)
                ReleaseCapture();
            if (m >= WM_MOUSEFIRST && m <= WM_LBUTTONUP)
                collected->push_back(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
            return CallWindowProcA(original, w, m, wp, lp);
        })));
    queueStep([&] {
        mouseDown(frame, 10, 10);
        mouseMove(frame, -30, -5); // left of and above the frame
        mouseMove(owner, 40, 60);  // over the owner: still the frame's, in its coordinates
        mouseUp(owner, 40, 60);
        mouseMove(owner, 40, 60); // capture released: the owner's again
    });
    runLoop();
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1].x, -30);
    EXPECT_EQ(points[1].y, -5);
    EXPECT_EQ(points[2].x, -60);
    EXPECT_EQ(points[2].y, -40);
    EXPECT_EQ(points[3].x, -60);
    EXPECT_EQ(captureWindow(), nullptr);
}

TEST_F(WindowTest, ExposedWindowIsPaintedOnceWhenIdle) {
    HWND frame = makeControl("STATIC", "glFrame", SS_BLACKRECT | SS_NOTIFY, 0, 6, 6, 100, 100);
    watch(frame);
    queueStep([&] { expose(frame); });
    queueStep([] {});
    runLoop();
    EXPECT_EQ(std::count(seen.begin(), seen.end(), static_cast<UINT>(WM_PAINT)), 1);
}

TEST_F(WindowTest, DestroyingTheFocusedChildGivesTheFocusToItsParent) {
    HWND edit = makeControl("EDIT", "x", 0, 15);
    SetFocus(edit);
    EXPECT_EQ(GetFocus(), edit);
    DestroyWindow(edit);
    EXPECT_EQ(GetFocus(), owner);
    EXPECT_EQ(commandCodes(edit), (std::vector<int>{EN_SETFOCUS, EN_KILLFOCUS}));
}

using AcceleratorTest = LayerTest;

TEST_F(AcceleratorTest, KeysActBeforeTheFocusedControl) {
    HACCEL table = LoadAcceleratorsA(testModule(), MAKEINTRESOURCEA(testAccelerators));
    ASSERT_NE(table, nullptr);
    HWND list = makeControl("LISTBOX", "PolyList", LBS_NOTIFY, 2, 10, 10, 147, 90);
    HWND field = makeControl("EDIT", "", 0, 15, 200, 10);
    for (const char* name : {"a", "b", "c"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    queueStep([&] {
        SetFocus(list);
        pressKey(list, VK_PRIOR); // Move Up, not a page up in the list
        pressKey(list, VK_NEXT);
    });
    queueStep([&] {
        EXPECT_EQ(selection(list), 1);
        SetFocus(field);
        typeText(field, "2");        // the main-row 2 is the display mode key
        pressKey(field, VK_NUMPAD2); // the keypad 2 types
        pressKey(field, VK_NUMPAD3);
    });
    runLoop(table);
    std::vector<Notice> fromKeys;
    for (const Notice& n : notices) {
        if (n.from == nullptr)
            fromKeys.push_back(n);
    }
    EXPECT_EQ(fromKeys, (std::vector<Notice>{{WM_COMMAND, 5, 1, nullptr},
                                             {WM_COMMAND, 6, 1, nullptr},
                                             {WM_COMMAND, 40027, 1, nullptr}}));
    EXPECT_EQ(windowText(field), "23");
}

TEST_F(AcceleratorTest, ShiftedKeyIsNotTheUnshiftedAccelerator) {
    HACCEL table = LoadAcceleratorsA(testModule(), MAKEINTRESOURCEA(testAccelerators));
    queueStep([&] {
        keyDown(owner, VK_SHIFT);
        pressKey(owner, VK_INSERT);
        keyUp(owner, VK_SHIFT);
        keyDown(owner, VK_MENU);
        pressKey(owner, VK_INSERT);
        keyUp(owner, VK_MENU);
        pressKey(owner, VK_INSERT);
    });
    runLoop(table);
    EXPECT_EQ(notices, (std::vector<Notice>{{WM_COMMAND, 3, 1, nullptr}}));
}

TEST(SessionTest, EndingASessionDestroysWhatIsLeftAndForgetsClasses) {
    static int destroyed = 0;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = +[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_DESTROY)
            ++destroyed;
        return DefWindowProcA(w, m, wp, lp);
    };
    wc.lpszClassName = "Leftover";
    wc.cbWndExtra = 8;
    wc.lpszMenuName = "Bar";
    HWND window;
    WNDCLASSEXA back{};
    {
        Session session;
        ATOM atom = RegisterClassExA(&wc);
        ASSERT_NE(atom, 0);
        EXPECT_EQ(RegisterClassExA(&wc), 0); // once per name
        EXPECT_EQ(GetClassInfoExA(nullptr, "LEFTOVER", &back), atom); // found in any case
        EXPECT_EQ(back.cbSize, sizeof back);
        EXPECT_EQ(back.lpfnWndProc, wc.lpfnWndProc);
        EXPECT_EQ(back.cbWndExtra, 8);
        EXPECT_STREQ(back.lpszMenuName, "Bar");
        EXPECT_STREQ(back.lpszClassName, "LEFTOVER");
        window = CreateWindowExA(0, "Leftover", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        queueStep([] {});
        PostQuitMessage(0);
    }
    EXPECT_EQ(destroyed, 1);
    Session next;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(stepsLeft(), 0u);
    EXPECT_FALSE(GetClassInfoExA(nullptr, "Leftover", &back));
    EXPECT_NE(RegisterClassExA(&wc), 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)); // the old quit is gone too
}
