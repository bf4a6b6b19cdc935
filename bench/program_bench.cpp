// qf_program_bench: what the program itself spends around a picture, run through WinMain in the
// headless backend (Mesa's offscreen GL): createTexture on a 4096 x 4096 picture, renderFrame
// with 512 polygons, and the time from start to the first frame, in process and as a whole new
// process. Times are wall time: Mesa's software rasteriser works on threads of its own.
#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/shell.h"
#include "app/start_up.h"
#include "platform/headless/headless.h"
#include "platform/resource_data.h"
#include "render/render_frame.h"
#include "scene/scene.h"
#include "texture/image_buffer.h"
#include "texture/texture_object.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPictureSide = 4096;
constexpr int kPolygonCount = 512;

// One start of the program: a clean layer and clean program values before and after.
struct ProgramRun {
    std::optional<headless::Session> session;
    ProgramRun() {
        session.emplace();
        resetProgramState();
    }
    ~ProgramRun() {
        session.reset();
        resetProgramState();
    }
};

// Runs WinMain; `work` runs when the loop next waits for input (after any steps queued
// before), with the GL context current.
void runProgram(const std::function<void()>& work) {
    headless::queueStep(work);
    char commandLine[] = "";
    WinMain(moduleInstance(programResources), nullptr, commandLine, SW_SHOWNORMAL);
}

scene::Polygon* appendPolygon() {
    scene::Polygon* polygon = makePolygon();
    scene::Polygon** tail = &polygonListHead;
    while (*tail)
        tail = &(*tail)->next;
    *tail = polygon;
    currentPolygon = polygon;
    return polygon;
}

// A square picture of `side` pixels made the way the readers make theirs.
Image picture(int side, int bits) {
    Image image{};
    image.width = static_cast<int16_t>(side);
    image.height = static_cast<int16_t>(side);
    image.bitsPerPixel = static_cast<int8_t>(bits);
    const size_t bytes = size_t(side) * side * (bits / 8);
    image.pixelDataSize = static_cast<uint32_t>(bytes);
    image.pixels = allocBuffer(bytes);
    for (size_t i = 0; image.pixels && i < bytes; ++i)
        image.pixels[i] = static_cast<uint8_t>(i * 7 + i / 4096);
    return image;
}

void createTextureOnLargePicture(benchmark::State& state) {
    const int bits = static_cast<int>(state.range(0));
    ProgramRun run;
    runProgram([&] {
        appendPolygon();
        Image image = picture(kPictureSide, bits);
        for (auto _ : state) {
            if (createTexture(image, GL_LINEAR, GL_LINEAR) != 1)
                state.SkipWithError("createTexture refused the picture");
            glFinish();
        }
        releaseImage(image);
    });
}

// 512 polygons over the view, in the given display mode, each with its own 64 x 64 texture
// when `textured`.
void renderFrameWith512Polygons(benchmark::State& state) {
    const bool perspective = state.range(0) != 0;
    const bool textured = state.range(1) != 0;
    ProgramRun run;
    runProgram([&] {
        Image tile = picture(64, 24);
        for (int i = 0; i < kPolygonCount; ++i) {
            scene::Polygon* polygon = appendPolygon();
            polygon->x = (i % 32) * 8 - 124;
            polygon->y = (i / 32) * 16 - 120;
            if (textured)
                createTexture(tile, GL_LINEAR, GL_LINEAR);
        }
        releaseImage(tile);
        orthographic = !perspective;
        textureMapping = textured;
        const int framesBefore = headless::framesPresented();
        for (auto _ : state)
            renderFrame(); // ends with SwapBuffers: the frame is finished and presented
        if (headless::framesPresented() - framesBefore != static_cast<int>(state.iterations()))
            state.SkipWithError("frames were not presented");
    });
}

// Starts the program and returns when its first frame is presented, with the time of that
// frame. The windows made at start need painting, so the loop's first message is a WM_PAINT
// and the frame follows it, before the loop first waits. False when that did not give exactly
// one frame.
bool runToFirstFrame(Clock::time_point& firstFrame) {
    int frames = 0;
    runProgram([&] {
        firstFrame = Clock::now();
        frames = headless::framesPresented();
    });
    return frames == 1;
}

void firstFrameInProcess(benchmark::State& state) {
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        ProgramRun run;
        Clock::time_point firstFrame{};
        if (!runToFirstFrame(firstFrame))
            state.SkipWithError("not one frame after the first message");
        state.SetIterationTime(std::chrono::duration<double>(firstFrame - start).count());
    }
}

// --first-frame: a whole new process from exec to its first frame; prints the milliseconds
// from the start of main to the frame.
int firstFrameProcess() {
    const Clock::time_point start = Clock::now();
    ProgramRun run;
    Clock::time_point firstFrame{};
    const bool ok = runToFirstFrame(firstFrame);
    std::printf("%.3f\n", std::chrono::duration<double, std::milli>(firstFrame - start).count());
    return ok ? 0 : 1;
}

void firstFrameNewProcess(benchmark::State& state) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string command = "'" + self + "' --first-frame";
    double inMain = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        FILE* child = popen(command.c_str(), "r");
        double ms = 0;
        const bool read = child && std::fscanf(child, "%lf", &ms) == 1;
        if (!child || pclose(child) != 0 || !read)
            state.SkipWithError("the new process drew no first frame");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        inMain += ms;
    }
    state.counters["main_to_frame_ms"] = inMain / double(state.iterations());
}

} // namespace

BENCHMARK(createTextureOnLargePicture)
    ->ArgName("bits")
    ->Arg(24)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(renderFrameWith512Polygons)
    ->ArgNames({"perspective", "textured"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(firstFrameInProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
BENCHMARK(firstFrameNewProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--first-frame")
        return firstFrameProcess();
    {
        ProgramRun probe;
        if (!headless::glAvailable()) {
            std::printf("No offscreen GL on this machine; nothing to measure.\n");
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
