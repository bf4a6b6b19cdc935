// One run of the check: every case drawn and held to its probes, the report written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "tools/check/check_cases.h"
#include "tools/check/contact_sheet.h"

namespace check {

// A case where a GL is known to draw otherwise than the reference says, with why: reported
// apart and not counted.
struct KnownDisagreement {
    const char* kind;
    const char* stateContains;
    const char* reason;
};

using DrawCase = std::function<std::vector<uint8_t>(const Case&)>;

// Draws the cases in order and writes to `out` one line per case that disagrees (its kind and
// state, then where, expected and drawn), the known disagreements apart, and last the line
// "N cases, F disagree". Every frame goes on the sheet when there is one. Returns F.
int checkCases(const std::vector<Case>& cases, const DrawCase& draw,
               const std::vector<KnownDisagreement>& known, ContactSheet* sheet, FILE* out);

} // namespace check
