// qf_image_bench: writes a 4096 x 4096 picture in every format the loader reads, checks that
// our loader and the common decoder for each format both give back that picture, then times
// both on the same file in the same run and prints one table.
//
// Times are CPU time, user and system (page faults and the read itself count), so that other
// work on a shared machine does not stretch one side more than the other; on an idle machine
// they equal wall time, since every decoder here runs on one thread and the file is in the
// page cache. In-process: Google Benchmark, the median of five repetitions of "decode the
// file, free what was made", ours and the reference back to back on the same file, which was
// just written and read once by each. Fresh process: the same decode once in a new process of
// this program (median of three), where every page of the result is faulted in for the first
// time, as in a program that loads one picture. Peak: in that new process, resident memory at
// its highest during the decode (VmHWM, reset just before it) above what was resident before.
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

constexpr int kFreshRuns = 3;
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
    double milliseconds = 0;
    double peakBytes = 0;
};

FreshSummary freshSummary(const std::string& self, bool ours, size_t index,
                          const std::string& path) {
    FreshSummary summary;
    std::vector<double> times, peaks;
    for (int i = 0; i < kFreshRuns; ++i) {
        const FreshRun run = runFresh(self, ours, index, path);
        summary.ok = summary.ok && run.ok;
        times.push_back(run.milliseconds);
        peaks.push_back(run.peakBytes);
    }
    summary.milliseconds = medianOf(times);
    summary.peakBytes = medianOf(peaks);
    return summary;
}

// What the Image holds at once while it loads: the whole file and the pixels (and a palette).
double modelBytes(const PictureCase& pictureCase, const std::string& path) {
    const double pixels = double(kBenchSide) * kBenchSide * pictureCase.bytesPerPixel;
    return double(fs::file_size(path)) + pixels + (pictureCase.bytesPerPixel == 1 ? 768 : 0);
}

double ratioLimit(const PictureCase& pictureCase) {
    return pictureCase.reference == Reference::ReadAndCopy ? 1.5 : 0.25;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--fresh")
        return freshProcessMain(argv[2], argv[3], argv[4]);
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
        const std::string ours = checkOurs(cases[i], files.paths[i]);
        const std::string reference = checkReference(cases[i], files.paths[i]);
        if (!ours.empty() || !reference.empty()) {
            std::printf("%s: ours [%s] %s [%s]\n", cases[i].label, ours.c_str(),
                        referenceName(cases[i].reference), reference.c_str());
            agree = false;
        }
    }
    if (!agree) {
        std::printf("The decoders do not agree with the pictures written; nothing timed.\n");
        return 1;
    }

    for (size_t i = 0; i < cases.size(); ++i) {
        const PictureCase& pictureCase = cases[i];
        const std::string& path = files.paths[i];
        for (bool ours : {true, false}) {
            const std::string name =
                std::string(ours ? "ours/" : "reference/") + pictureCase.fileName;
            benchmark::RegisterBenchmark(name.c_str(),
                                         [&pictureCase, path, ours](benchmark::State& state) {
                                             for (auto _ : state) {
                                                 const bool ok =
                                                     ours ? decodeWithOurs(path)
                                                          : decodeWithReference(pictureCase, path);
                                                 if (!ok)
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

    std::printf("\n%-20s %-12s %8s %8s %6s | %8s %8s %6s | %8s %8s %8s | %s\n", "format",
                "reference", "ours ms", "ref ms", "ratio", "fresh ms", "ref ms", "ratio",
                "peak MiB", "need MiB", "ref MiB", "within");
    bool allWithin = true;
    for (size_t i = 0; i < cases.size(); ++i) {
        const PictureCase& pictureCase = cases[i];
        const std::string& path = files.paths[i];
        const auto& medians = collector.medianCpuMs;
        const auto ours = medians.find(std::string("ours/") + pictureCase.fileName);
        const auto reference = medians.find(std::string("reference/") + pictureCase.fileName);
        if (ours == medians.end() || reference == medians.end())
            continue; // filtered out, or failed
        const FreshSummary freshOurs = freshSummary(self, true, i, path);
        const FreshSummary freshReference = freshSummary(self, false, i, path);
        const double ratio = ours->second / reference->second;
        const double freshRatio = freshOurs.milliseconds / freshReference.milliseconds;
        const double need = modelBytes(pictureCase, path);
        const bool within = freshOurs.ok && freshReference.ok && ratio <= ratioLimit(pictureCase) &&
                            freshRatio <= ratioLimit(pictureCase) &&
                            freshOurs.peakBytes <= need + kPeakSlack;
        allWithin = allWithin && within;
        std::printf("%-20s %-12s %8.1f %8.1f %6.3f | %8.1f %8.1f %6.3f | %8.1f %8.1f %8.1f | %s\n",
                    pictureCase.label, referenceName(pictureCase.reference), ours->second,
                    reference->second, ratio, freshOurs.milliseconds, freshReference.milliseconds,
                    freshRatio, freshOurs.peakBytes / kMiB, need / kMiB,
                    freshReference.peakBytes / kMiB, within ? "yes" : "NO");
    }
    std::printf("\nms: CPU time. ratio: ours / reference, limit 0.25 (QFR 1.5 against one read and "
                "one copy).\npeak: ours in a fresh process; need: file bytes + pixel bytes "
                "(+ palette), plus 256 KiB of slack.\n%s\n",
                allWithin ? "Every format is within its limits."
                          : "Some format is NOT within its limits.");
    benchmark::Shutdown();
    return 0; // the verdict is in the table; failing here is for decoders that disagree
}
