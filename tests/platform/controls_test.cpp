// Each control class: the user's input notifies the owner, the program's changes do not, and
// the control keeps its state within bounds as the real one does.
#include "platform/backend.h"
#include "platform/controls/control_state.h"
#include "tests/platform/layer_fixture.h"

using namespace headless;

using ButtonTest = LayerTest;

TEST_F(ButtonTest, ClickNotifiesAfterAutomaticCheckBoxToggled) {
    HWND box = makeControl("BUTTON", "Enable GL_BLEND", BS_AUTOCHECKBOX | BS_LEFTTEXT, 23);
    HWND push = makeControl("BUTTON", "Add", BS_PUSHBUTTON, 3, 10, 40);
    int checkSeenByOwner = -1;
    onCommand = [&](WPARAM wParam, LPARAM) {
        if (LOWORD(wParam) == 23)
            checkSeenByOwner = static_cast<int>(SendMessageA(box, BM_GETCHECK, 0, 0));
    };
    HWND three = makeControl("BUTTON", "Both", BS_AUTO3STATE, 24, 10, 70);
    HWND first = makeControl("BUTTON", "2D", BS_AUTORADIOBUTTON | WS_GROUP, 25, 10, 100);
    HWND second = makeControl("BUTTON", "3D", BS_AUTORADIOBUTTON, 26, 10, 130);
    queueStep([&] {
        click(box);
        click(push);
        click(three);
        click(three);
        click(first);
        click(second);
    });
    runLoop();
    EXPECT_EQ(notices, (std::vector<Notice>{{WM_COMMAND, 23, BN_CLICKED, box},
                                            {WM_COMMAND, 3, BN_CLICKED, push},
                                            {WM_COMMAND, 24, BN_CLICKED, three},
                                            {WM_COMMAND, 24, BN_CLICKED, three},
                                            {WM_COMMAND, 25, BN_CLICKED, first},
                                            {WM_COMMAND, 26, BN_CLICKED, second}}));
    EXPECT_EQ(checkSeenByOwner, BST_CHECKED);
    EXPECT_EQ(checkState(box), BST_CHECKED);
    EXPECT_EQ(checkState(three), BST_INDETERMINATE); // unchecked, checked, indeterminate
    EXPECT_EQ(checkState(first), BST_UNCHECKED);     // a radio button clears its group's others
    EXPECT_EQ(checkState(second), BST_CHECKED);
    EXPECT_EQ(focusWindow(), second); // a click takes the focus
}

TEST_F(ButtonTest, ProgramCheckAndReleaseOutsideSendNothing) {
    HWND box = makeControl("BUTTON", "Enable", BS_AUTOCHECKBOX, 26);
    SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    queueStep([&] { mouseDown(box, 5, 5); });
    queueStep([&] {
        EXPECT_TRUE(SendMessageA(box, BM_GETSTATE, 0, 0) & BST_PUSHED);
        SetFocus(nullptr); // the focus leaves while the button is held: it comes up
        EXPECT_FALSE(SendMessageA(box, BM_GETSTATE, 0, 0) & BST_PUSHED);
        mouseMove(box, 500, 5);
        mouseUp(box, 500, 5); // released off the button: no click
    });
    runLoop();
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(checkState(box), BST_CHECKED);
    EXPECT_EQ(captureWindow(), nullptr);
}

TEST_F(ButtonTest, GroupBoxLetsClicksThroughToItsParent) {
    HWND group = makeControl("BUTTON", "Polygons", BS_GROUPBOX, 0, 0, 0, 300, 100);
    queueStep([&] { click(group); });
    runLoop();
    EXPECT_TRUE(notices.empty());
    EXPECT_NE(focusWindow(), group);
}

using ListBoxTest = LayerTest;

TEST_F(ListBoxTest, ProgramChangesAreSilentAndValidated) {
    HWND list = makeControl("LISTBOX", "PolyList", WS_VSCROLL | LBS_NOTIFY, 2, 10, 10, 147, 90);
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Poly 0")), 0);
    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Poly 1")), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 2, 0), LB_ERR); // past the end: unchanged
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    char text[16];
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_STREQ(text, "Poly 1");
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 5, reinterpret_cast<LPARAM>(text)), LB_ERR);
    // The exact search wants the whole text, the other a beginning; neither minds the case.
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("poly 1")), 1);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("Poly")), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRING, -1, reinterpret_cast<LPARAM>("poly")), 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_TRUE(notices.empty());
}

