// Modal dialogs from templates: the nested loop, the dialog manager's keys and focus, the
// owner disabled meanwhile, and controls whose class may be missing.
#include "platform/resource_data.h"
#include "tests/platform/layer_fixture.h"

using namespace headless;

namespace {

std::vector<std::pair<UINT, WPARAM>> dialogMessages;
bool initReturns = TRUE;

INT_PTR CALLBACK recordingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        dialogMessages.emplace_back(message, WPARAM(lParam)); // the caller's parameter
        SetDlgItemTextA(dialog, 1013, "Poly 1");
        SetDlgItemTextA(dialog, 1032, "Poly 1");
        if (!initReturns) {
            SetFocus(GetDlgItem(dialog, 1032));
            SendDlgItemMessageA(dialog, 1032, EM_SETSEL, 0, -1);
        }
        return initReturns;
    case WM_COMMAND:
        dialogMessages.emplace_back(message, wParam);
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam) + 100);
        return TRUE;
    case WM_CLOSE: dialogMessages.emplace_back(message, 0); return FALSE;
    default: return FALSE;
    }
}

class DialogTest : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        dialogMessages.clear();
        initReturns = TRUE;
    }
    INT_PTR run(WORD id) {
        return DialogBoxParamA(testModule(), MAKEINTRESOURCEA(id), owner, recordingDialogProc, 42);
    }
    // The button commands the dialog procedure saw (the edits' notifications left out).
    std::vector<WPARAM> commands() const {
        std::vector<WPARAM> ids;
        for (auto& [message, wParam] : dialogMessages) {
            if (message == WM_COMMAND && LOWORD(wParam) <= IDCANCEL)
                ids.push_back(wParam);
        }
        return ids;
    }
    std::vector<UINT> messagesOtherThanEdits() const {
        std::vector<UINT> seen;
        for (auto& [message, wParam] : dialogMessages) {
            if (message != WM_COMMAND || LOWORD(wParam) <= IDCANCEL)
                seen.push_back(message);
        }
        return seen;
    }
};

} // namespace

TEST_F(DialogTest, NestedLoopRunsWhileTheMainLoopWaits) {
    HWND modify = makeControl("BUTTON", "Modify", BS_PUSHBUTTON, 22);
    INT_PTR result = 0;
    int mainLoopPasses = 0;
    int passesWhenOpened = -1;
    onCommand = [&](WPARAM wParam, LPARAM) {
        if (LOWORD(wParam) == 22)
            result = run(renameDialog);
    };
    queueStep([&] { click(modify); });
    queueStep([&] { // inside the dialog's own loop
        HWND dialog = activeDialog();
        ASSERT_NE(dialog, nullptr);
        passesWhenOpened = mainLoopPasses;
        EXPECT_FALSE(isEnabled(owner));
        EXPECT_TRUE(isVisible(dialog));
        EXPECT_EQ(focusWindow(), findControl(dialog, IDOK)); // first tab stop
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        click(modify);                                       // the disabled owner takes no clicks
        PostMessageA(owner, WM_USER, 0, 0); // but its posted messages are delivered
        typeText(focusWindow(), "\n");      // Enter: the default button
    });
    queueStep([&] {
        EXPECT_EQ(activeDialog(), nullptr);
        EXPECT_TRUE(isEnabled(owner));
        EXPECT_EQ(focusWindow(), owner);
    });
    runLoop(nullptr, [&] { ++mainLoopPasses; });
    EXPECT_EQ(result, IDOK + 100);
    ASSERT_FALSE(dialogMessages.empty());
    EXPECT_EQ(dialogMessages.front(), std::make_pair(UINT(WM_INITDIALOG), WPARAM(42)));
    EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(IDOK, BN_CLICKED)}));
    EXPECT_EQ(droppedInputCount(), 2);
    EXPECT_EQ(passesWhenOpened, 1); // the button-down's pass; the button-up opened it
    EXPECT_EQ(commandCodes(modify).size(), 1u);
    EXPECT_TRUE(scriptRanOut());
}

