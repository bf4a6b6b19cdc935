// The scenario run's process entry on the real platform: the executable's own resources are
// the program's.
#include "tests/systems/scenario/scenario_driver.h"

int main(int argc, char** argv) {
    unsigned seed = 0;
    long steps = 0;
    if (!readScenarioArguments(argc, argv, &seed, &steps))
        return 2;
    return runScenario(GetModuleHandleA(nullptr), argv[1], seed, steps);
}