TEST_F(ListBoxTest, ClickAndEveryArrowKeyNotify) {
    HWND list = makeControl("LISTBOX", "PolyList", WS_VSCROLL | LBS_NOTIFY, 2, 10, 10, 147, 90);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    for (const char* name : {"Poly 0", "Poly 1", "Poly 2"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    std::vector<int> selectionSeen;
    onCommand = [&](WPARAM wParam, LPARAM) {
        if (HIWORD(wParam) == LBN_SELCHANGE)
            selectionSeen.push_back(static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)));
    };
    queueStep([&] { pickListItem(list, 1); });
    queueStep([&] {
        EXPECT_EQ(focusWindow(), list);
        pressKey(list, VK_DOWN);
        pressKey(list, VK_DOWN); // already the last: no change, and still a notice
        pressKey(list, VK_HOME);
        mouseDown(list, 5, 5);
    });
    queueStep([&] {
        ReleaseCapture(); // the capture taken away mid-press: the release clicks nothing
        mouseUp(list, 5, 5);
    });
    runLoop();
    EXPECT_EQ(commandCodes(list),
              (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE,
                                LBN_SELCHANGE}));
    EXPECT_EQ(selectionSeen, (std::vector<int>{1, 2, 2, 0}));

    SetFocus(owner);
    DestroyWindow(list); // going away takes nothing: the focus stays where it is
    EXPECT_EQ(focusWindow(), owner);
}

TEST_F(ListBoxTest, WithoutNotifyStyleTheUserChangesSelectionQuietly) {
    HWND list = makeControl("LISTBOX", "Quiet", 0, 9, 10, 10, 147, 32); // two rows
    for (const char* name : {"a", "b", "c"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    queueStep([&] {
        pickListItem(list, 0);
        pressKey(list, VK_NEXT); // a page is the rows shown but one...
    });
    queueStep([&] {
        EXPECT_EQ(selection(list), 1);
        MoveWindow(list, 10, 10, 147, 16, FALSE);
        pressKey(list, VK_PRIOR); // ...and one row at least
    });
    runLoop();
    EXPECT_EQ(selection(list), 0);
    EXPECT_TRUE(notices.empty());
}

using ComboBoxTest = LayerTest;

TEST_F(ComboBoxTest, ItemDataAndSelectionFollowTheRealRules) {
    HWND combo =
        makeControl("COMBOBOX", "glTexEnv", CBS_DROPDOWN | CBS_HASSTRINGS, 31, 10, 10, 210, 150);
    EXPECT_EQ(windowText(combo), "");
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    const char* names[] = {"GL_MODULATE", "GL_DECAL", "GL_BLEND"};
    const LPARAM enums[] = {0x2100, 0x2101, 0x0BE2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i])), i);
        EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, i, enums[i]), CB_OKAY);
    }
    EXPECT_EQ(SendMessageA(combo, CB_SETITEMDATA, 3, 1), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 2, 0), 0x0BE2);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(-1), 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(windowText(combo), "GL_DECAL");
    DWORD from = 9, to = 9; // the field's whole text is selected
    SendMessageA(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&from), LPARAM(&to));
    EXPECT_EQ(to - from, 8u);
    // Out of range clears the selection and the field.
    EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(windowText(combo), "");
    // Each item's data goes with it when another item goes.
    EXPECT_EQ(SendMessageA(combo, CB_DELETESTRING, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 0, 0), 0x2101);
    EXPECT_EQ(SendMessageA(combo, CB_GETITEMDATA, 1, 0), 0x0BE2);
    EXPECT_TRUE(notices.empty());
}

