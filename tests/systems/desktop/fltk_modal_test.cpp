// The desktop backend's modal answers on a virtual screen: message boxes and the file chooser,
// called through the API as the program calls them, answered with synthetic keys.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <sstream>
#include <vector>

#include "platform/backend.h"
#include "platform/winapi.h"
#include "tests/systems/desktop/desktop_session.h"

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

// The visible windows with this title, newest last.
std::vector<std::string> windowsTitled(const std::string& title) {
    std::vector<std::string> ids;
    std::istringstream lines(
        shell("xdotool search --onlyvisible --name " + quoted("^" + title + "$") + " 2>/dev/null"));
    for (std::string id; std::getline(lines, id);)
        if (!id.empty())
            ids.push_back(id);
    return ids;
}

// Polls the visible windows with this title for up to 3 seconds.
bool titledWindowsBecome(const std::string& title,
                         const std::function<bool(const std::vector<std::string>&)>& holds) {
    for (int i = 0; i < 30; ++i) {
        if (holds(windowsTitled(title)))
            return true;
        shell("sleep 0.1");
    }
    return false;
}

// The desktop's own chooser: GTK's where it is installed, FLTK's own when QF_TEST_FILE_CHOOSER
// is "fltk" (a separate run, since the choice is made once a process).
TEST_F(FltkModal, FileChooserShowsTheFilterRefusesMissingFilesAndAddsTheExtension) {
    char folderTemplate[] = "/tmp/quillfen-chooser-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const std::string folder = folderTemplate;
    std::ofstream(folder + "/wall.qfr") << "not looked at";
    const std::string shots = std::string(QF_SHOT_DIR) + "/file-chooser-" + fileChooserKind();
    std::filesystem::create_directories(QF_SHOT_DIR);

    char file[260] = "", name[260] = "";
    OPENFILENAMEA record{};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.lpstrFilter = "Supported types (BMP,PCX,TGA,QFR)\0*.bmp;*.pcx;*.tga;*.qfr\0";
    record.lpstrFile = file;
    record.nMaxFile = 259;
    record.lpstrFileTitle = name;
    record.nMaxFileTitle = 259;
    record.lpstrInitialDir = folderTemplate;
    record.lpstrTitle = "Select Texture Image";
    record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NONETWORKBUTTON;
    record.lpstrDefExt = ".qfr";

    const bool fltkOwn = fileChooserKind() != "gtk";
    bool refusedWithMessage = false, chooserAfterMessage = false;
    const auto typeMissingName = [&] {
        const std::string chooser = findWindow("Select Texture Image", milliseconds(10000));
        if (chooser.empty())
            return;
        shell("xdotool windowfocus " + chooser + " sleep 0.5");
        const Box box = windowBox(chooser);
        savePng(shots + ".png", {box.x, box.y}, box.w, box.h);
        enterChosenPath(folder + "/missing.bmp");
        // A message with the chooser's title.
        std::string message;
        refusedWithMessage = titledWindowsBecome("Select Texture Image", [&](const auto& ids) {
            for (const std::string& id : ids)
                if (id != chooser)
                    message = id;
            return !message.empty();
        });
        savePng(shots + "-missing.png", {0, 0}, 1280, 1024);
        // Its OK closes it (again if the first key came before it could take one). GTK's dialog
        // stays under it; FLTK's own, which closes on any name, comes back after it.
        for (int attempt = 0; attempt < 3 && refusedWithMessage && !chooserAfterMessage;
             ++attempt) {
            shell("xdotool windowfocus " + message + " sleep 0.5 key Return");
            chooserAfterMessage = titledWindowsBecome("Select Texture Image", [&](const auto& ids) {
                return ids.size() == 1 && ids[0] != message && (fltkOwn || ids[0] == chooser);
            });
        }
        for (const std::string& id : windowsTitled("Select Texture Image"))
            closeWindow(id); // the close box cancels
    };
    EXPECT_FALSE(whileUserDoes(typeMissingName, [&] { return GetOpenFileNameA(&record); }));
    EXPECT_TRUE(refusedWithMessage);
    EXPECT_TRUE(chooserAfterMessage);
    EXPECT_STREQ(file, "");

    // A name without an extension is the file with the default one.
    const auto typeNameWithoutExtension = [&] {
        const std::string chooser = findWindow("Select Texture Image", milliseconds(10000));
        if (chooser.empty())
            return;
        shell("xdotool windowfocus " + chooser + " sleep 0.5");
        enterChosenPath(folder + "/wall");
    };
    EXPECT_TRUE(whileUserDoes(typeNameWithoutExtension, [&] { return GetOpenFileNameA(&record); }));
    EXPECT_EQ(std::string(file), folder + "/wall.qfr");
    EXPECT_STREQ(name, "wall.qfr");
    EXPECT_EQ(record.nFileOffset, folder.size() + 1);

    // Esc cancels: nothing chosen.
    file[0] = '\0';
    EXPECT_FALSE(whileUserDoes(answerWith("Select Texture Image", "Escape"),
                               [&] { return GetOpenFileNameA(&record); }));
    EXPECT_STREQ(file, "");
    std::filesystem::remove_all(folder);
}

} // namespace
