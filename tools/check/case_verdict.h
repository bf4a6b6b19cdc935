// Holds a drawn frame to a case's probes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/check/check_cases.h"

namespace check {

// The first probe the frame disagrees with, in words (where, expected, drawn), and how many
// more do; empty when every probe agrees.
std::string disagreement(const Case& c, const std::vector<uint8_t>& frame);

} // namespace check