TEST_F(ComboBoxTest, PickAndKeysNotifyButTypingOnlyMovesTheList) {
    HWND combo =
        makeControl("COMBOBOX", "glBlend1", CBS_DROPDOWN | CBS_HASSTRINGS, 24, 10, 10, 210, 150);
    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    for (const char* name : {"GL_ZERO", "GL_ONE", "GL_DST_COLOR"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    std::vector<int> selectionAtNotice;
    onCommand = [&](WPARAM wParam, LPARAM) {
        if (HIWORD(wParam) == CBN_SELCHANGE)
            selectionAtNotice.push_back(static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)));
    };
    queueStep([&] { pickComboItem(combo, 2); });
    queueStep([&] {
        EXPECT_FALSE(comboDropped(combo));
        EXPECT_EQ(windowText(combo), "GL_DST_COLOR");
        pressKey(combo, VK_UP);
        typeText(combo, "x");
    });
    queueStep([&] {
        EXPECT_EQ(selection(combo), 1); // the first edit after a pick leaves the list alone
        EXPECT_EQ(windowText(combo), "x"); // the whole field was selected after the arrow key
        typeText(combo, "y");
    });
    queueStep([&] {
        EXPECT_EQ(selection(combo), -1); // later ones, with the list closed, take its selection
        pressKey(combo, VK_NEXT);
    });
    runLoop();
    EXPECT_EQ(selectionAtNotice, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(windowText(combo), "GL_ZERO");
    std::vector<int> codes = commandCodes(combo);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELCHANGE), 3);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_EDITCHANGE), 2);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_DROPDOWN), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_SELENDOK), 1); // the pick, accepted
    EXPECT_EQ(std::count(codes.begin(), codes.end(), CBN_CLOSEUP), 1);
    SendMessageA(combo, CB_SETEDITSEL, 0, MAKELONG(2, 2));
    SetFocus(owner); // the focus coming back keeps the caret: only the first selects all
    SetFocus(combo);
    EXPECT_EQ(SendMessageA(combo, CB_GETEDITSEL, 0, 0), MAKELONG(2, 2));
    queueStep([&] {
        pressKey(combo, VK_F4); // opened, the field shows the entry its text starts, selected
        typeText(combo, "G");   // and with the list open, typing picks the first entry it starts
    });
    queueStep([&] {
        EXPECT_EQ(windowText(combo), "G");
        EXPECT_EQ(selection(combo), 0);
        pressKey(combo, VK_ESCAPE);
    });
    runLoop();
}

using TrackbarTest = LayerTest;

TEST_F(TrackbarTest, ProgramPositionIsClampedAndSilent) {
    HWND bar =
        makeControl(TRACKBAR_CLASSA, "Size Slider", TBS_BOTH | TBS_NOTICKS, 0, 10, 10, 128, 20);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 0);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELONG(1, 255));
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 1); // pulled into the new range
    SendMessageA(bar, TBM_SETPOS, TRUE, 300);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 255);
    SendMessageA(bar, TBM_SETPOS, TRUE, -4);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 1);
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(trackbar(owner).max, 0); // the read-back of a window that is no trackbar
}

TEST_F(TrackbarTest, DragReportsTrackThenPositionThenEnd) {
    HWND bar =
        makeControl(TRACKBAR_CLASSA, "Alpha Slider", TBS_BOTH | TBS_NOTICKS, 0, 10, 10, 128, 20);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELONG(0, 100));
    queueStep([&] { dragTrackbar(bar, 29, 2); });
    runLoop();
    ASSERT_EQ(notices.size(), 4u);
    EXPECT_EQ(notices[0].id, TB_THUMBTRACK);
    EXPECT_EQ(notices[1], (Notice{WM_HSCROLL, TB_THUMBTRACK, 29, bar}));
    EXPECT_EQ(notices[2], (Notice{WM_HSCROLL, TB_THUMBPOSITION, 29, bar}));
    EXPECT_EQ(notices[3].id, TB_ENDTRACK);
    EXPECT_EQ(trackbar(bar).pos, 29);
    EXPECT_EQ(captureWindow(), nullptr);
}

TEST_F(TrackbarTest, DragPastTheEndStopsAtTheEnd) {
    HWND bar =
        makeControl(TRACKBAR_CLASSA, "Red Slider", TBS_BOTH | TBS_NOTICKS, 0, 10, 10, 128, 20);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELONG(0, 255));
    queueStep([&] { dragTrackbar(bar, 400); });
    runLoop();
    EXPECT_EQ(trackbar(bar).pos, 255);
    EXPECT_EQ(scrollCodes(bar), (std::vector<int>{TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK}));
}

TEST_F(TrackbarTest, KeysAndChannelClicksStepAndEndTracking) {
    HWND bar = makeControl(TRACKBAR_CLASSA, "AlphaTest Slider", TBS_BOTH | TBS_NOTICKS, 0, 10, 10,
                           128, 20);
    SendMessageA(bar, TBM_SETRANGE, TRUE, MAKELONG(0, 200));
    queueStep([&] { clickTrackbarChannel(bar, true); }); // a page: a fifth of the new range
    queueStep([&] {
        EXPECT_EQ(trackbar(bar).pos, 40);
        pressKey(bar, VK_RIGHT);
        pressKey(bar, VK_END);
        pressKey(bar, VK_END); // at the end: nothing moves, only the release is told
        pressKey(bar, VK_PRIOR);
    });
    runLoop();
    EXPECT_EQ(trackbar(bar).pos, 160);
    EXPECT_EQ(scrollCodes(bar),
              (std::vector<int>{TB_PAGEDOWN, TB_ENDTRACK, TB_LINEDOWN, TB_ENDTRACK, TB_BOTTOM,
                                TB_ENDTRACK, TB_ENDTRACK, TB_PAGEUP, TB_ENDTRACK}));
}