TEST_F(DialogTest, FocusSetByTheProcedureStaysAndEnterStillPressesTheDefault) {
    initReturns = FALSE;
    queueStep([&] {
        HWND dialog = activeDialog();
        HWND field = findControl(dialog, 1032);
        EXPECT_EQ(focusWindow(), field);
        EXPECT_EQ(editSelection(field).start, 0);
        EXPECT_EQ(editSelection(field).end, 6);
        typeText(field, "Big\n");
    });
    INT_PTR result = run(renameDialog);
    EXPECT_EQ(result, IDOK + 100);
    EXPECT_TRUE(dialogMessages.size() >= 2);
}

TEST_F(DialogTest, EscapeSendsCancelAndTheCloseBoxSendsCloseThenCancel) {
    queueStep([&] { pressKey(focusWindow(), VK_ESCAPE); });
    EXPECT_EQ(run(renameDialog), IDCANCEL + 100);
    EXPECT_EQ(commands(), (std::vector<WPARAM>{IDCANCEL}));

    dialogMessages.clear();
    queueStep([&] { closeWindow(activeDialog()); });
    EXPECT_EQ(run(renameDialog), IDCANCEL + 100);
    EXPECT_EQ(messagesOtherThanEdits(), (std::vector<UINT>{WM_INITDIALOG, WM_CLOSE, WM_COMMAND}));
    EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED)}));
}

TEST_F(DialogTest, TabAndArrowsMoveTheFocusSkippingDisabledControls) {
    std::vector<int> focusOrder;
    queueStep([&] {
        HWND dialog = activeDialog();
        pressKey(focusWindow(), VK_TAB);
        queueStep([&, dialog] {
            focusOrder.push_back(GetDlgCtrlID(focusWindow()));
            pressKey(focusWindow(), VK_TAB);
            queueStep([&, dialog] {
                focusOrder.push_back(GetDlgCtrlID(focusWindow()));
                EXPECT_EQ(editSelection(focusWindow()).end, 6); // tabbing in selects the text
                pressKey(focusWindow(), VK_TAB);
                queueStep([&, dialog] {
                    focusOrder.push_back(GetDlgCtrlID(focusWindow()));
                    SendMessageA(dialog, WM_NEXTDLGCTL, 0, FALSE); // the same step, asked for
                    focusOrder.push_back(GetDlgCtrlID(focusWindow()));
                    pressKey(focusWindow(), VK_LEFT); // a button wants no arrows: back a control
                    queueStep([&, dialog] {
                        focusOrder.push_back(GetDlgCtrlID(focusWindow()));
                        EndDialog(dialog, 0);
                    });
                });
            });
        });
    });
    run(renameDialog);
    EXPECT_EQ(focusOrder, (std::vector<int>{IDCANCEL, 1032, IDOK, IDCANCEL, IDOK}));
}

TEST_F(DialogTest, TemplateIsLaidOutInDialogUnitsAndCentred) {
    queueStep([&] {
        HWND dialog = activeDialog();
        RECT field = windowRect(findControl(dialog, 1032));
        EXPECT_EQ(field.left, 18); // 12 dialog units at 6 / 4
        EXPECT_EQ(field.top, 78);  // 48 at 13 / 8
        EXPECT_EQ(field.right - field.left, 243);
        EXPECT_EQ(field.bottom - field.top, 20); // 12 at 13 / 8 = 19.5, rounded as MulDiv does
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, 279);
        EXPECT_EQ(client.bottom, 154);
        RECT outer = windowRect(dialog);
        EXPECT_NEAR(outer.left + outer.right, 1280, 1);
        EXPECT_NE(windowFont(findControl(dialog, 1032)), nullptr);
        EXPECT_EQ(windowText(findControl(dialog, 1013)), "Poly 1");
        EXPECT_FALSE(isEnabled(findControl(dialog, 1013)));
        EndDialog(dialog, 0);
    });
    run(renameDialog);
}

