// A long random session through the whole program in the headless backend. The seed and the
// number of actions come from QF_SOAK_SEED and QF_SOAK_ACTIONS (`make soak SOAK_SEED=N ACTIONS=M`);
// CTest runs the fixed seed below.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/headless/headless.h"
#include "scene/scene.h"
#include "tests/app/program_harness.h"
#include "tests/systems/soak/link_watch.h"
#include "tests/systems/soak/random_session.h"
#include "tests/systems/soak/soak_files.h"

namespace {

constexpr uint64_t defaultSeed = 20240611;
constexpr long defaultActions = 10000;

uint64_t fromEnvironment(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

TEST(Soak, RandomSessionKeepsTheSceneWhole) {
    const uint64_t seed = fromEnvironment("QF_SOAK_SEED", defaultSeed);
    const long actions = long(fromEnvironment("QF_SOAK_ACTIONS", defaultActions));
    harness::FreshRun run;
    ASSERT_TRUE(headless::glAvailable()) << "no offscreen GL on this machine";

    soak::SoakFiles files(
        std::filesystem::temp_directory_path() / ("qf_soak_" + std::to_string(getpid())), seed);
    for (const std::string& problem : files.problems())
        ADD_FAILURE() << "a valid picture file does not load as written: " << problem;
    ASSERT_TRUE(watch::liveBlocks().empty()) << "reading the files left buffers behind";

    soak::RandomSession session(seed, actions, files);
    session.start();
    auto started = std::chrono::steady_clock::now();
    int result = harness::runProgram();
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    EXPECT_EQ(session.failure(), "");
    EXPECT_EQ(session.actionsDone(), actions);
    EXPECT_FALSE(headless::scriptRanOut()) << "the program did not end through Exit";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(watch::framesDrawn(), headless::framesPresented());
    EXPECT_GT(watch::squaresChecked(), actions / 10) << "too few squares had their texture checked";

    // What the program still holds at exit is released with its scene; nothing may be left.
    resetScene();
    std::vector<std::string> breaches = watch::takeBreaches();
    EXPECT_TRUE(breaches.empty()) << breaches.front();
    EXPECT_EQ(watch::liveBlocks().size(), 0u) << "image buffers leaked";
    EXPECT_EQ(watch::liveTextures().size(), 0u) << "texture objects leaked";
    EXPECT_EQ(watch::livePolygons().size(), 0u) << "Polygon records leaked";

    std::printf("soak: seed %llu, %ld actions, %ld frames, %ld squares checked, %.1f s\n"
                "files: %s\nactions by kind:\n%s",
                (unsigned long long)seed, session.actionsDone(), watch::framesDrawn(),
                watch::squaresChecked(), seconds, files.summary().c_str(), session.tally().c_str());
}

} // namespace