using EditTest = LayerTest;

TEST_F(EditTest, SetTextRaisesChangeOnSingleLineOnly) {
    HWND field = makeControl("EDIT", "0 / 0.00", ES_CENTER, 15);
    HWND text = makeControl("EDIT", "", ES_MULTILINE, 16, 10, 40);
    SetWindowTextA(field, "255 / 1.00");
    SetWindowTextA(text, "Version History");
    EXPECT_EQ(commandCodes(field), (std::vector<int>{EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(commandCodes(text).empty());
    char buffer[5];
    EXPECT_EQ(GetWindowTextA(field, buffer, sizeof buffer), 4); // cut to the buffer
    EXPECT_STREQ(buffer, "255 ");
}

TEST_F(EditTest, ClickFocusesAndTypingEditsTheSelection) {
    HWND field = makeControl("EDIT", "Poly 1", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 1032);
    HWND other = makeControl("EDIT", "", 0, 1013, 10, 40);
    queueStep([&] { click(field); });
    queueStep([&] {
        SendMessageA(field, EM_SETSEL, 0, -1);
        typeText(field, "Ab 9");
        pressKey(field, VK_BACK);
        click(other);
        SendMessageA(other, EM_LIMITTEXT, 1, 0);
        typeText(other, "xy"); // the second letter finds the field full
    });
    runLoop();
    EXPECT_EQ(windowText(other), "x");
    EXPECT_EQ(windowText(field), "Ab ");
    std::vector<int> codes = commandCodes(field);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), EN_SETFOCUS);
    EXPECT_EQ(codes.back(), EN_KILLFOCUS);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_CHANGE), 5);
    EXPECT_EQ(commandCodes(other), (std::vector<int>{EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
}

TEST_F(EditTest, DisabledFieldTakesNoInputAndNoFocus) {
    HWND field = makeControl("EDIT", "Old", WS_DISABLED, 1013);
    queueStep([&] {
        click(field);
        typeText(field, "x");
    });
    runLoop();
    EXPECT_EQ(windowText(field), "Old");
    EXPECT_NE(focusWindow(), field);
    EXPECT_TRUE(commandCodes(field).empty());
}

using StaticTest = LayerTest;

TEST_F(StaticTest, NotifyStyleDecidesWhoGetsTheMouse) {
    HWND frame = makeControl("STATIC", "glFrame", SS_BLACKRECT | SS_NOTIFY, 0, 6, 6, 100, 100);
    HWND label = makeControl("STATIC", "Red", SS_LEFT, 0, 200, 6, 30, 20);
    std::vector<UINT> frameMessages;
    auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(frame, GWLP_WNDPROC));
    static WNDPROC previous;
    static std::vector<UINT>* seen;
    previous = original;
    seen = &frameMessages;
    SetWindowLongPtrA(
        frame, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP)
                seen->push_back(m);
            return CallWindowProcA(previous, w, m, wp, lp);
        }));
    queueStep([&] {
        click(frame);
        click(label);
    });
    runLoop();
    EXPECT_EQ(frameMessages, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(commandCodes(frame), (std::vector<int>{STN_CLICKED}));
    EXPECT_TRUE(commandCodes(label).empty());
}

TEST_F(EditTest, OwnerMovingTheFocusAwayOnSetFocusIsHonoured) {
    HWND list = makeControl("LISTBOX", "PolyList", LBS_NOTIFY, 2, 10, 10, 147, 90);
    HWND field = makeControl("EDIT", "0.00", ES_CENTER, 19, 200, 10, 55, 17);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Poly 1"));
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("7 up"));
    onCommand = [&](WPARAM wParam, LPARAM) {
        if (HIWORD(wParam) == EN_SETFOCUS)
            SetFocus(list);
    };
    queueStep([&] {
        click(field);
        typeText(nullptr, "7"); // keys go where the focus went
    });
    runLoop();
    EXPECT_EQ(focusWindow(), list);
    EXPECT_EQ(windowText(field), "0.00");
    EXPECT_EQ(commandCodes(field), (std::vector<int>{EN_SETFOCUS, EN_KILLFOCUS}));
    // The list took the key: a typed character selects the next entry it begins.
    EXPECT_EQ(commandCodes(list), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));
    EXPECT_EQ(selection(list), 1);
    EXPECT_EQ(captureWindow(), nullptr);
}

