#include "tools/check/check_run.h"

#include <string>

#include "tools/check/case_verdict.h"

namespace check {

namespace {

const KnownDisagreement* knownFor(const std::vector<KnownDisagreement>& known, const Case& c) {
    for (const KnownDisagreement& k : known)
        if (c.kind == k.kind && c.state.find(k.stateContains) != std::string::npos)
            return &k;
    return nullptr;
}

} // namespace

int checkCases(const std::vector<Case>& cases, const DrawCase& draw,
               const std::vector<KnownDisagreement>& known, ContactSheet* sheet, FILE* out) {
    int disagreeing = 0;
    std::vector<std::string> knownLines;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::vector<uint8_t> frame = draw(c);
        const std::string what = disagreement(c, frame);
        Verdict verdict = Verdict::Agrees;
        if (!what.empty()) {
            const std::string line = c.kind + ": " + c.state + ": " + what;
            if (const KnownDisagreement* k = knownFor(known, c)) {
                verdict = Verdict::KnownDisagreement;
                knownLines.push_back(line + " [known: " + k->reason + "]");
            } else {
                verdict = Verdict::Disagrees;
                ++disagreeing;
                std::fprintf(out, "%s\n", line.c_str());
            }
        }
        if (sheet)
            sheet->add(int(i), frame, verdict);
    }
    for (const std::string& line : knownLines)
        std::fprintf(out, "known disagreement of this GL: %s\n", line.c_str());
    std::fprintf(out, "%zu cases, %d disagree\n", cases.size(), disagreeing);
    return disagreeing;
}

} // namespace check
