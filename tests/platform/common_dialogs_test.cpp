// Message boxes and the file chooser: scripted answers, records of each call, the owner
// disabled while they are up, and the record filled as the real dialog fills it.
#include "tests/platform/layer_fixture.h"
#include "tests/support/user_input.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

using namespace headless;

using MessageBoxTest = LayerTest;

TEST_F(MessageBoxTest, AnswersComeFromTheScriptOrTheDefaultButton) {
    HWND field = makeControl("EDIT", "", 0, 15);
    SetFocus(field);
    queueMessageBoxAnswer(IDCANCEL);
    EXPECT_EQ(MessageBoxA(owner, "Remove all polygons?", "Warning", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(MessageBoxA(owner, "Remove all polygons?", "Warning", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Register WinClass Failed!", "Fatal", MB_OK | MB_ICONERROR),
              IDOK);
    EXPECT_EQ(MessageBoxA(owner, "Save?", nullptr, MB_YESNOCANCEL | MB_DEFBUTTON2), IDNO);
    const auto& calls = messageBoxCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].owner, owner);
    EXPECT_EQ(calls[0].text, "Remove all polygons?");
    EXPECT_EQ(calls[0].caption, "Warning");
    EXPECT_EQ(calls[0].type, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_TRUE(calls[0].ownerDisabled);
    EXPECT_FALSE(calls[2].ownerDisabled);
    EXPECT_EQ(calls[2].owner, nullptr);
    EXPECT_EQ(calls[2].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(calls[3].caption, "Error"); // the platform's caption when none is given
    // Afterwards the owner is active again and has the focus; its field lost it.
    EXPECT_TRUE(isEnabled(owner));
    EXPECT_EQ(focusWindow(), owner);
    EXPECT_EQ(commandCodes(field), (std::vector<int>{EN_SETFOCUS, EN_KILLFOCUS}));
}

class FileChooserTest : public LayerTest {
  protected:
    void SetUp() override {
        LayerTest::SetUp();
        directory =
            std::filesystem::temp_directory_path() /
            ("qf_chooser_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             std::to_string(reinterpret_cast<uintptr_t>(this)));
        std::filesystem::create_directories(directory);
        picture = (directory / "checker.tga").string();
        std::ofstream(picture) << "x";
        std::memset(path, 0, sizeof path);
        std::memset(name, 0, sizeof name);
        ofn = OPENFILENAMEA{};
        ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
        ofn.hwndOwner = owner;
        ofn.hInstance = testModule();
        ofn.lpstrFilter = "Supported types (BMP,PCX,TGA,QFR)\0*.bmp;*.pcx;*.tga;*.qfr\0";
        ofn.lpstrFile = path;
        ofn.nMaxFile = 259;
        ofn.lpstrFileTitle = name;
        ofn.nMaxFileTitle = 259;
        ofn.lpstrTitle = "Select Texture Image";
        ofn.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON;
        ofn.lpstrDefExt = ".qfr";
    }
    void TearDown() override {
        std::filesystem::remove_all(directory);
        LayerTest::TearDown();
    }

    std::filesystem::path directory;
    std::string picture;
    char path[260];
    char name[260];
    OPENFILENAMEA ofn;
};

TEST_F(FileChooserTest, ChosenFileFillsPathNameAndOffsets) {
    queueFileChoice(picture);
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(path), picture);
    EXPECT_STREQ(name, "checker.tga");
    EXPECT_STREQ(path + ofn.nFileOffset, "checker.tga");
    EXPECT_STREQ(path + ofn.nFileExtension, "tga");
    const auto& calls = fileChooserCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].record.lStructSize, OPENFILENAME_SIZE_VERSION_400A);
    EXPECT_EQ(calls[0].record.hwndOwner, owner);
    EXPECT_EQ(calls[0].record.Flags, 0x21800u);
    EXPECT_EQ(calls[0].filter, (std::vector<std::string>{"Supported types (BMP,PCX,TGA,QFR)",
                                                         "*.bmp;*.pcx;*.tga;*.qfr"}));
    EXPECT_EQ(calls[0].title, "Select Texture Image");
    EXPECT_EQ(calls[0].defaultExtension, ".qfr");
    EXPECT_TRUE(calls[0].result);
    EXPECT_TRUE(isEnabled(owner));

    // A name without an extension is the file with the default one, where that is there.
    std::ofstream(directory / "wall.qfr") << "x";
    queueFileChoice((directory / "wall").string());
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(path), (directory / "wall.qfr").string());
    // A name with an extension keeps it.
    std::ofstream(picture + ".qfr") << "x";
    queueFileChoice(picture);
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(std::string(path), picture);
}