// What the program sets must reach a desktop view: a change that does not is shown stale.
TEST_F(LayerTest, ProgramChangesReachTheView) {
    auto send = [](HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0) { SendMessageA(w, m, wp, lp); };
    auto text = [](const char* s) { return reinterpret_cast<LPARAM>(s); };
    struct Change {
        const char* className;
        DWORD style;
        std::function<void(HWND)> setup, act;
        unsigned expected;
        const char* what;
    };
    // clang-format off
    auto nothing = [](HWND) {};
    auto twoItems = [&](UINT add) { return [=](HWND w) { send(w, add, 0, text("a")), send(w, add, 0, text("b")); }; };
    const Change changes[] = {
        {"BUTTON", BS_AUTOCHECKBOX, nothing, [&](HWND w) { send(w, BM_SETCHECK, BST_CHECKED); }, ViewContent, "BM_SETCHECK"},
        {"BUTTON", BS_PUSHBUTTON, nothing, [&](HWND w) { send(w, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); }, ViewContent, "BM_SETSTYLE"},
        {"BUTTON", BS_PUSHBUTTON, nothing, [](HWND w) { EnableWindow(w, FALSE); }, ViewEnabled, "button disabled"},
        {"LISTBOX", LBS_NOTIFY, nothing, [&](HWND w) { send(w, LB_ADDSTRING, 0, text("a")); }, ViewContent, "LB_ADDSTRING"},
        {"LISTBOX", LBS_NOTIFY, twoItems(LB_ADDSTRING), [&](HWND w) { send(w, LB_INSERTSTRING, 1, text("c")); }, ViewContent, "LB_INSERTSTRING"},
        {"LISTBOX", LBS_NOTIFY, twoItems(LB_ADDSTRING), [&](HWND w) { send(w, LB_SETCURSEL, 1); }, ViewContent, "LB_SETCURSEL"},
        {"LISTBOX", LBS_NOTIFY, twoItems(LB_ADDSTRING), [&](HWND w) { send(w, LB_DELETESTRING, 0); }, ViewContent, "LB_DELETESTRING"},
        {"LISTBOX", LBS_NOTIFY, twoItems(LB_ADDSTRING), [&](HWND w) { send(w, LB_RESETCONTENT); }, ViewContent, "LB_RESETCONTENT"},
        {"LISTBOX", LBS_NOTIFY, twoItems(LB_ADDSTRING), [&](HWND w) { send(w, LB_SETTOPINDEX, 1); }, ViewContent, "LB_SETTOPINDEX"},
        {"LISTBOX", LBS_NOTIFY, nothing, [&](HWND w) { send(w, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT))); }, ViewContent, "list box font"},
        {"LISTBOX", LBS_NOTIFY, nothing, [](HWND w) { EnableWindow(w, FALSE); }, ViewEnabled, "list box disabled"},
        {"COMBOBOX", CBS_DROPDOWN, nothing, [&](HWND w) { send(w, CB_ADDSTRING, 0, text("a")); }, ViewContent, "CB_ADDSTRING"},
        {"COMBOBOX", CBS_DROPDOWN, twoItems(CB_ADDSTRING), [&](HWND w) { send(w, CB_INSERTSTRING, 0, text("c")); }, ViewContent, "CB_INSERTSTRING"},
        {"COMBOBOX", CBS_DROPDOWN, twoItems(CB_ADDSTRING), [&](HWND w) { send(w, CB_DELETESTRING, 1); }, ViewContent, "CB_DELETESTRING"},
        {"COMBOBOX", CBS_DROPDOWN, twoItems(CB_ADDSTRING), [&](HWND w) { send(w, CB_SETCURSEL, 1); }, ViewContent | ViewText, "CB_SETCURSEL"},
        {"COMBOBOX", CBS_DROPDOWN, twoItems(CB_ADDSTRING), [&](HWND w) { send(w, CB_SHOWDROPDOWN, TRUE); }, ViewContent, "CB_SHOWDROPDOWN"},
        {"COMBOBOX", CBS_DROPDOWN, nothing, [&](HWND w) { send(w, WM_SETTEXT, 0, text("x")); }, ViewText, "combo text"},
        {"COMBOBOX", CBS_DROPDOWN, [&](HWND w) { send(w, WM_SETTEXT, 0, text("abc")); }, [&](HWND w) { send(w, CB_SETEDITSEL, 0, MAKELPARAM(0, 2)); }, ViewContent, "CB_SETEDITSEL"},
        {"COMBOBOX", CBS_DROPDOWN, nothing, [](HWND w) { EnableWindow(w, FALSE); }, ViewEnabled, "combo box disabled"},
        {"EDIT", 0, nothing, [&](HWND w) { send(w, WM_SETTEXT, 0, text("x")); }, ViewText, "edit text"},
        {"EDIT", 0, [&](HWND w) { send(w, WM_SETTEXT, 0, text("abc")); }, [&](HWND w) { send(w, EM_SETSEL, 0, 2); }, ViewContent, "EM_SETSEL"},
        {"EDIT", 0, nothing, [&](HWND w) { send(w, EM_SETREADONLY, TRUE); }, ViewContent, "EM_SETREADONLY"},
        {"EDIT", 0, nothing, [](HWND w) { EnableWindow(w, FALSE); }, ViewEnabled, "edit disabled"},
        {"msctls_trackbar32", 0, nothing, [&](HWND w) { send(w, TBM_SETPOS, TRUE, 40); }, ViewContent, "TBM_SETPOS"},
        {"msctls_trackbar32", 0, nothing, [&](HWND w) { send(w, TBM_SETRANGE, TRUE, MAKELONG(0, 10)); }, ViewContent, "TBM_SETRANGE"},
        {"msctls_trackbar32", 0, nothing, [](HWND w) { EnableWindow(w, FALSE); }, ViewEnabled, "trackbar disabled"},
        {"STATIC", SS_BITMAP, nothing, [&](HWND w) { send(w, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(LoadBitmapA(testModule(), MAKEINTRESOURCEA(bannerBitmap)))); }, ViewContent, "STM_SETIMAGE"},
        {"STATIC", SS_LEFT, nothing, [](HWND w) { EnableWindow(w, FALSE); }, ViewEnabled, "static disabled"},
    };
    // clang-format on
    for (const Change& change : changes) {
        HWND w = makeControl(change.className, "", change.style, 40);
        change.setup(w);
        takeViewChanges(w);
        change.act(w);
        EXPECT_EQ(takeViewChanges(w) & change.expected, change.expected) << change.what;
        DestroyWindow(w);
    }
    // Text set to nothing empties the field.
    HWND combo = makeControl("COMBOBOX", "", CBS_DROPDOWN, 41);
    SendMessageA(combo, WM_SETTEXT, 0, text("abc"));
    SendMessageA(combo, WM_SETTEXT, 0, 0);
    EXPECT_EQ(windowText(combo), "");
    // New text in an edit puts the caret at its start.
    HWND edit = makeControl("EDIT", "abcdef", 0, 42);
    SendMessageA(edit, EM_SETSEL, 2, 5);
    SendMessageA(edit, WM_SETTEXT, 0, text("xyz"));
    EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), 0);
}

TEST_F(EditTest, ArrowsMoveTheCaretAndShiftArrowsExtendTheSelection) {
    HWND field = makeControl("EDIT", "abc", 0, 1032);
    EditSelection plain{}, extended{};
    queueStep([&] {
        SetFocus(field);
        SendMessageA(field, EM_SETSEL, 3, 3);
        pressKey(field, VK_LEFT);
    });
    queueStep([&] {
        plain = editSelection(field);
        keyDown(field, VK_SHIFT);
        pressKey(field, VK_LEFT);
        keyUp(field, VK_SHIFT);
    });
    EditSelection up{};
    queueStep([&] {
        extended = editSelection(field);
        pressKey(field, VK_UP); // one line: Up moves as Left does
    });
    queueStep([&] { up = editSelection(field); });
    runLoop();
    EXPECT_EQ(plain.start, 2);
    EXPECT_EQ(plain.end, 2);
    EXPECT_EQ(extended.start, 2); // the anchor stays
    EXPECT_EQ(extended.end, 1);
    EXPECT_EQ(up.start, 0);
    EXPECT_EQ(up.end, 0);
}
