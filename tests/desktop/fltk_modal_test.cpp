// The desktop backend's modal answers on a virtual screen: message boxes and the file chooser,
// called through the API as the program calls them, answered with synthetic keys.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>

#include "platform/backend.h"
#include "platform/winapi.h"
#include "tests/desktop/desktop_session.h"

using namespace desktop;

namespace {

class FltkModal : public ::testing::Test {
  protected:
    void SetUp() override { setBackend(&programBackend()); }
    void TearDown() override { setBackend(nullptr); }

    // Runs the user's part on another thread while this one sits in the modal call.
    template <typename Call> auto whileUserDoes(std::function<void()> user, Call call) {
        auto done = std::async(std::launch::async, std::move(user));
        auto result = call();
        done.get();
        return result;
    }
};

// Finds the window, gives it the keyboard (no window manager does) and presses the keys.
std::function<void()> answerWith(std::string title, std::string keys) {
    return [title, keys] {
        const std::string window = findWindow(title, milliseconds(10000));
        if (window.empty())
            return;
        shell("xdotool windowfocus " + window + " sleep 0.2 key --delay 80 " + keys);
    };
}

TEST_F(FltkModal, MessageBoxAnswersWithTheButtonTheKeysChoose) {
    EXPECT_EQ(whileUserDoes(answerWith("Warning", "Escape"),
                            [] {
                                return MessageBoxA(nullptr, "Remove all polygons?", "Warning",
                                                   MB_OKCANCEL);
                            }),
              IDCANCEL);
    EXPECT_EQ(whileUserDoes(answerWith("Warning", "Return"),
                            [] {
                                return MessageBoxA(nullptr, "Remove all polygons?", "Warning",
                                                   MB_OKCANCEL);
                            }),
              IDOK);
    // The default button has the focus and Enter presses it.
    EXPECT_EQ(whileUserDoes(answerWith("Question", "Return"),
                            [] {
                                return MessageBoxA(nullptr, "Again?", "Question",
                                                   MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
                            }),
              IDNO);
    // A Yes/No box has no way out but its buttons: Esc does nothing, the Y mnemonic answers.
    EXPECT_EQ(whileUserDoes(answerWith("Question", "Escape y"),
                            [] { return MessageBoxA(nullptr, "Again?", "Question", MB_YESNO); }),
              IDYES);
    // A box with OK alone closes with it on Esc, with or without an owner or caption.
    EXPECT_EQ(
        whileUserDoes(answerWith("Error", "Escape"),
                      [] { return MessageBoxA(nullptr, "Image Load Failed!", nullptr, MB_OK); }),
        IDOK);
}

TEST_F(FltkModal, FileChooserWritesThePathTypedIntoIt) {
    char folderTemplate[] = "/tmp/quillfen-chooser-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const std::string folder = folderTemplate;
    const std::string path = folder + "/brick.tga";
    std::ofstream(path) << "not looked at";

    char file[260] = "", name[260] = "";
    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.lpstrFilter = "Supported types (BMP,PCX,TGA,QFR)\0*.bmp;*.pcx;*.tga;*.qfr\0";
    record.lpstrFile = file;
    record.nMaxFile = 259;
    record.lpstrFileTitle = name;
    record.nMaxFileTitle = 259;
    record.lpstrTitle = "Select Texture Image";
    record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON;
    record.lpstrDefExt = ".qfr";

    const auto typePath = [path] {
        const std::string window = findWindow("Select Texture Image", milliseconds(10000));
        if (window.empty())
            return;
        shell("xdotool windowfocus " + window + " sleep 0.3");
        const Box box = windowBox(window);
        std::filesystem::create_directories(QF_SHOT_DIR);
        savePng(std::string(QF_SHOT_DIR) + "/file-chooser.png", {box.x, box.y}, box.w, box.h);
        replaceText(path);
        key("Return");
    };
    EXPECT_TRUE(whileUserDoes(typePath, [&] { return GetOpenFileNameA(&record); }));
    EXPECT_STREQ(file, path.c_str());
    EXPECT_STREQ(name, "brick.tga");
    EXPECT_EQ(record.nFileOffset, folder.size() + 1);

    // Esc cancels: nothing chosen.
    file[0] = '\0';
    EXPECT_FALSE(whileUserDoes(answerWith("Select Texture Image", "Escape"),
                               [&] { return GetOpenFileNameA(&record); }));
    EXPECT_STREQ(file, "");
    std::filesystem::remove_all(folder);
}

} // namespace
