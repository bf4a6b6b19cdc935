#include "bench/fresh_process.h"

#include <cstdio>
#include <ctime>
#include <fstream>

#include "bench/decoders.h"

namespace {

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"), or -1.
double statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0)
            return std::stod(line.substr(field.size() + 1)) * 1024.0;
    }
    return -1;
}

// User and system time of this process.
double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Sets the high-water mark to what is resident now, so it then shows the decode's own peak.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int freshProcessMain(const std::string& decoder, const std::string& path) {
    const int which = std::stoi(decoder);
    if (which < int(Decoder::Ours) || which > int(Decoder::SdlImage))
        return 2;
    resetPeak();
    const double before = statusBytes("VmRSS");
    const double start = cpuMilliseconds();
    const bool ok = decodeWith(Decoder(which), path);
    const double elapsed = cpuMilliseconds() - start;
    const double peak = statusBytes("VmHWM") - before;
    std::printf("%d %.3f %.0f\n", ok ? 1 : 0, elapsed, peak);
    return ok ? 0 : 1;
}

FreshRun runFresh(const std::string& self, Decoder decoder, const std::string& path) {
    const std::string command =
        "'" + self + "' --fresh " + std::to_string(int(decoder)) + " '" + path + "'";
    FreshRun run{false, 0, 0};
    FILE* child = popen(command.c_str(), "r");
    if (!child)
        return run;
    int ok = 0;
    if (std::fscanf(child, "%d %lf %lf", &ok, &run.milliseconds, &run.peakBytes) == 3)
        run.ok = ok == 1;
    if (pclose(child) != 0)
        run.ok = false;
    return run;
}
