// quillfen-check: draws the panel's state space through the program's own frame code on this
// machine's GL and holds the probed pixels to the OpenGL 1.1 reference's arithmetic.
//
//   quillfen-check                 every case; one line per case that disagrees, then
//                                  "N cases, F disagree"; exit 1 when F is not 0
//   quillfen-check --sheet F.png   also a contact sheet of every frame, disagreements framed red
//   quillfen-check --list          the cases, one a line, nothing drawn
// Exit 2 when it cannot draw at all or is called wrongly.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "tools/check/case_drawing.h"
#include "tools/check/check_cases.h"
#include "tools/check/check_run.h"
#include "tools/check/contact_sheet.h"

namespace {

using namespace check;

// None is known for Mesa's llvmpipe, the GL the tests run on.
const std::vector<KnownDisagreement> knownDisagreements = {};

int failure(const std::string& why) {
    std::fprintf(stderr, "quillfen-check: %s\n", why.c_str());
    return 2;
}

int drawAll(const std::vector<Case>& cases, const Pictures& pictures, const char* sheetPath) {
    std::string error;
    if (!openViewFrame(error)) {
        closeViewFrame();
        return failure(error);
    }
    std::optional<ContactSheet> sheet;
    if (sheetPath)
        sheet.emplace(int(cases.size()));
    const int disagreeing = checkCases(
        cases, [&](const Case& c) { return drawCase(c, pictures); }, knownDisagreements,
        sheet ? &*sheet : nullptr, stdout);
    closeViewFrame();
    if (sheet && !sheet->writePng(sheetPath))
        return failure(std::string("cannot write ") + sheetPath);
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
            return failure(std::string("unknown argument ") + argv[i] +
                           "\nusage: quillfen-check [--list] [--sheet FILE.png]");
    }
    Pictures pictures{};
    std::string error;
    if (!loadPictures(pictures, error)) {
        releasePictures(pictures);
        return failure(error);
    }
    const std::vector<Case> cases = allCases(pictures);
    int status = 0;
    if (list) {
        for (const Case& c : cases)
            std::printf("%s: %s (%zu pixels)\n", c.kind.c_str(), c.state.c_str(), c.probes.size());
        std::printf("%zu cases\n", cases.size());
    } else {
        status = drawAll(cases, pictures, sheetPath);
    }
    releasePictures(pictures);
    return status;
}
