// qf_image_bench: writes a 4096 x 4096 picture in every format the loader reads, checks that
// our loader, the floor program (uncompressed formats) and the common decoders for each format
// all give back that picture, then times them on the same file in the same run and prints one
// table.
//
// Times are CPU time, user and system (page faults and the read itself count), so that other
// work on a shared machine does not stretch one side more than the other; on an idle machine
// they equal wall time, since every decoder here runs on one thread and the file is in the
// page cache. In-process: Google Benchmark, the median of five repetitions of "decode the
// file, free what was made", every decoder back to back on the same file. Fresh process, the
// table's measure: the same decode once in a new process of this program, where every page of
// the result is faulted in for the first time, as in a program that loads one picture; the
// decoders take turns, eleven rounds, and each one's fastest run is the table's time, its
// median shown beside it for ours and the floor. The fastest, because on a virtual machine
// the host sometimes makes the guest's fresh memory anew while the kernel zeroes it: then
// clear_page alone takes up to twenty times as long, in any decoder's turn, and a median
// of seven was seen to put a decoder at twice another's time and then not. Peak: in that new
// process, resident memory at its highest during the decode (VmHWM, reset just before it)
// above what was resident before.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

#include "bench/decoders.h"
#include "bench/fresh_process.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFreshRuns = 11;
// Ours against the floor program, on the formats it reads.
constexpr double kFloorLimit = 1.3;
constexpr double kMiB = 1024.0 * 1024.0;
// What a process touches besides the Image's buffers while it loads: the file stream's buffer,
// a scan line, the partly used pages at the ends of each block.
constexpr double kPeakSlack = 256 * 1024.0;

// Shows and keeps only the median of each benchmark's repetitions.
class MedianCollector : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> medianCpuMs;

    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> medians;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians.push_back(run);
                if (!run.error_occurred)
                    medianCpuMs[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(medians);
    }
};