TEST_F(FileChooserTest, CancelAndMissingFilesFailWithoutTouchingTheBuffers) {
    EXPECT_FALSE(GetOpenFileNameA(&ofn)); // nothing queued: the user cancels
    queueFileCancel();
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    queueFileChoice((directory / "missing.bmp").string());
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(fileChooserCalls().size(), 3u);

    // The layer's own dialog says why it stays open, in a box over it, and goes on.
    setBackend(&withDialogWindows());
    std::string said;
    queueStep([&] {
        HWND field = GetDlgItem(activeDialog(), 0x480); // edt1
        SetWindowTextA(field, (directory / "missing.bmp").string().c_str());
        pressKey(field, VK_RETURN);
    });
    queueStep([&] {
        HWND box = activeDialog();
        said = windowText(box) + ": " + windowText(GetDlgItem(box, 0xFFFF));
        pressKey(focusWindow(), VK_RETURN);
    });
    queueStep([&] { pressKey(focusWindow(), VK_ESCAPE); });
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(said, "Select Texture Image: " + (directory / "missing.bmp").string() +
                        "\nFile not found.\nCheck the file name and try again.");
    EXPECT_STREQ(path, "");
}

TEST_F(FileChooserTest, TooSmallBufferReportsTheSizeNeeded) {
    ofn.nMaxFile = 8;
    queueFileChoice(picture);
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
    WORD needed;
    std::memcpy(&needed, path, sizeof needed);
    EXPECT_EQ(needed, picture.size() + 1);
    ofn.lStructSize = 12;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

TEST_F(FileChooserTest, ShortFileTitleBufferIsCutNotOverrun) {
    char shortName[6];
    std::memset(shortName, '#', sizeof shortName);
    ofn.lpstrFileTitle = shortName;
    ofn.nMaxFileTitle = 5;
    queueFileChoice(picture);
    ASSERT_TRUE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ(shortName, "chec");
    EXPECT_EQ(shortName[5], '#');
}

using MenuTest = LayerTest;

namespace {

HWND makeMenuWindow() {
    HMENU menu = LoadMenuA(testModule(), MAKEINTRESOURCEA(testMenu));
    return CreateWindowExA(0, "Recorder", "With menu", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0,
                           0, 300, 200, nullptr, menu, testModule(), nullptr);
}

} // namespace

TEST_F(MenuTest, RadioAndCheckMarksByCommand) {
    HWND window = makeMenuWindow();
    HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menuItemText(window, 40027), "Orthographic (&2D)\t2");
    EXPECT_TRUE(CheckMenuRadioItem(menu, 40027, 40028, 40027, MF_BYCOMMAND));
    EXPECT_TRUE(menuItemChecked(window, 40027));
    EXPECT_TRUE(menuItemRadio(window, 40027));
    EXPECT_TRUE(CheckMenuRadioItem(menu, 40027, 40028, 40028, MF_BYCOMMAND));
    EXPECT_FALSE(menuItemChecked(window, 40027));
    EXPECT_TRUE(menuItemChecked(window, 40028));
    EXPECT_FALSE(
        CheckMenuRadioItem(menu, 40027, 40060, 40027, MF_BYCOMMAND)); // different sub-menus

    EXPECT_EQ(CheckMenuItem(menu, 40062, MF_BYCOMMAND | MF_CHECKED),
              static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(menu, 40062, MF_BYCOMMAND | MF_UNCHECKED),
              static_cast<DWORD>(MF_CHECKED));
    EXPECT_FALSE(menuItemChecked(window, 40062));
    EXPECT_EQ(CheckMenuItem(menu, 12345, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(GetMenuState(menu, 40061, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_NE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_POPUP, 0u);
}

TEST_F(MenuTest, PicksPostTheCommandUnlessGrayedOrTheWindowIsDisabled) {
    HWND window = makeMenuWindow();
    queueStep([&] {
        EXPECT_TRUE(chooseMenuItem(window, 40062));
        EXPECT_FALSE(chooseMenuItem(window, 40061)); // grayed
        EXPECT_FALSE(chooseMenuItem(window, 4242));  // no such item
    });
    queueStep([&] {
        EnableWindow(window, FALSE);
        EXPECT_FALSE(chooseMenuItem(window, 40062));
        EnableWindow(window, TRUE);
    });
    runLoop();
    EXPECT_EQ(notices, (std::vector<Notice>{{WM_COMMAND, 40062, 0, nullptr}}));
    EXPECT_EQ(droppedInputCount(), 1);
}

// The highlighted item of a menu, -1 for none.
int highlighted(HMENU menu) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_HILITE)
            return i;
    return -1;
}

// Keys as a person presses them (SendInput), where pressKey posts them to one window.
const auto press = &userInput::pressKey;

// Alt alone highlights the bar and Down opens its menu, past a separator; Esc closes one level
// at a time; Alt with a mnemonic opens that menu, Right a submenu, Enter posts the command.
TEST_F(MenuTest, KeyboardDrivesTheMenuBar) {
    HWND window = makeMenuWindow();
    SetFocus(window);
    HMENU bar = GetMenu(window), file = GetSubMenu(bar, 0), options = GetSubMenu(bar, 1);
    queueStep([&] { press(VK_MENU); });
    queueStep([&] {
        EXPECT_EQ(highlighted(bar), 0);
        press(VK_DOWN);
        press(VK_DOWN);
    });
    queueStep([&] {
        EXPECT_EQ(highlighted(file), 2);
        press(VK_ESCAPE);
    });
    queueStep([&] {
        EXPECT_EQ(highlighted(file), -1);
        EXPECT_EQ(highlighted(bar), 0);
        press(VK_ESCAPE);
    });
    queueStep([&] {
        EXPECT_EQ(highlighted(bar), -1);
        userInput::pressWith(VK_MENU, 'O');
    });
    queueStep([&] {
        EXPECT_EQ(highlighted(bar), 1);
        EXPECT_EQ(highlighted(options), 0);
        press(VK_RIGHT);
        press(VK_DOWN);
        press(VK_RETURN);
    });
    runLoop();
    EXPECT_EQ(highlighted(bar), -1);
    EXPECT_EQ(highlighted(GetSubMenu(options, 0)), -1);
    EXPECT_EQ(notices, (std::vector<Notice>{{WM_COMMAND, 40028, 0, nullptr}}));
}

TEST_F(MenuTest, ResourcesAreFoundByNumberInTheirModule) {
    char buffer[8];
    EXPECT_EQ(LoadStringA(testModule(), historyString, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "Version");
    EXPECT_EQ(LoadStringA(testModule(), 999, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadMenuA(testModule(), MAKEINTRESOURCEA(999)), nullptr);
    EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCEA(testAccelerators)), nullptr);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadIconA(testModule(), MAKEINTRESOURCEA(101)), nullptr);
    EXPECT_NE(LoadBitmapA(testModule(), MAKEINTRESOURCEA(bannerBitmap)), nullptr);
}
