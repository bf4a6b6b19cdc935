// quillfen-check: draws the panel's state space through the program's own frame code on this
// machine's GL and holds the probed pixels to the OpenGL 1.1 reference's arithmetic.
//
//   quillfen-check                 every case; one line per case that disagrees, then
//                                  "N cases, F disagree"; exit 1 when F is not 0
//   quillfen-check --sheet F.png   also a contact sheet of every frame, disagreements framed red
//   quillfen-check --list          the cases, one a line, nothing drawn
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/check/case_drawing.h"
#include "tools/check/case_verdict.h"
#include "tools/check/check_cases.h"
#include "tools/check/contact_sheet.h"

namespace {

using namespace check;

// Cases where a GL is known to draw otherwise than the reference says, with why: printed apart,
// not counted. None is known for Mesa's llvmpipe, the GL the tests run on.
struct KnownDisagreement {
    const char* kind;
    const char* stateContains;
    const char* reason;
};
const std::vector<KnownDisagreement> knownDisagreements = {};

const KnownDisagreement* knownFor(const Case& c) {
    for (const KnownDisagreement& known : knownDisagreements)
        if (c.kind == known.kind && c.state.find(known.stateContains) != std::string::npos)
            return &known;
    return nullptr;
}

int usage(const char* why) {
    std::fprintf(stderr, "quillfen-check: %s\nusage: quillfen-check [--list] [--sheet FILE.png]\n",
                 why);
    return 2;
}

int runCases(const std::vector<Case>& cases, const Pictures& pictures, const char* sheetPath) {
    std::string error;
    if (!openViewFrame(error)) {
        std::fprintf(stderr, "quillfen-check: %s\n", error.c_str());
        closeViewFrame();
        return 2;
    }
    ContactSheet sheet(int(cases.size()));
    int disagreeing = 0;
    std::vector<std::string> known;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::vector<uint8_t> frame = drawCase(c, pictures);
        const std::string what = disagreement(c, frame);
        Verdict verdict = Verdict::Agrees;
        if (!what.empty()) {
            const std::string line = c.kind + ": " + c.state + ": " + what;
            if (const KnownDisagreement* k = knownFor(c)) {
                verdict = Verdict::KnownDisagreement;
                known.push_back(line + " [known: " + k->reason + "]");
            } else {
                verdict = Verdict::Disagrees;
                ++disagreeing;
                std::printf("%s\n", line.c_str());
            }
        }
        if (sheetPath)
            sheet.add(int(i), frame, verdict);
    }
    closeViewFrame();
    for (const std::string& line : known)
        std::printf("known disagreement of this GL: %s\n", line.c_str());
    if (sheetPath && !sheet.writePng(sheetPath)) {
        std::fprintf(stderr, "quillfen-check: cannot write %s\n", sheetPath);
        return 2;
    }
    std::printf("%zu cases, %d disagree\n", cases.size(), disagreeing);
    return disagreeing == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    bool list = false;
    const char* sheetPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--list") == 0)
            list = true;
        else if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc)
            sheetPath = argv[++i];
        else
            return usage((std::string("unknown argument ") + argv[i]).c_str());
    }
    Pictures pictures{};
    std::string error;
    if (!loadPictures(pictures, error)) {
        releasePictures(pictures);
        std::fprintf(stderr, "quillfen-check: %s\n", error.c_str());
        return 2;
    }
    const std::vector<Case> cases = allCases(pictures);
    int status = 0;
    if (list) {
        for (const Case& c : cases)
            std::printf("%s: %s (%zu pixels)\n", c.kind.c_str(), c.state.c_str(), c.probes.size());
        std::printf("%zu cases\n", cases.size());
    } else {
        status = runCases(cases, pictures, sheetPath);
    }
    releasePictures(pictures);
    return status;
}
