// One decode in a new process of the benchmark program, so that page faults, the allocator and
// the peak resident memory are those of a program that loads a single picture.
#pragma once

#include <cstddef>
#include <string>

#include "bench/picture_files.h"

struct FreshRun {
    bool ok;
    double milliseconds; // CPU time of the decode and the release of what it made
    double peakBytes;    // resident memory at its highest, above what the process held before
};

// Runs this program again as `self --fresh DECODER PATH` and reads its report.
FreshRun runFresh(const std::string& self, Decoder decoder, const std::string& path);

// The child's side of runFresh; returns its exit status.
int freshProcessMain(const std::string& decoder, const std::string& path);
