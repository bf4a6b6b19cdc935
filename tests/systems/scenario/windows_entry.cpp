// The scenario run's process entry on the real platform: the executable's own resources are
// the program's.
#include "tests/systems/scenario/scenario_driver.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DUMP_FILE\n", argv[0]);
        return 2;
    }
    return runScenario(GetModuleHandleA(nullptr), argv[1]);
}
