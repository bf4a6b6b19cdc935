// The desktop program under valgrind's memcheck on a virtual screen: start-up, a square added
// and dragged in the 2D view, a picture made into its texture through Modify, Browse and OK,
// the 3D view turned, the About box, then Exit from the File menu. Memcheck must report no
// invalid read or write and no block definitely lost; third_party.supp holds the only
// suppressions, for libraries we call.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/systems/desktop/desktop_session.h"

using namespace desktop;

namespace {

using std::chrono::seconds;

// Memcheck runs the program some tens of times slower, the software rasteriser included.
constexpr milliseconds slowly = std::chrono::duration_cast<milliseconds>(seconds(240));

const Rgb black{0, 0, 0};
const Rgb white{255, 255, 255};
const Rgb red{255, 0, 0};
const Rgb blue{0, 0, 255};

// The view frame's first GL pixel in the main window's client area (see tests/systems/desktop).
constexpr int viewX = 7, viewY = 5;

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class Memcheck : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[] = "/tmp/quillfen-memcheck-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        workDir = folder;
        log = workDir + "/memcheck.log";
        // start() runs one file without arguments: a script that hands the program to valgrind.
        const std::string wrapper = workDir + "/under_memcheck.sh";
        std::ofstream(wrapper) << "#!/bin/sh\nexec " << quoted(QF_VALGRIND)
                               << " --tool=memcheck --error-exitcode=99 --leak-check=full"
                                  " --show-leak-kinds=definite --errors-for-leak-kinds=definite"
                                  " --num-callers=40 --suppressions="
                               << quoted(QF_SUPPRESSIONS) << " --log-file=" << quoted(log) << " "
                               << quoted(QF_PROGRAM_PATH) << "\n";
        std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
        started = std::chrono::steady_clock::now();
        program = start(wrapper, workDir);
        if (program.window.empty()) {
            program.window = findWindow("GL Quillfen v0.94", slowly);
            if (!program.window.empty())
                program.origin = windowOrigin(program.window);
        }
        ASSERT_FALSE(program.window.empty()) << "no main window under memcheck\n" << readAll(log);
        focus(program);
    }

    void TearDown() override {
        if (HasFailure() && program.pid > 0) {
            // Ended by a signal, memcheck still writes what it found so far.
            ::kill(program.pid, SIGTERM);
            waitForExit(program, slowly);
            std::printf("memcheck's report:\n%s", readAll(log).c_str());
        }
        kill(program);
        std::error_code ignored;
        if (!HasFailure())
            std::filesystem::remove_all(workDir, ignored);
    }

    Point view(int x, int y) const { return clientToScreen(program, viewX + x, viewY + y); }
    Rgb viewAt(const Shot& shot, int x, int y) const {
        const Point p = view(x, y);
        return shot.at(p.x, p.y);
    }
    double elapsed() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }

    std::string workDir, log;
    Program program;
    std::chrono::steady_clock::time_point started;
};

TEST_F(Memcheck, StartActAndExitWithoutErrorsOrLeaks) {
    ASSERT_TRUE(eventually([&](const Shot& s) { return viewAt(s, 256, 256) == black; }, slowly))
        << "the first frame never came";
    std::printf("memcheck: main window and first frame after %.0f s\n", elapsed());

    key("Insert");
    ASSERT_TRUE(eventually([&](const Shot& s) { return near(viewAt(s, 256, 256), white); }, slowly))
        << "Insert drew no square";

    dragScreen(view(256, 256), {view(280, 270), view(316, 296)});
    ASSERT_TRUE(eventually(
        [&](const Shot& s) {
            return near(viewAt(s, 316, 296), white) && near(viewAt(s, 316 - 130, 296), black);
        },
        slowly))
        << "the drag did not move the square";

    const std::string picture = workDir + "/halves.bmp";
    writeHalvesBmp(picture, 64);
    click(program, 687 + 35, 229 + 10); // Modify
    const std::string dialog = findWindow("Select Texture Map", slowly);
    ASSERT_FALSE(dialog.empty()) << "Modify opened no dialog";
    const Point at = windowOrigin(dialog);
    const Point browse = dialogUnitsToPixels({12 + 151 / 2, 72 + 20 / 2});
    clickScreen(at.x + browse.x, at.y + browse.y);
    const std::string chooser = findWindow("Select Texture Image", slowly);
    ASSERT_FALSE(chooser.empty()) << "Browse opened nothing";
    shell("xdotool windowfocus " + chooser + " sleep 0.5");
    enterChosenPath(picture);
    ASSERT_TRUE(windowGone("Select Texture Image", slowly));
    const Point ok = dialogUnitsToPixels({6 + 78 / 2, 138 + 23 / 2});
    clickScreen(at.x + ok.x, at.y + ok.y);
    ASSERT_TRUE(windowGone("Select Texture Map", slowly));
    ASSERT_TRUE(eventually(
        [&](const Shot& s) {
            return near(viewAt(s, 316 - 50, 296), red, 24) &&
                   near(viewAt(s, 316 + 50, 296), blue, 24);
        },
        slowly))
        << "the picture is not drawn on the square";

    focus(program);
    key("3"); // the 3D view mirrors x: the square now stands left of the centre
    ASSERT_TRUE(eventually(
        [&](const Shot& s) {
            return near(viewAt(s, 316, 296), black) && !near(viewAt(s, 196, 296), black);
        },
        slowly))
        << "3 did not switch to the perspective view";
    // 90 pixels right turn the view 45 degrees: the square narrows, and its far edge (106,
    // 296 before) leaves the point it covered.
    dragScreen(view(256, 256), {view(300, 256), view(346, 256)});
    ASSERT_TRUE(eventually(
        [&](const Shot& s) {
            return near(viewAt(s, 110, 296), black) && !near(viewAt(s, 196, 296), black);
        },
        slowly))
        << "the drag did not turn the view";

    key("alt+h");
    key("b");
    ASSERT_FALSE(findWindow("About", slowly).empty()) << "Help, About opened nothing";
    key("Return");
    ASSERT_TRUE(windowGone("About", slowly));

    focus(program);
    key("alt+f");
    key("x");
    std::optional<int> status = waitForExit(program, slowly);
    ASSERT_TRUE(status.has_value()) << "the program did not end after File, Exit";
    std::printf("memcheck: exit with status %d after %.0f s\n", *status, elapsed());
    const std::string report = readAll(log);
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);)
        if (line.find("ERROR SUMMARY") != std::string::npos ||
            line.find("definitely lost:") != std::string::npos ||
            line.find("suppressed:") != std::string::npos)
            std::printf("memcheck: %s\n", line.c_str());
    EXPECT_EQ(*status, 0) << "memcheck found errors (status 99) or the program failed:\n" << report;
    EXPECT_NE(report.find("ERROR SUMMARY: 0 errors"), std::string::npos) << report;
}

} // namespace