struct FileSet {
    fs::path dir;
    std::vector<std::string> paths; // one per case
    ~FileSet() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct FreshSummary {
    bool ok = true;
    double milliseconds = -1; // the fastest run; -1: the decoder does not read the format
    double medianMs = -1;
    double peakBytes = 0;
};

// Every decoder of the case in turn, kFreshRuns rounds, so that a busy spell of the machine
// falls on all of them alike.
std::map<Decoder, FreshSummary> freshSummaries(const std::string& self,
                                               const PictureCase& pictureCase,
                                               const std::string& path) {
    std::map<Decoder, std::vector<double>> times, peaks;
    std::map<Decoder, FreshSummary> summaries;
    for (int i = 0; i < kFreshRuns; ++i) {
        for (Decoder decoder : pictureCase.decoders) {
            const FreshRun run = runFresh(self, decoder, path);
            summaries[decoder].ok = summaries[decoder].ok && run.ok;
            times[decoder].push_back(run.milliseconds);
            peaks[decoder].push_back(run.peakBytes);
        }
    }
    for (auto& [decoder, summary] : summaries) {
        summary.milliseconds = *std::min_element(times[decoder].begin(), times[decoder].end());
        summary.medianMs = medianOf(times[decoder]);
        summary.peakBytes = medianOf(peaks[decoder]);
    }
    return summaries;
}

// What the Image holds at once while it loads: the whole file and the pixels (and a palette).
double modelBytes(const PictureCase& pictureCase, const std::string& path) {
    const double pixels = double(kBenchSide) * kBenchSide * pictureCase.bytesPerPixel;
    return double(fs::file_size(path)) + pixels + (pictureCase.bytesPerPixel == 1 ? 768 : 0);
}

std::string benchmarkName(Decoder decoder, const PictureCase& pictureCase) {
    return std::string(decoderName(decoder)) + "/" + pictureCase.fileName;
}

// A time in ms, or a ratio; "-" where the decoder does not read the format.
std::string cell(double value, const char* format = "%.1f") {
    char text[32];
    if (value < 0)
        return "-";
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "fastest (median)", or "-".
std::string withMedian(const FreshSummary& summary) {
    if (summary.milliseconds < 0)
        return "-";
    return cell(summary.milliseconds) + " (" + cell(summary.medianMs) + ")";
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--fresh")
        return freshProcessMain(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    const std::string self = fs::read_symlink("/proc/self/exe").string();

    FileSet files;
    files.dir = fs::temp_directory_path() / ("qf_image_bench_" + std::to_string(getpid()));
    fs::create_directories(files.dir);
    const auto& cases = pictureCases();
    std::printf("Writing %zu files of %d x %d pixels to %s\n", cases.size(), kBenchSide, kBenchSide,
                files.dir.c_str());
    for (const PictureCase& pictureCase : cases)
        files.paths.push_back(writePictureFile(pictureCase, files.dir.string()));

    bool agree = true;
    for (size_t i = 0; i < cases.size(); ++i) {
        for (Decoder decoder : cases[i].decoders) {
            const std::string differs = checkWith(decoder, cases[i], files.paths[i]);
            if (!differs.empty()) {
                std::printf("%s: %s [%s]\n", cases[i].label, decoderName(decoder), differs.c_str());
                agree = false;
            }
        }
    }
    if (!agree) {
        std::printf("The decoders do not agree with the pictures written; nothing timed.\n");
        return 1;
    }

    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string& path = files.paths[i];
        for (Decoder decoder : cases[i].decoders) {
            benchmark::RegisterBenchmark(benchmarkName(decoder, cases[i]).c_str(),
                                         [decoder, path](benchmark::State& state) {
                                             for (auto _ : state) {
                                                 if (!decodeWith(decoder, path))
                                                     state.SkipWithError("decode failed");
                                             }
                                         })
                ->Unit(benchmark::kMillisecond)
                ->MinTime(0.2)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    std::printf("\nFresh process, CPU ms (fastest of %d; median in brackets):\n", kFreshRuns);
    std::printf("%-20s %16s %16s %10s %10s %7s %7s | %8s %8s | %s\n", "format", "ours", "floor",
                "stb_image", "SDL2_image", "/floor", "/best", "peak MiB", "need MiB", "within");
    bool allWithin = true;
    for (size_t i = 0; i < cases.size(); ++i) {
        const PictureCase& pictureCase = cases[i];
        const std::string& path = files.paths[i];
        if (!collector.medianCpuMs.count(benchmarkName(Decoder::Ours, pictureCase)))
            continue; // filtered out, or failed
        auto fresh = freshSummaries(self, pictureCase, path);
        const double ours = fresh[Decoder::Ours].milliseconds;
        const double floor = fresh.count(Decoder::Floor) ? fresh[Decoder::Floor].milliseconds : -1;
        const double stb = fresh.count(Decoder::StbImage) ? fresh[Decoder::StbImage].milliseconds : -1;
        const double sdl = fresh.count(Decoder::SdlImage) ? fresh[Decoder::SdlImage].milliseconds : -1;
        const double best = stb < 0 ? sdl : sdl < 0 ? stb : std::min(stb, sdl);
        bool within = fresh[Decoder::Ours].peakBytes <= modelBytes(pictureCase, path) + kPeakSlack;
        for (const auto& [decoder, summary] : fresh)
            within = within && summary.ok;
        if (floor >= 0)
            within = within && ours <= kFloorLimit * floor;
        if (best >= 0)
            within = within && ours <= best;
        allWithin = allWithin && within;
        std::printf("%-20s %16s %16s %10s %10s %7s %7s | %8.1f %8.1f | %s\n", pictureCase.label,
                    withMedian(fresh[Decoder::Ours]).c_str(),
                    withMedian(fresh.count(Decoder::Floor) ? fresh[Decoder::Floor] : FreshSummary{})
                        .c_str(),
                    cell(stb).c_str(), cell(sdl).c_str(),
                    cell(floor >= 0 ? ours / floor : -1, "%.2f").c_str(),
                    cell(best >= 0 ? ours / best : -1, "%.2f").c_str(),
                    fresh[Decoder::Ours].peakBytes / kMiB, modelBytes(pictureCase, path) / kMiB,
                    within ? "yes" : "NO");
    }
    std::printf("\n/floor, /best: ours over the floor program (limit %.1f) and over the faster of "
                "stb_image and SDL2_image (limit 1.0).\npeak: ours in a fresh "
                "process; need: file bytes + pixel bytes (+ palette), plus 256 KiB of slack.\n%s\n",
                kFloorLimit,
                allWithin ? "Every format is within its limits."
                          : "Some format is NOT within its limits.");
    benchmark::Shutdown();
    return 0; // the verdict is in the table; failing here is for decoders that disagree
}