TEST_F(DialogTest, MissingRichEditIsSkippedOnlyWhenTheTemplateAllows) {
    queueStep([&] {
        EXPECT_EQ(findControl(activeDialog(), 1036), nullptr);
        EXPECT_NE(findControl(activeDialog(), IDOK), nullptr);
        EXPECT_EQ(staticBitmapId(childrenOf(activeDialog())[1]), bannerBitmap);
        EndDialog(activeDialog(), 5);
    });
    EXPECT_EQ(run(aboutDialog), 5);
    EXPECT_EQ(run(strictDialog), -1);
    EXPECT_TRUE(isEnabled(owner)); // a dialog that failed gives its owner back

    HMODULE richEdit = LoadLibraryA("riched32.dll");
    ASSERT_NE(richEdit, nullptr);
    queueStep([&] {
        HWND text = findControl(activeDialog(), 1036);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(className(text), "RICHEDIT");
        SetWindowTextA(text, "history");
        SendMessageA(text, EM_SETSEL, 0, -1); // an edit control underneath
        EXPECT_EQ(SendMessageA(text, EM_GETSEL, 0, 0), MAKELONG(0, 7));
        EndDialog(activeDialog(), 6);
    });
    EXPECT_EQ(run(aboutDialog), 6); // not 0, which a dialog that failed to open would give
    EXPECT_TRUE(FreeLibrary(richEdit));
    EXPECT_EQ(
        CreateWindowExA(0, "RICHEDIT", "", WS_CHILD, 0, 0, 1, 1, owner, nullptr, nullptr, nullptr),
        nullptr);
}

TEST_F(DialogTest, RefusedLibraryLeavesTheClassMissing) {
    refuseLibrary("riched32.dll");
    EXPECT_EQ(LoadLibraryA("riched32.dll"), nullptr);
    EXPECT_EQ(LoadLibraryA("other.dll"), nullptr);
}

TEST_F(DialogTest, QuitInsideTheDialogEndsItAndReachesTheMainLoop) {
    HWND modify = makeControl("BUTTON", "Modify", BS_PUSHBUTTON, 22);
    bool dialogReturned = false;
    onCommand = [&](WPARAM wParam, LPARAM) {
        if (LOWORD(wParam) != 22)
            return;
        run(renameDialog);
        dialogReturned = true;
    };
    queueStep([&] { click(modify); });
    queueStep([&] { PostQuitMessage(3); });
    queueStep([&] { ADD_FAILURE() << "the main loop went on after the quit message"; });
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    EXPECT_TRUE(dialogReturned);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(activeDialog(), nullptr);
    EXPECT_FALSE(IsWindow(findWindow("Rename polygon")));
}

TEST_F(DialogTest, UnknownTemplateFails) {
    EXPECT_EQ(DialogBoxParamA(testModule(), MAKEINTRESOURCEA(999), owner, recordingDialogProc, 0),
              -1);
    EXPECT_EQ(
        DialogBoxParamA(nullptr, MAKEINTRESOURCEA(renameDialog), owner, recordingDialogProc, 0),
        -1);
}

TEST_F(DialogTest, EscapeWithAnOpenListClosesTheListNotTheDialog) {
    queueStep([&] {
        HWND dialog = activeDialog();
        HWND filter = CreateWindowExA(
            0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN, 10, 10, 120, 60,
            dialog, reinterpret_cast<HMENU>(1031), testModule(), nullptr);
        SendMessageA(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("GL_NEAREST"));
        SendMessageA(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("GL_LINEAR"));
        SendMessageA(filter, CB_SETCURSEL, 0, 0);
        SetFocus(filter);
        pressKey(filter, VK_F4);
        pressKey(filter, VK_DOWN);
        pressKey(filter, VK_ESCAPE);
        queueStep([&, dialog, filter] {
            EXPECT_EQ(activeDialog(), dialog);
            EXPECT_FALSE(comboDropped(filter));
            EXPECT_EQ(selection(filter), 1); // the arrow's change stays
            pressKey(filter, VK_ESCAPE);     // now it is the dialog's
        });
    });
    EXPECT_EQ(run(renameDialog), IDCANCEL + 100);
}
