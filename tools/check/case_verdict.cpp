#include "tools/check/case_verdict.h"

#include <cstdio>
#include <cstdlib>

namespace check {

namespace {

Rgb pixelAt(const std::vector<uint8_t>& frame, int x, int y) {
    const uint8_t* p = &frame[(size_t(y) * frameSize + size_t(x)) * 3];
    return {p[0], p[1], p[2]};
}

bool near(int a, int b, int tolerance) {
    return std::abs(a - b) <= tolerance;
}

bool agrees(const Probe& probe, Rgb drawn) {
    const Rgb& e = probe.expected;
    return near(drawn.r, e.r, probe.tolerance) && near(drawn.g, e.g, probe.tolerance) &&
           near(drawn.b, e.b, probe.tolerance);
}

} // namespace

std::string disagreement(const Case& c, const std::vector<uint8_t>& frame) {
    if (frame.empty())
        return "no frame was presented";
    std::string first;
    int more = 0;
    for (const Probe& probe : c.probes) {
        const Rgb drawn = pixelAt(frame, probe.x, probe.y);
        if (agrees(probe, drawn))
            continue;
        if (!first.empty()) {
            ++more;
            continue;
        }
        char text[256];
        std::snprintf(text, sizeof text,
                      "at %d, %d (%s): expected %d %d %d within %d, drawn %d %d %d", probe.x,
                      probe.y, probe.where.c_str(), probe.expected.r, probe.expected.g,
                      probe.expected.b, probe.tolerance, drawn.r, drawn.g, drawn.b);
        first = text;
    }
    if (more > 0)
        first += " (and " + std::to_string(more) + " more pixels)";
    return first;
}

} // namespace check
